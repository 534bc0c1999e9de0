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

TEST_F(CurvesRender, CurvesGrowFromNothingAndAboutOneInSixIsRed)
{
    // pos 0.005 (145070): every curve has k = 0 vertices, an empty strip.
    EXPECT_TRUE(allWhite(showAt(145070)));
    // pos 0.05: five vertices each, four segments.
    EXPECT_LT(darkest(showAt(145700)), 200);

    // The middle: the swarm covers most of the screen, black and red.
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
    Box all = darkBox(mid);
    EXPECT_LT(all.left, 100);
    EXPECT_GT(all.right, 924);
}

TEST_F(CurvesRender, NothingAtTheEnd)
{
    // pos above 0.999 draws nothing; the converging flow starts here (pos 0) at fade 0.
    EXPECT_TRUE(allWhite(showAt(158990)));
}
