// The vector field scene's particles and fields, reachable by tests without GL.
#ifndef QUENRASTILAN_SCENES_FIELD_H
#define QUENRASTILAN_SCENES_FIELD_H

#include "math/vector.h"
#include "scenes/flow.h"

// The particle population, always this many after field_init.
const int FIELD_FLOATERS = 8000;

extern Flow fieldflow;  // the particles, born in the cube |x|, |y|, |z| <= 10

// The fields at the point (x, y, z) and scene position t.
// A radial outflow, r 0.05 |r|.
Vector fieldfunc1(float x, float y, float z, float t);
// A direction of length 5 whose angles follow the summed distance to two moving foci.
Vector fieldfunc2(float x, float y, float z, float t);
// A travelling wave in all three components, of amplitude 2.
Vector fieldfunc3(float x, float y, float z, float t);
// The mix: the outflow at t = 0 blends over the first quarter into an oscillating blend of
// the foci and the wave field.
Vector fielddirector(float x, float y, float z, float t);

// What fielddirector computes that depends only on t, worked out once per frame.
struct FieldFrame {
    float t;
    Vector focus1, focus2;  // the foci of fieldfunc2
    float waveX, waveY;     // 50 (0.6 t) and 50 (0.8 t), the wave field's phases in x and y
    double waveZ;           // 50 (0.94 t) in double, its phase in z
    float a, w;             // the weights of the mix
};
FieldFrame fieldFrame(float t);
// fielddirector(x, y, z, frame.t), bit for bit, with the per-frame parts taken from frame.
Vector fieldVelocity(const FieldFrame& frame, float x, float y, float z);

#endif
