// The show clock on a clock and a music of the test's own: pause and resume keep the show time,
// jumps stop at the show's ends, a jump while paused stays paused, a slow catch-up costs no show
// time, and the end either lets the player finish or holds the page there until it starts again.
#include "frame/show_clock.h"
#include "frame/timeline.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Events = std::vector<std::string>;
// What the clock did, in order: the music's seeks, plays and pauses, the catch-ups, the reports.
static Events events;
static int wallMs = 0;
// How long a catch-up takes on the test's clock.
static int catchUpCostMs = 0;

static void record(std::string what, int ms)
{
    events.push_back(what + " " + std::to_string(ms));
}

struct FakeTime : TimeSource {
    int startedAt = 0;
    void start() override { startedAt = wallMs; }
    int elapsedMs() override { return wallMs - startedAt; }
};
struct RecordedMusic : MusicSink {
    void seek(int ms) override { record("seek", ms); }
    void play() override { events.push_back("play"); }
    void pause() override { events.push_back("pause"); }
};
static FakeTime fakeTime;
static RecordedMusic music;

static ShowClock makeClock(ShowClock::AtEnd atEnd = ShowClock::AtEnd::end, MusicSink* sink = &music)
{
    events.clear();
    wallMs = 1000;
    catchUpCostMs = 0;
    auto catchUp = [](int from, int to) {
        record("catch up " + std::to_string(from), to);
        wallMs += catchUpCostMs;
    };
    return ShowClock(fakeTime, sink, catchUp, atEnd, [](const char* what, int ms) { record(what, ms); });
}

static Events taken()
{
    Events e;
    e.swap(events);
    return e;
}

TEST(ShowClock, PauseAndResumeKeepTheShowTimeTheMusicMovedBeforeTheReport)
{
    ShowClock c = makeClock();
    c.start(0);
    wallMs += 1500;
    c.pause();
    wallMs += 5000;
    EXPECT_EQ(c.now(), 1500);
    c.toggle();
    wallMs += 200;
    EXPECT_EQ(c.now(), 1700);
    // The music is put where the picture stands, whatever the device held, reported, then let go.
    EXPECT_EQ(taken(), Events({"play", "pause", "paused at 1500", "seek 1500", "playing from 1500", "play"}));

    // Without music the same clock runs silently.
    ShowClock silent = makeClock(ShowClock::AtEnd::end, nullptr);
    silent.start(105000);
    silent.jump(10000);
    silent.toggle();
    wallMs += 3000;
    EXPECT_EQ(silent.now(), 115000);
    EXPECT_EQ(taken(), Events({"catch up -1 105000", "playing from 105000", "catch up 105000 115000",
                               "jumped to 115000", "paused at 115000"}));
}

TEST(ShowClock, JumpsStopAtTheEndsStayPausedAndCostNoShowTime)
{
    ShowClock c = makeClock();
    c.start(3000);
    c.jump(-10000);
    EXPECT_EQ(c.now(), 0);
    c.jump(SHOW_END_MS - 4000);
    wallMs += 1000;
    c.jump(10000);
    EXPECT_EQ(c.now(), SHOW_END_MS);
    taken();
    c.pause();
    c.jump(-20000);
    wallMs += 4000;
    EXPECT_TRUE(c.paused());
    EXPECT_EQ(c.now(), SHOW_END_MS - 20000);
    EXPECT_EQ(taken(), Events({"pause", "paused at 244999", "pause", "catch up 244999 224999", "seek 224999",
                               "paused at 224999"}));
    // Drawn once, although paused.
    EXPECT_TRUE(c.takeRedraw());
    EXPECT_FALSE(c.takeRedraw());

    // A catch-up that takes 4 s of the program's clock: the show goes on from where it jumped to.
    ShowClock slow = makeClock();
    catchUpCostMs = 4000;
    slow.start(50000);
    EXPECT_EQ(slow.now(), 50000);
    wallMs += 700;
    slow.jump(10000);
    EXPECT_EQ(slow.now(), 60700);

    ShowClock late = makeClock();
    late.start(SHOW_END_MS + 5000);
    EXPECT_EQ(late.now(), SHOW_END_MS);
}

TEST(ShowClock, ThePlayerPlaysOnPastTheEndThePageHoldsThereAndStartsAgain)
{
    ShowClock player = makeClock();
    player.start(SHOW_END_MS - 100);
    player.pause();
    player.jump(10000);
    player.resume();
    wallMs += 50;
    EXPECT_EQ(player.now(), SHOW_END_MS + 50);

    ShowClock page = makeClock(ShowClock::AtEnd::hold);
    page.start(SHOW_END_MS - 100);
    wallMs += 150;
    ASSERT_GT(page.now(), SHOW_END_MS);
    page.holdAtEnd();
    wallMs += 1000;
    EXPECT_TRUE(page.paused());
    EXPECT_EQ(page.now(), SHOW_END_MS);
    taken();
    page.resume();
    EXPECT_EQ(taken(), Events({"catch up 244999 0", "seek 0", "playing from 0", "play"}));
    EXPECT_EQ(page.now(), 0);
}
