// The video encoder of the capture tool: ffmpeg in its own process, fed raw RGB frames through
// a pipe while the next frame renders, muxing the soundtrack from a WAV file.
#ifndef QUENRASTILAN_CAPTURE_VIDEO_H
#define QUENRASTILAN_CAPTURE_VIDEO_H

#include "encoding.h"

#include <csignal>
#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

// A part written without sound, and how many frames it holds.
struct VideoPart {
    std::string path;
    long long frames;
};

class VideoEncoder {
public:
    // `named` is the path every message names: the file the user asked for, also while a part
    // of it or a temporary file is written. A non-zero *stop (set by a signal handler) cuts
    // short a write to ffmpeg or the wait for it, which then fail with "stopped".
    explicit VideoEncoder(const std::string& named, const volatile std::sig_atomic_t* stop = nullptr)
        : named_(named), stop_(stop)
    {
    }
    ~VideoEncoder();

    // Where the file the user asked for goes: the descriptor of a stream (-1 for a file), and
    // whether a file already there is replaced. A part goes to its file, never replacing one.
    void destination(int streamFd, bool replace)
    {
        streamFd_ = streamFd;
        replace_ = replace;
    }

    // Called while finish() waits with the number of frames ffmpeg has written so far, when
    // ffmpeg reads the frames itself (a join, a video from a master). Set before starting it.
    void reportFrames(std::function<void(long long)> report) { report_ = std::move(report); }
    // The number of frames ffmpeg must have written, when it reads them itself: finish() fails
    // with another number (a piece cut short) and leaves nothing. Set before starting it.
    void expectFrames(long long frames) { expected_ = frames; }

    // Starts ffmpeg writing the encoding's frames, sent by write(), to path. A regular output
    // file is written under a temporary name and appears only when finish() succeeds; a stream
    // is written as it comes.
    bool start(const std::string& path, const Encoding& e, std::string& error);
    // Starts ffmpeg joining parts written without sound (in order, by the same settings) with
    // the encoding's sound into path; the video is copied, not encoded again. finish() waits.
    // Without the encoding's sound, the parts' own sound is copied with them.
    bool join(const std::string& path, const std::vector<VideoPart>& parts, const Encoding& e, std::string& error);
    // Starts ffmpeg encoding the frames and sound of a master (e.wavPath) into path.
    bool encodeMaster(const std::string& path, const Encoding& e, std::string& error);
    // Sends one frame, RGB rows top row first.
    bool write(const std::vector<unsigned char>& rgb, std::string& error);
    // Closes the pipe, waits for ffmpeg and puts the file in place.
    bool finish(std::string& error);
    // Kills ffmpeg and removes what it wrote; called on any failure.
    void abort();

private:
    void readProgress();

    bool launch(const std::string& path, std::vector<std::string> args, bool framesOnPipe, std::string& error);
    bool wait(int& status, std::string& error);
    std::string writeError() const;
    std::string failure(int status) const;

    std::string named_;
    const volatile std::sig_atomic_t* stop_;
    pid_t pid_ = -1;
    int pipe_ = -1;
    // ffmpeg's -progress lines, and what of them is read but not yet a whole line.
    int progress_ = -1;
    std::string progressText_;
    std::function<void(long long)> report_;
    long long expected_ = -1, written_ = -1;
    int streamFd_ = -1;
    bool replace_ = false;
    std::string path_, temp_, log_, list_;
};

// Whether ffmpeg can be run.
bool ffmpegAvailable();

#endif
