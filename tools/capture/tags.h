// What a captured file says about itself: a chapter for each scene it shows, and in a master
// the capture it comes from (size, rate, range, build) and which piece of it it is, read back
// to join pieces and to make videos from a master.
#ifndef QUENRASTILAN_CAPTURE_TAGS_H
#define QUENRASTILAN_CAPTURE_TAGS_H

#include "options.h"
#include "run.h"

#include <map>
#include <string>
#include <vector>

// The chapter of a scene in a file: its title, from `start` to `end` ms of the file's own time
// (0 at its first frame). A scene already on at the first frame starts at 0; where several are,
// the latest to start has the chapter, so that no chapter is empty. Each ends where the next
// starts, the last with the file.
struct Chapter {
    const char* title;
    long long start, end;
};
std::vector<Chapter> chaptersOf(const Frames& f, int fps);

// The capture a master holds: its frames' size and rate, the range asked for and the build that
// drew it. Pieces of one capture have the same.
struct Capture {
    int width = 0, height = 0, fps = 0, from = 0, to = 0;
    std::string build;
    // Which piece of the capture a file is, from 1; 0 of 0 for a whole master.
    int piece = 0, pieces = 0;
};
// The tags' names in the file, and what they hold: "1024x768 at 60 fps, 3000 to 4000 ms,
// quenrastilan 1.2.0 build 0123456789abcdef" and "3 of 16".
static const char* const CAPTURE_TAG = "QUENRASTILAN_CAPTURE";
static const char* const PIECE_TAG = "QUENRASTILAN_PIECE";
Capture captureOf(const Options& o);
std::string captureText(const Capture& c);
// Reads a file's tags into c; false when the file has no such tags or they are not ours.
bool parseCapture(const std::map<std::string, std::string>& tags, Capture& c);

// This program's version and a digest of its own file: pieces of one capture are drawn by the
// same build.
std::string buildOfThisProgram();

// Writes the tags (of a master, when `c` is given) and the chapters of a file of frames f as
// ffmpeg's metadata file in the temporary folder, removed again if the capture fails, and
// returns its path.
std::string metadataFile(const Capture* c, const Frames& f, int fps);

// A file's global tags, as ffmpeg reads them. False with the reason (in ffmpeg's words, or the
// operating system's) when it cannot read the file as a video.
bool readTags(const std::string& path, std::map<std::string, std::string>& tags, std::string& error);

#endif
