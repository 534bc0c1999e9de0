// The curves scene sends each curve as a vertex array with a colour array. The reference below
// is the scene as it was first written, glColor4f and glVertex3fv per vertex inside a
// glBegin(GL_LINE_STRIP) block per curve; both must give the same pixels and current colour.
#include "render_fixture.h"

#include "frame/timeline.h"
#include "math/hermite.h"
#include "scenes/curves.h"
#include "scenes/scenes.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <cmath>

static void curveImmediate(Curve& c, float pos, float alpha)
{
    float q = calcPosFloat(pos, c.begin, c.end);
    if (q < 0.001f || q > 0.999f)
        return;
    float m = q * c.count;
    int k = (int)m;
    float f = m - k;
    float g = calcSaturate(q, 0.0f, 1.0f, 3.0f) * 0.7f;
    glPushMatrix();
    glTranslatef(c.origin.x, c.origin.y, c.origin.z);
    Vector r = lerpVector(c.rotstart, c.rotend, q);
    glRotatef(360 * r.x, 1, 0, 0);
    glRotatef(360 * r.y, 0, 1, 0);
    glRotatef(360 * r.z, 0, 0, 1);
    glBegin(GL_LINE_STRIP);
    for (int j = 0; j < k; j++) {
        if (j == k - 1)
            glColor4f(c.color.x, c.color.y, c.color.z, alpha * g * f);
        else
            glColor4f(c.color.x, c.color.y, c.color.z, alpha * g);
        glVertex3fv(&c.points[j].x);
    }
    glEnd();
    glPopMatrix();
}

static void curvesImmediate(float pos)
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
    glLineWidth(4.0f);
    static const GLfloat white[4] = {1, 1, 1, 1};
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glFogfv(GL_FOG_COLOR, white);
    glFogf(GL_FOG_DENSITY, 0.4f * (float)std::cos((double)(10 * pos)) + 0.4f);
    glHint(GL_FOG_HINT, GL_DONT_CARE);
    glFogf(GL_FOG_START, 15);
    glFogf(GL_FOG_END, 25);
    glEnable(GL_FOG);
    for (int i = 0; i < CURVE_COUNT; i++)
        curveImmediate(kayrat[i], pos, fade);
    glDisable(GL_FOG);
}

TEST_F(ShowRenderTest, CurvesAsVertexArraysDrawTheSamePixels)
{
    // Short curves while fading in, half grown, nearly grown (the newest vertex fading in),
    // fading out.
    for (int time : {145500, 150000, 154321, 158700}) {
        float before[4], after[4];
        std::vector<unsigned char> reference = alone(curvesImmediate, 8, time);
        glGetFloatv(GL_CURRENT_COLOR, before);
        std::vector<unsigned char> arrays = alone(curves, 8, time);
        glGetFloatv(GL_CURRENT_COLOR, after);
        EXPECT_FALSE(allWhite(arrays)) << time;
        EXPECT_TRUE(reference == arrays) << "frame at " << time << " ms differs";
        for (int c = 0; c < 4; c++)
            EXPECT_EQ(before[c], after[c]) << time;
    }
}
