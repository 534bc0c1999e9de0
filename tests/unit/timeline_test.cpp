// The timeline table and the timeline functions: boundaries, overlaps and fade values.
#include "frame/timeline.h"
#include "math/timing.h"
#include "scenes/scene_table.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

// Which scenes (by name) are drawn at a time, and with which positions.
using Active = std::vector<std::pair<std::string, float>>;
static Active active(int time)
{
    Active r;
    for (const Scene& s : SCENES)
        if (testaaPos(time, s.range))
            r.push_back({s.name, laskePos(time, s.range)});
    return r;
}

// Ranges are inclusive at both ends, and a scene's position runs linearly from 0 to 1 over its
// range.
TEST(Timeline, OverlapsAndTouchingBoundariesDrawBothScenesInTableOrderAndNothingAfterTheLast)
{
    EXPECT_EQ(active(0), (Active{{"alku", 0.0f}}));
    EXPECT_EQ(active(28000), (Active{{"alku", 28000.0f / 29000.0f}, {"platon", 1000.0f / 13000.0f}}));
    EXPECT_EQ(active(40000), (Active{{"platon", 1.0f}, {"pot2d", 0.0f}}));

    for (int both : {66000, 132000, 145000, 159000, 225000, 93500, 105500, 119500, 171500, 198700})
        EXPECT_EQ(active(both).size(), 2u) << both;
    for (int single : {26999, 35000, 40001, 50000, 100000, 150000, 210000, 240000, 244000})
        EXPECT_EQ(active(single).size(), 1u) << single;
    for (int none : {-1, 244001, 244999})
        EXPECT_TRUE(active(none).empty()) << none;
}

TEST(TimelineFunctions, CalcPosFloatClampsToTheSubRangeAndCalcSaturateIsAClampedSineHump)
{
    EXPECT_FLOAT_EQ(calcPosFloat(0.5f, 0.2f, 0.6f), 0.75f);
    EXPECT_EQ(calcPosFloat(0.7f, 0.2f, 0.6f), 1.0f);
    EXPECT_EQ(calcPosFloat(-5.0f, 0.2f, 0.6f), 0.0f);

    EXPECT_NEAR(calcSaturate(0.25f, 0, 1, 1), 0.7071f, 1e-4);
    EXPECT_NEAR(calcSaturate(0.05f, 0, 1, 6), 0.9386f, 1e-4);
    EXPECT_EQ(calcSaturate(0.5f, 0, 1, 6), 1.0f);
    EXPECT_EQ(calcSaturate(1.5f, 0, 1, 6), 0.0f);
    for (float gain : {0.0f, -1.0f, -6.0f})
        EXPECT_EQ(calcSaturate(0.5f, 0, 1, gain), 0.0f) << gain;
    // The envelope is tuned to 3.141592f, not full pi: just before the end it is still positive.
    EXPECT_GT(calcSaturate(0.9999999f, 0, 1, 1), 0.0f);
    // A window within the range, as the credits use it.
    EXPECT_EQ(calcSaturate(0.1f, 0.1f, 0.2f, 1), 0.0f);
    EXPECT_FLOAT_EQ(calcSaturate(0.15f, 0.1f, 0.2f, 1), 1.0f);
}
