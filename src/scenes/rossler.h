// The Rossler attractor scene's trajectory and shell, reachable by tests without GL.
#ifndef QUENRASTILAN_SCENES_ROSSLER_H
#define QUENRASTILAN_SCENES_ROSSLER_H

#include "math/vector.h"

extern int rosslercount;          // trajectory points: 10000
extern Vector* rosslerattractor;  // the trajectory in drawing units
extern int rosslerstarcount;      // shell points: 4000
extern Vector* rosslerstars;      // the shell, on the sphere of radius 5

// Integrates the Rossler system (a 0.2, b 0.2, c 5.7) with explicit Euler steps of 0.02 in
// single precision from (0.03, 0.08, 0.01); points[i] is the state after i + 1 steps, scaled
// by 0.1. The starting state itself is not stored.
void rosslerTrajectory(Vector* points, int count);

// Draws the shell and the first chords once, seen from eye towards centre, turned with the
// scene position t, every alpha scaled by `alpha`.
void rosslerview(Vector& eye, Vector& centre, float t, float alpha);

#endif
