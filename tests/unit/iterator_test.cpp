// Iterated maps: which quarter is drawn, the clouds' first points from the origin, the Julia
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
    EXPECT_EQ(iteratorQuarter(0.0f), 0);
    EXPECT_EQ(iteratorQuarter(0.125f), 1);
    EXPECT_EQ(iteratorQuarter(0.25f), 0);
    EXPECT_EQ(iteratorQuarter(0.375f), 2);
    EXPECT_EQ(iteratorQuarter(0.5f), 0);
    EXPECT_EQ(iteratorQuarter(0.625f), 3);
    EXPECT_EQ(iteratorQuarter(0.75f), 0);
    EXPECT_EQ(iteratorQuarter(0.875f), 4);
    EXPECT_EQ(iteratorQuarter(1.0f), 0);
    // Near the ends of the first three quarters nothing; the last runs on past 0.999.
    EXPECT_EQ(iteratorQuarter(0.0002f), 0);
    EXPECT_EQ(iteratorQuarter(0.2499f), 0);
    EXPECT_EQ(iteratorQuarter(0.7499f), 0);
    EXPECT_EQ(iteratorQuarter(0.99985f), 4);
}

TEST(Iterator, PolarMapsStartAtTheChosenMapsOffset)
{
    int seen[4] = {0, 0, 0, 0};
    for (float p : {0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f, 0.7f, 0.8f, 0.9f}) {
        srand((int)(16100 * (double)p));
        int map = rand() % 4;
        seen[map]++;
        double e = 0.4 * ((1 - p) * std::cos(20.0 * p) + p) + 0.4;
        double h = 1.5 * std::sqrt(3.0) * p;
        const double offset[4][2] = {{0, 1}, {h, -e}, {-h, -e}, {0, 0}};
        std::vector<double> xy = cloud(iterator1Points, p);
        EXPECT_DOUBLE_EQ(xy[0], offset[map][0] + 0.5) << p;
        EXPECT_DOUBLE_EQ(xy[1], offset[map][1] + 0.5) << p;
    }
    EXPECT_GE((seen[0] > 0) + (seen[1] > 0) + (seen[2] > 0) + (seen[3] > 0), 3);
}

TEST(Iterator, SimilarityMapsStartAtTheChosenMapsOffsetAndDrawFromRandFloat)
{
    const float p = 0.5f;
    double q = std::sin(3.141592 * p / 2);
    double m = 3 * std::sin(3.141592 * q / 2) + 2;
    double k = std::sqrt(3.0) * (0.335 * p + 0.8);
    double T = (0.4 * p + 1.8) / 3;
    int seen[3] = {0, 0, 0};
    for (int seed = 1; seed <= 12; seed++) {
        setSeed(seed);
        float u = randFloat();
        for (int i = 1; i < ITERATOR_STEPS; i++)
            randFloat();
        uint32_t after = SEED;
        int map = u < 1.0 / 3 ? 0 : u < T ? 1 : 2;
        seen[map]++;
        const double start[3][2] = {{0, 0}, {0.5, 1 / (2 * k)}, {1, 0}};
        setSeed(seed);
        std::vector<double> xy = cloud(iterator2Points, p);
        EXPECT_NEAR(xy[0], m * start[map][0] - 3.5, 1e-5) << seed;
        EXPECT_NEAR(xy[1], m * start[map][1] - 1, 1e-5) << seed;
        EXPECT_EQ(SEED, after);  // one draw a step
    }
    EXPECT_TRUE(seen[0] && seen[1] && seen[2]);
}

TEST(Iterator, MobiusMapsStartAtSOverB)
{
    for (float p : {0.0f, 0.3f, 0.8f}) {
        double S = std::sqrt(1.5);
        double B = (std::sqrt(3.0) + 1.1) - 0.15 * std::sin(1.4 * 3.141592 * p);
        double M = 3 * p + 8;
        std::vector<double> xy = cloud(iterator3Points, p);
        EXPECT_NEAR(xy[0], M * S / B - 4, 1e-5) << p;
        EXPECT_NEAR(xy[1], 0.0, 1e-12) << p;
    }
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
