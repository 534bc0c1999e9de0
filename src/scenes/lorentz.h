// The Lorenz attractor scene's trajectory and shell, reachable by tests without GL.
#ifndef QUENRASTILAN_SCENES_LORENTZ_H
#define QUENRASTILAN_SCENES_LORENTZ_H

#include "math/vector.h"

extern int lorentzcount;           // trajectory points: 5000
extern Vector* lorentzattractor;   // the trajectory in drawing units
extern int starcount;              // shell points: 4000
extern Vector* stars;              // the shell, on the sphere of radius 5

// Integrates the Lorenz system (sigma 10, rho 28, beta 8/3) with explicit Euler steps of 0.01
// in single precision from (0.03, 0.08, 0.01); points[i] is the state after i + 1 steps,
// scaled by 0.1. The starting state itself is not stored.
void lorentzTrajectory(Vector* points, int count);

#endif
