// The Newton fractal scene's grid: one point in each quarter, the guarded start point, the
// quarter boundaries and the empty squares of points that overflowed. Expected values were
// worked out separately from the scene's equations in emulated single precision.
#include "scenes/newton.h"

#include <gtest/gtest.h>
#include <cmath>
#include <vector>

static float at(const std::vector<float>& grid, int i, int j) { return grid[i * NEWTON_SIZE + j]; }

static std::vector<float> gridAt(float t)
{
    std::vector<float> grid(NEWTON_SIZE * NEWTON_SIZE, 12345.0f);
    newtonGrid(t, grid.data());
    return grid;
}

TEST(Newton, OnePointInEachQuarter)
{
    // Row i starts at imaginary part 0.02 i, column j at real part 0.02 j.
    EXPECT_FLOAT_EQ(at(gridAt(0.1f), 30, 50), 0.14124645f);   // quarter 1, z0 = 1 + 0.6 i
    EXPECT_FLOAT_EQ(at(gridAt(0.3f), 70, 20), -0.26649326f);  // quarter 2, z0 = 0.4 + 1.4 i
    EXPECT_FLOAT_EQ(at(gridAt(0.6f), 45, 85), 0.037592884f);  // quarter 3, z0 = 1.7 + 0.9 i
    EXPECT_FLOAT_EQ(at(gridAt(0.9f), 10, 99), -0.1413666f);   // quarter 4, z0 = 1.98 + 0.2 i
}

TEST(Newton, GuardedStartPointQuarterBoundariesAndOverflow)
{
    // Quarter 2: g(0) = 0, the guard throws z0 = 0 to -1e6 - 1e6 i, and the iteration stays on
    // that diagonal: 0.2 atan(1).
    EXPECT_FLOAT_EQ(newtonValue(0.3f, Complex(0, 0)), 0.2f * (float)std::atan(1.0));
    // Quarter 3: the same throw, then the next step overflows single precision.
    EXPECT_TRUE(std::isnan(newtonValue(0.6f, Complex(0, 0))));
    EXPECT_TRUE(std::isnan(at(gridAt(0.6f), 0, 0)));
    // t = 0.25 still belongs to quarter 1, where g(0) = -2: z0 = 0 ends on the negative real
    // axis (value -0), not on quarter 2's diagonal.
    EXPECT_EQ(newtonValue(0.25f, Complex(0, 0)), 0.0f);
    EXPECT_EQ(newtonQuarter(0.25f), 1);
    EXPECT_EQ(newtonQuarter(0.5f), 2);
    EXPECT_EQ(newtonQuarter(0.75f), 3);
    EXPECT_EQ(newtonQuarter(0.7500001f), 4);
    // Points that overflowed get an empty square.
    EXPECT_EQ(newtonHalfSize(std::nanf("")), 0.0f);
    EXPECT_EQ(newtonHalfSize(INFINITY), 0.0f);
    EXPECT_FLOAT_EQ(newtonHalfSize(-0.314f), 0.985f);  // the largest square, -atan(inf) / 5
}
