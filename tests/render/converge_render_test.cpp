// The converging flow drawn through the show: red streaks at its middle, nothing at its start.
#include "render_fixture.h"

class ConvergeRender : public RenderTest {
protected:
    static void SetUpTestSuite()
    {
        RenderTest::SetUpTestSuite();
        initShowOnce();
    }
};

// Red pixels: the streaks are pure red, blended on white.
static int redPixels(const std::vector<unsigned char>& rgb)
{
    int red = 0;
    for (size_t i = 0; i < rgb.size(); i += 3)
        red += rgb[i] > 200 && rgb[i + 1] < 120 && rgb[i + 2] < 120;
    return red;
}

TEST_F(ConvergeRender, NothingAtTheStartThenRedStreaksAcrossTheScreen)
{
    // pos 0: fade 0 (the curves scene ends here and draws nothing either).
    EXPECT_TRUE(allWhite(showAt(159000)));

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
