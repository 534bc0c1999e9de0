// The composed soundtrack: a clean XM of the right length that ends, is reproducible, never
// clips, is never silent inside a scene and changes audibly where each scene begins.
#include "frame/module.h"
#include "lib/soundtrack.h"
#include "scenes/scene_table.h"

#include <gtest/gtest.h>
#include <libopenmpt/libopenmpt.hpp>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

static const std::string MUSIC = QUENRASTILAN_MUSIC;

static std::vector<char> readBytes(const std::string& path)
{
    std::ifstream f(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
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

// Power in dBFS of one band of the song's mono mix over [fromMs, toMs): band 0 below about
// 250 Hz, 1 between, 2 above about 2500 Hz (one-pole splits, enough to tell sections apart).
static double bandLevel(int fromMs, int toMs, int band)
{
    const std::vector<std::int16_t>& pcm = song();
    auto coefficient = [](double hz) { return 1.0 - std::exp(-2.0 * M_PI * hz / SOUND_RATE); };
    const double aLow = coefficient(250), aHigh = coefficient(2500);
    double low = 0, belowHigh = 0, sum = 0;
    std::size_t from = (std::size_t)fromMs * SOUND_RATE / 1000, to = (std::size_t)toMs * SOUND_RATE / 1000;
    // The filters settle over the 200 ms before the window.
    std::size_t settle = from > SOUND_RATE / 5 ? from - SOUND_RATE / 5 : 0;
    for (std::size_t i = settle; i < to && 2 * i + 1 < pcm.size(); i++) {
        double x = (pcm[2 * i] + pcm[2 * i + 1]) / 65536.0;
        low += aLow * (x - low);
        belowHigh += aHigh * (x - belowHigh);
        double y = band == 0 ? low : band == 1 ? belowHigh - low : x - belowHigh;
        if (i >= from)
            sum += y * y;
    }
    return 10.0 * std::log10(sum / (double)(to - from) + 1e-30);
}

static double level(int fromMs, int toMs)
{
    const std::vector<std::int16_t>& pcm = song();
    std::size_t from = 2 * ((std::size_t)fromMs * SOUND_RATE / 1000);
    std::size_t to = std::min(pcm.size(), 2 * ((std::size_t)toMs * SOUND_RATE / 1000));
    double sum = 0;
    for (std::size_t i = from; i < to; i++)
        sum += (pcm[i] / 32768.0) * (pcm[i] / 32768.0);
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
    double rms = level(0, (int)(pcm.size() / 2 * 1000 / SOUND_RATE));
    EXPECT_GT(rms, -20.0);
    EXPECT_LT(rms, -12.0);
}

TEST(Soundtrack, NoSecondOfAnySceneIsSilent)
{
    ASSERT_FALSE(song().empty());
    for (const Scene& s : SCENES)
        for (int ms = s.range[0]; ms + 1000 <= s.range[1]; ms += 500)
            EXPECT_GT(level(ms, ms + 1000), -45.0) << s.name << " at " << ms << " ms";
}

// Each scene's section starts with a change of sound: across its start, the level of at
// least one band moves by 2 dB or more between the 1.5 s before and the 1.5 s after.
TEST(Soundtrack, EachSceneStartsWithAnAudibleChange)
{
    ASSERT_FALSE(song().empty());
    for (const Scene& s : SCENES) {
        int start = s.range[0];
        if (start == 0)
            continue;
        double change = 0;
        for (int band = 0; band < 3; band++)
            change = std::max(change, std::fabs(bandLevel(start, start + 1500, band) -
                                                bandLevel(start - 1500, start, band)));
        EXPECT_GE(change, 2.0) << s.name << " starting at " << start << " ms: " << change << " dB";
    }
}
