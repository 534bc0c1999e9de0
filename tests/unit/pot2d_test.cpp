// The potential field scene's two fields and their cross-fade. Expected values were worked out
// separately from the scene's equations in emulated single precision.
#include "scenes/pot2d.h"

#include <gtest/gtest.h>
#include <vector>

static const int CELLS = POT2D_SIZE * POT2D_SIZE;
static float at(const std::vector<float>& g, int i, int j) { return g[i * POT2D_SIZE + j]; }

TEST(Pot2d, FieldsAtChosenCells)
{
    // Row i, column j: rows and columns differ.
    const struct { float t; int i, j; float waves, rings; } cells[] = {
        {0.2f, 0, 0, 0.23356128f, 0.25898296f},   {0.2f, 10, 40, 0.22891109f, 0.086235136f},
        {0.7f, 54, 3, 0.27529764f, 0.50039959f},  {0.7f, 27, 27, 0.094754696f, 0.52096403f},
    };
    for (const auto& c : cells) {
        std::vector<float> g1(CELLS, 0.0f), g2(CELLS, 0.0f);
        pot2d_func1(c.t, 1.0f, g1.data());
        pot2d_func2(c.t, 1.0f, g2.data());
        EXPECT_FLOAT_EQ(at(g1, c.i, c.j), c.waves) << c.t << " " << c.i << " " << c.j;
        EXPECT_FLOAT_EQ(at(g2, c.i, c.j), c.rings) << c.t << " " << c.i << " " << c.j;
    }
}

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
