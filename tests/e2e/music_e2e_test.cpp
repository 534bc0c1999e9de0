// The real program with a broken music.xm in its working directory, or without an audio
// device: one line on stderr, the show runs silently and still ends with status 0. The other
// bad modules are covered in-process by tests/unit/music_test.cpp.
#include "harness.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sys/stat.h>

struct MusicCase {
    const char* name;
    const char* music;   // written as music.xm in the working directory, unless null
    mode_t mode;         // its permissions; 0 runs the show unprivileged, so that they hold
    const char* env;     // one more environment setting
    const char* reason;  // in the one stderr line
    bool watched;        // run through the credits and ended with Escape, not from 244.5 s to its end
};

// Names the case in the test's listing rather than its bytes.
void PrintTo(const MusicCase& c, std::ostream* os) { *os << c.name; }

class MusicEndToEnd : public testing::TestWithParam<MusicCase> {};

TEST_P(MusicEndToEnd, LeavesTheShowSilentButRunning)
{
    const MusicCase& c = GetParam();
    std::string dir = newTempDir();
    ASSERT_EQ(chmod(dir.c_str(), 0755), 0);  // for the unprivileged run
    if (c.music) {
        std::ofstream(dir + "/music.xm") << c.music;
        ASSERT_EQ(chmod((dir + "/music.xm").c_str(), c.mode), 0);
    }
    XServer x;
    ASSERT_TRUE(x.ok());
    std::vector<std::string> env = showEnvironment(x);
    env.push_back(c.env);
    // The unwatched start at 244.5 s, after the last scene, and end by themselves.
    std::vector<std::string> argv = {QUENRASTILAN_BINARY};
    if (!c.watched)
        argv.insert(argv.end(), {"--start", "244500"});
    Program show(argv, env, dir, c.mode == 0);
    if (c.watched) {
        EXPECT_TRUE(x.waitForDrawing(show, 250, 360, 20000, 60)) << show.stderrText();
        x.xdotool("key Escape");
    }
    int status = show.wait(60);
    EXPECT_EQ(std::system(("rm -rf '" + dir + "'").c_str()), 0);
    if (status == Program::CANNOT_DROP_PRIVILEGES)
        GTEST_SKIP() << "running as root and cannot drop privileges, so a file permission cannot be tested";
    EXPECT_EQ(status, 0) << show.stderrText();
    std::string err = show.stderrText();
    EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
    EXPECT_NE(err.find(c.reason), std::string::npos) << err;
}

INSTANTIATE_TEST_SUITE_P(
    BadMusicOrNoAudioDevice, MusicEndToEnd,
    testing::Values(MusicCase{"NotAModule", "not a module\n", 0644, "", "music.xm: not a module", true},
                    MusicCase{"NoReadPermission", "unreadable\n", 0, "", "music.xm: Permission denied", false},
                    MusicCase{"NoAudioDevice", nullptr, 0644, "SDL_AUDIODRIVER=no-such-driver", "no audio", false}),
    [](const testing::TestParamInfo<MusicCase>& info) { return std::string(info.param.name); });
