// The vector field drawn through the show: red streaks in the turning cube at its middle (its
// blank start is in show_test); and the streaks' vertex arrays leaving GL as immediate mode would.
#include "render_fixture.h"

#include "scenes/flow.h"

#include <GL/gl.h>

using FieldRender = ShowRenderTest;

TEST_F(FieldRender, ACloudOfRedStreaksInTheMiddle)
{
    std::vector<unsigned char> rgb;
    for (int n = 0; n <= 15; n++)
        rgb = showAt(234500 + n * 1000 / 30);
    EXPECT_GT(redPixels(rgb), 5000);
    // The cube (half-edge 10, 45 units away) stays well inside the frame around its centre.
    Box box = darkBox(rgb);
    EXPECT_GT(box.left, 50);
    EXPECT_LT(box.right, 974);
    EXPECT_LT(box.left, 400);
    EXPECT_GT(box.right, 624);
}

using StreakRender = RenderTest;

// Later scenes draw in the colour a frame leaves current: after the streaks it is the last
// streak's, and with no streaks the one before; the client arrays are off again.
TEST_F(StreakRender, TheLastStreaksColourIsLeftCurrent)
{
    Floater a(true, 0.05f, 1.0f), b(true, 0.05f, 1.0f);
    a.life = 0.5f * a.maxlife;   // full alpha
    b.life = 0.02f * b.maxlife;  // fading out
    Floater* both[2] = {&a, &b};
    Vector vertices[4];
    float colours[16];
    float current[4];
    glColor4f(0, 1, 0, 1);
    drawStreaks(both, 0, 0.5f, vertices, colours);
    glGetFloatv(GL_CURRENT_COLOR, current);
    EXPECT_EQ(std::vector<float>(current, current + 4), (std::vector<float>{0, 1, 0, 1}));
    drawStreaks(both, 2, 0.5f, vertices, colours);
    glGetFloatv(GL_CURRENT_COLOR, current);
    EXPECT_EQ(std::vector<float>(current, current + 4), std::vector<float>(colours + 12, colours + 16));
    EXPECT_LT(current[3], colours[3]);
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY) || glIsEnabled(GL_COLOR_ARRAY));
}
