// The aggregate scene's frames: nothing at its start, red points through fog in its middle, its
// frames over the end of the Rossler scene drawn over that scene, and the show's aggregate.
#include "render_fixture.h"

#include "frame/show.h"
#include "frame/timeline.h"
#include "scenes/dla.h"
#include "scenes/scenes.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

class DLARender : public RenderTest {
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

// The same checksum as the unit test's CHECKSUM_SHOW (FNV-1a 64 over positions, previous,
// colors and alphas, particle by particle), here after all thirteen inits in the show's order:
// dla_init reseeds both generators, so the inits before it leave the aggregate as it is.
TEST_F(DLARender, TheShowsAggregateIsTheOneGrownAlone)
{
    ASSERT_NE(DLAList, nullptr);
    DLAList->goToStart();
    const DLASystem& s = *static_cast<DLASystem*>(DLAList->getCurrent());
    ASSERT_EQ(s.count, 25000);
    uint64_t h = 1469598103934665603ull;
    auto feed = [&](float v) {
        unsigned char b[4];
        std::memcpy(b, &v, 4);
        for (unsigned char c : b)
            h = (h ^ c) * 1099511628211ull;
    };
    for (int i = 0; i < s.count; i++) {
        const Vector* v[3] = {&s.positions[i], &s.previous[i], &s.colors[i]};
        for (const Vector* p : v) {
            feed(p->x);
            feed(p->y);
            feed(p->z);
        }
        feed(s.alphas[i]);
    }
    EXPECT_EQ(h, 0x4f66dc8156a8d8abull);
}

TEST_F(DLARender, NothingAtItsStartRedPointsInItsMiddle)
{
    EXPECT_TRUE(allWhite(alone(dla, 6, 119000)));

    // pos 0.5: 12500 particles; red where they are near the eye, whitened by the fog beyond.
    std::vector<unsigned char> middle = showAt(125500);
    // Red (w, 0, 0) blended over white and fogged towards white never separates green from blue.
    // The strongest reds are the particles nearest the lattice centre, in the middle of the view.
    int red = 0;
    long sumX = 0, sumY = 0;
    for (size_t p = 0; p < middle.size(); p += 3) {
        int r = middle[p], g = middle[p + 1], b = middle[p + 2];
        ASSERT_EQ(g, b) << p / 3;
        ASSERT_GE(r + 1, g) << p / 3;
        if (r - g > 60) {
            red++;
            sumX += (long)(p / 3 % 1024);
            sumY += (long)(p / 3 / 1024);
        }
    }
    ASSERT_GT(red, 1000);
    EXPECT_NEAR(sumX / red, 512, 100);
    EXPECT_NEAR(sumY / red, 384, 100);
}

// Over 119000 - 120000 the Rossler chords are drawn first and the red points over them, without
// a clear. Points far enough into the fog turn white: invisible over the white background but
// lightening a chord they cover, so where the points alone leave white the chords show through
// nearly, not exactly, as they are alone.
TEST_F(DLARender, OverlapWithTheRosslerSceneDrawsBoth)
{
    const int time = 119600;
    std::vector<unsigned char> both = showAt(time);
    std::vector<unsigned char> earlier = alone(rossler, 5, time);
    std::vector<unsigned char> later = alone(dla, 6, time);
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
