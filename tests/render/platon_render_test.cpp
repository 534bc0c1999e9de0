// The Platonic solids scene drawn through the show: lit and fogged solids after the white flash
// (its blank ends and the overlap with the credits are in show_test and overlap_render_test).
#include "render_fixture.h"

using PlatonRender = ShowRenderTest;

TEST_F(PlatonRender, LitSolidsComeOutOfTheFog)
{
    // Just after the flash the eye is 9 units back and every solid at least about 2.6 units
    // from it, deep in the fog that runs from 1 to 4 units: drawn, but nothing darker than
    // light grey.
    std::vector<unsigned char> early = showAt(27500);
    EXPECT_FALSE(allWhite(early));
    EXPECT_GE(darkest(early), 140);

    // In the middle the solids are lit red and dark ones come through the fog.
    std::vector<unsigned char> middle = showAt(33500);
    int reddish = 0;
    for (size_t p = 0; p < middle.size(); p += 3)
        reddish += middle[p] > middle[p + 1] + 30;
    EXPECT_GT(reddish, 10000);
    EXPECT_LT(darkest(middle), 100);
    Box box = darkBox(middle);
    EXPECT_GT(box.right - box.left, 400);
    EXPECT_GT(box.bottom - box.top, 400);
}
