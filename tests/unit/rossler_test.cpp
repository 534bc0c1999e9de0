// The Rossler trajectory in single precision and the shell's draws from the shared sequence.
#include "scenes/rossler.h"

#include "math/random.h"
#include "scenes/scenes.h"

#include <gtest/gtest.h>

// Worked by hand from dx = -(y + z), dy = x + 0.2 y, dz = 0.2 + z (x - 5.7), dt 0.02, from
// (0.03, 0.08, 0.01): x1 = 0.03 - 0.02 * 0.09 = 0.0282, y1 = 0.08 + 0.02 (0.03 + 0.016)
// = 0.08092, z1 = 0.01 + 0.02 (0.01 * -5.67 + 0.2) = 0.012866; stored times 0.1. The second and
// last points come from a float32 emulation of the same 10000 steps.
TEST(Rossler, TrajectoryFollowsTheEulerStepsInSinglePrecision)
{
    static Vector p[10000];
    rosslerTrajectory(p, 10000);
    EXPECT_FLOAT_EQ(p[0].x, 0.00282f);
    EXPECT_FLOAT_EQ(p[0].y, 0.008092f);
    EXPECT_FLOAT_EQ(p[0].z, 0.0012866f);
    EXPECT_FLOAT_EQ(p[1].x, 0.00263242796f);
    EXPECT_FLOAT_EQ(p[1].y, 0.0081807673f);
    EXPECT_FLOAT_EQ(p[1].z, 0.00154065329f);
    EXPECT_FLOAT_EQ(p[9999].x, 0.333628297f);
    EXPECT_FLOAT_EQ(p[9999].y, -0.243437007f);
    EXPECT_FLOAT_EQ(p[9999].z, 0.00637209043f);
}

TEST(Rossler, InitFillsTheShellFromTheSharedSequence)
{
    setSeed(90210);
    for (int i = 0; i < 8000; i++)
        randFloat();
    const uint32_t after = SEED;

    setSeed(90210);
    rossler_init();
    EXPECT_EQ(SEED, after);
    ASSERT_EQ(rosslercount, 10000);
    ASSERT_EQ(rosslerstarcount, 4000);
    for (int i = 0; i < rosslerstarcount; i++)
        ASSERT_NEAR(rosslerstars[i].length(), 5.0f, 1e-5f) << i;
    EXPECT_FLOAT_EQ(rosslerattractor[0].x, 0.00282f);
    rossler_free();
}
