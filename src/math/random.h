// The program's own random generator and the sampling functions built on it.
//
// Conventions of the math library (see vector.h): single precision throughout; only sin and cos
// run in double, rounded back to float; angles are radians.
//
// One state, SEED, is shared by randFloat and randInt for the whole run: a scene that does not
// call setSeed continues where the previous caller left off, so the order of the scene inits
// fixes every layout. The C library's rand/srand are a separate generator, used directly.
#ifndef QUENRASTILAN_MATH_RANDOM_H
#define QUENRASTILAN_MATH_RANDOM_H

#include "math/vector.h"

#include <cstdint>

// Starts at SEED_AT_START.
extern uint32_t SEED;
const uint32_t SEED_AT_START = 93186752u;

// SEED takes the argument's bit pattern. setSeed(0) makes both generators return 0 for ever.
void setSeed(int seed);
// Advances SEED and returns SEED / 4294967291 rounded to float: [0, 1], 1.0 included.
float randFloat();
// Advances SEED with its own constants and returns the new SEED read as a signed int.
int randInt();

// (r sin(theta) cos(phi), r sin(theta) sin(phi), r cos(theta)).
Vector sphereCoord(float r, float theta, float phi);
// A point at distance r from the origin, from two randFloat draws (theta first). theta is
// uniform in angle, so the points crowd towards the poles on the z axis.
Vector randomSphereVector(float r);
// A point in the cube of side s centred on the origin, from three randFloat draws.
Vector randomBoxVector(float s);
// (r cos(angle), r sin(angle), 0).
Vector polarCoord(float r, float angle);
// The Catmull-Rom blend of p0..p3: p1 at t = 0, p2 at t = 1.
float catmullromValue(float t, float p0, float p1, float p2, float p3);

#endif
