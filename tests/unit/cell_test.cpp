// The cells scene's folded distance, its centres and its distance field.
#include "scenes/cell.h"
#include "scenes/scenes.h"

#include <cstring>
#include <gtest/gtest.h>

TEST(Cell, DistanceFoldsEachAxisOnceAt60)
{
    EXPECT_EQ(calculateDist(0, 0, 60, 0), 3600);
    EXPECT_EQ(calculateDist(0, 0, 61, 0), 59 * 59);
    EXPECT_EQ(calculateDist(61, 0, 0, 0), 59 * 59);
    EXPECT_EQ(calculateDist(0, 0, 0, 61), 59 * 59);
    // 130 apart folds to -10 once and counts as 10.
    EXPECT_EQ(calculateDist(0, 0, 130, 0), 100);
    EXPECT_EQ(calculateDist(3, 5, 3 - 61, 5 + 130), 59 * 59 + 10 * 10);
    EXPECT_EQ(calculateDist(7, 9, 7, 9), 0);
}

// With setSeed(16891) the first centre gets radius (1 - r3 r4) 128 = 74.991562 and phase
// 0.70360482 (draws 3, 4 and 5); at pos 0 it stands at (sin, cos)(2 pi phase) * radius =
// (-71.827728, -21.552528), which truncates toward zero to (-71, -21): off the plane, so the
// field there is the folded distance to it.
TEST(Cell, FieldAtPosZeroIsTheFoldedDistanceToTheFirstCentre)
{
    cell_init();
    EXPECT_FLOAT_EQ(cellitems[0].radius, 74.99156188964844f);
    EXPECT_FLOAT_EQ(cellitems[0].phase, 0.7036048173904419f);

    cellMove(cellitems, 1, 0.0f);
    EXPECT_NEAR(cellitems[0].position.x, -71.82772827148438f, 1e-4);
    EXPECT_NEAR(cellitems[0].position.y, -21.552528381347656f, 1e-4);
    EXPECT_EQ(cellitems[0].position.z, 0.0f);

    cellField(cgrid, cellitems, 1);
    auto at = [](int x, int y) { return cgrid[y * CELL_GRID + x]; };
    // (0, 0): dx 71 folds to 49, dy 21: (2401 + 441) / 256.
    EXPECT_EQ(at(0, 0), 2842.0f / 256);
    // (37, 90): dx 108 folds to 12, dy 111 to 9.
    EXPECT_EQ(at(37, 90), 225.0f / 256);
    // The centre reappears 120 further on: (49, 99) is at distance 0. Had -71.8 been floored
    // to -72 the zero would sit at (48, 99).
    EXPECT_EQ(at(49, 99), 0.0f);
    EXPECT_EQ(at(48, 99), 1.0f / 256);
    // Points more than 120 away fold to a negative difference whose square grows again:
    // (119, 119) is 190 and 140 away, folded to -70 and -20.
    EXPECT_EQ(at(119, 119), (70 * 70 + 20 * 20) / 256.0f);

    // Only active centres count: with the second one active the field can only shrink.
    cellMove(cellitems, 2, 0.0f);
    cellField(cgrid, cellitems, 2);
    EXPECT_LE(at(0, 0), 2842.0f / 256);
    cell_free();
}

TEST(Cell, GreetingsFitTheirEntriesAndTheFontAndTheLastIsEmpty)
{
    for (int i = 1; i < 39; i++) {
        size_t n = std::strlen(greetings[i]);
        EXPECT_GT(n, 0u) << i;
        EXPECT_LE(n, 29u) << i;
        // 'z' and '{' to '~' draw as blanks in the bitmap font.
        EXPECT_EQ(std::strpbrk(greetings[i], "z{|}~"), nullptr) << greetings[i];
    }
    EXPECT_STREQ(greetings[39], "");
}
