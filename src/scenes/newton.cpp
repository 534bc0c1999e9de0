// Scene: Newton fractal, 66 - 94 s. A 100 x 100 grid of starting points, iterated seven times
// per frame with a different (and animated) function pair in each quarter of the scene, each
// point drawn as a translucent square sized by the angle where it ended; the grid turns slowly.
#include "scenes/newton.h"

#include "math/timing.h"
#include "math/vector.h"
#include "render/batch.h"
#include "scenes/scenes.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <cmath>

const int NEWTON_STEPS = 7;

float* ngrid = nullptr;
// The grid's squares, four corners each.
static Vector* newtonVertices = nullptr;

void newton_init()
{
    ngrid = new float[NEWTON_SIZE * NEWTON_SIZE];
    for (int k = 0; k < NEWTON_SIZE * NEWTON_SIZE; k++)
        ngrid[k] = 0.0f;
    newtonVertices = new Vector[4 * NEWTON_SIZE * NEWTON_SIZE];
}

int newtonQuarter(float t)
{
    if (t <= 0.25f)
        return 1;
    if (t <= 0.5f)
        return 2;
    if (t <= 0.75f)
        return 3;
    return 4;
}

// One step z - f(z) / g(z). Only in the first quarter is g the derivative of f; the others
// bend it with t. Where g vanishes the quotient's guard answers 1000000 + 1000000 i.
static Complex newtonStep(int quarter, float t, Complex z)
{
    Complex z2 = z * z;
    Complex z3 = z2 * z;
    Complex f, g;
    switch (quarter) {
    case 1: {
        Complex z4 = z3 * z;
        f = z4 * -2.0f + z3 + z2 - z * 2.0f - Complex(60.0f * t, 0.0f);
        g = z3 * -8.0f + z2 * 3.0f + z * 2.0f - Complex(2.0f, 0.0f);
        break;
    }
    case 2: {
        float k = 3.0f * (7.0f * (t - 0.5f) + 1.0f) + 1.0f;
        f = z3 * k - Complex(1.0f, 0.0f);
        g = z2 * 3.0f;
        break;
    }
    case 3: {
        Complex z4 = z3 * z;
        float m = 3.0f * (t - 0.75f);
        f = z4 + z3 - Complex(1.0f, 0.0f);
        g = z3 * (8.0f * m) + z2 * 3.0f;
        break;
    }
    default:
        f = z3 + z2 * 2.0f + z + Complex(3.0f, 25.0f * t);
        g = z2 * 3.0f + z * 4.0f + Complex(6.0f * t + 0.25f, 0.0f);
        break;
    }
    return z - f / g;
}

float newtonValue(float t, Complex z0)
{
    int quarter = newtonQuarter(t);
    Complex z = z0;
    for (int step = 0; step < NEWTON_STEPS; step++)
        z = newtonStep(quarter, t, z);
    return 0.2f * z.angle();
}

void newtonGrid(float t, float* grid)
{
    for (int i = 0; i < NEWTON_SIZE; i++)
        for (int j = 0; j < NEWTON_SIZE; j++)
            grid[i * NEWTON_SIZE + j] = newtonValue(t, Complex(0.02f * j, 0.02f * i));
}

float newtonHalfSize(float value)
{
    if (!std::isfinite(value))
        return 0.0f;
    return 0.2f - 2.5f * value;
}

void newton(float t)
{
    float fade = calcSaturate(t, 0.0f, 1.0f, 6.0f);

    glLoadIdentity();
    gluLookAt(0, 0, -160, 0, 0, 0, 0, 1, 0);
    glRotatef(30.0f * t, 0.2f, 0.1f, 0.54f);

    glDisable(GL_TEXTURE_2D);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);

    // Each quarter fades in and out on its own; the grid is invisible on the boundaries.
    float a = (float)(newtonQuarter(t) - 1) * 0.25f;
    float e = calcSaturate(t, a, a + 0.25f, 8.0f);

    newtonGrid(t, ngrid);

    // The squares go to GL as one vertex array under one colour: the same quads in the same
    // order as a glBegin(GL_QUADS) block that sets the colour first, without 40000 calls.
    Vector* v = newtonVertices;
    for (int i = 0; i < NEWTON_SIZE; i++)
        for (int j = 0; j < NEWTON_SIZE; j++) {
            Vector p(130.0f * ((float)j / 100.0f - 0.5f), 130.0f * ((float)i / 100.0f - 0.5f), 0.0f);
            float h = newtonHalfSize(ngrid[i * NEWTON_SIZE + j]);
            *v++ = p + Vector(-h, -h, 0);
            *v++ = p + Vector(h, -h, 0);
            *v++ = p + Vector(h, h, 0);
            *v++ = p + Vector(-h, h, 0);
        }
    glColor4f(0, 0, 0, fade * e);
    VertexBatch(newtonVertices).draw(GL_QUADS, 4 * NEWTON_SIZE * NEWTON_SIZE);
}

void newton_free()
{
    delete[] ngrid;
    ngrid = nullptr;
    delete[] newtonVertices;
    newtonVertices = nullptr;
}
