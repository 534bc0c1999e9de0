// Scene: potential field, 40 - 66 s. A 55 x 55 field of translucent squares sized by a scalar
// field, the last 16 frames' fields stacked in depth as a trail; the field cross-fades from
// travelling waves to the rings of three moving centres halfway through.
#include "scenes/pot2d.h"

#include "math/timing.h"
#include "math/vector.h"
#include "render/batch.h"
#include "scenes/scenes.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <cmath>

const int POT2D_CELLS = POT2D_SIZE * POT2D_SIZE;

float** potgrid = nullptr;
// One layer's squares, four corners each, filled and drawn layer by layer.
static Vector* pot2dVertices = nullptr;

void pot2d_init()
{
    potgrid = new float*[POT2D_LAYERS];
    for (int k = 0; k < POT2D_LAYERS; k++) {
        potgrid[k] = new float[POT2D_CELLS];
        pot2d_clear(potgrid[k]);
    }
    pot2dVertices = new Vector[4 * POT2D_CELLS];
}

void pot2d_clear(float* grid)
{
    for (int c = 0; c < POT2D_CELLS; c++)
        grid[c] = 0.0f;
}

void pot2d_func1(float T, float w, float* grid)
{
    if (w < 0.001f)
        return;
    // The field is a sum of a row term A(i) and a column term B(j): each is computed once.
    float A[POT2D_SIZE], B[POT2D_SIZE];
    for (int n = 0; n < POT2D_SIZE; n++) {
        float fn = (float)n;
        A[n] = 0.25f * (float)std::sin((double)(5.0f * T * 17.0f + 0.3f * fn))
             + 0.25f * (float)std::cos((double)(5.0f * T * 11.0f - 0.1f * fn));
        B[n] = 0.25f * (float)std::sin((double)(5.0f * T * 14.0f + 0.2f * fn))
             + 0.25f * (float)std::cos((double)(5.0f * T * 18.0f + 0.23f * fn));
    }
    for (int i = 0; i < POT2D_SIZE; i++)
        for (int j = 0; j < POT2D_SIZE; j++) {
            float value = 0.5f * (0.5f * B[j] + A[i] + 0.5f);
            grid[i * POT2D_SIZE + j] += w * value;
        }
}

static float sinf64(float x) { return (float)std::sin((double)x); }
static float cosf64(float x) { return (float)std::cos((double)x); }

void pot2d_func2(float T, float w, float* grid)
{
    if (w < 0.001f)
        return;
    const Vector centre(27.5f, 27.5f, 0.0f);
    // The swing is 82.5 grid units, applied as * 55 then * 1.5: far beyond the 0 - 54 grid.
    Vector c1 = centre + Vector(sinf64(11.0f * T), cosf64(15.0f * T + 0.4f), 0.0f) * 55.0f * 1.5f;
    Vector c2 = centre + Vector(sinf64(5.0f * T + 2.0f), cosf64(25.0f * T + 0.4f), 0.0f) * 55.0f * 1.5f;
    Vector c3 = centre
              + Vector(0.5f * cosf64(11.0f * T + 3.0f) + 0.5f * sinf64(5.0f * T + 2.0f),
                       0.5f * sinf64(8.0f * T + 2.0f) + 0.5f * cosf64(25.0f * T + 0.4f), 0.0f)
                    * 55.0f * 1.5f;
    float L = centre.length();  // corner to centre, about 38.89
    for (int i = 0; i < POT2D_SIZE; i++)
        for (int j = 0; j < POT2D_SIZE; j++) {
            Vector P((float)j, (float)i, 0.0f);
            float d1 = (P - c1).length() / L;
            float d2 = (P - c2).length() / L;
            float d3 = (P - c3).length() / L;
            float m = (d1 + d2 + 2.0f * d3) / 4.0f;  // the third centre counts twice
            float value = 0.5f * (1.0f - sinf64(2.0f * 3.141592f * m));
            grid[i * POT2D_SIZE + j] += w * value;
        }
}

void pot2dField(float t, float* grid)
{
    float w = calcPosFloat(t, 0.4f, 0.6f);
    pot2d_clear(grid);
    pot2d_func1(t, 1.0f - w, grid);
    pot2d_func2(t, w, grid);
}

// Counts drawn frames and picks the ring's grid to overwrite. It is never reset, so the ring
// carries on where it stopped; it wraps at 16, the only part of it that matters.
static int piirrettava = 0;

void pot2d_advance(float t)
{
    pot2dField(t, potgrid[piirrettava % POT2D_LAYERS]);
    piirrettava = (piirrettava + 1) % POT2D_LAYERS;
}

void pot2d(float t)
{
    float fade = calcSaturate(t, 0.0f, 1.0f, 6.0f);

    glLoadIdentity();
    gluLookAt(0, 0, 70.0f * (float)std::cos((double)(18.0f * t)) - 160.0f, 0, 0, 0, 0, 1, 0);

    glDisable(GL_TEXTURE_2D);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);

    pot2d_advance(t);

    glRotatef(40.0f * t + 12.0f, 0.1f, 0.13f, 0.7f);  // axis deliberately not unit length

    // Layer 15 is this frame's grid, layer 0 the one from 15 frames back; newer lies farther.
    // Each layer's squares go to GL as one vertex array under the layer's colour: the same
    // quads in the same order as one glBegin(GL_QUADS) block with the colour set per layer,
    // but without 193600 calls a frame.
    VertexBatch batch(pot2dVertices);
    for (int k = 0; k < POT2D_LAYERS; k++) {
        const float* grid = potgrid[(piirrettava + k) % POT2D_LAYERS];
        Vector* v = pot2dVertices;
        for (int i = 0; i < POT2D_SIZE; i++)
            for (int j = 0; j < POT2D_SIZE; j++) {
                Vector p(90.0f * ((float)j / 55.0f - 0.5f), 90.0f * ((float)i / 55.0f - 0.5f),
                         15.0f * (float)k);
                float s = 1.5f * grid[i * POT2D_SIZE + j];
                *v++ = p + Vector(-s, -s, 0);
                *v++ = p + Vector(s, -s, 0);
                *v++ = p + Vector(s, s, 0);
                *v++ = p + Vector(-s, s, 0);
            }
        glColor4f(0, 0, 0, fade * (0.2f * ((float)k / 16.0f) + 0.2f));
        batch.draw(GL_QUADS, 4 * POT2D_CELLS);
    }
}

void pot2d_free()
{
    if (!potgrid)
        return;
    for (int k = 0; k < POT2D_LAYERS; k++)
        delete[] potgrid[k];
    delete[] potgrid;
    potgrid = nullptr;
    delete[] pot2dVertices;
    pot2dVertices = nullptr;
}
