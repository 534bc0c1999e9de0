// Where the capture tool writes: the output checked and its folders made before any frame is
// drawn, the frames' names, the folder of a video's parts.
#ifndef QUENRASTILAN_CAPTURE_PATHS_H
#define QUENRASTILAN_CAPTURE_PATHS_H

#include "options.h"
#include "run.h"

#include <string>

// Refuses at once an output file (named as a file, not a folder) that cannot be written, before
// any frame is rendered; makes the folders it goes in when they are missing (removed again if
// the capture fails).
void prepareOutputFile(const std::string& path);
// The same for a folder of frames, made with any folder above it that is missing.
void prepareOutputFolder(const std::string& dir);

// The file of frame n of a range in folder: NNNNNN.png, named by its number.
std::string numberedFrame(const std::string& folder, long long n);
// On failure or Ctrl-C, the frames of the range this run wrote go again.
void undoFramesOnFailure(const Options& o, const Frames& f);

// The folder of temporary files: $TMPDIR, or /tmp.
std::string temporaryFolder();

// Makes the folder for the parts of a video rendered in several processes and returns its
// whole path: beside the video, or in the temporary folder when the video goes to a device.
std::string partsFolderFor(const std::string& path);
// The name of part k in that folder.
std::string partName(const std::string& folder, size_t k);

#endif
