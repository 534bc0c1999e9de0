// The curves scene drawn through the show: red and black curves (its growth from nothing and
// blank end are in show_test).
#include "render_fixture.h"

using CurvesRender = ShowRenderTest;

TEST_F(CurvesRender, RedAndBlackCurvesInTheMiddle)
{
    std::vector<unsigned char> mid = showAt(152000);
    int black = 0;
    for (size_t i = 0; i < mid.size(); i += 3)
        black += mid[i] < 120 && mid[i + 1] < 120 && mid[i + 2] < 120;
    int red = redPixels(mid);
    EXPECT_GT(black, 20000);
    EXPECT_GT(red, 2000);
    EXPECT_LT(red, black);
}
