// Music playback: a bad or missing music.xm and a good one, played through SDL's dummy audio
// driver from a scratch working directory; and the WAV files the capture tool writes.
#include "frame/module.h"
#include "frame/sound.h"
#include "lib/soundtrack.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

static const std::string MUSIC = QUENRASTILAN_MUSIC;

static std::vector<char> readBytes(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

static void writeBytes(const std::string& path, const std::vector<char>& bytes)
{
    std::ofstream f(path, std::ios::binary);
    f.write(bytes.data(), (std::streamsize)bytes.size());
}

// Each test runs in a fresh, empty working directory with the dummy audio driver.
class SoundInit : public testing::Test {
protected:
    std::string dir, previous;

    void SetUp() override
    {
        char cwd[4096];
        ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
        previous = cwd;
        std::string pattern = testing::TempDir() + "sound-XXXXXX";
        ASSERT_NE(mkdtemp(&pattern[0]), nullptr);
        dir = pattern;
        ASSERT_EQ(chdir(dir.c_str()), 0);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
    }

    void TearDown() override
    {
        ASSERT_EQ(chdir(previous.c_str()), 0);
        std::string command = "rm -rf '" + dir + "'";
        ASSERT_EQ(std::system(command.c_str()), 0);
    }

    // Sound::init with music.xm as it is now; init must fail with exactly one stderr line
    // that names the file and contains `reason`. Release afterwards must be harmless.
    void expectSilentStart(const std::string& reason)
    {
        Sound sound;
        testing::internal::CaptureStderr();
        bool opened = sound.init();
        std::string err = testing::internal::GetCapturedStderr();
        sound.play();
        sound.release();
        EXPECT_FALSE(opened);
        ASSERT_FALSE(err.empty());
        EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
        EXPECT_NE(err.find("music.xm"), std::string::npos) << err;
        EXPECT_NE(err.find(reason), std::string::npos) << err;
    }
};

// Noise of n bytes, the same on every run.
static std::vector<char> noise(std::size_t n, unsigned seed)
{
    std::mt19937 random(seed);
    std::vector<char> bytes(n);
    for (char& c : bytes)
        c = (char)random();
    return bytes;
}

TEST_F(SoundInit, BadOrMissingModulesGiveOneLineAndNoMusic)
{
    const std::vector<char> xm = readBytes(MUSIC);
    ASSERT_GT(xm.size(), 1000u);
    auto cut = [&](std::size_t n) { return std::vector<char>(xm.begin(), xm.begin() + n); };
    // A valid XM header (ID text, name, version 1.04) followed by noise.
    auto headed = [&](std::size_t keep, unsigned seed, std::size_t size = 65536) {
        std::vector<char> b = noise(size, seed);
        std::copy(xm.begin(), xm.begin() + keep, b.begin());
        return b;
    };
    const struct {
        const char* name;
        std::vector<char> bytes;  // written as music.xm
        const char* reason;
    } cases[] = {
        {"empty", {}, "empty"},
        {"cut inside the ID text", cut(30), "music.xm: "},
        {"cut after the ID and version", cut(64), "music.xm: "},
        {"cut after the header", cut(60 + 276), "music.xm: "},
        {"cut inside the patterns", cut(2000), "truncated"},
        // libopenmpt itself would play these, their missing samples silent.
        {"cut in half", cut(xm.size() / 2), "truncated"},
        {"cut short by one byte", cut(xm.size() - 1), "truncated"},
        {"text", {'n', 'o', 't', ' ', 'a', ' ', 'm', 'o', 'd', 'u', 'l', 'e', '\n'}, "music.xm: "},
        {"XM ID and version, then noise", headed(60, 1), "music.xm: "},
        {"XM ID, then noise", headed(38, 2), "music.xm: "},
        {"whole XM header, then noise", headed(60 + 276, 3), "music.xm: "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeBytes("music.xm", c.bytes);
        expectSilentStart(c.reason);
    }
    {
        SCOPED_TRACE("missing");
        std::remove("music.xm");
        expectSilentStart("not found");
    }
    {
        SCOPED_TRACE("a folder");
        ASSERT_EQ(mkdir("music.xm", 0755), 0);
        expectSilentStart("music.xm: ");
        ASSERT_EQ(rmdir("music.xm"), 0);
    }
    {
        SCOPED_TRACE("a named pipe, with no writer: must not block");
        ASSERT_EQ(mkfifo("music.xm", 0644), 0);
        expectSilentStart("not a regular file");
        std::remove("music.xm");
    }
    {
        SCOPED_TRACE("100 MB of noise: refused by its size, not read");
        std::vector<char> block = headed(60, 4, 1 << 20);
        {
            std::ofstream f("music.xm", std::ios::binary);
            for (int i = 0; i < 100; i++)
                f.write(block.data(), (std::streamsize)block.size());
        }
        block = {};
        rusage before, after;
        getrusage(RUSAGE_SELF, &before);
        expectSilentStart("too large");
        getrusage(RUSAGE_SELF, &after);
        EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 50 * 1024) << "kB more at peak";
    }
}

TEST_F(SoundInit, TheComposedModuleOpensPlaysAndReleasesQuietly)
{
    writeBytes("music.xm", readBytes(MUSIC));
    Sound sound;
    testing::internal::CaptureStderr();
    ASSERT_TRUE(sound.init());
    sound.play();
    usleep(100 * 1000);  // a few audio buffers pulled by the device thread
    sound.release();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST(SoundWav, WritesACanonicalStereoHeaderAndTheSamples)
{
    std::string path = testing::TempDir() + "sound-test.wav";
    std::vector<std::int16_t> pcm = {0, 1, -1, 32767, -32768, 1234};
    std::string error;
    ASSERT_TRUE(sound_write_wav(path, pcm, error)) << error;
    std::vector<char> b = readBytes(path);
    std::remove(path.c_str());
    ASSERT_EQ(b.size(), 44u + 12u);
    auto u32 = [&](int at) {
        return (std::uint32_t)(std::uint8_t)b[at] | (std::uint32_t)(std::uint8_t)b[at + 1] << 8 |
               (std::uint32_t)(std::uint8_t)b[at + 2] << 16 | (std::uint32_t)(std::uint8_t)b[at + 3] << 24;
    };
    EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
    EXPECT_EQ(u32(4), 36u + 12u);
    EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(u32(20) & 0xFFFF, 1u);          // PCM
    EXPECT_EQ(u32(20) >> 16, 2u);             // stereo
    EXPECT_EQ(u32(24), (std::uint32_t)SOUND_RATE);
    EXPECT_EQ(u32(28), (std::uint32_t)SOUND_RATE * 4);
    EXPECT_EQ(u32(32), 4u | 16u << 16);       // 4 bytes a frame, 16 bits a sample
    EXPECT_EQ(std::string(b.begin() + 36, b.begin() + 40), "data");
    EXPECT_EQ(u32(40), 12u);
    EXPECT_EQ((std::int16_t)(u32(52) & 0xFFFF), -32768);

    EXPECT_FALSE(sound_write_wav(testing::TempDir() + "no-such-folder/x.wav", pcm, error));
    EXPECT_NE(error.find("no-such-folder"), std::string::npos);
}

TEST(SoundRender, RenderingFromLaterStartsShortensTheSongByThatMuch)
{
    std::vector<std::int16_t> whole, tail;
    std::string error;
    ASSERT_TRUE(sound_render(MUSIC, 0, whole, error)) << error;
    ASSERT_TRUE(sound_render(MUSIC, 240000, tail, error)) << error;
    EXPECT_NEAR((double)(whole.size() - tail.size()) / 2 / SOUND_RATE, 240.0, 0.01);
}
