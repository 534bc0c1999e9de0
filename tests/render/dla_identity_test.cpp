// The aggregate scene sends its points as one vertex array with a colour array. The reference
// below is the scene as it was first written, glColor4f and two glVertex3fv per particle inside
// a glBegin(GL_POINTS) block; both must give the same pixels and current colour.
#include "render_fixture.h"

#include "frame/timeline.h"
#include "scenes/dla.h"
#include "scenes/scenes.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <algorithm>
#include <cmath>

static void dlaImmediate(float pos)
{
    float fade = calcSaturate(pos, 0.0f, 1.0f, 6.0f);
    glLoadIdentity();
    float s = (float)std::sin((double)((pos + pos) * 3.141592f));
    gluLookAt(0, 40, -(20 * s + 100), 0, 0, 0, 0, 1, 0);
    glRotatef(130 * pos, 0, 1, 0.2f);
    glDisable(GL_TEXTURE_2D);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    DLAList->goToStart();
    const DLASystem& d = *static_cast<DLASystem*>(DLAList->getCurrent());
    static const GLfloat white[4] = {1, 1, 1, 1};
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glFogfv(GL_FOG_COLOR, white);
    glFogf(GL_FOG_DENSITY, 0.4f * (float)std::cos((double)(10 * pos)) + 0.4f);
    glHint(GL_FOG_HINT, GL_DONT_CARE);
    glFogf(GL_FOG_START, 90);
    glFogf(GL_FOG_END, 100);
    glEnable(GL_FOG);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    glPointSize(5.0f);
    int n = std::min((int)(d.count * pos), d.count);
    glBegin(GL_POINTS);
    for (int i = 0; i < n; i++) {
        glColor4f(d.colors[i].x, d.colors[i].y, d.colors[i].z, fade * d.alphas[i]);
        glVertex3fv(&d.positions[i].x);
        glVertex3fv(&d.previous[i].x);
    }
    glEnd();
    glDisable(GL_FOG);
}

TEST_F(ShowRenderTest, AggregateAsAVertexArrayDrawsTheSamePixels)
{
    for (int time : {119800, 122000, 125500, 129000, 131500}) {
        float before[4], after[4];
        std::vector<unsigned char> reference = alone(dlaImmediate, 6, time);
        glGetFloatv(GL_CURRENT_COLOR, before);
        std::vector<unsigned char> arrays = alone(dla, 6, time);
        glGetFloatv(GL_CURRENT_COLOR, after);
        EXPECT_FALSE(allWhite(arrays)) << time;
        EXPECT_TRUE(reference == arrays) << "frame at " << time << " ms differs";
        for (int c = 0; c < 4; c++)
            EXPECT_EQ(before[c], after[c]) << time;
    }
}
