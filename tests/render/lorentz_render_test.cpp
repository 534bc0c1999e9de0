// The Lorenz scene's frames: nothing at its start, the butterfly in its middle, and its
// frames over the end of the Newton scene drawn over that scene.
#include "render_fixture.h"

#include "frame/show.h"
#include "frame/timeline.h"
#include "scenes/scenes.h"

class LorentzRender : public RenderTest {
protected:
    static void SetUpTestSuite()
    {
        RenderTest::SetUpTestSuite();
        initShowOnce();
    }
    // One scene drawn alone on a cleared frame, at the position it has at show time `time`.
    static std::vector<unsigned char> alone(void (*draw)(float), int entry, int time)
    {
        show_frame(244500);  // no scene at this time: a cleared frame with the loop's GL state
        draw(laskePos(time, timeline[entry]));
        return frame();
    }
};

TEST_F(LorentzRender, NothingAtItsStartTheButterflyInItsMiddle)
{
    EXPECT_TRUE(allWhite(alone(lorentz, 4, 93000)));

    // t = 0.5: the camera two units out on -z, inside the shell; the line fills most of the view.
    std::vector<unsigned char> middle = showAt(99500);
    Box box = darkBox(middle, 128);
    ASSERT_FALSE(box.empty());
    EXPECT_GT(box.right - box.left, 600);
    EXPECT_GT(box.bottom - box.top, 400);
    EXPECT_LT(darkest(middle), 100);  // the line at up to 0.7 alpha, twice as wide as the points
}

// Over 93000 - 94000 the Newton grid is drawn first and the black line and points over it,
// without a clear: where the Lorenz scene alone leaves white, the frame is Newton's; elsewhere it
// is never lighter than either scene alone.
TEST_F(LorentzRender, OverlapWithTheNewtonSceneDrawsBoth)
{
    const int time = 93600;
    std::vector<unsigned char> both = showAt(time);
    std::vector<unsigned char> earlier = alone(newton, 3, time);
    std::vector<unsigned char> later = alone(lorentz, 4, time);
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
