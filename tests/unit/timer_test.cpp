// The show clock on a tick source of the test's own: it starts at 0, follows the ticks, and when
// the 32-bit millisecond counter wraps it restarts from 0 instead of running backwards.
#include "frame/timer.h"

#include <gtest/gtest.h>

static std::uint32_t fakeTicks;
static std::uint32_t readFakeTicks()
{
    return fakeTicks;
}

TEST(Timer, FollowsTheTicksAndRestartsFromZeroWhenTheCounterWraps)
{
    Timer clock;
    clock.ticks = readFakeTicks;
    fakeTicks = 5000;
    clock.start();
    EXPECT_EQ(clock.currentTime, 0.0f);
    fakeTicks = 5000 + 1500;
    clock.update();
    EXPECT_NEAR(clock.currentTime, 1.5f, 1e-3f);

    // Frames 16 ms apart across the wrap: never negative, and never backwards but for the one
    // restart at the wrap, after which the clock follows the ticks from that frame on.
    fakeTicks = 0xFFFFFFFFu - 20000;
    clock.start();
    float previous = 0.0f;
    int restarts = 0;
    for (int frame = 0; frame < 3000; frame++) {
        fakeTicks += 16;  // wraps past 2^32 - 1 after about 1250 frames
        clock.update();
        ASSERT_GE(clock.currentTime, 0.0f) << "frame " << frame;
        if (clock.currentTime < previous) {
            restarts++;
            EXPECT_EQ(clock.currentTime, 0.0f);
        }
        previous = clock.currentTime;
    }
    EXPECT_EQ(restarts, 1);
    // The restart frame read 0 and re-anchored the clock on the next: 1750 frames later
    // (about 28 s of ticks) it reads that time less one frame.
    std::uint32_t sinceWrap = fakeTicks;  // ticks counted from 0 after the wrap
    EXPECT_GT(sinceWrap, 27000u);
    EXPECT_NEAR(clock.currentTime, (sinceWrap - 16 - (sinceWrap % 16)) / 1000.0f, 1e-3f);
}
