// Where two scenes overlap, the later in the table is drawn over the earlier in the same frame,
// with no clear between and no GL state carried from one to the other.
#include "render_fixture.h"

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

// Black lines and points over the earlier scene: the frame is never lighter than the later scene
// alone, and where that leaves white the earlier scene shows through as it is alone. Points of
// the aggregate far into the fog turn white, invisible over the background but lightening a
// Rossler chord they cover: there the chords show through nearly, and the frame may be lighter
// than the chords alone.
TEST_F(OverlapRender, LaterScenesAreDrawnOverEarlierOnes)
{
    struct Pair { int time; const char* earlier; const char* later; bool fogged; } pairs[] = {
        {93600, "newton", "lorentz", false}, {105600, "lorentz", "rossler", false}, {119600, "rossler", "dla", true}};
    for (const Pair& p : pairs) {
        SCOPED_TRACE(p.later);
        std::vector<unsigned char> both = showAt(p.time), earlier = alone(p.earlier, p.time);
        std::vector<unsigned char> later = alone(p.later, p.time);
        int shown = 0, lost = 0, laterDrawn = 0;
        for (size_t i = 0; i < both.size(); i += 3) {
            bool laterWhite = later[i] == 255 && later[i + 1] == 255 && later[i + 2] == 255;
            for (size_t c = i; c < i + 3; c++) {
                ASSERT_LE(both[c], later[c] + 2) << i / 3;
                ASSERT_TRUE(p.fogged || both[c] <= earlier[c] + 2) << i / 3;
                if (laterWhite && earlier[i] < 200)
                    (std::abs(both[c] - earlier[c]) <= (p.fogged ? 8 : 2) ? shown : lost)++;
            }
            laterDrawn += later[i + 1] < 200;
        }
        EXPECT_GT(shown, 3000);
        EXPECT_LE(lost, p.fogged ? shown / 10 : 0);
        EXPECT_GT(laterDrawn, 100);
    }
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
