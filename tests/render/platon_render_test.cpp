// The Platonic solids scene drawn through the show: the white flash at both ends, lit and fogged
// solids in between, and the overlap with the credits.
#include "render_fixture.h"

#include "frame/show.h"
#include "frame/timeline.h"
#include "scenes/scenes.h"

class PlatonRender : public RenderTest {
protected:
    static void SetUpTestSuite()
    {
        RenderTest::SetUpTestSuite();
        initShowOnce();
    }
};

// Pixels whose red clearly exceeds their green: only the red-tinted light makes them.
static int reddish(const std::vector<unsigned char>& rgb)
{
    int n = 0;
    for (size_t p = 0; p < rgb.size(); p += 3)
        n += rgb[p] > rgb[p + 1] + 30;
    return n;
}

TEST_F(PlatonRender, WhiteFlashAtBothEnds)
{
    EXPECT_TRUE(allWhite(showAt(27000)));   // t = 0: the overlay is opaque
    EXPECT_FALSE(allWhite(showAt(27500)));  // 0.5 s in, it has faded and the solids show
    EXPECT_TRUE(allWhite(showAt(40000)));   // t = 1 (and the potential field, faded out, at 0)
}

TEST_F(PlatonRender, LitSolidsComeOutOfTheFog)
{
    // Just after the flash the eye is 9 units back and every solid at least about 2.6 units
    // from it, deep in the fog that runs from 1 to 4 units: nothing darker than light grey.
    EXPECT_GE(darkest(showAt(27500)), 140);

    // In the middle the solids are lit red and dark ones come through the fog.
    std::vector<unsigned char> middle = showAt(33500);
    EXPECT_GT(reddish(middle), 10000);
    EXPECT_LT(darkest(middle), 100);
    Box box = darkBox(middle);
    EXPECT_GT(box.right - box.left, 400);
    EXPECT_GT(box.bottom - box.top, 400);
}

// In the overlap both the credits and the solids are drawn, the solids second. The credits'
// last line has faded out by 26100 ms, so the frame must be exactly the solids' own frame: the
// state the credits leave (blending on, depth test off, black) must not reach the solids.
TEST_F(PlatonRender, OverlapWithTheCreditsShowsTheSolidsUndisturbed)
{
    std::vector<unsigned char> both = showAt(28000);
    EXPECT_GT(reddish(both), 1000);

    show_frame(244500);  // the frame's reset and clear, no scene active
    platon(laskePos(28000, timeline[1]));
    EXPECT_EQ(frame(), both);
}
