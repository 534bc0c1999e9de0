// The Fibonacci trees drawn through the show: growing trees, the blank start, and the trees
// drawn over the converging flow where the two overlap.
#include "render_fixture.h"

#include "frame/show.h"
#include "frame/timeline.h"
#include "scenes/scenes.h"

class FibotreeRender : public RenderTest {
protected:
    static void SetUpTestSuite()
    {
        RenderTest::SetUpTestSuite();
        initShowOnce();
    }
    // The trees alone at position t: a frame with no scene active, then the draw.
    static std::vector<unsigned char> treesAlone(float t)
    {
        show_frame(244500);
        fibotree(t);
        return frame();
    }
    // Black or blue branches, neither the white background nor the flow's red.
    static bool branch(const unsigned char* p) { return p[0] < 200; }
};

TEST_F(FibotreeRender, TreesGrowInTheMiddleWithTheirNewestLevelInBlue)
{
    std::vector<unsigned char> mid = showAt(185000);
    EXPECT_GT(darkBox(mid).count, 20000);
    int blue = 0;
    for (size_t i = 0; i < mid.size(); i += 3)
        blue += (mid[i + 2] > 200 && mid[i] < mid[i + 2] - 40 && mid[i + 1] < mid[i + 2] - 40);
    EXPECT_GT(blue, 50);

    // t = 0: the scene's fade is 0.
    EXPECT_TRUE(allWhite(treesAlone(0.0f)));
}

TEST_F(FibotreeRender, OverlapDrawsTheTreesOverTheConvergingFlow)
{
    const int time = 171900;
    std::vector<unsigned char> alone = treesAlone(laskePos(time, timeline[10]));
    std::vector<unsigned char> both = showAt(time);
    int inTrees = 0, kept = 0;
    for (size_t i = 0; i < alone.size(); i += 3)
        if (branch(&alone[i])) {
            inTrees++;
            kept += branch(&both[i]);
        }
    ASSERT_GT(inTrees, 5000);
    // Drawn in the same frame after the flow, with no clear between: every branch pixel the
    // trees make alone is there, none hidden by the flow's streaks or their depth.
    EXPECT_GT(kept, inTrees * 98 / 100);
}
