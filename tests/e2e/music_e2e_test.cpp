// The real program with a broken music.xm in its working directory, or without an audio
// device: one line on stderr, the show runs silently and still ends with status 0. The other
// bad modules are covered in-process by tests/unit/sound_test.cpp.
#include "xserver.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

TEST(MusicEndToEnd, BadMusicOrNoAudioDeviceLeavesTheShowSilentButRunning)
{
    const struct {
        const char* name;
        const char* music;      // written as music.xm in the working directory, unless null
        mode_t mode;
        const char* env;        // one more environment setting
        const char* reason;     // in the one stderr line
        bool drawn;             // run through the credits and end it with Escape
    } cases[] = {
        {"not a module", "not a module\n", 0644, "", "music.xm: not a module", true},
        {"no read permission", "unreadable\n", 0, "", "music.xm: Permission denied", false},
        {"no audio device", nullptr, 0, "SDL_AUDIODRIVER=no-such-driver", "no audio", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string dir = testing::TempDir() + "music-e2e-XXXXXX";
        ASSERT_NE(mkdtemp(&dir[0]), nullptr);
        ASSERT_EQ(chmod(dir.c_str(), 0755), 0);  // for the unprivileged run
        if (c.music) {
            std::ofstream(dir + "/music.xm") << c.music;
            ASSERT_EQ(chmod((dir + "/music.xm").c_str(), c.mode), 0);
        }
        XServer x;
        ASSERT_TRUE(x.ok());
        std::vector<std::string> env = showEnvironment(x);
        env.push_back(c.env);
        // Those not watched start near the end (testing aid) and must end by themselves.
        if (!c.drawn)
            env.push_back("QUENRASTILAN_START_MS=243000");
        Program show({QUENRASTILAN_BINARY}, env, dir, c.mode == 0);
        if (c.drawn) {
            // Running: its window appears and holds drawing (the credits) after the start-up.
            bool drawn = false;
            for (double end = nowSeconds() + 60; !drawn && nowSeconds() < end && show.running();
                 sleepSeconds(0.25)) {
                int dark = x.hasShowWindow() ? x.darkPixels(250, 360) : 0;
                drawn = dark > 200 && dark < 20000;
            }
            EXPECT_TRUE(drawn) << show.stderrText();
            x.key("Escape");
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
}
