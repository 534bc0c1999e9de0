// The aggregate scene's frames: red points through fog in its middle (its blank start and its
// frames over the Rossler scene are in show_test and overlap_render_test).
#include "render_fixture.h"

using DLARender = ShowRenderTest;

TEST_F(DLARender, RedPointsInItsMiddle)
{
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
