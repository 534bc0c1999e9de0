// The flow scenes send their particles' streaks with drawStreaks, one vertex array with a colour
// array, where they first called Floater::draw for each inside one glBegin(GL_LINES) block. Both
// ways must give the same pixels and current colour for the particles of a running flow.
#include "render_fixture.h"

#include "frame/show.h"
#include "math/floater.h"
#include "math/hermite.h"
#include "scenes/converge.h"
#include "scenes/field.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <vector>

class FloaterIdentity : public ShowRenderTest {
protected:
    // The streaks of drawn[0..n) as the scenes drew them before, then through drawStreaks, each
    // on a cleared frame under the transform `place` sets up; true when the pixels and the
    // current colours agree (and something was drawn).
    static bool sameBothWays(Floater** drawn, int n, float alpha, void (*place)())
    {
        std::vector<Vector> vertices(2 * n);
        std::vector<float> colours(8 * n);
        float before[4], after[4];
        show_frame(244500);
        place();
        glBegin(GL_LINES);
        for (int i = 0; i < n; i++)
            drawn[i]->draw(alpha);
        glEnd();
        glGetFloatv(GL_CURRENT_COLOR, before);
        std::vector<unsigned char> reference = frame();
        show_frame(244500);
        place();
        drawStreaks(drawn, n, alpha, vertices.data(), colours.data());
        glGetFloatv(GL_CURRENT_COLOR, after);
        std::vector<unsigned char> arrays = frame();
        EXPECT_FALSE(allWhite(arrays));
        for (int c = 0; c < 4; c++)
            EXPECT_EQ(before[c], after[c]);
        return reference == arrays;
    }
};

static float flowPos;

static void convergeView()
{
    glLoadIdentity();
    Vector eye = convergecam->getValue(flowPos);
    gluLookAt(eye.x, eye.y, eye.z, 0, 0, 0, 0, 1, 0);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glLineWidth(3.0f);
}

static void fieldView()
{
    glLoadIdentity();
    glTranslatef(0, 0, -45);
    glRotatef(360 * flowPos, 0.2f, 0.9f, 0.4f);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glLineWidth(3.0f);
}

TEST_F(FloaterIdentity, StreaksAsVertexArraysDrawTheSamePixels)
{
    // Both flows run at 60 fps from their start (particles ageing, dying and reborn), and their
    // streaks are compared at a few moments with a full and a partial fade.
    static Floater* drawn[CONVERGE_FLOATERS];
    float previous = 0;
    for (int frame = 1; frame <= 300; frame++) {
        flowPos = frame / (60.0f * 13.0f);
        int n = convergeAdvance(floaterlist, flowPos, flowPos - previous, drawn);
        previous = flowPos;
        if (frame % 100 == 0) {
            EXPECT_TRUE(sameBothWays(drawn, n, 1.0f, convergeView)) << "converge frame " << frame;
            EXPECT_TRUE(sameBothWays(drawn, n, 0.4f, convergeView)) << "converge frame " << frame;
        }
    }
    previous = 0;
    for (int frame = 1; frame <= 300; frame++) {
        flowPos = frame / (60.0f * 19.0f);
        int n = fieldAdvance(fieldfloaterlist, flowPos, flowPos - previous, drawn);
        previous = flowPos;
        if (frame % 100 == 0) {
            EXPECT_TRUE(sameBothWays(drawn, n, 1.0f, fieldView)) << "field frame " << frame;
            EXPECT_TRUE(sameBothWays(drawn, n, 0.4f, fieldView)) << "field frame " << frame;
        }
    }
}
