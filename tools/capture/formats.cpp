// The capture tool's output formats by name, and its encoder presets.
#include "formats.h"

#include <cctype>
#include <cstring>
#include <sys/stat.h>

static const VideoFormat VIDEO_FORMATS[] = {
    {".mp4", "mp4", VideoCodec::H264, SoundCodec::AAC, true},
    {".mov", "mov", VideoCodec::H264, SoundCodec::AAC, true},
    {".mkv", "matroska", VideoCodec::H264, SoundCodec::FLAC, false},
    {".webm", "webm", VideoCodec::VP9, SoundCodec::OPUS, false},
};
static const VideoFormat MASTER_FORMAT = {".mkv", "matroska", VideoCodec::FFV1, SoundCodec::FLAC, false};

// The extension of the file a path names, lower case with its dot: "" for none.
static std::string extensionOf(const std::string& path)
{
    size_t slash = path.find_last_of('/'), dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash) || dot + 1 == path.size())
        return "";
    std::string e = path.substr(dot);
    for (char& c : e)
        c = (char)std::tolower((unsigned char)c);
    return e;
}

// A device or pipe that is already there, written in place whatever its name.
static bool special(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode);
}

int descriptorNamed(const std::string& path)
{
    if (path == "-" || path == "/dev/stdout")
        return 1;
    if (path == "/dev/stderr")
        return 2;
    for (const char* folder : {"/dev/fd/", "/proc/self/fd/"}) {
        size_t length = std::strlen(folder);
        if (path.compare(0, length, folder) != 0 || path.size() == length || path.size() > length + 6)
            continue;
        int fd = 0;
        for (size_t i = length; i < path.size(); i++) {
            if (!std::isdigit((unsigned char)path[i]))
                return -1;
            fd = fd * 10 + (path[i] - '0');
        }
        return fd;
    }
    return -1;
}

bool writtenInPlace(const std::string& path)
{
    return descriptorNamed(path) >= 0 || special(path);
}

const VideoFormat* videoFormatOf(const std::string& path, bool master)
{
    if (master)
        return writtenInPlace(path) || extensionOf(path) == MASTER_FORMAT.extension ? &MASTER_FORMAT : nullptr;
    for (const VideoFormat& f : VIDEO_FORMATS)
        if (extensionOf(path) == f.extension)
            return &f;
    // Matroska: H.264 and FLAC.
    return writtenInPlace(path) ? &VIDEO_FORMATS[2] : nullptr;
}

std::string videoExtensions(bool master)
{
    if (master)
        return MASTER_FORMAT.extension;
    std::string list;
    const int count = sizeof VIDEO_FORMATS / sizeof VIDEO_FORMATS[0];
    for (int i = 0; i < count; i++)
        list += std::string(i == 0 ? "" : i + 1 < count ? ", " : " or ") + VIDEO_FORMATS[i].extension;
    return list;
}

bool namedAs(const std::string& path, const char* extension)
{
    return special(path) || extensionOf(path) == extension;
}

int presetRank(const std::string& name)
{
    for (int i = 0; i < PRESET_COUNT; i++)
        if (name == PRESETS[i])
            return i;
    return -1;
}

int crfMost(VideoCodec c)
{
    return c == VideoCodec::VP9 ? 63 : 51;
}

// VP9's default keeps the frames about as close to those drawn as H.264's does: on the three
// scenes that cost the encoders most, 38.8, 28.8 and 37.5 dB of PSNR at real-time speed 8
// (more at the slower speeds), against 39.1, 28.6 and 35.9 dB from x264's ultrafast and 39.1,
// 28.1 and 36.6 dB from its medium.
int crfDefault(VideoCodec c)
{
    return c == VideoCodec::VP9 ? 26 : 18;
}
