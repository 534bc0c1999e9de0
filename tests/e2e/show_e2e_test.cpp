// The real program under Xvfb: it ends on Escape, a window close or a signal at any point, and by itself
// at the end of the show. Waiting for the credits is waiting for the first line ("Molvenar",
// from 2.9 s of show time on) in rows 250 to 360, well above "please wait...".
#include "harness.h"

#include <csignal>
#include <gtest/gtest.h>

// Escape or a close request ends the show with status 0 and nothing on stderr, wherever it
// comes: queued during the start-up (the process is held from the moment its window exists,
// before the start-up frame and the scenes' precomputation, so no frame has run when it comes),
// or while two scenes are drawn, in the overlap of the credits and the solids. Ctrl-C's SIGINT
// and a TERM end it as cleanly but with 130 and 143, so a script can tell a stopped show from
// a finished one. (Escape in the credits alone ends music_e2e_test's watched run, and every
// player test ends with it.)
TEST(ShowEndToEnd, EscapeClosingTheWindowOrASignalEndsItAtAnyPoint)
{
    enum Way { ESCAPE, CLOSE, INTERRUPT, TERMINATE };
    const char* names[] = {"Escape", "close request", "SIGINT", "SIGTERM"};
    struct Case { Way way; bool startUp; int status; } cases[] = {
        {ESCAPE, true, 0}, {CLOSE, true, 0}, {TERMINATE, true, 143},
        {ESCAPE, false, 0}, {CLOSE, false, 0}, {INTERRUPT, false, 130}, {TERMINATE, false, 143},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(names[c.way]) + (c.startUp ? " in the start-up" : " at 28 s"));
        XServer x;
        ASSERT_TRUE(x.ok());
        Program show({QUENRASTILAN_BINARY, "--start", "28000"}, showEnvironment(x));
        if (c.startUp) {
            for (double end = nowSeconds() + 60; !x.hasShowWindow() && nowSeconds() < end && show.running();)
                sleepSeconds(0.005);
            show.signal(SIGSTOP);
            sleepSeconds(0.2);
            // Black window or "please wait...": not a frame of the show, which is white here.
            ASSERT_GT(x.darkPixels(), 0);
        } else {
            ASSERT_TRUE(x.waitForDrawing(show, 0, 767, 300000, 60)) << show.stderrText();
        }
        if (c.way == ESCAPE || c.way == CLOSE)
            ASSERT_TRUE(c.way == CLOSE ? x.closeWindow() : x.xdotool("key Escape"));
        else
            show.signal(c.way == INTERRUPT ? SIGINT : SIGTERM);
        show.signal(SIGCONT);
        EXPECT_EQ(show.wait(30), c.status) << show.stderrText();
        EXPECT_EQ(show.stderrText(), "");
    }
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
