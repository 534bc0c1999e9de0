// The potential field scene's two fields and their cross-fade. Expected values were worked out
// separately from the scene's equations in emulated single precision: the mix of both at one
// cell and the waves alone at another pin each field's coefficients, its rows and columns.
#include "scenes/pot2d.h"

#include <gtest/gtest.h>
#include <vector>

static const int CELLS = POT2D_SIZE * POT2D_SIZE;
static float at(const std::vector<float>& g, int i, int j) { return g[i * POT2D_SIZE + j]; }

TEST(Pot2d, CrossFadeFromWavesToRings)
{
    std::vector<float> g(CELLS, 7.0f), wave(CELLS, 0.0f), rings(CELLS, 0.0f);

    // t = 0.5: half of each field, on a grid that is cleared first.
    pot2dField(0.5f, g.data());
    EXPECT_FLOAT_EQ(at(g, 12, 33), 0.17060083f);  // 0.5 * 0.32005373 + 0.5 * 0.021147937

    // t = 0.4: waves alone at full weight; t = 0.6: rings alone.
    pot2d_func1(0.4f, 1.0f, wave.data());
    pot2dField(0.4f, g.data());
    EXPECT_EQ(g, wave);
    pot2d_func2(0.6f, 1.0f, rings.data());
    pot2dField(0.6f, g.data());
    EXPECT_EQ(g, rings);

    // A field adds to what the grid holds, and a weight below 0.001 adds nothing at all.
    pot2d_func1(0.2f, 0.0009f, g.data());
    EXPECT_EQ(g, rings);
    pot2d_func1(0.2f, 0.5f, g.data());
    EXPECT_FLOAT_EQ(at(g, 10, 40), at(rings, 10, 40) + 0.5f * 0.22891109f);
}
