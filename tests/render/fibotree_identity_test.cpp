// The Fibonacci trees scene sends each tree's lines as a vertex array with a colour array. The
// reference below is the scene as it was first written, glColor4f and two glVertex3fv per branch
// inside a glBegin(GL_LINES) block per tree; both must give the same pixels and current colour.
#include "render_fixture.h"

#include "frame/timeline.h"
#include "scenes/fibotree.h"
#include "scenes/scenes.h"

#include <GL/gl.h>
#include <GL/glu.h>

static void treeImmediate(FiboTree& tree, float t, float alpha)
{
    if (t > tree.end || t < tree.start)
        return;
    float p = calcPosFloat(t, tree.start, tree.end);
    float a = alpha * calcSaturate(p, 0.0f, 1.0f, 3.0f);
    float g = 7 * a;
    int L = (int)g;
    glBegin(GL_LINES);
    tree.branches->goToStart();
    int n = tree.branches->getNodeCount();
    for (int i = 0; i < n; i++) {
        FiboBranch* b = (FiboBranch*)tree.branches->getCurrent();
        float rgba[4];
        if (fiboBranchColour(b->level, L, g - L, 0.7f * a, rgba)) {
            glColor4f(rgba[0], rgba[1], rgba[2], rgba[3]);
            glVertex3fv(&b->from.x);
            glVertex3fv(&b->to.x);
        }
        tree.branches->goForward();
    }
    glEnd();
}

static void fibotreeImmediate(float t)
{
    float fade = calcSaturate(t, 0.0f, 1.0f, 6.0f);
    glLoadIdentity();
    gluLookAt(0, 0, -20 - 25 * t * t, 0, 0, 0, 0, 1, 0);
    glRotatef(150 * t, 0.5f, 0.9f, 0.4f);
    glDisable(GL_TEXTURE_2D);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    static const GLfloat white[4] = {1, 1, 1, 1};
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glFogfv(GL_FOG_COLOR, white);
    glHint(GL_FOG_HINT, GL_DONT_CARE);
    glFogf(GL_FOG_START, 20);
    glFogf(GL_FOG_END, 45);
    glEnable(GL_FOG);
    glLineWidth(3);
    for (int i = 0; i < FIBO_TREES; i++)
        treeImmediate(*trees[i], t, fade);
    glDisable(GL_FOG);
}

TEST_F(ShowRenderTest, FibotreesAsVertexArraysDrawTheSamePixels)
{
    for (int time : {173000, 179500, 185000, 192000, 197500}) {
        float before[4], after[4];
        std::vector<unsigned char> reference = alone(fibotreeImmediate, 10, time);
        glGetFloatv(GL_CURRENT_COLOR, before);
        std::vector<unsigned char> arrays = alone(fibotree, 10, time);
        glGetFloatv(GL_CURRENT_COLOR, after);
        EXPECT_FALSE(allWhite(arrays)) << time;
        EXPECT_TRUE(reference == arrays) << "frame at " << time << " ms differs";
        for (int c = 0; c < 4; c++)
            EXPECT_EQ(before[c], after[c]) << time;
    }
}
