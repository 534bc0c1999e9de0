// The cells scene's data and its pure parts: the folded distance, the moving centres and the
// distance field, reachable by tests without GL.
#ifndef QUENRASTILAN_SCENES_CELL_H
#define QUENRASTILAN_SCENES_CELL_H

#include "math/vector.h"

const int CELL_GRID = 120;    // the field is CELL_GRID by CELL_GRID lattice points
const int CELL_ITEMS = 20;    // cell centres; one more becomes active each nineteenth
const int CELL_GREETINGS = 40;

// One cell centre circling over the plane.
struct CellItem {
    float radius;      // radius of its circular path, in (0, 128]
    float speed;       // turns per scene length, between -1 and 2 (faster for small circles)
    float phase;       // starting angle as a fraction of a turn, in [0, 1)
    Vector position;   // current centre in lattice units; z is 0
};

extern float* cgrid;           // CELL_GRID * CELL_GRID, row y at y * CELL_GRID
extern CellItem* cellitems;    // CELL_ITEMS
// Entry 0 is never shown, entry 39 is empty; stage k shows entries 2k + 1 and 2k + 2.
extern const char greetings[CELL_GREETINGS][30];

// Squared distance with each axis folded once at 60: 61 apart counts as 59, 130 as 10. A
// difference above 120 folds to a negative value whose square grows again (kept on purpose:
// the drifting centres reach beyond the plane and their borders bend back from there).
int calculateDist(int x1, int y1, int x2, int y2);
// Places the first n centres for scene position pos.
void cellMove(CellItem* items, int n, float pos);
// Fills grid with the squared distance to the nearest of the first n centres, divided by 256,
// the centres' coordinates truncated toward zero.
void cellField(float* grid, const CellItem* items, int n);

#endif
