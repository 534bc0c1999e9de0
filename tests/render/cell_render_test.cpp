// The cells scene drawn through the show: the sheet, the red greetings, the blank ends.
#include "render_fixture.h"

#include <functional>

class CellRender : public RenderTest {
protected:
    static void SetUpTestSuite()
    {
        RenderTest::SetUpTestSuite();
        initShowOnce();
    }
    static int count(const std::vector<unsigned char>& rgb,
                     const std::function<bool(int, int, int)>& test)
    {
        int n = 0;
        for (size_t i = 0; i < rgb.size(); i += 3)
            n += test(rgb[i], rgb[i + 1], rgb[i + 2]);
        return n;
    }
    static bool red(int r, int g, int b) { return r >= 200 && g <= 90 && b <= 90; }
};

// 132000 + 13000 * (k + 0.5) / 19: the middle of stage k, where the pair shows at full alpha.
static int stageMiddle(int k) { return 132000 + (int)(13000 * (k + 0.5) / 19); }

TEST_F(CellRender, SheetFillsTheMiddleAndGreetingsShowInRed)
{
    std::vector<unsigned char> mid = showAt(stageMiddle(9));
    Box sheet = darkBox(mid);
    EXPECT_GT(sheet.count, 100000);
    EXPECT_LT(sheet.left, 300);
    EXPECT_GT(sheet.right, 900);
    // "Ashvelde" over "Elkmarrow", to the right of the centre.
    int redMid = count(mid, red);
    EXPECT_GT(redMid, 300);

    // Stage 0 and stage 18 show their pairs too; between two stages (f = 0) no text at all.
    EXPECT_GT(count(showAt(stageMiddle(0)), red), 300);
    EXPECT_GT(count(showAt(stageMiddle(18)), red), 300);
    int boundary = 132000 + 13000 * 10 / 19 + 1;  // f about 0.0015: alpha 0.005
    EXPECT_EQ(count(showAt(boundary), red), 0);
}

TEST_F(CellRender, NothingAtItsEndsAndTheSheetFliesApartAtTheEnd)
{
    // pos 0: the sheet's and the text's alpha are 0 (the aggregate ends here at alpha 0 too).
    EXPECT_TRUE(allWhite(showAt(132000)));
    // pos 1: stage 19 writes nothing (its lower line would be past the greetings table); the
    // curves start here with nothing drawn.
    EXPECT_TRUE(allWhite(showAt(145000)));

    // Black, not red: the sheet without the greetings.
    auto grey = [](int r, int g, int b) { return r <= 160 && g <= 160 && b <= 160; };
    int middle = count(showAt(stageMiddle(9)), grey);
    int late = count(showAt(144870), grey);   // pos 0.99: the sheet's scale is about 10^7
    EXPECT_GT(middle, 100000);
    EXPECT_LT(late, middle / 100);
}
