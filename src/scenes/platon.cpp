// Scene: Platonic solids, 27 - 40 s. 250 small lit solids strung along a closed loop, each
// spinning at its own rate, the camera creeping in through white fog under a swinging red-tinted
// light; a white flash opens and closes the scene.
#include "scenes/platon.h"

#include "math/hermite.h"
#include "math/platonic.h"
#include "math/random.h"
#include "math/timing.h"
#include "render/projection.h"
#include "scenes/scenes.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <cmath>
#include <cstdlib>

Lista* platonstructs = nullptr;
// Turns every solid's position; reset to the identity each frame, so it leaves them in place.
Matrix platonrotate;

// The layout is fixed by both seeds and by the exact number of draws below: the scenes that
// initialise after this one continue from the state of randFloat it leaves.
void platon_init()
{
    srand(15106919);
    setSeed(5161968);
    platonstructs = new Lista();

    // A closed loop through 17 random points of the unit sphere: it ends where it starts.
    Path loop;
    Vector p0 = randomSphereVector(1.0f);
    loop.addpoint(p0);
    for (int k = 0; k < 16; k++)
        loop.addpoint(randomSphereVector(1.0f));
    loop.addpoint(p0);

    for (int i = 0; i < PLATON_COUNT; i++) {
        platonStruct* s = new platonStruct;
        randFloat();  // drawn and not used, as are the others below
        float u1 = randFloat();
        float u2 = randFloat();
        float u3 = randFloat();
        s->rotationStart = Vector(u1, u2, u3);
        float u4 = randFloat();
        float u5 = randFloat();
        float u6 = randFloat();
        s->rotationEnd = Vector(u4, u5, u6) * 2.0f;
        randFloat();
        randFloat();
        s->position = loop.getValue((float)i / 250.0f) - Vector(0, 0, 5);
        s->type = rand() % 5;
        randFloat();
        randFloat();
        randFloat();
        platonstructs->add(s);
    }
}

void platonStruct::draw(float t)
{
    glPushMatrix();
    Vector p = position * platonrotate;
    glTranslatef(p.x, p.y, p.z);
    Vector r = lerpVector(rotationStart, rotationEnd, t);
    glRotatef(r.x * 360.0f, 1, 0, 0);
    glRotatef(r.y * 360.0f, 0, 1, 0);
    glRotatef(r.z * 360.0f, 0, 0, 1);
    glScalef(0.04f, 0.04f, 0.04f);
    switch (type) {
    case 0: tetrahedron(); break;
    case 1: octahedron(); break;
    case 2: hexahedron(); break;
    case 3: icosahedron(); break;
    default: dodecahedron(); break;
    }
    glPopMatrix();
}

void platon(float t)
{
    glDisable(GL_TEXTURE_2D);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);

    // No material is set: the solids take GL's default material under this one light.
    const GLfloat ambient[4] = {1.0f, 0.4f, 0.4f, 1.0f};
    const GLfloat diffuse[4] = {1.0f, 0.5f, 0.5f, 1.0f};
    const GLfloat specular[4] = {1.0f, 0.2f, 0.2f, 1.0f};
    glLightfv(GL_LIGHT1, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT1, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT1, GL_SPECULAR, specular);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT1);

    platonrotate.makeRotation(0, 0, 0);

    // The eye creeps from z = -9 to -6 towards the loop around z = -5.
    glLoadIdentity();
    gluLookAt(0, 0, 3.0f * t - 9.0f, 0, 0, 0, 0, 1, 0);
    glRotatef(50.0f * t, 0.1f, 0, 1);

    // Placed after the world's turn, so the light swings in the turned world.
    const GLfloat lightPosition[4] = {2.0f, 2.0f, 17.0f * (float)std::sin((double)(6.0f * t)), 1.0f};
    glLightfv(GL_LIGHT1, GL_POSITION, lightPosition);

    // Linear fog from 1 to 4 units: the density is set but has no effect in this mode.
    const GLfloat fogColour[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glFogfv(GL_FOG_COLOR, fogColour);
    glFogf(GL_FOG_DENSITY, 0.4f * (float)std::cos((double)(10.0f * t)) + 0.4f);
    glHint(GL_FOG_HINT, GL_DONT_CARE);
    glFogf(GL_FOG_START, 1.0f);
    glFogf(GL_FOG_END, 4.0f);
    glEnable(GL_FOG);

    glDisable(GL_CULL_FACE);
    glEnable(GL_NORMALIZE);

    platonstructs->goToStart();
    for (int k = 0; k < platonstructs->getNodeCount(); k++) {
        static_cast<platonStruct*>(platonstructs->getCurrent())->draw(t);
        platonstructs->goForward();
    }

    glDisable(GL_FOG);
    glDisable(GL_LIGHTING);
    glDisable(GL_LIGHT1);
    glDisable(GL_NORMALIZE);

    // The white flash: opaque at both ends of the scene, gone within 0.4 s of each.
    perspective2D(1, 1);
    glLoadIdentity();
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDepthMask(GL_FALSE);
    glDisable(GL_DEPTH_TEST);
    glColor4f(1, 1, 1, 1.0f - calcSaturate(t, 0.0f, 1.0f, 10.0f));
    glBegin(GL_QUADS);
    glVertex2f(0, 0);
    glVertex2f(1, 0);
    glVertex2f(1, 1);
    glVertex2f(0, 1);
    glEnd();
    glDepthMask(GL_TRUE);
    perspective3D();
    glLoadIdentity();
}

void platon_free()
{
    if (!platonstructs)
        return;
    platonstructs->destroy();
    delete platonstructs;
    platonstructs = nullptr;
}
