// Scene: the Lorenz attractor, 93 - 106 s. A smooth black line grows along the trajectory with
// a pulse of opacity running along it, inside a shell of points; the camera backs out of the
// butterfly's middle while the whole turns.
#include "scenes/lorentz.h"

#include "math/random.h"
#include "math/timing.h"
#include "render/picture.h"
#include "scenes/scenes.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <cmath>

int lorentzcount = 0;
Vector* lorentzattractor = nullptr;
int starcount = 0;
Vector* stars = nullptr;

void lorentzTrajectory(Vector* points, int count)
{
    const float dt = 0.01f;
    float x = 0.03f, y = 0.08f, z = 0.01f;
    for (int i = 0; i < count; i++) {
        // All three from the old state.
        float nx = x + (dt * 10.0f) * (y - x);
        float ny = y + dt * (x * (28.0f - z) - y);
        float nz = z + dt * (x * y - 2.6666667f * z);
        x = nx;
        y = ny;
        z = nz;
        points[i] = Vector(x, y, z) * 0.1f;
    }
}

void lorentz_init()
{
    lorentzcount = 5000;
    lorentzattractor = new Vector[lorentzcount];
    lorentzTrajectory(lorentzattractor, lorentzcount);

    starcount = 4000;
    stars = new Vector[starcount];
    for (int i = 0; i < starcount; i++)
        stars[i] = randomSphereVector(5.0f);
}

void lorentz(float t)
{
    float fade = calcSaturate(t, 0.0f, 1.0f, 6.0f);

    glDisable(GL_TEXTURE_2D);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
    glEnable(GL_LINE_SMOOTH);
    glDisable(GL_DEPTH_TEST);

    // At t = 0 the eye sits on the centre: a degenerate view, and nothing is drawn anyway.
    glLoadIdentity();
    gluLookAt(0, 0, -4 * t, 0, 0, 0, 0, 1, 0);
    glRotatef(40 * t, 0.2f, 0.1f, -0.9f);  // the axis is not normalised; GL scales it

    glColor4f(0, 0, 0, 0.5f * fade);
    picturePointSize(2);
    glBegin(GL_POINTS);
    for (int i = 0; i < starcount; i++)
        glVertex3fv(&stars[i].x);
    glEnd();

    pictureLineWidth(2.5f);
    int n = (int)((float)lorentzcount * calcPosFloat(t, 0.0f, 1.0f));
    // The opacity pulses along the line, 0.4 radian per point, and drifts as t grows.
    glBegin(GL_LINE_STRIP);
    for (int i = 0; i < n; i++) {
        float phase = 15 * t + (float)(2000 * i) / (float)lorentzcount;
        float s = (float)std::sin((double)phase);
        glColor4f(0, 0, 0, 0.7f * fade * (0.5f + 0.5f * s));
        glVertex3fv(&lorentzattractor[i].x);
    }
    glEnd();
}

void lorentz_free()
{
    delete[] lorentzattractor;
    lorentzattractor = nullptr;
    delete[] stars;
    stars = nullptr;
}
