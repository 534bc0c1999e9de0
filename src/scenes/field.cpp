// Scene: vector field flow, 225 - 244 s. Eight thousand particles stream through a turning cube
// on a time-varying three-dimensional field, leaving red streaks: the show's last scene.
#include "scenes/field.h"

#include "math/timing.h"
#include "scenes/scenes.h"

#include <GL/gl.h>
#include <cmath>
#include <cstdlib>

// The particles are born in the cube |x|, |y|, |z| <= 10 and age five times faster outside it;
// they move at 25 times the field, by the change of position.
Flow fieldflow = {FIELD_FLOATERS, true, 10.0f, 0.05f, 25.0f, 1.0f};

Vector fieldfunc1(float x, float y, float z, float)
{
    float r = (float)std::sqrt((double)(x * x + y * y + z * z));
    return Vector(x, y, z) * (0.05f * r);
}

FieldFrame fieldFrame(float t)
{
    FieldFrame f;
    f.t = t;
    f.focus1 = Vector(3.0f * (float)std::sin((double)(13.5f * t)) + 7.0f * (float)std::cos((double)(24.0f * t)),
                      7.0f * (float)std::cos((double)(56.0f * t + 0.2f)),
                      7.0f * (float)std::cos((double)(15.0f * t)));
    f.focus2 = Vector(5.0f * (float)std::cos((double)(17.0f * t)),
                      19.0f * (float)std::cos((double)(26.0f * t)),
                      7.0f * (float)std::cos((double)(11.0f * t)));
    f.waveX = 50.0f * (0.6f * t);
    f.waveY = 50.0f * (0.8f * t);
    f.waveZ = 50 * (0.94 * t);
    f.a = calcPosFloat(t, 0.0f, 0.25f);
    f.w = 0.5f * (float)std::cos((double)(19.0f * t)) + 0.5f;
    return f;
}

// fieldfunc2 with its foci given.
static Vector focusField(const FieldFrame& f, float x, float y, float z)
{
    Vector r(x, y, z);
    float d1 = (r - f.focus1).length();
    float d2 = (r - f.focus2).length();
    float a = (float)std::sin((double)((d1 + d2) * f.t));
    Matrix turn;
    turn.makeRotation(0.5f * a, a, 0.0f);
    return Vector(5.0f, 0.0f, 0.0f) * turn;
}

// fieldfunc3 with its phases given.
static Vector waveField(const FieldFrame& f, float x, float y, float z)
{
    return Vector((float)std::sin((double)(0.5f * (1.4f * x) + 0.5f * (0.7f * y) + 0.5f * (1.7f * z) + f.waveX)),
                  (float)std::sin((double)(f.waveY + 0.5f * (0.7f * y))),
                  (float)std::sin(f.waveZ + 0.8 * x + 0.5f * (1.335f * z)))
        * 2.0f;
}

Vector fieldfunc2(float x, float y, float z, float t)
{
    return focusField(fieldFrame(t), x, y, z);
}

Vector fieldfunc3(float x, float y, float z, float t)
{
    return waveField(fieldFrame(t), x, y, z);
}

Vector fieldVelocity(const FieldFrame& f, float x, float y, float z)
{
    // All three fields are evaluated whatever the weights (an infinite outflow with a share of
    // 0 still makes the velocity NaN).
    Vector c1 = fieldfunc1(x, y, z, f.t);
    Vector c2 = focusField(f, x, y, z);
    Vector c3 = waveField(f, x, y, z);
    return c1 * (1.0f - f.a) + (c2 * f.w + c3 * (1.0f - f.w)) * f.a;
}

Vector fielddirector(float x, float y, float z, float t)
{
    return fieldVelocity(fieldFrame(t), x, y, z);
}

void field_init()
{
    srand(160917);
    // No setSeed: the positions continue the randFloat sequence converge_init left.
    flowInit(fieldflow);
}

void field_advance(float pos)
{
    FieldFrame frame = fieldFrame(pos);
    flowStep(fieldflow, pos, [&frame](float x, float y, float z) { return fieldVelocity(frame, x, y, z); });
}

void field(float pos)
{
    // The cube sits 45 units in front of the eye and turns once about a tilted axis.
    glLoadIdentity();
    glTranslatef(0, 0, -45);
    glRotatef(360 * pos, 0.2f, 0.9f, 0.4f);

    // Smoothed streaks, under a matrix pushed for them.
    glPushMatrix();
    glEnable(GL_LINE_SMOOTH);
    glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
    FieldFrame frame = fieldFrame(pos);
    flowDraw(fieldflow, pos, calcSaturate(pos, 0.0f, 1.0f, 3.0f),
             [&frame](float x, float y, float z) { return fieldVelocity(frame, x, y, z); });
    glPopMatrix();
}

void field_free()
{
    flowFree(fieldflow);
}
