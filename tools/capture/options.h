// The capture tool's command line: what it is asked to do, checked before anything is drawn.
#ifndef QUENRASTILAN_CAPTURE_OPTIONS_H
#define QUENRASTILAN_CAPTURE_OPTIONS_H

#include "render/picture.h"

#include <string>
#include <vector>

struct VideoFormat;

struct Options {
    int fps = -1;
    int at = -1, from = -1, to = -1;
    int crf = -1;  // -1: the codec's default
    int width = PICTURE_WIDTH, height = PICTURE_HEIGHT;
    bool sizeGiven = false;
    int jobs = 0;  // 0: not given, chosen from the range (at most the number of cores)
    std::string out, video, master, sheet, audio;
    // --piece K/N of a master: its K-th (from 1) of N contiguous ranges of frames; 0/0 when not given.
    int piece = 0, pieces = 0;
    // --join: the master made of the pieces.
    std::string join;
    std::vector<std::string> joined;
    // --from-master: the master a --video is encoded from, without drawing.
    std::string fromMaster;
    std::string preset;  // x264's name of the encoder's speed
    bool quiet = false, check = false;
    // Whether an output already there may be replaced (--overwrite); otherwise it is refused.
    bool overwrite = false;
    // The descriptor a video or master written in place goes to (opened before anything is
    // drawn), -1 for a regular file.
    int streamFd = -1;
    // The container and codecs of --video or --master, by the file's name.
    const VideoFormat* format = nullptr;

    // A video or a master, which ffmpeg encodes.
    bool encoded() const { return !video.empty() || !master.empty(); }
    // Whether the frames are drawn here: not for a join or a video from a master.
    bool draws() const { return join.empty() && fromMaster.empty(); }
};

// Reads the options, prints --help and exits, or refuses them with one line naming what is
// wrong and exit status 2. The result holds exactly one mode, with the defaults of that mode
// filled in.
Options parseOptions(int argc, char** argv);

// Refuses the command line in one line, with exit status 2, before anything is written.
[[noreturn]] void refuse(const std::string& message);

#endif
