// Scene: converging particle flow, 159 - 172 s. Ten thousand particles drift in the plane y = 0
// through a mix of three time-varying fields, leaving red streaks, seen from a moving camera.
#include "scenes/converge.h"

#include "math/timing.h"
#include "scenes/scenes.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <cmath>
#include <cstdlib>

// The particles are born in the square |x|, |z| <= 6.7 of the plane y = 0 and age five times
// faster outside it; they move at 40 times the field, by 1.5 times the change of position.
Flow convergeflow = {CONVERGE_FLOATERS, false, 6.7f, 0.05f, 40.0f, 1.5f};
Path* convergecam = nullptr;

Vector convergefunc1(float x, float y, float z, float)
{
    float r = (float)std::sqrt((double)(x * x + y * y + z * z));
    return Vector(x, y, z) * (0.1f * r);
}

ConvergeFrame convergeFrame(float t)
{
    ConvergeFrame f;
    f.t = t;
    f.focus1 = Vector(3.0f * (float)std::sin((double)(13.5f * t)) + 7.0f * (float)std::cos((double)(24.0f * t)),
                      7.0f * (float)std::cos((double)(56.0f * t + 0.2f)),
                      7.0f * (float)std::cos((double)(15.0f * t)));
    f.focus2 = Vector(5.0f * (float)std::cos((double)(17.0f * t)),
                      19.0f * (float)std::cos((double)(26.0f * t)),
                      7.0f * (float)std::cos((double)(11.0f * t)));
    f.wave = 10.0f * (0.6f * t);
    f.waveZ = 10 * (0.94 * t);
    f.w1 = 3.0f * (1.0f - calcPosFloat(t, 0.0f, 0.6f));
    if (f.w1 > 1.0f)
        f.w1 = 1.0f;
    f.w2 = (0.5f * (float)std::sin((double)(24.0f * t)) + 0.5f) * (1.0f - calcPosFloat(t, 0.8f, 1.0f));
    return f;
}

// convergefunc2 with its foci given: the direction is constant along confocal ellipses.
static Vector focusField(const ConvergeFrame& f, float x, float y, float z)
{
    Vector r(x, y, z);
    float d1 = (r - f.focus1).length();
    float d2 = (r - f.focus2).length();
    float a = (float)std::sin((double)((d1 + d2) * 0.4f * f.t));
    Matrix turn;
    turn.makeRotation(0.0f, a, 0.0f);
    return Vector(1.0f, 0.0f, 0.0f) * turn;
}

// convergefunc3 with its phases given.
static Vector waveField(const ConvergeFrame& f, float x, float z)
{
    return Vector((float)std::sin((double)(0.3f * (1.4f * x) + 0.3f * (1.7f * z) + f.wave)),
                  0.0f,
                  (float)std::sin(f.waveZ + 0.3f * (1.335f * x)));
}

Vector convergefunc2(float x, float y, float z, float t)
{
    return focusField(convergeFrame(t), x, y, z);
}

Vector convergefunc3(float x, float, float z, float t)
{
    return waveField(convergeFrame(t), x, z);
}

Vector convergeVelocity(const ConvergeFrame& f, float x, float y, float z)
{
    // All three fields are evaluated whatever the weights: a particle flung far out has an
    // infinite outflow, and its share of 0 then still makes the velocity NaN.
    Vector c1 = convergefunc1(x, y, z, f.t);
    Vector c2 = focusField(f, x, y, z);
    Vector c3 = waveField(f, x, z);
    return c1 * f.w1 + (c2 * f.w2 + c3 * (1.0f - f.w2)) * (1.0f - f.w1);
}

Vector convergedirector(float x, float y, float z, float t)
{
    return convergeVelocity(convergeFrame(t), x, y, z);
}

void converge_init()
{
    srand(160917);
    // No setSeed: the positions continue the randFloat sequence the earlier inits left.
    flowInit(convergeflow);

    convergecam = new Path;
    // Four equal points hold the camera still over the first part of the scene.
    convergecam->addpoint(Vector(1.1f, 15, -1.3f));
    convergecam->addpoint(Vector(1.1f, 15, -1.3f));
    convergecam->addpoint(Vector(1.1f, 15, -1.3f));
    convergecam->addpoint(Vector(1.1f, 15, -1.3f));
    convergecam->addpoint(Vector(1.1f, 25, -1.3f));
    convergecam->addpoint(Vector(5.1f, 30, -1.3f));
    convergecam->addpoint(Vector(9.1f, 30, -1.3f));
    convergecam->addpoint(Vector(14.1f, 20, -1.3f));
    convergecam->addpoint(Vector(17.1f, 6, -5.3f));
    convergecam->addpoint(Vector(21.1f, 6, -13.3f));
    convergecam->addpoint(Vector(19.1f, 8, -15.3f));
    convergecam->addpoint(Vector(14.1f, 11, -12.3f));
}

void converge_advance(float pos)
{
    ConvergeFrame frame = convergeFrame(pos);
    flowStep(convergeflow, pos, [&frame](float x, float y, float z) { return convergeVelocity(frame, x, y, z); });
}

void converge(float pos)
{
    glLoadIdentity();
    Vector eye = convergecam->getValue(pos);
    gluLookAt(eye.x, eye.y, eye.z, 0, 0, 0, 0, 1, 0);

    ConvergeFrame frame = convergeFrame(pos);
    flowDraw(convergeflow, pos, calcSaturate(pos, 0.0f, 1.0f, 6.0f),
             [&frame](float x, float y, float z) { return convergeVelocity(frame, x, y, z); });
}

void converge_free()
{
    flowFree(convergeflow);
    delete convergecam;
    convergecam = nullptr;
}
