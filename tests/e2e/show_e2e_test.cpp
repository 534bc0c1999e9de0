// The real program under Xvfb: it draws the credits, ends on Escape or a window close at any
// point and by itself at the end of the show, and without a display it says why and exits 1.
// Waiting for the credits is waiting for the first line ("Molvenar", from 2.9 s of show time on)
// in rows 250 to 360, well above "please wait...".
#include "xserver.h"

#include <csignal>
#include <gtest/gtest.h>

// Escape or a close request ends the show with status 0 and nothing on stderr, wherever it
// comes: queued during the start-up (the process is held from the moment its window exists,
// before the start-up frame and the scenes' precomputation, so no frame has run when it comes),
// in the credits, and in the overlap of the credits and the solids (started there by --start).
TEST(ShowEndToEnd, EscapeOrClosingTheWindowEndsItAtAnyPoint)
{
    enum { START_UP, CREDITS, OVERLAP };
    const char* const names[] = {"start-up", "credits", "overlap at 28 s"};
    for (int when : {START_UP, CREDITS, OVERLAP})
        for (bool close : {false, true}) {
            SCOPED_TRACE(std::string(close ? "close request" : "Escape") + " during the " + names[when]);
            XServer x;
            ASSERT_TRUE(x.ok());
            std::vector<std::string> env = showEnvironment(x);
            std::vector<std::string> argv = {QUENRASTILAN_BINARY};
            if (when == OVERLAP) {
                argv.insert(argv.end(), {"--start", "28000"});
            }
            Program show(argv, env);
            if (when == START_UP) {
                for (double end = nowSeconds() + 60; !x.hasShowWindow() && nowSeconds() < end && show.running();)
                    sleepSeconds(0.005);
                show.signal(SIGSTOP);
                sleepSeconds(0.2);
                // Black window or "please wait...": not a frame of the show, which is white here.
                ASSERT_GT(x.darkPixels(), 0);
            } else {
                bool drawn = when == CREDITS ? x.waitForDrawing(show, 250, 360, 20000, 60)
                                             : x.waitForDrawing(show, 0, 767, 300000, 60);
                ASSERT_TRUE(drawn) << show.stderrText();
            }
            ASSERT_TRUE(close ? x.closeWindow() : x.xdotool("key Escape"));
            show.signal(SIGCONT);
            EXPECT_EQ(show.wait(30), 0) << show.stderrText();
            EXPECT_EQ(show.stderrText(), "");
        }
}

// One event is taken per frame, so a burst of pointer moves, clicks and keys without a meaning
// to the show delays Escape but does not lose it; and none of them ends the show.
TEST(ShowEndToEnd, ABurstOfOtherEventsNeitherEndsItNorLosesEscape)
{
    XServer x;
    ASSERT_TRUE(x.ok());
    Program show({QUENRASTILAN_BINARY}, showEnvironment(x));
    ASSERT_TRUE(x.waitForDrawing(show, 250, 360, 20000, 60)) << show.stderrText();
    std::string burst;
    for (int i = 0; i < 60; i++)
        burst += " mousemove " + std::to_string(i * 17 % 1024) + " " + std::to_string(i * 13 % 768);
    burst += " click 1 click 3 key a Return Tab F1 Up Down q x";
    ASSERT_TRUE(x.xdotool(burst));
    sleepSeconds(3);
    EXPECT_TRUE(show.running());
    ASSERT_TRUE(x.xdotool(burst + " key Escape"));
    EXPECT_EQ(show.wait(120), 0) << show.stderrText();
}

TEST(ShowEndToEnd, WithoutADisplayItSaysWhyAndExits1)
{
    Program show({QUENRASTILAN_BINARY}, {"SDL_AUDIODRIVER=dummy", "DISPLAY=", "WAYLAND_DISPLAY=", "SDL_VIDEODRIVER=",
                                         "ASAN_OPTIONS=detect_leaks=0"});
    EXPECT_EQ(show.wait(30), 1);
    std::string err = show.stderrText();
    // One line of ours (system libraries may add their own).
    size_t first = err.find("quenrastilan: cannot open the display");
    EXPECT_NE(first, std::string::npos) << err;
    EXPECT_EQ(err.find("quenrastilan:", first + 1), std::string::npos) << err;
}

TEST(ShowEndToEndLong, RunsToTheEndByItself)
{
    XServer x;
    ASSERT_TRUE(x.ok());
    double start = nowSeconds();
    Program show({QUENRASTILAN_BINARY}, showEnvironment(x));
    ASSERT_TRUE(x.waitForDrawing(show, 250, 360, 20000, 60)) << show.stderrText();
    int status = show.wait(420);
    EXPECT_EQ(status, 0) << show.stderrText();
    EXPECT_EQ(show.stderrText(), "");
    // The show lasts 245 s from the clock's start, after the precomputation.
    EXPECT_GT(nowSeconds() - start, 244.0);
}
