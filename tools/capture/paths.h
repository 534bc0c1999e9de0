// Where the capture tool writes: the output checked and its folders made before any frame is
// drawn, the frames' names, the folder of a video's parts.
#ifndef QUENRASTILAN_CAPTURE_PATHS_H
#define QUENRASTILAN_CAPTURE_PATHS_H

#include "options.h"
#include "run.h"

#include <string>
#include <vector>

// Refuses at once an output file (named as a file, not a folder) that cannot be written, before
// any frame is rendered; makes the folders it goes in when they are missing (removed again if
// the capture fails). A file already there is refused with status 2, naming `option`, unless
// `overwrite`; a device or pipe is written in place.
void prepareOutputFile(const std::string& option, const std::string& path, bool overwrite);
// The same for the folder of the frames f, made with any folder above it that is missing: any
// of the frames' names already there is refused unless `overwrite`, and then only a file can be
// replaced.
void prepareOutputFolder(const Options& o, const Frames& f);
// Opens the video or master written in place (path names a descriptor, a FIFO or a device) for
// ffmpeg, before anything is drawn: a FIFO waits here for its reader.
int openStream(const std::string& path);

// The file of frame n of a range in folder: NNNNNN.png, named by its number.
std::string numberedFrame(const std::string& folder, long long n);

// The frames of a range put in place one by one: each is written whole in a folder of the
// run's own inside the frames' folder (.quenrastilan-capture-XXXXXX) and renamed to its name.
// A file of the user's it replaces (--overwrite) is kept in the run's folder until the run has
// succeeded, so that a failed or stopped run puts it back byte for byte. The processes of a
// range share one: each puts its own frames in place, and the capture that started them
// records them from what they report.
class FrameFolder {
public:
    FrameFolder(const std::string& folder, bool overwrite);
    const std::string& name() const { return folder_; }
    // Where frame n is written before it is put in place.
    std::string written(long long n) const;
    // Puts frame n in place; fails with one line when something is in the way.
    void place(long long n);
    // Records frame n as put in place by a process of the range.
    void record(long long n) { placed_.push_back(n); }
    // Undoes the run: removes the frames it put in place and puts back every file they replaced.
    void undo();
    // Keeps the frames: the run's folder goes, with the files they replaced.
    void keep();

private:
    std::string final(long long n) const { return numberedFrame(folder_, n); }
    std::string kept(long long n) const { return written(n) + ".kept"; }
    void removeWork() const;

    std::string folder_, work_;
    bool overwrite_;
    std::vector<long long> placed_;
};

// The folder of temporary files: $TMPDIR, or /tmp.
std::string temporaryFolder();

// Makes the folder for the parts of a video rendered in several processes and returns its
// whole path: beside the video, or in the temporary folder when the video goes to a device.
std::string partsFolderFor(const std::string& path);
// The name of part k in that folder.
std::string partName(const std::string& folder, size_t k);

#endif
