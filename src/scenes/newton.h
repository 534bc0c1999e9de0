// The Newton fractal scene's grid and iteration, reachable by tests without a GL context.
#ifndef QUENRASTILAN_SCENES_NEWTON_H
#define QUENRASTILAN_SCENES_NEWTON_H

#include "math/complex.h"

const int NEWTON_SIZE = 100;  // the grid is NEWTON_SIZE rows of NEWTON_SIZE points

// The value of every grid point in the current frame, row i and column j at i * 100 + j.
// Allocated and zeroed by newton_init, released by newton_free.
extern float* ngrid;

// The quarter of the scene that holds t, 1 to 4; a t on a boundary belongs to the lower one.
int newtonQuarter(float t);
// Seven steps z - f(z) / g(z) of quarter newtonQuarter(t)'s pair from z0, then 0.2 times the
// half-plane angle of the final z: between about -0.314 and 0.314, NaN where the iteration
// overflowed (a start point that meets g = 0 in the third quarter is thrown to -1e6 - 1e6 i,
// and its next step overflows single precision).
float newtonValue(float t, Complex z0);
// Fills grid (10000 floats) with the values at t; point (i, j) starts at 0.02 j + 0.02 i i.
void newtonGrid(float t, float* grid);
// Half the side of a point's square: 0.2 - 2.5 value, negative for a reversed square. A value
// that is not finite gives 0, an empty square, so no NaN vertex is ever sent to GL.
float newtonHalfSize(float value);

#endif
