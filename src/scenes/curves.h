// The curves scene's data and its pure parts, reachable by tests without GL.
#ifndef QUENRASTILAN_SCENES_CURVES_H
#define QUENRASTILAN_SCENES_CURVES_H

#include "math/vector.h"
#include "render/batch.h"

const int CURVE_COUNT = 700;
const int CURVE_POINTS = 100;

// A chain of equal steps whose direction turns at a constant rate in two spherical angles,
// growing from its first point over [begin, end] of the scene.
class Curve {
public:
    int count;        // number of points (CURVE_POINTS)
    Vector* points;   // count points in the curve's own frame, owned; point 0 is (0, 0, 0)
    float begin;      // scene position where the curve starts to grow
    float end;        // scene position where it has grown fully
    Vector origin;    // where the curve's frame sits in the scene
    Vector rotstart;  // rotation about x, y, z in turns at begin
    Vector rotend;    // rotation about x, y, z in turns at end
    Vector color;     // RGB

    // Draws the grown part: one more vertex per hundredth of the window, the newest fading in.
    // Nothing below q = 0.001 or above 0.999 of the window. curves() calls it with the batch
    // of the colour array; the curve points the batch at its own points.
    void draw(float pos, float alpha, VertexBatch& batch);
};

extern Curve* kayrat;  // CURVE_COUNT curves

// Fills points[0..count) with the sums of the first j steps of length R, starting at angles
// theta and phi and turning by dtheta and dphi per step.
void curvePoints(Vector* points, int count, float theta, float phi, float dtheta, float dphi,
                 float R);

#endif
