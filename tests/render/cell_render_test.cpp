// The cells scene drawn through the show: the sheet and the red greetings, stage by stage (its
// blank ends are in show_test).
#include "render_fixture.h"

using CellRender = ShowRenderTest;

// Pixels of the black sheet, and of the red greetings.
static int grey(const std::vector<unsigned char>& rgb)
{
    int n = 0;
    for (size_t i = 0; i < rgb.size(); i += 3)
        n += rgb[i] <= 160 && rgb[i + 1] <= 160 && rgb[i + 2] <= 160;
    return n;
}
static int red(const std::vector<unsigned char>& rgb)
{
    int n = 0;
    for (size_t i = 0; i < rgb.size(); i += 3)
        n += rgb[i] >= 200 && rgb[i + 1] <= 90 && rgb[i + 2] <= 90;
    return n;
}

// 132000 + 13000 * (k + 0.5) / 19: the middle of stage k, its pair at full alpha.
static int stageMiddle(int k) { return 132000 + (int)(13000 * (k + 0.5) / 19); }

TEST_F(CellRender, SheetAndRedGreetingsInTheMiddleOfEachStage)
{
    for (int k : {0, 9, 18}) {
        std::vector<unsigned char> rgb = showAt(stageMiddle(k));
        EXPECT_GT(red(rgb), 300) << "stage " << k;
        if (k < 17) {  // from pos 0.9 on the sheet flies apart
            EXPECT_GT(grey(rgb), 100000) << "stage " << k;
        }
    }
    // Just past a stage boundary the next pair has not faded in yet.
    EXPECT_EQ(red(showAt(132000 + 13000 * 10 / 19 + 1)), 0);
    // pos 0.99: the sheet's scale is about 10^7, it has flown apart.
    EXPECT_EQ(grey(showAt(144870)), 0);
}
