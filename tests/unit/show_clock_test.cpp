// The show clock on a clock and a music of the test's own: pause and resume keep the show time,
// jumps stop at the show's ends, a jump while paused stays paused, a slow catch-up costs no show
// time, and the end either lets the player finish or holds the page there until it starts again.
#include "frame/show_clock.h"
#include "frame/timeline.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// What the clock did, in order: the music's seeks, plays and pauses, the catch-ups and reports.
static std::vector<std::string> events;
static int wallMs = 0;
// How long a catch-up takes on the test's clock.
static int catchUpCostMs = 0;

struct FakeTime : TimeSource {
    int startedAt = 0;
    void start() override { startedAt = wallMs; }
    int elapsedMs() override { return wallMs - startedAt; }
};

struct RecordedMusic : MusicSink {
    void seek(int ms) override { events.push_back("seek " + std::to_string(ms)); }
    void play() override { events.push_back("play"); }
    void pause() override { events.push_back("pause"); }
};

static void recordCatchUp(int fromMs, int toMs)
{
    events.push_back("catch up " + std::to_string(fromMs) + " " + std::to_string(toMs));
    wallMs += catchUpCostMs;
}

static void recordReport(const char* what, int ms)
{
    events.push_back(std::string(what) + " " + std::to_string(ms));
}

struct ShowClockTest : testing::Test {
    FakeTime time;
    RecordedMusic music;
    void SetUp() override
    {
        events.clear();
        wallMs = 1000;
        catchUpCostMs = 0;
    }
    ShowClock clock(ShowClock::AtEnd atEnd = ShowClock::AtEnd::end)
    {
        return ShowClock(time, &music, recordCatchUp, atEnd, recordReport);
    }
    // The events since the last call.
    std::vector<std::string> taken()
    {
        std::vector<std::string> e;
        e.swap(events);
        return e;
    }
};

using Events = std::vector<std::string>;

TEST_F(ShowClockTest, PauseAndResumeKeepTheShowTimeAndMoveTheMusicBeforeReportingIt)
{
    ShowClock c = clock();
    c.start(0);
    EXPECT_EQ(taken(), Events({"play"}));
    wallMs += 1500;
    EXPECT_EQ(c.now(), 1500);
    c.pause();
    EXPECT_EQ(taken(), Events({"pause", "paused at 1500"}));
    wallMs += 5000;
    EXPECT_EQ(c.now(), 1500);
    c.toggle();
    // The music is put where the picture stands, whatever the device held, reported, then let go.
    EXPECT_EQ(taken(), Events({"seek 1500", "playing from 1500", "play"}));
    EXPECT_FALSE(c.paused());
    wallMs += 200;
    EXPECT_EQ(c.now(), 1700);

    // Without music the same clock runs silently.
    ShowClock silent(time, nullptr, recordCatchUp, ShowClock::AtEnd::end, recordReport);
    silent.start(105000);
    silent.jump(10000);
    silent.toggle();
    wallMs += 3000;
    EXPECT_EQ(silent.now(), 115000);
    EXPECT_EQ(taken(), Events({"catch up -1 105000", "playing from 105000", "catch up 105000 115000",
                               "jumped to 115000", "paused at 115000"}));
}

TEST_F(ShowClockTest, JumpsAndStartsStopAtTheShowsEnds)
{
    ShowClock c = clock();
    c.start(3000);
    taken();
    c.jump(-10000);
    EXPECT_EQ(taken(), Events({"pause", "catch up 3000 0", "seek 0", "jumped to 0", "play"}));
    EXPECT_EQ(c.now(), 0);
    c.jump(SHOW_END_MS - 4000);
    wallMs += 1000;
    c.jump(10000);
    EXPECT_EQ(c.now(), SHOW_END_MS);
    EXPECT_EQ(taken().back(), "play");

    ShowClock late = clock();
    late.start(SHOW_END_MS + 5000);
    late.start(0);
    EXPECT_EQ(taken(), Events({"catch up -1 " + std::to_string(SHOW_END_MS), "seek 244999",
                               "playing from 244999", "play"}));
}

TEST_F(ShowClockTest, AJumpWhilePausedStaysPausedAndIsDrawnOnce)
{
    ShowClock c = clock();
    c.start(20000);
    EXPECT_FALSE(c.takeRedraw());
    c.pause();
    taken();
    c.jump(10000);
    EXPECT_EQ(taken(), Events({"pause", "catch up 20000 30000", "seek 30000", "paused at 30000"}));
    wallMs += 4000;
    EXPECT_TRUE(c.paused());
    EXPECT_EQ(c.now(), 30000);
    EXPECT_TRUE(c.takeRedraw());
    EXPECT_FALSE(c.takeRedraw());
    c.resume();
    wallMs += 100;
    EXPECT_EQ(c.now(), 30100);
    EXPECT_FALSE(c.takeRedraw());
}

TEST_F(ShowClockTest, ASlowCatchUpCostsNoShowTime)
{
    catchUpCostMs = 4000;
    ShowClock c = clock();
    c.start(50000);
    EXPECT_EQ(c.now(), 50000);
    wallMs += 700;
    c.jump(10000);
    EXPECT_EQ(c.now(), 60700);
    wallMs += 100;
    c.jump(-10000);
    EXPECT_EQ(c.now(), 50800);
}

TEST_F(ShowClockTest, ThePlayerPlaysOnPastTheEndThePageHoldsThereAndStartsAgain)
{
    ShowClock player = clock();
    player.start(SHOW_END_MS - 100);
    player.pause();
    player.jump(10000);
    taken();
    player.resume();
    wallMs += 50;
    EXPECT_EQ(player.now(), SHOW_END_MS + 50);
    EXPECT_EQ(taken(), Events({"seek 244999", "playing from 244999", "play"}));

    ShowClock page = clock(ShowClock::AtEnd::hold);
    page.start(SHOW_END_MS - 100);
    wallMs += 150;
    ASSERT_GT(page.now(), SHOW_END_MS);
    page.holdAtEnd();
    wallMs += 1000;
    EXPECT_TRUE(page.paused());
    EXPECT_EQ(page.now(), SHOW_END_MS);
    taken();
    // Left goes back from the end; Space at the end plays the show again from its beginning.
    page.jump(-10000);
    EXPECT_EQ(page.now(), SHOW_END_MS - 10000);
    page.jump(10000);
    page.resume();
    EXPECT_EQ(taken(), Events({"pause", "catch up 244999 234999", "seek 234999", "paused at 234999", "pause",
                               "catch up 234999 244999", "seek 244999", "paused at 244999",
                               "catch up 244999 0", "seek 0", "playing from 0", "play"}));
    EXPECT_EQ(page.now(), 0);
}
