// Scene: growing curves, 145 - 159 s. Seven hundred thick coiling space curves, one in six red,
// grow from their first points while each turns about that point and the swarm turns about the
// origin, the far side lost in white fog.
#include "scenes/curves.h"

#include "math/hermite.h"
#include "math/random.h"
#include "math/timing.h"
#include "render/batch.h"
#include "render/picture.h"
#include "scenes/scenes.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <cmath>
#include <cstdlib>

Curve* kayrat = nullptr;
// The colours of one curve's drawn vertices; a curve draws fewer than CURVE_POINTS of them.
static float curveColours[4 * CURVE_POINTS];

void curvePoints(Vector* points, int count, float theta, float phi, float dtheta, float dphi,
                 float R)
{
    Vector p(0, 0, 0);
    for (int j = 0; j < count; j++) {
        Vector s = sphereCoord(R, theta, phi);
        theta = theta + dtheta;
        phi = phi + dphi;
        points[j] = p;
        p = p + s;
    }
}

// No setSeed here: the randFloat draws continue where cell_init left the generator (it runs
// directly before this one), so the curves are these only in the show's init order.
void curves_init()
{
    kayrat = new Curve[CURVE_COUNT]();
    srand(168);
    for (int i = 0; i < CURVE_COUNT; i++) {
        Curve& c = kayrat[i];
        float u1 = randFloat();
        float u2 = randFloat();
        float u3 = randFloat();
        Matrix scale;
        scale.makeScale(20, 20, 20);
        c.origin = Vector(u1 - 0.5f, u2 - 0.5f, u3 - 0.5f) * scale;

        c.rotstart = Vector(0, 0, 0);
        float r1 = randFloat();
        float r2 = randFloat();
        float r3 = randFloat();
        c.rotend = Vector(r1, r2, r3) * 0.2f;

        c.begin = 0.0f;
        c.end = 1.0f;

        if (rand() % 100 <= 15)
            c.color = Vector(1, 0, 0);
        else
            c.color = Vector(0, 0, 0);
        (void)(rand() % 3);  // drawn, but sets nothing that is drawn

        c.count = CURVE_POINTS;
        c.points = new Vector[c.count];

        float w1 = randFloat();
        float w2 = randFloat();
        float w3 = randFloat();
        float w4 = randFloat();
        float w5 = randFloat();
        curvePoints(c.points, c.count, (w1 + w1) * 3.141592f, (w2 + w2) * 3.141592f, 0.5f * w3,
                    0.5f * w4, 0.2f * w5 + 0.1f);
    }
}

void Curve::draw(float pos, float alpha, VertexBatch& batch)
{
    float q = calcPosFloat(pos, begin, end);
    if (q < 0.001f || q > 0.999f)
        return;
    float m = q * count;
    int k = (int)m;
    float f = m - k;
    float g = calcSaturate(q, 0.0f, 1.0f, 3.0f) * 0.7f;

    glPushMatrix();
    glTranslatef(origin.x, origin.y, origin.z);
    Vector r = lerpVector(rotstart, rotend, q);
    glRotatef(360 * r.x, 1, 0, 0);
    glRotatef(360 * r.y, 0, 1, 0);
    glRotatef(360 * r.z, 0, 0, 1);
    // The strip goes to GL as a vertex array of the curve's own points with a colour per vertex:
    // the same strip and colours as a glBegin(GL_LINE_STRIP) block with glColor4f before each
    // vertex.
    for (int j = 0; j < k; j++) {
        float* c = curveColours + 4 * j;
        c[0] = color.x;
        c[1] = color.y;
        c[2] = color.z;
        c[3] = j == k - 1 ? alpha * g * f : alpha * g;
    }
    batch.setVertices(points);
    batch.draw(GL_LINE_STRIP, k);
    glPopMatrix();
}

void curves(float pos)
{
    float fade = calcSaturate(pos, 0.0f, 1.0f, 6.0f);

    glLoadIdentity();
    gluLookAt(0, 0, -27, 0, 0, 0, 0, 1, 0);
    glRotatef(50 * pos, 0.2f, 0.5f, 0.1f);

    glDisable(GL_TEXTURE_2D);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    pictureLineWidth(4.0f);

    static const GLfloat white[4] = {1, 1, 1, 1};
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glFogfv(GL_FOG_COLOR, white);
    glFogf(GL_FOG_DENSITY, 0.4f * (float)std::cos((double)(10 * pos)) + 0.4f);  // unused in linear mode
    glHint(GL_FOG_HINT, GL_DONT_CARE);
    glFogf(GL_FOG_START, 15);
    glFogf(GL_FOG_END, 25);
    glEnable(GL_FOG);

    // Every curve draws from its own points against the one colour array.
    VertexBatch batch(kayrat[0].points, curveColours);
    for (int i = 0; i < CURVE_COUNT; i++)
        kayrat[i].draw(pos, fade, batch);

    glDisable(GL_FOG);
}

void curves_free()
{
    if (kayrat) {
        for (int i = 0; i < CURVE_COUNT; i++)
            delete[] kayrat[i].points;
        delete[] kayrat;
    }
    kayrat = nullptr;
}
