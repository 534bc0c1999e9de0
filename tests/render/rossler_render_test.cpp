// The Rossler scene's frames: nothing at its start, the chords in its middle, and its frames over
// the end of the Lorenz scene drawn over that scene.
#include "render_fixture.h"

#include "frame/show.h"
#include "frame/timeline.h"
#include "scenes/scenes.h"

class RosslerRender : public RenderTest {
protected:
    static void SetUpTestSuite()
    {
        RenderTest::SetUpTestSuite();
        initShowOnce();
    }
    static std::vector<unsigned char> alone(void (*draw)(float), int entry, int time)
    {
        show_frame(244500);  // no scene at this time: a cleared frame with the loop's GL state
        draw(laskePos(time, timeline[entry]));
        return frame();
    }
};

TEST_F(RosslerRender, NothingAtItsStartChordsFromBothCamerasInItsMiddle)
{
    EXPECT_TRUE(allWhite(alone(rossler, 5, 105000)));

    // t = 0.5: halfway through the cross-fade, each view at half opacity.
    std::vector<unsigned char> middle = showAt(112500);
    Box box = darkBox(middle, 200);
    ASSERT_FALSE(box.empty());
    EXPECT_GT(box.count, 2000);

    // Before and after the cross-fade a single view each.
    int before = darkest(showAt(105000 + 6000));   // t = 0.4: the outside camera only
    int after = darkest(showAt(105000 + 9000));    // t = 0.6: the riding camera only
    EXPECT_LT(before, 200);
    EXPECT_LT(after, 200);
}

// Over 105000 - 106000 the Lorenz scene is drawn first and the Rossler scene over it.
TEST_F(RosslerRender, OverlapWithTheLorenzSceneDrawsBoth)
{
    const int time = 105600;
    std::vector<unsigned char> both = showAt(time);
    std::vector<unsigned char> earlier = alone(lorentz, 4, time);
    std::vector<unsigned char> later = alone(rossler, 5, time);
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
