// The vector field drawn through the show: red streaks in the turning cube at its middle (its
// blank start is in show_test).
#include "render_fixture.h"

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
