// Scene: Fibonacci trees, 171 - 199 s. A hundred random line trees, each level branching as the
// next Fibonacci number, grow level by level and withdraw in their own short windows while the
// whole turns and the camera backs away into white fog.
#include "scenes/fibotree.h"

#include "math/random.h"
#include "math/timing.h"
#include "render/batch.h"
#include "render/picture.h"
#include "scenes/scenes.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <cstdlib>

int maxfibo = 100;
int* fibonaccinumbers = nullptr;
FiboTree** trees = nullptr;
// One tree's drawn lines, two vertices with their colours per branch, as the draw sends them
// to GL; sized for the largest tree.
static Vector* fiboVertices = nullptr;
static float* fiboColours = nullptr;

void fibotree_recurse(Lista* list, Vector& from, int level, int last)
{
    if (level > last)
        return;
    for (int i = 0; i < fibonaccinumbers[level]; i++) {
        float L = (float)(last - level + 1);
        float r = 0.6f * L + (0.8f * L - 0.6f * L);
        FiboBranch* b = new FiboBranch;
        b->from = from;
        b->to = from + randomSphereVector(r);
        b->level = level;
        list->add(b);
        fibotree_recurse(list, b->to, level + 1, last);
    }
}

void fibotree_init()
{
    // Entries from 46 on exceed a signed int: they wrap as unsigned sums (never read).
    fibonaccinumbers = new int[maxfibo];
    fibonaccinumbers[0] = 1;
    fibonaccinumbers[1] = 1;
    for (int i = 2; i < maxfibo; i++)
        fibonaccinumbers[i] =
            (int)((unsigned)fibonaccinumbers[i - 1] + (unsigned)fibonaccinumbers[i - 2]);

    trees = new FiboTree*[FIBO_TREES];
    for (int i = 0; i < FIBO_TREES; i++) {
        srand(560 * i);
        FiboTree* tree = new FiboTree();
        tree->branches = new Lista();
        Vector origin(0, 0, 0);
        fibotree_recurse(tree->branches, origin, 0, FIBO_LAST_LEVEL);
        tree->start = randFloat();
        tree->end = tree->start + 0.1f + 0.1f * randFloat();
        trees[i] = tree;
    }
    int most = 0;
    for (int i = 0; i < FIBO_TREES; i++)
        if (trees[i]->branches->getNodeCount() > most)
            most = trees[i]->branches->getNodeCount();
    fiboVertices = new Vector[2 * most];
    fiboColours = new float[8 * most];
}

bool fiboBranchColour(int l, int L, float frac, float A, float rgba[4])
{
    if (l > L)
        return false;
    rgba[0] = 0;
    rgba[1] = 0;
    if (l < L) {
        rgba[2] = 0;
        rgba[3] = A * (7 - l) / 6;
    } else {
        rgba[2] = 1;
        rgba[3] = frac * A * (7 - l) / 6;
    }
    return true;
}

void FiboTree::draw(float t, float alpha, const VertexBatch& batch)
{
    if (t > end || t < start)
        return;
    float p = calcPosFloat(t, start, end);
    float s = calcSaturate(p, 0.0f, 1.0f, 3.0f);
    float a = alpha * s;
    float g = 7 * a;
    int L = (int)g;
    float frac = g - L;
    float A = 0.7f * a;

    // The lines go to GL as one vertex array with a colour per vertex: the same lines, colours
    // and order as a glBegin(GL_LINES) block with glColor4f before each pair, without three calls
    // per branch.
    branches->goToStart();
    int n = branches->getNodeCount();
    int lines = 0;
    float rgba[4];
    for (int i = 0; i < n; i++) {
        FiboBranch* b = (FiboBranch*)branches->getCurrent();
        if (fiboBranchColour(b->level, L, frac, A, rgba)) {
            fiboVertices[2 * lines] = b->from;
            fiboVertices[2 * lines + 1] = b->to;
            float* c = fiboColours + 8 * lines;
            for (int k = 0; k < 8; k++)
                c[k] = rgba[k % 4];
            lines++;
        }
        branches->goForward();
    }
    batch.draw(GL_LINES, 2 * lines);
}

void fibotree(float t)
{
    float fade = calcSaturate(t, 0.0f, 1.0f, 6.0f);

    glLoadIdentity();
    gluLookAt(0, 0, -20 - 25 * t * t, 0, 0, 0, 0, 1, 0);
    glRotatef(150 * t, 0.5f, 0.9f, 0.4f);

    glDisable(GL_TEXTURE_2D);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);

    // White fog on the white background: branches pale from 20 units and vanish at 45.
    static const GLfloat white[4] = {1, 1, 1, 1};
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glFogfv(GL_FOG_COLOR, white);
    glHint(GL_FOG_HINT, GL_DONT_CARE);
    glFogf(GL_FOG_START, 20);
    glFogf(GL_FOG_END, 45);
    glEnable(GL_FOG);

    pictureLineWidth(3);

    VertexBatch batch(fiboVertices, fiboColours);
    for (int i = 0; i < FIBO_TREES; i++)
        trees[i]->draw(t, fade, batch);

    glDisable(GL_FOG);
}

void fibotree_free()
{
    if (trees) {
        for (int i = 0; i < FIBO_TREES; i++) {
            trees[i]->branches->destroy();
            delete trees[i]->branches;
            delete trees[i];
        }
        delete[] trees;
    }
    trees = nullptr;
    delete[] fibonaccinumbers;
    fibonaccinumbers = nullptr;
    delete[] fiboVertices;
    fiboVertices = nullptr;
    delete[] fiboColours;
    fiboColours = nullptr;
}
