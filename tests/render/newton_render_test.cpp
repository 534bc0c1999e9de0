// The Newton fractal scene drawn through the show: each quarter fades in and out on its own, so
// the scene is blank at its start, at its quarter boundaries (its middle among them) and drawn
// within each quarter.
#include "render_fixture.h"

class NewtonRender : public RenderTest {
protected:
    static void SetUpTestSuite()
    {
        RenderTest::SetUpTestSuite();
        initShowOnce();
    }
};

TEST_F(NewtonRender, QuartersFadeInAndOutOnTheirOwn)
{
    // t = 0, 0.25, 0.5 and 0.75: 66000, 73000, 80000 and 87000 ms.
    for (int time : {66000, 73000, 80000, 87000})
        EXPECT_TRUE(allWhite(showAt(time))) << time;

    // The middles of the quarters: the grid, about 130 units wide seen from 160 away, spans
    // most of the screen in opaque black squares.
    for (int time : {69500, 76500, 83500, 90500}) {
        std::vector<unsigned char> rgb = showAt(time);
        Box box = darkBox(rgb);
        EXPECT_GT(box.right - box.left, 700) << time;
        EXPECT_GT(box.bottom - box.top, 700) << time;
        EXPECT_EQ(darkest(rgb), 0) << time;
    }
}
