// The converging flow drawn through the show: red streaks across the screen at its middle (its
// blank start is in show_test).
#include "render_fixture.h"

using ConvergeRender = ShowRenderTest;

TEST_F(ConvergeRender, RedStreaksAcrossTheScreen)
{
    // Half a second of frames at 30 per second from the middle: the first one jumps there and
    // replaces every particle; the newborns then fade in over their first tenth of life.
    std::vector<unsigned char> rgb;
    for (int n = 0; n <= 15; n++)
        rgb = showAt(165500 + n * 1000 / 30);
    EXPECT_GT(redPixels(rgb), 20000);
    Box box = darkBox(rgb);
    EXPECT_LT(box.left, 200);
    EXPECT_GT(box.right, 824);
    EXPECT_LT(box.top, 150);
    EXPECT_GT(box.bottom, 618);
}
