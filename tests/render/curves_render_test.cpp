// The curves scene drawn through the show: growth from nothing, red and black curves.
#include "render_fixture.h"

class CurvesRender : public RenderTest {
protected:
    static void SetUpTestSuite()
    {
        RenderTest::SetUpTestSuite();
        initShowOnce();
    }
};

TEST_F(CurvesRender, CurvesGrowFromNothingRedAndBlackAndVanishAtTheEnd)
{
    EXPECT_TRUE(allWhite(showAt(145070)));    // pos 0.005: no vertex yet in any curve
    EXPECT_LT(darkest(showAt(145700)), 200);  // pos 0.05: four segments each
    EXPECT_TRUE(allWhite(showAt(158990)));    // above pos 0.999 nothing is drawn

    std::vector<unsigned char> mid = showAt(152000);
    int black = 0, red = 0;
    for (size_t i = 0; i < mid.size(); i += 3) {
        int r = mid[i], g = mid[i + 1], b = mid[i + 2];
        black += (r < 120 && g < 120 && b < 120);
        red += (r > 200 && g < 120 && b < 120);
    }
    EXPECT_GT(black, 20000);
    EXPECT_GT(red, 2000);
    EXPECT_LT(red, black);
}
