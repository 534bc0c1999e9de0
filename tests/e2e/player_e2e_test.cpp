// The player: full screen at the screen's own size with the picture between black bars, a
// window, pause, jumps and a later start, keys without a meaning, its options and no display,
// and an installed copy finding its music.
// The show prints where it stands on stdout at each of these, which is how the tests follow it.
#include "harness.h"

#include "frame/timeline.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>

// The show times of the stdout lines "quenrastilan: <what> N ms, in SCENES (music at M ms)", in
// order, the scenes they name, and the music position, -1 where a line gives none.
struct Report {
    int ms, musicMs;
    std::string scenes;
};
static std::vector<Report> reports(const Program& show, const std::string& what)
{
    std::vector<Report> found;
    std::istringstream lines(show.stdoutText());
    std::string prefix = "quenrastilan: " + what + " ";
    for (std::string line; std::getline(lines, line);) {
        if (line.compare(0, prefix.size(), prefix) != 0)
            continue;
        Report r{-1, -1, ""};
        std::sscanf(line.c_str() + prefix.size(), "%d ms", &r.ms);
        size_t in = line.find(", in "), music = line.find(" (music at ");
        if (in != std::string::npos)
            r.scenes = line.substr(in + 5, music == std::string::npos ? std::string::npos : music - in - 5);
        if (music != std::string::npos)
            std::sscanf(line.c_str() + music, " (music at %d ms)", &r.musicMs);
        found.push_back(r);
    }
    return found;
}

// Waits until the show has reported `what` `count` times; that report, or ms -1.
static Report waitForReport(Program& show, const std::string& what, size_t count)
{
    for (double end = nowSeconds() + 90; nowSeconds() < end && show.running(); sleepSeconds(0.05)) {
        std::vector<Report> r = reports(show, what);
        if (r.size() >= count)
            return r[count - 1];
    }
    return {-1, -1, ""};
}

// Full screen takes the whole 1920x1080 screen and draws the picture in its central 1440x1080,
// black left and right. It starts at 99.5 s, in the Lorenz attractor: thin lines on white.
TEST(PlayerEndToEnd, FullScreenAtTheScreensSizeWithBars)
{
    XServer x(1920, 1080);
    ASSERT_TRUE(x.ok());
    Program show({QUENRASTILAN_BINARY, "--start", "99500"}, showEnvironment(x));
    ASSERT_EQ(waitForReport(show, "playing from", 1).ms, 99500) << show.stderrText();
    sleepSeconds(1);
    int width = 0, height = 0;
    ASSERT_TRUE(x.showWindowSize(width, height));
    EXPECT_TRUE(width == 1920 && height == 1080) << width << "x" << height;
    std::vector<unsigned char> screen = x.grab(0, 1079);
    ASSERT_EQ(screen.size(), 1920u * 1080 * 3);
    long barsLit = 0, white = 0, ink = 0;
    for (int y = 0; y < 1080; y++)
        for (int xx = 0; xx < 1920; xx++) {
            const unsigned char* p = &screen[((size_t)y * 1920 + xx) * 3];
            if (xx < 240 || xx >= 1680) {
                barsLit += p[0] + p[1] + p[2] > 0;
            } else {
                white += p[0] > 200 && p[1] > 200 && p[2] > 200;
                ink += p[0] < 150;
            }
        }
    EXPECT_EQ(barsLit, 0);
    EXPECT_GT(white, 1440L * 1080 * 8 / 10);
    EXPECT_GT(ink, 1000);
    x.xdotool("key Escape");
    EXPECT_EQ(show.wait(30), 0) << show.stderrText();
}

// In a 1024x768 window on a larger screen, started at a scene by its name, Space holds picture
// and music and lets them go on from the same time; Right jumps ten seconds, the music moved to
// exactly the new time, and each line names the scenes it is in. (Where jumps stop and what a
// jump while paused does are the show clock's unit tests'.)
TEST(PlayerEndToEnd, InAWindowSpacePausesAndResumesAndTheArrowsJumpTenSeconds)
{
    XServer x(1280, 1024);
    ASSERT_TRUE(x.ok());
    // The Rossler attractor's first moment, where the Lorenz attractor still ends.
    Program show({QUENRASTILAN_BINARY, "--window", "--start", "rossler"}, showEnvironment(x));
    Report start = waitForReport(show, "playing from", 1);
    ASSERT_EQ(start.ms, 105000) << show.stderrText();
    EXPECT_EQ(start.musicMs, 105000);
    EXPECT_EQ(start.scenes, "Lorenz attractor and Rossler attractor");
    sleepSeconds(1.5);
    int width = 0, height = 0;
    ASSERT_TRUE(x.showWindowSize(width, height));
    EXPECT_TRUE(width == 1024 && height == 768) << width << "x" << height;

    ASSERT_TRUE(x.xdotool("key space"));
    Report paused = waitForReport(show, "paused at", 1);
    EXPECT_GT(paused.ms, 105000 + 1000);
    EXPECT_LT(paused.ms, 105000 + 10000);
    sleepSeconds(0.3);
    std::vector<unsigned char> held = x.grab(0, 767);
    sleepSeconds(1);
    EXPECT_TRUE(x.grab(0, 767) == held);

    ASSERT_TRUE(x.xdotool("key space"));
    Report resumed = waitForReport(show, "playing from", 2);
    EXPECT_EQ(resumed.ms, paused.ms);
    EXPECT_EQ(resumed.musicMs, paused.ms);
    sleepSeconds(1);
    EXPECT_FALSE(x.grab(0, 767) == held);

    ASSERT_TRUE(x.xdotool("key Right"));
    Report forward = waitForReport(show, "jumped to", 1);
    EXPECT_GE(forward.ms, resumed.ms + 10000);
    EXPECT_LT(forward.ms, resumed.ms + 10000 + 10000);
    EXPECT_EQ(forward.musicMs, forward.ms);
    EXPECT_EQ(forward.scenes, scenesAt(forward.ms, " and "));

    // Pointer moves, clicks and keys without a meaning to the show neither end, pause nor move
    // it; one event is taken per frame, so a burst of them delays Escape but does not lose it.
    std::string burst;
    for (int i = 0; i < 60; i++)
        burst += " mousemove " + std::to_string(i * 17 % 1024) + " " + std::to_string(i * 13 % 768);
    burst += " click 1 click 3 key a Return Tab F1 Up Down q x";
    ASSERT_TRUE(x.xdotool(burst));
    sleepSeconds(3);
    EXPECT_TRUE(show.running());
    ASSERT_TRUE(x.xdotool(burst + " key Escape"));
    EXPECT_EQ(show.wait(120), 0) << show.stderrText();
    EXPECT_EQ(reports(show, "paused at").size(), 1u);
    EXPECT_EQ(reports(show, "jumped to").size(), 1u);
}

// Options are read before anything opens: a bad one (an unknown scene's name among them) is
// named in one line and exit status 2, with no display at hand; without options the show says
// it has no display in one line, with nothing from the system libraries before it, and exits 1.
// --list-scenes prints the scene table; --start takes a scene's title in any case.
TEST(PlayerEndToEnd, OptionsAreCheckedBeforeAnyWindowOpens)
{
    const std::vector<std::string> noDisplay = {"SDL_AUDIODRIVER=dummy", "DISPLAY=", "WAYLAND_DISPLAY=",
                                                "XDG_RUNTIME_DIR=", "SDL_VIDEODRIVER=", "ASAN_OPTIONS=detect_leaks=0"};
    struct Bad { std::vector<std::string> args; int status; const char* named; } bad[] = {
        {{}, 1, "cannot open the display"},   {{"--fullscreen"}, 2, "'--fullscreen'"},
        {{"--start"}, 2, "--start"},          {{"--start", "5s"}, 2, "'5s'"},
        {{"--start", "245000"}, 2, "'245000'"}, {{"--window", "1024"}, 2, "'1024'"},
        {{"--window", "0x768"}, 2, "'0x768'"}, {{"--start", "fibotre"}, 2, "no scene is called 'fibotre'"},
        // A title in any case is a scene too: these options are good, and only the display is missing.
        {{"--start", "lorenz ATTRACTOR"}, 1, "cannot open the display"},
    };
    for (const Bad& b : bad) {
        std::vector<std::string> argv = {QUENRASTILAN_BINARY};
        argv.insert(argv.end(), b.args.begin(), b.args.end());
        Program show(argv, noDisplay);
        EXPECT_EQ(show.wait(30), b.status) << b.named;
        std::string err = show.stderrText();
        size_t ours = err.find("quenrastilan: ");
        ASSERT_EQ(ours, 0u) << err;
        EXPECT_LT(err.find(b.named, ours), err.find('\n', ours)) << err;
        EXPECT_EQ(err.find("quenrastilan:", ours + 1), std::string::npos) << err;
        if (b.status == 2) {
            EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
        }
    }
    Program help({QUENRASTILAN_BINARY, "--help"}, noDisplay);
    EXPECT_EQ(help.wait(30), 0);
    EXPECT_EQ(help.stdoutText().find("usage: quenrastilan"), 0u);
    EXPECT_NE(help.stdoutText().find(" fibotree  2:51  Fibonacci trees\n"), std::string::npos) << help.stdoutText();
    EXPECT_EQ(help.stderrText(), "");
    Program list({QUENRASTILAN_BINARY, "--list-scenes"}, noDisplay);
    EXPECT_EQ(list.wait(30), 0);
    std::string scenes = list.stdoutText();
    EXPECT_EQ(std::count(scenes.begin(), scenes.end(), '\n'), 13) << scenes;
    EXPECT_EQ(scenes.find("alku 0 29000 Typed credits\n"), 0u) << scenes;
    EXPECT_NE(scenes.find("\niterator 198500 225000 Iterated-map clouds\nfield 225000 244000 Vector field flow\n"),
              std::string::npos) << scenes;
}

// An installation into a fresh prefix plays with its music from any working directory: the
// show finds it in share/quenrastilan/ (a missing module would be one line on stderr).
TEST(PlayerEndToEnd, AnInstallationFindsItsMusicFromAnyFolder)
{
    std::string prefix = newTempDir(), elsewhere = newTempDir();
    std::string install = "cmake --install '" QUENRASTILAN_BUILD_DIR "' --prefix '" + prefix + "' >/dev/null";
    ASSERT_EQ(std::system(install.c_str()), 0);
    ASSERT_TRUE(fileExists(prefix + "/share/quenrastilan/music.xm"));
    XServer x;
    ASSERT_TRUE(x.ok());
    Program show({prefix + "/bin/quenrastilan", "--window", "--start", "244500"}, showEnvironment(x), elsewhere);
    EXPECT_EQ(show.wait(60), 0);
    EXPECT_EQ(show.stderrText(), "");
    EXPECT_NE(show.stdoutText().find("(music at 244500 ms)"), std::string::npos) << show.stdoutText();
    EXPECT_EQ(std::system(("rm -rf '" + prefix + "' '" + elsewhere + "'").c_str()), 0);
}
