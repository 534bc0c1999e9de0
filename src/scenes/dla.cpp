// Scene: diffusion-limited aggregation, 119 - 132 s. A cluster of 25000 particles grown by random
// walks at start-up is revealed in the order the walkers stuck, as red points that fade with
// distance from the lattice centre, through white fog, while the camera sways and the cluster turns.
#include "scenes/dla.h"

#include "math/random.h"
#include "math/timing.h"
#include "render/batch.h"
#include "render/picture.h"
#include "scenes/scenes.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <cmath>
#include <cstdint>
#include <cstdlib>

Lista* DLAList = nullptr;

// ---------------------------------------------------------------------------------------------
// Growth

#ifdef __GLIBC__
// glibc's rand() is an additive feedback generator over a table of 31 words that srand fills:
// each draw adds the word at the rear index into the word three places ahead of it (the front
// index), returns that sum shifted right by one and advances both indices. rand() also takes a
// lock on every draw, which dominated the growth. So the walk borrows the library's table:
// initstate() makes a scratch table current and hands back the library's own, whose first word
// records the rear index (5 * rear + generator type); the walk runs the same recurrence on a copy
// and setstate() hands the advanced table back, so that rand() then continues exactly where as
// many rand() calls would have left it.
class CLibraryRand {
public:
    CLibraryRand()
    {
        static int32_t scratch[32];
        saved = initstate(1, reinterpret_cast<char*>(scratch), sizeof scratch);
        header = reinterpret_cast<int32_t*>(saved);
        if (header[0] % 5 != 3) {
            // Not the 31-word generator srand sets up: leave it alone and call rand().
            setstate(saved);
            header = nullptr;
            return;
        }
        for (int k = 0; k < 31; k++)
            table[k] = (uint32_t)header[1 + k];
        rear = header[0] / 5;
        front = (rear + 3) % 31;
    }
    ~CLibraryRand()
    {
        if (!header)
            return;
        for (int k = 0; k < 31; k++)
            header[1 + k] = (int32_t)table[k];
        header[0] = 5 * rear + 3;
        setstate(saved);
    }
    CLibraryRand(const CLibraryRand&) = delete;
    CLibraryRand& operator=(const CLibraryRand&) = delete;

    int next()
    {
        if (!header)
            return rand();
        uint32_t v = table[front] += table[rear];
        if (++front == 31)
            front = 0;
        if (++rear == 31)
            rear = 0;
        return (int)(v >> 1);
    }

private:
    char* saved;
    int32_t* header;
    uint32_t table[31];
    int front = 0, rear = 0;
};
#else
// Elsewhere the generator's state is opaque: draw through rand().
class CLibraryRand {
public:
    int next() { return rand(); }
};
#endif

int DLASystem::safeget(int x, int y, int z)
{
    return x >= 1 && x <= 98 && y >= 1 && y <= 98 && z >= 1 && z <= 98;
}

DLASystem::DLASystem(int count_, DLAGrowth growth) : count(count_)
{
    int n = count > 0 ? count : 0;
    positions = new Vector[n];
    previous = new Vector[n];
    colors = new Vector[n];
    alphas = new float[n];
    if (growth == DLA_NEIGHBOUR_TEST)
        growByNeighbourTest();
    else
        growByNeighbourCounts();
    pointVertices = new Vector[2 * n];
    pointColours = new float[8 * n];
    for (int i = 0; i < n; i++) {
        pointVertices[2 * i] = positions[i];
        pointVertices[2 * i + 1] = previous[i];
    }
}

DLASystem::~DLASystem()
{
    delete[] positions;
    delete[] colors;
    delete[] previous;
    delete[] alphas;
    delete[] pointVertices;
    delete[] pointColours;
}

void DLASystem::stick(int i, int x, int y, int z, int px, int py, int pz)
{
    // The jitter has radius 0, but its two randFloat draws are part of the sequence.
    Vector j = randomSphereVector(0.0f);
    positions[i] = Vector((float)(x - 50), (float)(y - 50), (float)(z - 50)) + j;
    previous[i] = Vector((float)(px - 50), (float)(py - 50), (float)(pz - 50));

    const float L = Vector(50, 50, 50).length();
    float q = (L - previous[i].length()) / L;
    float w = (float)std::pow((double)q, 2.0);
    alphas[i] = w;
    colors[i] = Vector(1, 0, 0) * w + Vector(0, 0, 0) * (1 - w);
}

// Whether any of the 26 neighbours of (x, y, z) is occupied; the cell itself is not looked at.
static bool touches(int (*grid)[100][100], int x, int y, int z)
{
    for (int dx = -1; dx <= 1; dx++)
        for (int dy = -1; dy <= 1; dy++)
            for (int dz = -1; dz <= 1; dz++)
                if ((dx || dy || dz) && grid[x + dx][y + dy][z + dz])
                    return true;
    return false;
}

void DLASystem::growByNeighbourTest()
{
    int (*grid)[100][100] = new int[100][100][100]();
    grid[50][50][50] = 1;
    for (int i = 0; i < count; i++) {
        int x = rand() % 100;
        int y = rand() % 100;
        int z = rand() % 100;
        int px = x, py = y, pz = z;
        // The outer layer absorbs walkers as the aggregate does. A walker never steps into an
        // occupied cell, but one spawned on the seed with no occupied neighbour walks off it.
        while (safeget(x, y, z) && !touches(grid, x, y, z)) {
            px = x;
            py = y;
            pz = z;
            switch (rand() % 6) {
            case 0: x++; break;
            case 1: x--; break;
            case 2: y++; break;
            case 3: y--; break;
            case 4: z++; break;
            default: z--; break;
            }
        }
        grid[x][y][z] = 1;
        stick(i, x, y, z, px, py, pz);
    }
    delete[] grid;
}

// The lattice of the counting growth has one cell of padding on every side, so that the 26
// neighbours of any lattice cell can be addressed without a bounds check.
static const int SIDE = 102;
static const int STEP_Y = SIDE;
static const int STEP_X = SIDE * SIDE;
static const unsigned char OUTER = 0x80;      // the cell is in the outer layer: safeget is 0
static const unsigned char OCCUPIED = 0x40;   // a walker stuck here
static const unsigned char NEIGHBOURS = 0x1f; // how many of the 26 neighbours are occupied

static int cellIndex(int x, int y, int z) { return ((x + 1) * SIDE + (y + 1)) * SIDE + (z + 1); }

static void occupy(unsigned char* lattice, int c)
{
    lattice[c] |= OCCUPIED;
    for (int dx = -1; dx <= 1; dx++)
        for (int dy = -1; dy <= 1; dy++)
            for (int dz = -1; dz <= 1; dz++)
                if (dx || dy || dz)
                    lattice[c + dx * STEP_X + dy * STEP_Y + dz]++;
}

void DLASystem::growByNeighbourCounts()
{
    unsigned char* lattice = new unsigned char[SIDE * SIDE * SIDE]();
    for (int x = 0; x < 100; x++)
        for (int y = 0; y < 100; y++)
            for (int z = 0; z < 100; z++)
                if (!safeget(x, y, z))
                    lattice[cellIndex(x, y, z)] = OUTER;
    occupy(lattice, cellIndex(50, 50, 50));

    // A walker sticks where it is in the outer layer or has an occupied neighbour; whether its
    // own cell is occupied does not count, as in the neighbour test.
    const unsigned char sticky = OUTER | NEIGHBOURS;
    const int move[6] = {STEP_X, -STEP_X, STEP_Y, -STEP_Y, 1, -1};
    CLibraryRand r;
    for (int i = 0; i < count; i++) {
        int x = r.next() % 100;
        int y = r.next() % 100;
        int z = r.next() % 100;
        int c = cellIndex(x, y, z);
        int p = c;
        while (!(lattice[c] & sticky)) {
            p = c;
            c += move[r.next() % 6];
        }
        if (!(lattice[c] & OCCUPIED))
            occupy(lattice, c);
        stick(i, c / STEP_X - 1, c / STEP_Y % SIDE - 1, c % SIDE - 1,
              p / STEP_X - 1, p / STEP_Y % SIDE - 1, p % SIDE - 1);
    }
    delete[] lattice;
}

void dla_init()
{
    DLAList = new Lista;
    srand(6501);
    setSeed(16981);
    DLAList->add(new DLASystem(25000));
}

// ---------------------------------------------------------------------------------------------
// Drawing

void DLASystem::draw(float pos, float fade)
{
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    picturePointSize(5.0f);

    int n = (int)(count * pos);
    if (n > count)
        n = count;
    // Two points per particle: where it stuck and where it came from (one cell apart, or the
    // same cell for a walker that stuck where it spawned). They go to GL as one vertex array with
    // a colour per point: the same points, colours and order as a glBegin(GL_POINTS) block with
    // glColor4f before each pair, and afterwards the same current colour.
    for (int i = 0; i < n; i++) {
        float* c = pointColours + 8 * i;
        c[0] = c[4] = colors[i].x;
        c[1] = c[5] = colors[i].y;
        c[2] = c[6] = colors[i].z;
        c[3] = c[7] = fade * alphas[i];
    }
    VertexBatch(pointVertices, pointColours).draw(GL_POINTS, 2 * n);
}

void dla(float pos)
{
    float fade = calcSaturate(pos, 0.0f, 1.0f, 6.0f);

    glLoadIdentity();
    // The eye, 40 units up, sways once between 80 and 120 units behind the centre.
    const float pi = 3.141592f;
    float s = (float)std::sin((double)((pos + pos) * pi));
    gluLookAt(0, 40, -(20 * s + 100), 0, 0, 0, 0, 1, 0);
    glRotatef(130 * pos, 0, 1, 0.2f);  // the axis is not normalised; GL scales it

    glDisable(GL_TEXTURE_2D);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);

    DLAList->goToStart();
    DLASystem* system = static_cast<DLASystem*>(DLAList->getCurrent());

    // Linear fog: particles beyond 90 units from the eye fade into the white background and
    // vanish at 100. The density is set too, though linear fog does not read it.
    static const GLfloat white[4] = {1, 1, 1, 1};
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glFogfv(GL_FOG_COLOR, white);
    glFogf(GL_FOG_DENSITY, 0.4f * (float)std::cos((double)(10 * pos)) + 0.4f);
    glHint(GL_FOG_HINT, GL_DONT_CARE);
    glFogf(GL_FOG_START, 90);
    glFogf(GL_FOG_END, 100);
    glEnable(GL_FOG);

    system->draw(pos, fade);

    glDisable(GL_FOG);
}

// The list frees its payloads without running their destructors, and the system owns four
// arrays: so the system is deleted here, its node emptied, and then the list released.
void dla_free()
{
    if (!DLAList)
        return;
    if (DLAList->goToStart()) {
        delete static_cast<DLASystem*>(DLAList->getCurrent());
        DLAList->current->set(nullptr);
    }
    DLAList->destroy();
    delete DLAList;
    DLAList = nullptr;
}
