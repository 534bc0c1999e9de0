// The curves scene's layout: it continues the generator where the cells scene left it.
#include "scenes/curves.h"
#include "scenes/scenes.h"

#include <gtest/gtest.h>

static void expectVector(const Vector& v, float x, float y, float z)
{
    EXPECT_NEAR(v.x, x, 1e-6f);
    EXPECT_NEAR(v.y, y, 1e-6f);
    EXPECT_NEAR(v.z, z, 1e-6f);
}

// Worked out from setSeed(16891), the cells scene's 120 draws, then u1..u3, r1..r3 and w1..w5
// of the first curve, in single precision.
TEST(Curves, FirstCurveFollowsTheCellsScenesDraws)
{
    cell_init();
    curves_init();
    const Curve& c = kayrat[0];
    expectVector(c.origin, 6.907958030700684f, 0.7595694065093994f, 0.8102786540985107f);
    expectVector(c.rotend, 0.027179136872291565f, 0.15291166305541992f, 0.028142480179667473f);
    // Steps of R = 0.2 w5 + 0.1 = 0.28452763 starting at theta 2 pi w1, phi 2 pi w2.
    expectVector(c.points[0], 0, 0, 0);
    expectVector(c.points[1], 0.23358707129955292f, 0.1581564098596573f, -0.03714308887720108f);
    expectVector(c.points[2], 0.43927639722824097f, 0.33472996950149536f, -0.1235702782869339f);
    expectVector(c.points[3], 0.6102192997932434f, 0.5192521810531616f, -0.2565591335296631f);

    // Every curve keeps one step length in [0.1, 0.3]; about 16 in 100 are red.
    int red = 0;
    for (int i = 0; i < CURVE_COUNT; i++) {
        const Curve& k = kayrat[i];
        float R = (k.points[1] - k.points[0]).length();
        ASSERT_TRUE(R >= 0.0999f && R <= 0.3001f) << i;
        EXPECT_NEAR((k.points[99] - k.points[98]).length(), R, 1e-4f) << i;
        red += k.color == Vector(1, 0, 0);
    }
    EXPECT_GT(red, 70);
    EXPECT_LT(red, 160);
    curves_free();
    cell_free();
}
