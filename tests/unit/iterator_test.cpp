// Iterated maps: which quarter is drawn, which generator each cloud draws from, the Julia
// cloud's roots and bias, and the reseeding that keeps a cloud still while p stands still.
#include "scenes/iterator.h"

#include "math/random.h"

#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
#include <vector>

static std::vector<double> cloud(void (*points)(float, double*), float p)
{
    std::vector<double> xy(2 * ITERATOR_STEPS);
    points(p, xy.data());
    return xy;
}

TEST(Iterator, OneQuarterAtATimeAndNoneAtTheBoundaries)
{
    const std::pair<float, int> cases[] = {
        // (show_test finds the frames at 0.25, 0.5 and 0.75 white.)
        {0.0f, 0}, {0.125f, 1}, {0.375f, 2}, {0.625f, 3}, {0.875f, 4}, {1.0f, 0},
        // Near the ends of the first three quarters nothing; the last runs on past 0.999.
        {0.0002f, 0}, {0.2499f, 0}, {0.7499f, 0}, {0.99985f, 4}};
    for (const auto& c : cases)
        EXPECT_EQ(iteratorQuarter(c.first), c.second) << c.first;
}

// The similarity maps choose by randFloat, one draw a step (rand is reseeded but not drawn
// from); the others choose by rand and leave the shared sequence alone.
TEST(Iterator, OnlyTheSimilarityMapsDrawFromRandFloat)
{
    setSeed(12);
    for (int i = 0; i < ITERATOR_STEPS; i++)
        randFloat();
    const uint32_t after = SEED;
    setSeed(12);
    cloud(iterator2Points, 0.5f);
    EXPECT_EQ(SEED, after);
    for (void (*points)(float, double*) : {iterator1Points, iterator3Points, iterator4Points})
        cloud(points, 0.5f);
    EXPECT_EQ(SEED, after);
}

TEST(Iterator, JuliaPointsAreSquareRootsTakenMostlyNegative)
{
    for (float p : {0.0f, 0.5f}) {
        double Kr = 0.1 * std::cos(16.0 * p) - 0.75, Ki = 0.14 * std::sin(14.0 * p) + 0.23;
        double tau = 0.1 * std::cos(14.0 * p) + 0.87;
        double scale = 3.5 - p;
        std::vector<double> xy = cloud(iterator4Points, p);
        double a = 0, b = 0;
        int negative = 0;
        for (int i = 0; i < ITERATOR_STEPS; i++) {
            double x = xy[2 * i] / scale, y = xy[2 * i + 1] / scale;
            // Each point squared, plus K, gives the one before it.
            ASSERT_NEAR(x * x - y * y + Kr, a, 1e-6) << i;
            ASSERT_NEAR(2 * x * y + Ki, b, 1e-6) << i;
            negative += x < 0;
            a = x;
            b = y;
        }
        EXPECT_NEAR((double)negative / ITERATOR_STEPS, tau, 0.01) << p;
    }
}

TEST(Iterator, ReseededCloudsRepeatForTheSamePosition)
{
    std::vector<double> first1 = cloud(iterator1Points, 0.37f), first3 = cloud(iterator3Points, 0.37f);
    for (int i = 0; i < 17; i++)
        rand();
    EXPECT_EQ(cloud(iterator1Points, 0.37f), first1);
    EXPECT_EQ(cloud(iterator3Points, 0.37f), first3);
    EXPECT_NE(cloud(iterator1Points, 0.38f), first1);
}
