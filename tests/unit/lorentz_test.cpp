// The Lorenz trajectory in single precision and the shell's draws from the shared sequence.
#include "scenes/lorentz.h"

#include "math/random.h"
#include "scenes/scenes.h"

#include <gtest/gtest.h>

// Worked by hand from dx = 10 (y - x), dy = x (28 - z) - y, dz = x y - 8/3 z, dt 0.01, from
// (0.03, 0.08, 0.01): x1 = 0.03 + 0.1 * 0.05 = 0.035, y1 = 0.08 + 0.01 (0.03 * 27.99 - 0.08)
// = 0.087597, z1 = 0.01 + 0.01 (0.0024 - 0.0266667) = 0.00975733; stored times 0.1. The second
// and last points come from a float32 emulation of the same steps: after 5000 chaotic steps only
// bit-exact single precision (0.01f * 10 rounds to 0.099999994f, no fused multiply-add) lands on it.
TEST(Lorentz, TrajectoryFollowsTheEulerStepsInSinglePrecision)
{
    static Vector p[5000];
    lorentzTrajectory(p, 5000);
    EXPECT_FLOAT_EQ(p[0].x, 0.0035f);
    EXPECT_FLOAT_EQ(p[0].y, 0.0087597f);
    EXPECT_FLOAT_EQ(p[0].z, 0.000975733332f);
    EXPECT_FLOAT_EQ(p[1].x, 0.00402597012f);
    EXPECT_FLOAT_EQ(p[1].y, 0.0096517615f);
    EXPECT_FLOAT_EQ(p[1].z, 0.000952779723f);
    EXPECT_FLOAT_EQ(p[4999].x, -1.49266231f);
    EXPECT_FLOAT_EQ(p[4999].y, -1.61677802f);
    EXPECT_FLOAT_EQ(p[4999].z, 3.46653414f);
}

// The shell takes exactly two randFloat draws per point: the scenes initialised after this one
// continue the sequence from where it stops.
TEST(Lorentz, InitFillsTheShellFromTheSharedSequence)
{
    setSeed(4711);
    for (int i = 0; i < 8000; i++)
        randFloat();
    const uint32_t after = SEED;

    setSeed(4711);
    lorentz_init();
    EXPECT_EQ(SEED, after);
    ASSERT_EQ(lorentzcount, 5000);
    ASSERT_EQ(starcount, 4000);
    for (int i = 0; i < starcount; i++)
        ASSERT_NEAR(stars[i].length(), 5.0f, 1e-5f) << i;
    EXPECT_FLOAT_EQ(lorentzattractor[0].x, 0.0035f);
    lorentz_free();
}
