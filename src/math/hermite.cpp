// Hermite segments, paths through points and vector blending, in single precision.
#include "math/hermite.h"

#include <GL/gl.h>
#include <climits>
#include <cmath>

HermiteCurve::HermiteCurve() {}

HermiteCurve::HermiteCurve(Vector& sp, Vector& st, Vector& et, Vector& ep)
    : startPoint(sp), startTangent(st), endTangent(et), endPoint(ep)
{
}

void HermiteCurve::set(Vector& sp, Vector& st, Vector& et, Vector& ep)
{
    startPoint = sp;
    startTangent = st;
    endTangent = et;
    endPoint = ep;
}

float HermiteCurve::value(float p0, float m0, float m1, float p1, float t) const
{
    float t2 = t * t;
    float t3 = t2 * t;
    float h00 = 2.0f * t3 - 3.0f * t2 + 1.0f;
    float h10 = t3 - 2.0f * t2 + t;
    float h11 = t3 - t2;
    float h01 = -2.0f * t3 + 3.0f * t2;
    return h00 * p0 + h10 * m0 + h11 * m1 + h01 * p1;
}

Vector HermiteCurve::getValue(float t) const
{
    return Vector(value(startPoint.x, startTangent.x, endTangent.x, endPoint.x, t),
                  value(startPoint.y, startTangent.y, endTangent.y, endPoint.y, t),
                  value(startPoint.z, startTangent.z, endTangent.z, endPoint.z, t));
}

Path::Path() : pointCount(0), points(new Lista()) {}

Path::~Path()
{
    points->destroy();
    delete points;
}

void Path::addpoint(Vector p)
{
    points->add(new Vector(p));
    pointCount++;
}

// floor(u) as an int, held inside the int range (NaN counts as 0) so that any t is safe.
static int segmentIndex(float u)
{
    double k = std::floor((double)u);
    if (!(k > (double)INT_MIN))
        return k != k ? 0 : INT_MIN;
    if (k > (double)INT_MAX)
        return INT_MAX;
    return (int)k;
}

Vector Path::getValue(float t)
{
    if (pointCount == 0)
        return Vector(0.0f, 0.0f, 0.0f);
    float u = t * (float)(pointCount - 1);
    int k = segmentIndex(u);
    // goForward() stops on the last node, so P1 and P2 repeat the last point at the end; a
    // negative k leaves the cursor on the first point.
    points->goToNode(k);
    Vector p0 = *(Vector*)points->getCurrent();
    points->goForward();
    Vector p1 = *(Vector*)points->getCurrent();
    points->goForward();
    Vector p2 = *(Vector*)points->getCurrent();

    Vector startTangent = p1 - p0;
    Vector endTangent = p2 - p1;
    HermiteCurve curve;
    curve.set(p0, startTangent, endTangent, p1);
    float s = t * (float)(pointCount - 1) - (float)k;
    return curve.getValue(s);
}

void Path::draw()
{
    // One push of both groups: Mesa 22 fails to restore the enables when an enable push and a
    // current push are nested and popped one after the other, leaving texturing off.
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT);
    glDisable(GL_TEXTURE_2D);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glBegin(GL_LINE_STRIP);
    for (float t = 0.0f; t < 1.0f; t += 0.005f) {
        Vector v = getValue(t);
        glVertex3f(v.x, v.y, v.z);
    }
    glEnd();
    glPopAttrib();
}

Vector lerpVector(Vector& a, Vector& b, float t)
{
    return a * (1.0f - t) + b * t;
}
