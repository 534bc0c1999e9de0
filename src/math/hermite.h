// Hermite curves and paths: the cubic segments, the paths through points built from them, and
// linear blending of vectors. Solids are laid out and cameras moved along these.
//
// Conventions of the math library (see vector.h): single precision throughout.
#ifndef QUENRASTILAN_MATH_HERMITE_H
#define QUENRASTILAN_MATH_HERMITE_H

#include "math/list.h"
#include "math/vector.h"

// One cubic Hermite segment. Note the argument order used throughout: start point, start
// tangent, end tangent, end point (not the common p0, p1, m0, m1).
class HermiteCurve {
public:
    Vector startPoint;    // value at parameter 0
    Vector startTangent;  // derivative at parameter 0
    Vector endTangent;    // derivative at parameter 1
    Vector endPoint;      // value at parameter 1

    HermiteCurve();
    HermiteCurve(Vector& startPoint, Vector& startTangent, Vector& endTangent, Vector& endPoint);
    void set(Vector& startPoint, Vector& startTangent, Vector& endTangent, Vector& endPoint);
    // One coordinate of a segment: p0 at t = 0 and p1 at t = 1 whatever the tangents.
    float value(float p0, float m0, float m1, float p1, float t) const;
    // The point at parameter t (value() applied per coordinate).
    Vector getValue(float t) const;
};

// A smooth path through points, evaluated by one parameter: point i is reached at
// t = i / (pointCount - 1). Each segment starts with its own chord as tangent and ends with the
// next segment's chord, so the path's first derivative is continuous and it arrives at its last
// point with zero velocity. t outside [0, 1] extrapolates the first or last segment.
class Path {
public:
    int pointCount;  // always points->getNodeCount()
    Lista* points;   // heap Vectors, in the order added; owned by the path

    Path();
    ~Path();
    Path(const Path&) = delete;
    Path& operator=(const Path&) = delete;

    // Appends a heap copy of p.
    void addpoint(Vector p);
    // The point at parameter t; (0, 0, 0) for a path without points.
    Vector getValue(float t);
    // The path as a white line strip of 201 vertices, t = 0, 0.005, ... while t < 1. Texturing is
    // switched off inside; the enable and current attribute groups are pushed and restored.
    void draw();
};

// a (1 - t) + b t: a at t = 0, b at t = 1, no clamping of t.
Vector lerpVector(Vector& a, Vector& b, float t);

#endif
