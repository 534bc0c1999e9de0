// Where two scenes overlap, the later in the table is drawn over the earlier in the same frame,
// with no clear between and no GL state carried from one to the other.
#include "render_fixture.h"

#include "frame/show.h"

#include <cstdlib>

using OverlapRender = ShowRenderTest;

// Pixels whose red clearly exceeds their green: only the solids' red-tinted light makes them.
static int reddish(const std::vector<unsigned char>& rgb)
{
    int n = 0;
    for (size_t p = 0; p < rgb.size(); p += 3)
        n += rgb[p] > rgb[p + 1] + 30;
    return n;
}

// The credits' last line has faded out by 26100 ms, so the frame must be exactly the solids'
// own frame: the state the credits leave (blending on, depth test off, black) must not reach them.
TEST_F(OverlapRender, TheSolidsOverTheCreditsUndisturbed)
{
    std::vector<unsigned char> both = showAt(28000);
    EXPECT_GT(reddish(both), 1000);
    EXPECT_EQ(alone("platon", 28000), both);
}

// Black lines and points over the earlier scene: where the later scene alone leaves white, the
// frame is the earlier one's; elsewhere it is never lighter than either scene alone.
static void expectDrawnOver(const std::vector<unsigned char>& both, const std::vector<unsigned char>& earlier,
                            const std::vector<unsigned char>& later)
{
    int earlierOnly = 0, laterDrawn = 0;
    for (size_t p = 0; p < both.size(); p += 3) {
        bool laterWhite = later[p] == 255 && later[p + 1] == 255 && later[p + 2] == 255;
        for (size_t c = p; c < p + 3; c++) {
            if (laterWhite) {
                ASSERT_NEAR(both[c], earlier[c], 2) << p / 3;
            }
            ASSERT_LE(both[c], later[c] + 2) << p / 3;
            ASSERT_LE(both[c], earlier[c] + 2) << p / 3;
        }
        earlierOnly += laterWhite && earlier[p] < 200;
        laterDrawn += later[p] < 200;
    }
    EXPECT_GT(earlierOnly, 1000);
    EXPECT_GT(laterDrawn, 100);
}

TEST_F(OverlapRender, LorenzOverNewtonAndRosslerOverLorenz)
{
    struct Pair { int time; const char* earlier; const char* later; } pairs[] = {
        {93600, "newton", "lorentz"}, {105600, "lorentz", "rossler"}};
    for (const Pair& p : pairs) {
        SCOPED_TRACE(p.time);
        std::vector<unsigned char> both = showAt(p.time);
        std::vector<unsigned char> earlier = alone(p.earlier, p.time);
        expectDrawnOver(both, earlier, alone(p.later, p.time));
    }
}

// Points of the aggregate far enough into the fog turn white: invisible over the white
// background but lightening a Rossler chord they cover, so where the points alone leave white
// the chords show through nearly, not exactly, as they are alone.
TEST_F(OverlapRender, TheAggregateOverTheRosslerChords)
{
    const int time = 119600;
    std::vector<unsigned char> both = showAt(time);
    std::vector<unsigned char> earlier = alone("rossler", time);
    std::vector<unsigned char> later = alone("dla", time);
    int earlierShown = 0, earlierLost = 0, laterDrawn = 0;
    for (size_t p = 0; p < both.size(); p += 3) {
        for (size_t c = p; c < p + 3; c++)
            ASSERT_LE(both[c], later[c] + 2) << p / 3;
        bool laterWhite = later[p] == 255 && later[p + 1] == 255 && later[p + 2] == 255;
        if (laterWhite && earlier[p] < 200) {
            if (std::abs(both[p] - earlier[p]) <= 8)
                earlierShown++;
            else
                earlierLost++;
        }
        laterDrawn += later[p + 1] < 200;
    }
    EXPECT_GT(earlierShown, 1000);
    EXPECT_LT(earlierLost, earlierShown / 10);
    EXPECT_GT(laterDrawn, 100);
}

// Every branch pixel the trees make alone is there, none hidden by the flow's streaks or their
// depth (branches are black or blue: red below 200, unlike the background and the streaks).
TEST_F(OverlapRender, TheTreesOverTheConvergingFlow)
{
    const int time = 171900;
    std::vector<unsigned char> treesAlone = alone("fibotree", time);
    std::vector<unsigned char> both = showAt(time);
    int inTrees = 0, kept = 0;
    for (size_t i = 0; i < treesAlone.size(); i += 3)
        if (treesAlone[i] < 200) {
            inTrees++;
            kept += both[i] < 200;
        }
    ASSERT_GT(inTrees, 5000);
    EXPECT_GT(kept, inTrees * 98 / 100);
}
