// The two particle flows drawn through the show (their blank starts are in show_test), and the
// streaks' vertex arrays leaving GL as immediate mode would.
#include "render_fixture.h"

#include "scenes/flow.h"

#include <GL/gl.h>

using FlowsRender = ShowRenderTest;

// Half a second of frames at 30 per second from each flow's middle: the first one jumps there
// and replaces every particle; the newborns then fade in over their first tenth of life. The
// converging flow's red streaks reach across the screen; the vector field's turning cube
// (half-edge 10, 45 units away) spreads around the centre and stays well inside the frame.
TEST_F(FlowsRender, RedStreaksAcrossTheScreenOrInTheCube)
{
    const struct {
        const char* name;
        int from, red;
        int reach[4], within[4];  // left, top, right, bottom: the dark pixels' box passes reach
                                  // and stays inside within
    } flows[] = {{"converge", 165500, 20000, {200, 150, 824, 618}, {-1, -1, 1024, 768}},
                 {"field", 234500, 5000, {400, 768, 624, -1}, {50, -1, 974, 768}}};
    for (const auto& f : flows) {
        SCOPED_TRACE(f.name);
        std::vector<unsigned char> rgb;
        for (int n = 0; n <= 15; n++)
            rgb = showAt(f.from + n * 1000 / 30);
        EXPECT_GT(redPixels(rgb), f.red);
        Box b = darkBox(rgb);
        EXPECT_TRUE(b.left < f.reach[0] && b.top < f.reach[1] && b.right > f.reach[2] && b.bottom > f.reach[3] &&
                    b.left > f.within[0] && b.top > f.within[1] && b.right < f.within[2] && b.bottom < f.within[3])
            << b.left << " " << b.top << " " << b.right << " " << b.bottom;
    }
}

using StreakRender = RenderTest;

// Later scenes draw in the colour a frame leaves current: with no streaks, the one before them;
// the client arrays are off again. (After streaks it is the last one's, as batch_render_test
// checks of every batch.)
TEST_F(StreakRender, NoStreaksLeaveTheColourBeforeThemCurrent)
{
    Vector vertices[2];
    float colours[8] = {1, 0, 0, 1, 1, 0, 0, 1};
    float current[4];
    glColor4f(0, 1, 0, 1);
    drawStreaks(nullptr, 0, 0.5f, vertices, colours);
    glGetFloatv(GL_CURRENT_COLOR, current);
    EXPECT_EQ(std::vector<float>(current, current + 4), (std::vector<float>{0, 1, 0, 1}));
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY) || glIsEnabled(GL_COLOR_ARRAY));
}
