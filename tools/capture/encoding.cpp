// The ffmpeg arguments of each format and preset.
#include "encoding.h"

#include <cstdio>
#include <string>

std::string fileURL(const std::string& path)
{
    return "file:" + path;
}

// Whether the ffmpeg that runs writes Opus in Matroska 6.5 ms late against the video. Its
// libavformat up to 59.30.100 (FFmpeg 5.1, Debian 12's) takes the encoder's start, which Opus
// puts 312 samples before the first one heard, for a time that Matroska cannot hold, and moves
// every track on by it, the video included; the CodecDelay it also writes then counts the same
// samples again.
static bool shiftsOpusTracks()
{
    static int answer = -1;
    if (answer < 0) {
        answer = 0;
        if (FILE* p = popen("ffmpeg -hide_banner -version 2>/dev/null", "r")) {
            char line[256];
            int major, minor, micro;
            while (std::fgets(line, sizeof line, p))
                if (std::sscanf(line, "libavformat %d. %d.%d", &major, &minor, &micro) == 3)
                    answer = major < 59 || (major == 59 && (minor < 30 || (minor == 30 && micro <= 100)));
            pclose(p);
        }
    }
    return answer == 1;
}

// libopus's look-ahead at 48 kHz, which ffmpeg writes as the track's pre-skip: 6.5 ms.
static const int OPUS_PRE_SKIP = 312;

std::vector<std::string> soundInput(const Encoding& e)
{
    std::vector<std::string> a;
    // Such an ffmpeg is given the sound 312 samples late: its first packet then starts at 0
    // and nothing is moved, and the pre-skip is counted once. The muxer's name is left out of
    // the file, since readers that know the fault correct files that name such a version.
    if (e.format->sound == SoundCodec::OPUS && shiftsOpusTracks()) {
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%.6f", OPUS_PRE_SKIP / 48000.0);
        a.insert(a.end(), {"-itsoffset", seconds});
    }
    a.insert(a.end(), {"-i", fileURL(e.wavPath)});
    return a;
}

// A master's sound is timed in milliseconds: it is timed again by its samples, from the first
// (312 samples late where soundInput() gives them so).
std::vector<std::string> soundOfMaster(const Encoding& e)
{
    bool late = e.format->sound == SoundCodec::OPUS && shiftsOpusTracks();
    return {"-af", "asettb=1/48000,asetpts=N+" + std::to_string(late ? OPUS_PRE_SKIP : 0)};
}

// libvpx-vp9's speed for each of x264's presets, fastest first: its deadline and -cpu-used,
// matched by the CPU time each takes on four seconds of the three scenes that cost the encoders
// most (newton, field, cell at 60 fps). VP9's fastest, real-time speed 8, takes 2 to 3 times
// what ultrafast takes, about what superfast and veryfast take; real-time 7 to 5 match faster
// to medium; the "good" deadline, 3 to 5 times slower again, the slower presets.
static const struct {
    const char* deadline;
    int cpuUsed;
} VP9_SPEEDS[PRESET_COUNT] = {
    {"realtime", 8}, {"realtime", 8}, {"realtime", 8}, {"realtime", 7}, {"realtime", 6},
    {"realtime", 5}, {"good", 4},     {"good", 3},     {"good", 2},
};

std::vector<std::string> metadataInput(const Encoding& e)
{
    if (e.metadataPath.empty())
        return {};
    return {"-f", "ffmetadata", "-i", fileURL(e.metadataPath)};
}

std::vector<std::string> metadataMaps(const Encoding& e, int index)
{
    if (e.metadataPath.empty())
        return {};
    return {"-map_metadata", std::to_string(index), "-map_chapters", std::to_string(index)};
}

// A master's frames from one of another size: scaled to fit, the picture's shape kept between
// black bars, each side even.
static std::string resized(const Encoding& e)
{
    if (!e.sourceWidth || (e.sourceWidth == e.width && e.sourceHeight == e.height))
        return "";
    char filter[200];
    std::snprintf(filter, sizeof filter,
                  "scale=%d:%d:force_original_aspect_ratio=decrease:force_divisible_by=2:flags=lanczos,"
                  "pad=%d:%d:-1:-1:black,",
                  e.width, e.height, e.width, e.height);
    return filter;
}

std::vector<std::string> videoCodec(const Encoding& e)
{
    if (e.format->video == VideoCodec::FFV1)
        return {"-c:v", "ffv1", "-level", "3", "-g", "1", "-slicecrc", "1", "-pix_fmt", "bgr0"};
    std::string crf = std::to_string(e.crf >= 0 ? e.crf : crfDefault(e.format->video));
    std::vector<std::string> a;
    if (e.format->video == VideoCodec::H264) {
        a = {"-c:v", "libx264", "-preset", e.preset, "-crf", crf};
    } else {
        int rank = presetRank(e.preset);
        a = {"-c:v", "libvpx-vp9", "-crf", crf, "-b:v", "0", "-deadline", VP9_SPEEDS[rank].deadline,
             "-cpu-used", std::to_string(VP9_SPEEDS[rank].cpuUsed), "-row-mt", "1"};
    }
    // A master's frames are taken as the drawn frames are given, 8-bit RGB, so that they convert alike.
    std::string from = e.sourceWidth ? "format=rgb24," : "";
    a.insert(a.end(), {"-vf", from + resized(e) + "scale=out_color_matrix=bt709:out_range=tv,format=yuv420p"});
    std::vector<std::string> tags = colourTags(e);
    a.insert(a.end(), tags.begin(), tags.end());
    return a;
}

std::vector<std::string> colourTags(const Encoding& e)
{
    if (e.format->video == VideoCodec::FFV1)
        return {};
    return {"-colorspace", "bt709", "-color_primaries", "bt709", "-color_trc", "bt709", "-color_range", "tv"};
}

std::vector<std::string> soundAndContainer(const Encoding& e)
{
    std::vector<std::string> a = {"-c:a"};
    switch (e.format->sound) {
    case SoundCodec::AAC:
        a.insert(a.end(), {"aac", "-b:a", "192k"});
        break;
    case SoundCodec::FLAC:
        a.push_back("flac");
        break;
    case SoundCodec::OPUS:
        a.insert(a.end(), {"libopus", "-b:a", "160k"});
        if (shiftsOpusTracks())
            a.insert(a.end(), {"-fflags", "+bitexact"});
        break;
    }
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.6f", (double)e.frames / e.fps);
    a.insert(a.end(), {"-t", seconds});
    if (e.format->indexFirst)
        a.insert(a.end(), {"-movflags", "+faststart"});
    // A master, and each piece of one, holds no date, version or random identifier: the same
    // frames give the same bytes.
    if (e.format->video == VideoCodec::FFV1)
        a.insert(a.end(), {"-fflags", "+bitexact"});
    a.insert(a.end(), {"-f", e.format->muxer});
    return a;
}

std::vector<std::string> copiedContainer(const Encoding& e)
{
    return {"-c", "copy", "-fflags", "+bitexact", "-f", e.format->muxer};
}

std::vector<std::string> partContainer()
{
    return {"-f", "nut"};
}
