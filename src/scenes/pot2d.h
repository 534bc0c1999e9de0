// The potential field scene's grids and fields, reachable by tests without a GL context.
#ifndef QUENRASTILAN_SCENES_POT2D_H
#define QUENRASTILAN_SCENES_POT2D_H

const int POT2D_SIZE = 55;     // a grid is POT2D_SIZE rows of POT2D_SIZE values
const int POT2D_LAYERS = 16;   // the ring of grids: the fields of the last 16 frames

// The ring: 16 grids of 3025 floats, row i and column j at i * 55 + j. Allocated and zeroed by
// pot2d_init, released by pot2d_free.
extern float** potgrid;

// Sets the 3025 values of grid to 0.
void pot2d_clear(float* grid);
// Add w times a field at time T to every cell of grid; nothing at all when w < 0.001.
// Field 1: travelling sine waves along the rows and the columns, values in [-0.125, 0.625].
void pot2d_func1(float T, float w, float* grid);
// Field 2: rings around three centres that swing far outside the grid, values in [0, 1].
void pot2d_func2(float T, float w, float* grid);
// The field of scene position t into grid: field 1 alone up to t = 0.4, field 2 alone from
// t = 0.6, cross-faded linearly in between.
void pot2dField(float t, float* grid);

#endif
