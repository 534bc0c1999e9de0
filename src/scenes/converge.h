// The converging flow scene's particles and fields, reachable by tests without GL.
#ifndef QUENRASTILAN_SCENES_CONVERGE_H
#define QUENRASTILAN_SCENES_CONVERGE_H

#include "math/hermite.h"
#include "math/vector.h"
#include "scenes/flow.h"

// The particle population, always this many after converge_init.
const int CONVERGE_FLOATERS = 10000;

extern Flow convergeflow;  // the particles, all in the plane y = 0
extern Path* convergecam;  // the camera path, looking down on the plane and out to one side

// The fields at the point (x, y, z) and scene position t. Each has y component 0 at y = 0.
// A radial outflow, r 0.1 |r|.
Vector convergefunc1(float x, float y, float z, float t);
// A unit direction in the plane whose angle follows the summed distance to two moving foci.
Vector convergefunc2(float x, float y, float z, float t);
// A travelling wave.
Vector convergefunc3(float x, float y, float z, float t);
// The mix: the outflow alone until t = 0.4, gone by 0.6; then the foci and the wave field in
// an oscillating blend, the wave field alone over the last fifth.
Vector convergedirector(float x, float y, float z, float t);

// What convergedirector computes that depends only on t, worked out once per frame.
struct ConvergeFrame {
    float t;
    Vector focus1, focus2;  // the foci of convergefunc2
    float wave;             // 10 (0.6 t), the phase of the wave field's x component
    double waveZ;           // 10 (0.94 t) in double, the phase of its z component
    float w1, w2;           // the weights of the mix
};
ConvergeFrame convergeFrame(float t);
// convergedirector(x, y, z, frame.t), bit for bit, with the per-frame parts taken from frame.
Vector convergeVelocity(const ConvergeFrame& frame, float x, float y, float z);

#endif
