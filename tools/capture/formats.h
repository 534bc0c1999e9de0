// What the capture tool writes, chosen by the output's name as ffmpeg chooses: PNG stills and
// sheets, WAV soundtracks, videos in MP4, MOV, Matroska or WebM, Matroska masters; and the
// encoder speeds --preset names.
#ifndef QUENRASTILAN_CAPTURE_FORMATS_H
#define QUENRASTILAN_CAPTURE_FORMATS_H

#include <string>

enum class VideoCodec { H264, VP9, FFV1 };
enum class SoundCodec { AAC, FLAC, OPUS };

// A container of a video or master and the codecs it is written with.
struct VideoFormat {
    const char* extension;  // with its dot, lower case
    const char* muxer;      // ffmpeg's name of the container
    VideoCodec video;
    SoundCodec sound;
    // The index at the front (MP4, MOV), so a player can start before the whole file is there.
    bool indexFirst;
};

// The descriptor a path names: 1 for "-" and /dev/stdout, 2 for /dev/stderr, N for /dev/fd/N
// and /proc/self/fd/N; -1 for any other path.
int descriptorNamed(const std::string& path);
// Whether path is written in place, as a stream: a descriptor, or something already there that
// is neither a regular file nor a folder (a pipe, a FIFO, a device such as /dev/full).
bool writtenInPlace(const std::string& path);

// The format of a --video path by its extension (any case), or of a --master path; nullptr when
// the extension is not one of the mode's. A path written in place without an extension of the
// mode's (/dev/stdout, -, a FIFO) takes Matroska, which can be written as a stream.
const VideoFormat* videoFormatOf(const std::string& path, bool master);
// The extensions the mode takes, for the message that refuses another: ".mp4, .mov, .mkv or .webm".
std::string videoExtensions(bool master);

// Whether path may hold a file of the one format with this extension (".png", ".wav"): its
// extension is that in any case, or it is a device or pipe.
bool namedAs(const std::string& path, const char* extension);

// x264's speed presets, fastest first; --preset takes one of them.
static const char* const PRESETS[] = {"ultrafast", "superfast", "veryfast", "faster", "fast",
                                      "medium",    "slow",      "slower",   "veryslow"};
static const int PRESET_COUNT = sizeof PRESETS / sizeof PRESETS[0];
// The preset of a video when --preset is not given: x264's own and ffmpeg's default. The whole
// show comes out half as large as with ultrafast, as close to the frames drawn, for three
// quarters more CPU time (docs/capture.md has the figures).
static const char* const DEFAULT_PRESET = "medium";
// A preset's rank, 0 for the fastest; -1 for a name that is not one.
int presetRank(const std::string& name);

// The quality scale of a codec for --crf: 0 (lossless) to 51 for H.264, 0 to 63 for VP9, and the
// default of each.
int crfMost(VideoCodec c);
int crfDefault(VideoCodec c);

#endif
