// The Lorenz and Rossler trajectories in single precision, and their shells' draws from the
// shared sequence.
#include "scenes/lorentz.h"
#include "scenes/rossler.h"

#include "math/random.h"
#include "scenes/scenes.h"

#include <gtest/gtest.h>
#include <vector>

// The first points were worked by hand and stored times 0.1. Lorenz: dx = 10 (y - x),
// dy = x (28 - z) - y, dz = x y - 8/3 z, dt 0.01, from (0.03, 0.08, 0.01): x1 = 0.03 + 0.1 * 0.05
// = 0.035, y1 = 0.08 + 0.01 (0.03 * 27.99 - 0.08) = 0.087597, z1 = 0.01 + 0.01 (0.0024 -
// 0.0266667) = 0.00975733. Rossler: dx = -(y + z), dy = x + 0.2 y, dz = 0.2 + z (x - 5.7),
// dt 0.02: x1 = 0.03 - 0.02 * 0.09 = 0.0282, y1 = 0.08 + 0.02 (0.03 + 0.016) = 0.08092,
// z1 = 0.01 + 0.02 (0.01 * -5.67 + 0.2) = 0.012866. The second and last points come from a
// float32 emulation of the same steps: after thousands of chaotic steps only bit-exact single
// precision (0.01f * 10 rounds to 0.099999994f, no fused multiply-add) lands on them.
TEST(Attractor, TrajectoriesFollowTheEulerStepsInSinglePrecision)
{
    const struct {
        const char* name;
        void (*trajectory)(Vector*, int);
        int count;
        Vector first, second, last;
    } cases[] = {
        {"Lorenz", lorentzTrajectory, 5000, {0.0035f, 0.0087597f, 0.000975733332f},
         {0.00402597012f, 0.0096517615f, 0.000952779723f}, {-1.49266231f, -1.61677802f, 3.46653414f}},
        {"Rossler", rosslerTrajectory, 10000, {0.00282f, 0.008092f, 0.0012866f},
         {0.00263242796f, 0.0081807673f, 0.00154065329f}, {0.333628297f, -0.243437007f, 0.00637209043f}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<Vector> p(c.count);
        c.trajectory(p.data(), c.count);
        const Vector* expected[3] = {&c.first, &c.second, &c.last};
        const Vector* got[3] = {&p[0], &p[1], &p[c.count - 1]};
        for (int k = 0; k < 3; k++) {
            EXPECT_FLOAT_EQ(got[k]->x, expected[k]->x) << "point " << k;
            EXPECT_FLOAT_EQ(got[k]->y, expected[k]->y) << "point " << k;
            EXPECT_FLOAT_EQ(got[k]->z, expected[k]->z) << "point " << k;
        }
    }
}

// Each shell takes exactly two randFloat draws per point: the scenes initialised after these
// continue the sequence from where they stop.
TEST(Attractor, InitsFillTheirShellsFromTheSharedSequence)
{
    setSeed(4711);
    for (int i = 0; i < 8000; i++)
        randFloat();
    const uint32_t after = SEED;

    const struct {
        void (*init)();
        void (*free)();
        int* count;
        Vector** shell;
        int* shellCount;
        int expected;
    } cases[] = {{lorentz_init, lorentz_free, &lorentzcount, &stars, &starcount, 5000},
                 {rossler_init, rossler_free, &rosslercount, &rosslerstars, &rosslerstarcount, 10000}};
    for (const auto& c : cases) {
        setSeed(4711);
        c.init();
        EXPECT_EQ(SEED, after);
        EXPECT_EQ(*c.count, c.expected);
        ASSERT_EQ(*c.shellCount, 4000);
        for (int i = 0; i < 4000; i++)
            ASSERT_NEAR((*c.shell)[i].length(), 5.0f, 1e-5f) << i;
        c.free();
    }
}
