// The cells scene drawn through the show: the sheet, the red greetings, the blank ends.
#include "render_fixture.h"

class CellRender : public RenderTest {
protected:
    static void SetUpTestSuite()
    {
        RenderTest::SetUpTestSuite();
        initShowOnce();
    }
    // Pixels of the red greetings, and of the black sheet.
    static void count(const std::vector<unsigned char>& rgb, int& red, int& grey)
    {
        red = grey = 0;
        for (size_t i = 0; i < rgb.size(); i += 3) {
            int r = rgb[i], g = rgb[i + 1], b = rgb[i + 2];
            red += (r >= 200 && g <= 90 && b <= 90);
            grey += (r <= 160 && g <= 160 && b <= 160);
        }
    }
};

// 132000 + 13000 * (k + 0.5) / 19: the middle of stage k, its pair at full alpha.
static int stageMiddle(int k) { return 132000 + (int)(13000 * (k + 0.5) / 19); }

TEST_F(CellRender, SheetAndRedGreetingsInTheMiddleNothingAtTheEnds)
{
    int red, grey;
    for (int k : {0, 9, 18}) {
        count(showAt(stageMiddle(k)), red, grey);
        EXPECT_GT(red, 300) << "stage " << k;
        if (k < 17) {  // from pos 0.9 on the sheet flies apart
            EXPECT_GT(grey, 100000) << "stage " << k;
        }
    }
    // Just past a stage boundary the next pair has not faded in yet.
    count(showAt(132000 + 13000 * 10 / 19 + 1), red, grey);
    EXPECT_EQ(red, 0);
    // pos 0.99: the sheet's scale is about 10^7, it has flown apart.
    count(showAt(144870), red, grey);
    EXPECT_EQ(grey, 0);

    // pos 0: alpha 0 everywhere. pos 1 (145000, where the curves start blank): stage 19 would
    // write greeting 40, past the table; nothing is written.
    EXPECT_TRUE(allWhite(showAt(132000)));
    EXPECT_TRUE(allWhite(showAt(145000)));
}
