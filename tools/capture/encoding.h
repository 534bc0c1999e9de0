// What ffmpeg is asked to write for a video, a master or a part of either, and the arguments
// that ask it.
#ifndef QUENRASTILAN_CAPTURE_ENCODING_H
#define QUENRASTILAN_CAPTURE_ENCODING_H

#include "formats.h"
#include "render/picture.h"

#include <string>
#include <vector>

// A video is converted with the BT.709 matrix to limited-range 4:2:0 and tagged so (primaries,
// transfer, matrix, range); a master is lossless FFV1 in full RGB. Both are exactly as long as
// their frames, the sound included. Without sound (a part of a range rendered by several
// processes), either is video alone in NUT, joined later.
struct Encoding {
    const VideoFormat* format = nullptr;
    int width = PICTURE_WIDTH, height = PICTURE_HEIGHT, fps = 60;
    int crf = -1;  // in the codec's own scale; -1 for its default
    std::string preset = DEFAULT_PRESET;
    long long frames = 0;
    std::string wavPath;  // the sound, exactly as long as the frames; empty for a part
    // ffmpeg's metadata file of the tags and chapters; empty for a part.
    std::string metadataPath;
    // The size of the frames given, when they come from a master of another size; 0 otherwise.
    int sourceWidth = 0, sourceHeight = 0;
};

// A path as ffmpeg reads it without guessing: "file:" first, so that a name with a colon is not
// taken for a protocol nor one starting with a dash for an option.
std::string fileURL(const std::string& path);

// The arguments of the sound's input, its WAV file, to follow the frames' input.
std::vector<std::string> soundInput(const Encoding& e);
// The input of the tags and chapters, and the arguments that take them from input `index`
// (none for a part).
std::vector<std::string> metadataInput(const Encoding& e);
std::vector<std::string> metadataMaps(const Encoding& e, int index);
// The filter that times a master's sound (e.wavPath) as soundInput() times a WAV file's.
std::vector<std::string> soundOfMaster(const Encoding& e);
// The video codec's arguments.
std::vector<std::string> videoCodec(const Encoding& e);
// The colour tags of a video (none for a master), also given when its parts are copied.
std::vector<std::string> colourTags(const Encoding& e);
// The sound codec's and the container's arguments of a whole encoding, and of a part.
std::vector<std::string> soundAndContainer(const Encoding& e);
std::vector<std::string> partContainer();
// The container's arguments of a file whose streams are copied: a master joined from pieces.
std::vector<std::string> copiedContainer(const Encoding& e);

#endif
