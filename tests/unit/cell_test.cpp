// The cells scene's folded distance, its first centre and its distance field.
#include "scenes/cell.h"
#include "scenes/scenes.h"

#include <gtest/gtest.h>

TEST(Cell, DistanceFoldsEachAxisOnceAt60)
{
    EXPECT_EQ(calculateDist(0, 0, 60, 0), 3600);
    EXPECT_EQ(calculateDist(61, 0, 0, 0), 59 * 59);
    EXPECT_EQ(calculateDist(0, 0, 130, 0), 10 * 10);  // folds once, to -10
    EXPECT_EQ(calculateDist(3, 5, 3 - 61, 5 + 130), 59 * 59 + 10 * 10);
}

// setSeed(16891): the first centre gets radius (1 - r3 r4) 128 = 74.991562 and phase 0.70360482;
// at pos 0 it stands at (sin, cos)(2 pi phase) * radius = (-71.827728, -21.552528), truncated
// toward zero to (-71, -21), off the plane.
TEST(Cell, FieldAtPosZeroIsTheFoldedDistanceToTheFirstCentre)
{
    cell_init();
    cellMove(cellitems, 1, 0.0f);
    EXPECT_NEAR(cellitems[0].position.x, -71.82772827148438f, 1e-4);
    EXPECT_NEAR(cellitems[0].position.y, -21.552528381347656f, 1e-4);

    cellField(cgrid, cellitems, 1);
    auto at = [](int x, int y) { return cgrid[y * CELL_GRID + x]; };
    EXPECT_EQ(at(0, 0), (49 * 49 + 21 * 21) / 256.0f);    // dx 71 folds to 49
    EXPECT_EQ(at(37, 90), (12 * 12 + 9 * 9) / 256.0f);    // 108 and 111 fold to 12 and 9
    // The centre reappears 120 further on; had -71.8 been floored the zero would be at x = 48.
    EXPECT_EQ(at(49, 99), 0.0f);
    EXPECT_EQ(at(48, 99), 1 / 256.0f);
    // 190 and 140 apart fold to -70 and -20, whose squares grow again.
    EXPECT_EQ(at(119, 119), (70 * 70 + 20 * 20) / 256.0f);
    cell_free();
}
