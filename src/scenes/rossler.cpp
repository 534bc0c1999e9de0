// Scene: the Rossler attractor, 105 - 120 s. A growing bundle of thin chords, each joining a
// trajectory point to the one ten steps on, inside a shell of points. The camera backs away from
// the centre, then cross-fades to a second camera riding on the attractor itself.
#include "scenes/rossler.h"

#include "math/random.h"
#include "math/timing.h"
#include "render/picture.h"
#include "scenes/scenes.h"

#include <GL/gl.h>
#include <GL/glu.h>

int rosslercount = 0;
Vector* rosslerattractor = nullptr;
int rosslerstarcount = 0;
Vector* rosslerstars = nullptr;

void rosslerTrajectory(Vector* points, int count)
{
    const float dt = 0.02f;
    float x = 0.03f, y = 0.08f, z = 0.01f;
    for (int i = 0; i < count; i++) {
        // All three from the old state.
        float nx = x - dt * (y + z);
        float ny = y + dt * (x + 0.2f * y);
        float nz = z + dt * (z * (x - 5.7f) + 0.2f);
        x = nx;
        y = ny;
        z = nz;
        points[i] = Vector(x, y, z) * 0.1f;
    }
}

void rossler_init()
{
    rosslercount = 10000;
    rosslerattractor = new Vector[rosslercount];
    rosslerTrajectory(rosslerattractor, rosslercount);

    rosslerstarcount = 4000;
    rosslerstars = new Vector[rosslerstarcount];
    for (int i = 0; i < rosslerstarcount; i++)
        rosslerstars[i] = randomSphereVector(5.0f);
}

void rosslerview(Vector& eye, Vector& centre, float t, float alpha)
{
    glLoadIdentity();
    gluLookAt(eye.x, eye.y, eye.z, centre.x, centre.y, centre.z, 0, 1, 0);
    // After the camera: the drawing turns about the centre in front of either eye.
    // The first axis is not normalised; GL scales it.
    glRotatef(40 * t, 0.2f, 0.1f, -0.9f);
    glRotatef(80 * t * t, -1, 0, 0);

    glColor4f(0, 0, 0, 0.5f * alpha);
    picturePointSize(2);
    glBegin(GL_POINTS);
    for (int i = 0; i < rosslerstarcount; i++)
        glVertex3fv(&rosslerstars[i].x);
    glEnd();

    int n = (int)((float)rosslercount * calcPosFloat(t, 0.0f, 1.0f));
    pictureLineWidth(1);
    glColor4f(0, 0, 0, 0.4f * alpha);
    // The last ten chords wrap round to the start of the trajectory.
    glBegin(GL_LINES);
    for (int i = 0; i < n; i++) {
        glVertex3fv(&rosslerattractor[i].x);
        glVertex3fv(&rosslerattractor[(i + 10) % rosslercount].x);
    }
    glEnd();
}

void rossler(float t)
{
    static int camoffset = 2480;  // the trajectory index the riding camera starts from

    float fade = calcSaturate(t, 0.0f, 1.0f, 6.0f);

    glDisable(GL_TEXTURE_2D);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
    glEnable(GL_LINE_SMOOTH);
    glDisable(GL_DEPTH_TEST);

    float w = calcPosFloat(t, 0.45f, 0.55f);

    // The riding eye glides along the unturned trajectory, from about point 2480 to 2580.
    float p = camoffset + 0.01f * t * rosslercount;
    int k = (int)p;
    float f = p - k;
    Vector a = rosslerattractor[k];
    Vector b = rosslerattractor[(k + 1) % rosslercount];
    Vector riding = a + (b - a) * f;

    Vector outside(0, 0, -6 * t);
    Vector centre(0, 0, 0);

    // A weight of exactly 0.001 or 0.999 matches none of the cases: that frame draws nothing.
    if (w < 0.001f)
        rosslerview(outside, centre, t, fade);
    if (w > 0.001f && w < 0.999f) {
        rosslerview(outside, centre, t, fade * (1 - w));
        rosslerview(riding, centre, t, fade * w);
    }
    if (w > 0.999f)
        rosslerview(riding, centre, t, fade);
}

void rossler_free()
{
    delete[] rosslerattractor;
    rosslerattractor = nullptr;
    delete[] rosslerstars;
    rosslerstars = nullptr;
}
