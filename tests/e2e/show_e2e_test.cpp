// The real program under Xvfb: it ends on Escape or a window close at any point, and by itself
// at the end of the show. Waiting for the credits is waiting for the first line ("Molvenar",
// from 2.9 s of show time on) in rows 250 to 360, well above "please wait...".
#include "xserver.h"

#include <csignal>
#include <gtest/gtest.h>

// Escape or a close request ends the show with status 0 and nothing on stderr, wherever it
// comes: queued during the start-up (the process is held from the moment its window exists,
// before the start-up frame and the scenes' precomputation, so no frame has run when it comes),
// or while two scenes are drawn, in the overlap of the credits and the solids. (Escape in the
// credits alone ends music_e2e_test's watched run, and every player test ends with it.)
TEST(ShowEndToEnd, EscapeOrClosingTheWindowEndsItAtAnyPoint)
{
    for (bool startUp : {true, false})
        for (bool close : {false, true}) {
            SCOPED_TRACE(std::string(close ? "close request" : "Escape") + (startUp ? " in the start-up" : " at 28 s"));
            XServer x;
            ASSERT_TRUE(x.ok());
            Program show({QUENRASTILAN_BINARY, "--start", "28000"}, showEnvironment(x));
            if (startUp) {
                for (double end = nowSeconds() + 60; !x.hasShowWindow() && nowSeconds() < end && show.running();)
                    sleepSeconds(0.005);
                show.signal(SIGSTOP);
                sleepSeconds(0.2);
                // Black window or "please wait...": not a frame of the show, which is white here.
                ASSERT_GT(x.darkPixels(), 0);
            } else {
                ASSERT_TRUE(x.waitForDrawing(show, 0, 767, 300000, 60)) << show.stderrText();
            }
            ASSERT_TRUE(close ? x.closeWindow() : x.xdotool("key Escape"));
            show.signal(SIGCONT);
            EXPECT_EQ(show.wait(30), 0) << show.stderrText();
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
