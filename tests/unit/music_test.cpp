// The soundtrack: the composed module (a clean XM of the right length that ends, is
// reproducible, never clips, is never silent inside a scene and changes audibly where each scene
// begins); its playback with a bad or missing music.xm through SDL's dummy audio driver (the
// end-to-end tests play the good one); and the offline render and WAV files the capture tool
// writes.
#include "frame/module.h"
#include "frame/sound.h"
#include "lib/soundtrack.h"
#include "scenes/scene_table.h"

#include <gtest/gtest.h>
#include <libopenmpt/libopenmpt.hpp>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <sys/stat.h>

namespace fs = std::filesystem;

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

// The whole song rendered once, as the show plays it.
static const std::vector<std::int16_t>& song()
{
    static std::vector<std::int16_t> pcm = [] {
        std::vector<std::int16_t> out;
        std::string error;
        if (!sound_render(MUSIC, 0, out, error))
            ADD_FAILURE() << error;
        return out;
    }();
    return pcm;
}

// Power in dBFS of the song over [fromMs, toMs): of both channels' samples (WHOLE), or of one
// band of the mono mix: band 0 below about 250 Hz, 1 between, 2 above about 2500 Hz (one-pole
// splits, enough to tell sections apart).
static const int WHOLE = 3;
static double level(int fromMs, int toMs, int band)
{
    const std::vector<std::int16_t>& pcm = song();
    auto coefficient = [](double hz) { return 1.0 - std::exp(-2.0 * M_PI * hz / SOUND_RATE); };
    const double aLow = coefficient(250), aHigh = coefficient(2500);
    double low = 0, belowHigh = 0, sum = 0;
    std::size_t from = (std::size_t)fromMs * SOUND_RATE / 1000, to = (std::size_t)toMs * SOUND_RATE / 1000;
    // The filters settle over the 200 ms before the window.
    std::size_t settle = from > SOUND_RATE / 5 ? from - SOUND_RATE / 5 : 0;
    for (std::size_t i = settle; i < to && 2 * i + 1 < pcm.size(); i++) {
        double l = pcm[2 * i] / 32768.0, r = pcm[2 * i + 1] / 32768.0, x = (l + r) / 2;
        low += aLow * (x - low);
        belowHigh += aHigh * (x - belowHigh);
        double y = band == 0 ? low : band == 1 ? belowHigh - low : x - belowHigh;
        if (i >= from)
            sum += band == WHOLE ? (l * l + r * r) / 2 : y * y;
    }
    return 10.0 * std::log10(sum / (double)(to - from) + 1e-30);
}

TEST(Soundtrack, LoadsWithoutWarningsAndEndsWithinTheShowsLength)
{
    std::vector<char> xm = readBytes(MUSIC);
    ASSERT_FALSE(xm.empty()) << MUSIC;
    std::ostringstream log;
    openmpt::module mod(xm, log);
    EXPECT_EQ(log.str(), "");
    EXPECT_EQ(mod.get_metadata("type"), "xm");
    EXPECT_EQ(mod.get_num_channels(), 12);
    double seconds = mod.get_duration_seconds();
    EXPECT_GE(seconds, 245.0);
    EXPECT_LE(seconds, 250.0);
    // It ends rather than loops: rendering stops at the reported duration.
    EXPECT_NEAR(song().size() / 2.0 / SOUND_RATE, seconds, 0.05);
}

TEST(Soundtrack, ComposerWritesTheSameBytesEveryRun)
{
    std::string dir = MUSIC.substr(0, MUSIC.rfind('/') + 1);
    std::string again = testing::TempDir() + "music-again.xm";
    std::string command = "'" + dir + "quenrastilan-compose' '" + again + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    EXPECT_TRUE(readBytes(again) == readBytes(MUSIC));
    std::remove(again.c_str());
}

TEST(Soundtrack, PeaksBelowMinusOneDecibelAndKeepsItsLoudness)
{
    const std::vector<std::int16_t>& pcm = song();
    ASSERT_FALSE(pcm.empty());
    int peak = 0;
    for (std::int16_t s : pcm)
        peak = std::max(peak, std::abs((int)s));
    EXPECT_LT(20.0 * std::log10(peak / 32768.0), -1.0) << "peak sample " << peak;
    double rms = level(0, (int)(pcm.size() / 2 * 1000 / SOUND_RATE), WHOLE);
    EXPECT_GT(rms, -20.0);
    EXPECT_LT(rms, -12.0);
}

TEST(Soundtrack, NoSecondOfAnySceneIsSilent)
{
    for (const Scene& s : SCENES)
        for (int ms = s.range[0]; ms + 1000 <= s.range[1]; ms += 500)
            EXPECT_GT(level(ms, ms + 1000, WHOLE), -45.0) << s.name << " at " << ms << " ms";
}

// Each scene's section starts with a change of sound: across its start, the level of at
// least one band moves by 2 dB or more between the 1.5 s before and the 1.5 s after.
TEST(Soundtrack, EachSceneStartsWithAnAudibleChange)
{
    for (const Scene& s : SCENES) {
        int start = s.range[0];
        if (start == 0)
            continue;
        double change = 0;
        for (int band = 0; band < 3; band++)
            change = std::max(change, std::fabs(level(start, start + 1500, band) -
                                                level(start - 1500, start, band)));
        EXPECT_GE(change, 2.0) << s.name << " starting at " << start << " ms: " << change << " dB";
    }
}

// Sound::init with each music.xm in a fresh, empty working directory and the dummy audio
// driver: it fails with exactly one stderr line that names the file and gives the reason; play
// and release after it are harmless. (A text file is music_e2e_test's, run by the program.)
TEST(SoundInit, BadOrMissingModulesGiveOneLineAndNoMusic)
{
    const std::vector<char> xm = readBytes(MUSIC);
    ASSERT_GT(xm.size(), 1000u);
    const fs::path previous = fs::current_path();
    std::string dir = testing::TempDir() + "sound-XXXXXX";
    ASSERT_NE(mkdtemp(&dir[0]), nullptr);
    fs::current_path(dir);
    setenv("SDL_AUDIODRIVER", "dummy", 1);

    auto cut = [&](std::size_t n) { return std::vector<char>(xm.begin(), xm.begin() + n); };
    // A valid XM header (ID text, name, version 1.04) followed by noise, the same on every run.
    std::vector<char> headed(65536);
    std::mt19937 random(1);
    for (char& c : headed)
        c = (char)random();
    std::copy(xm.begin(), xm.begin() + 60, headed.begin());
    auto file = [](std::vector<char> bytes) { return [bytes] { writeBytes("music.xm", bytes); }; };
    const struct {
        const char* name;
        std::function<void()> make;  // makes music.xm
        const char* reason;
    } cases[] = {
        {"empty", file({}), "empty"},
        {"cut after the ID and version", file(cut(64)), "music.xm: "},
        {"cut after the header", file(cut(60 + 276)), "music.xm: "},
        {"cut inside the patterns", file(cut(2000)), "truncated"},
        // libopenmpt itself would play these, their missing samples silent.
        {"cut in half", file(cut(xm.size() / 2)), "truncated"},
        {"cut short by one byte", file(cut(xm.size() - 1)), "truncated"},
        {"XM ID and version, then noise", file(headed), "music.xm: "},
        {"missing", [] {}, "not found"},
        {"a folder", [] { fs::create_directory("music.xm"); }, "music.xm: "},
        {"a named pipe with no writer: must not block", [] { mkfifo("music.xm", 0644); }, "not a regular file"},
        // Sparse: only the size check, before any read, calls it too large.
        {"100 MB", [] { writeBytes("music.xm", {}), fs::resize_file("music.xm", 100 << 20); }, "too large"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all("music.xm");
        c.make();
        Sound sound;
        testing::internal::CaptureStderr();
        EXPECT_FALSE(sound.init());
        std::string err = testing::internal::GetCapturedStderr();
        sound.play();
        sound.release();
        EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
        EXPECT_NE(err.find("music.xm"), std::string::npos) << err;
        EXPECT_NE(err.find(c.reason), std::string::npos) << err;
    }
    fs::current_path(previous);
    fs::remove_all(dir);
}

TEST(SoundWav, WritesACanonicalStereoHeaderAndTheSamples)
{
    std::string path = testing::TempDir() + "sound-test.wav";
    std::vector<std::int16_t> pcm = {0, 1, -1, 32767, -32768, 1234};
    std::string error;
    ASSERT_TRUE(sound_write_wav(path, pcm, error)) << error;
    // RIFF size, fmt chunk of 16: PCM, stereo, the rate, bytes a second, 4 bytes a frame, 16
    // bits a sample; data size, then the samples, all little-endian.
    std::vector<char> expected;
    auto put = [&](std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; i++)
            expected.push_back((char)(v >> 8 * i));
    };
    auto text = [&](const char* t) { expected.insert(expected.end(), t, t + 4); };
    text("RIFF"), put(36 + 12, 4), text("WAVE"), text("fmt "), put(16, 4), put(1, 2), put(2, 2);
    put(SOUND_RATE, 4), put(SOUND_RATE * 4, 4), put(4, 2), put(16, 2), text("data"), put(12, 4);
    for (std::int16_t v : pcm)
        put((std::uint16_t)v, 2);
    EXPECT_TRUE(readBytes(path) == expected);
    std::remove(path.c_str());

    EXPECT_FALSE(sound_write_wav(testing::TempDir() + "no-such-folder/x.wav", pcm, error));
    EXPECT_NE(error.find("no-such-folder"), std::string::npos);
}

TEST(SoundRender, RenderingFromLaterStartsShortensTheSongByThatMuch)
{
    std::vector<std::int16_t> tail;
    std::string error;
    ASSERT_TRUE(sound_render(MUSIC, 240000, tail, error)) << error;
    EXPECT_NEAR((double)(song().size() - tail.size()) / 2 / SOUND_RATE, 240.0, 0.01);
}
