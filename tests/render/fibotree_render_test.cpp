// The Fibonacci trees drawn through the show: growing trees with their newest level in blue
// (the blank start and the overlap with the converging flow are in show_test and
// overlap_render_test).
#include "render_fixture.h"

using FibotreeRender = ShowRenderTest;

TEST_F(FibotreeRender, TreesGrowInTheMiddleWithTheirNewestLevelInBlue)
{
    std::vector<unsigned char> mid = showAt(185000);
    EXPECT_GT(darkBox(mid).count, 20000);
    int blue = 0;
    for (size_t i = 0; i < mid.size(); i += 3)
        blue += (mid[i + 2] > 200 && mid[i] < mid[i + 2] - 40 && mid[i + 1] < mid[i + 2] - 40);
    EXPECT_GT(blue, 50);
}
