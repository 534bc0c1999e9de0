// The diffusion-limited aggregation scene's aggregate, reachable by tests without GL.
#ifndef QUENRASTILAN_SCENES_DLA_H
#define QUENRASTILAN_SCENES_DLA_H

#include "math/list.h"
#include "math/vector.h"

// How the growth finds out that a walker touches the aggregate. Both give the same aggregate
// and leave the C library's rand() and the shared randFloat sequence in the same state.
enum DLAGrowth {
    // Looks at all 26 neighbours on every step and draws every step with rand().
    DLA_NEIGHBOUR_TEST,
    // Keeps a lattice of occupied-neighbour counts, updated when a walker sticks, and walks on
    // the C library's generator state directly where that is glibc's (rand() elsewhere).
    DLA_NEIGHBOUR_COUNTS,
};

// A three-dimensional aggregate grown by random walks on a 100 x 100 x 100 lattice whose
// centre cell is the seed. Particle i is the i-th walker to stick; the arrays keep that order.
class DLASystem {
public:
    int count;
    Vector* positions;  // the cell where the walker stuck, centred (cell - 50 on each axis)
    Vector* previous;   // the cell one step before it stuck (the same cell if it never moved)
    Vector* colors;     // (weight, 0, 0)
    float* alphas;      // the weight: 1 at the lattice centre, 0 at the corner cell (0, 0, 0)

    // Grows `count` walkers. Every walker spawns with three rand() % 100 draws and moves with
    // rand() % 6; every stick draws twice from randFloat.
    explicit DLASystem(int count, DLAGrowth growth = DLA_NEIGHBOUR_COUNTS);
    ~DLASystem();
    DLASystem(const DLASystem&) = delete;
    DLASystem& operator=(const DLASystem&) = delete;

    // 1 when all 26 neighbours of (x, y, z) lie inside the lattice (each coordinate in 1..98).
    static int safeget(int x, int y, int z);
    // Draws the first count * pos particles as points, two per particle.
    void draw(float pos, float fade);

private:
    // The points as draw() sends them: where particle i stuck and where it came from at 2i and
    // 2i + 1, and a colour per point, filled for the drawn particles each frame.
    Vector* pointVertices;
    float* pointColours;

    void growByNeighbourTest();
    void growByNeighbourCounts();
    // Records walker i as stuck at cell (x, y, z), arrived from (px, py, pz).
    void stick(int i, int x, int y, int z, int px, int py, int pz);
};

// Holds the scene's one DLASystem.
extern Lista* DLAList;

#endif
