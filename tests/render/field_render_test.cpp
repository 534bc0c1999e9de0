// The vector field drawn through the show: red streaks in the turning cube at its middle,
// nothing at its start.
#include "render_fixture.h"

class FieldRender : public RenderTest {
protected:
    static void SetUpTestSuite()
    {
        RenderTest::SetUpTestSuite();
        initShowOnce();
    }
};

TEST_F(FieldRender, NothingAtTheStartThenACloudOfRedStreaksInTheMiddle)
{
    // pos 0: fade 0 (the iterated maps end here, t = 1, and draw nothing either).
    EXPECT_TRUE(allWhite(showAt(225000)));

    std::vector<unsigned char> rgb;
    for (int n = 0; n <= 15; n++)
        rgb = showAt(234500 + n * 1000 / 30);
    int red = 0;
    for (size_t i = 0; i < rgb.size(); i += 3)
        red += rgb[i] > 200 && rgb[i + 1] < 120 && rgb[i + 2] < 120;
    EXPECT_GT(red, 5000);
    // The cube (half-edge 10, 45 units away) stays well inside the frame around its centre.
    Box box = darkBox(rgb);
    EXPECT_GT(box.left, 50);
    EXPECT_LT(box.right, 974);
    EXPECT_LT(box.left, 400);
    EXPECT_GT(box.right, 624);
}
