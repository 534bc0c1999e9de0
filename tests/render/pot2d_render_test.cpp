// The potential field scene drawn through the show: nothing at its start, the field in the
// middle, and the trail of the last 16 frames (its blank end is in show_test).
#include "render_fixture.h"

using Pot2dRender = ShowRenderTest;

TEST_F(Pot2dRender, FieldInTheMiddleGrowsATrailOverSixteenFrames)
{
    // At the scene's start (and end) the fade is 0. Each frame still fills one grid of the ring.
    EXPECT_TRUE(allWhite(showAt(40000)));

    // One more frame: the newest layer shows around the centre of the screen.
    Box one = darkBox(showAt(53000), 200);
    ASSERT_FALSE(one.empty());
    EXPECT_LT(one.left, 512);
    EXPECT_GT(one.right, 512);
    EXPECT_LT(one.top, 384);
    EXPECT_GT(one.bottom, 384);

    // Sixteen frames on, all 16 layers hold fields and the stack covers far more of the screen.
    std::vector<unsigned char> rgb;
    for (int k = 1; k <= 16; k++)
        rgb = showAt(53000 + 33 * k);
    Box full = darkBox(rgb, 200);
    EXPECT_GT(full.count, 2 * one.count);
    EXPECT_LT(darkest(rgb), 40);
}
