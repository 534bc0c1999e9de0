// The real program under Xvfb: it draws the credits, ends on Escape, on a window close and by
// itself at the end of the show, and without a display it says why and exits 1.
#include "xserver.h"

#include <gtest/gtest.h>

static std::vector<std::string> onDisplay(const XServer& x)
{
    return showEnvironment(x);
}

// Waits until the show's window shows the first credit line ("Molvenar", from 2.9 s of show
// time on, about a third of the way down the screen, well above "please wait..."). The
// server's root window is white; a black window before the first frame is not text.
static bool waitForCredits(const XServer& x, Program& p, double seconds)
{
    double end = nowSeconds() + seconds;
    while (nowSeconds() < end && p.running()) {
        int dark = x.hasShowWindow() ? x.darkPixels(250, 360) : 0;
        if (dark > 200 && dark < 20000)
            return true;
        sleepSeconds(0.25);
    }
    return false;
}

TEST(ShowEndToEnd, DrawsTheCreditsAndEndsOnEscape)
{
    XServer x;
    ASSERT_TRUE(x.ok());
    Program show({QUENRASTILAN_BINARY}, onDisplay(x));
    ASSERT_TRUE(waitForCredits(x, show, 60)) << show.stderrText();
    ASSERT_TRUE(show.running());
    x.key("Escape");
    EXPECT_EQ(show.wait(20), 0) << show.stderrText();
}

TEST(ShowEndToEnd, OtherKeysDoNotEndIt)
{
    XServer x;
    ASSERT_TRUE(x.ok());
    Program show({QUENRASTILAN_BINARY}, onDisplay(x));
    ASSERT_TRUE(waitForCredits(x, show, 60)) << show.stderrText();
    x.key("space");
    x.key("a");
    x.key("Return");
    sleepSeconds(1.5);
    EXPECT_TRUE(show.running());
    x.key("Escape");
    EXPECT_EQ(show.wait(20), 0) << show.stderrText();
}

TEST(ShowEndToEnd, ClosingTheWindowEndsIt)
{
    XServer x;
    ASSERT_TRUE(x.ok());
    Program show({QUENRASTILAN_BINARY}, onDisplay(x));
    ASSERT_TRUE(waitForCredits(x, show, 60)) << show.stderrText();
    ASSERT_TRUE(x.closeWindow());
    EXPECT_EQ(show.wait(20), 0) << show.stderrText();
}

TEST(ShowEndToEnd, WithoutADisplayItSaysWhyAndExits1)
{
    std::vector<std::string> env = {"SDL_AUDIODRIVER=dummy", "DISPLAY=", "WAYLAND_DISPLAY=", "SDL_VIDEODRIVER=",
                                    "ASAN_OPTIONS=detect_leaks=0"};
    Program show({QUENRASTILAN_BINARY}, env);
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
    Program show({QUENRASTILAN_BINARY}, onDisplay(x));
    ASSERT_TRUE(waitForCredits(x, show, 60)) << show.stderrText();
    int status = show.wait(420);
    EXPECT_EQ(status, 0) << show.stderrText();
    // The show lasts 245 s from the clock's start, after the precomputation.
    EXPECT_GT(nowSeconds() - start, 244.0);
}
