// The video encoder of the capture tool: ffmpeg in its own process, fed raw RGB frames through
// a pipe while the next frame renders, muxing the soundtrack from a WAV file.
#ifndef QUENRASTILAN_TOOLS_CAPTURE_VIDEO_H
#define QUENRASTILAN_TOOLS_CAPTURE_VIDEO_H

#include <string>
#include <sys/types.h>
#include <vector>

class VideoEncoder {
public:
    ~VideoEncoder();

    // Starts ffmpeg writing an H.264 (yuv420p) + AAC MP4 of `frames` frames at fps to path,
    // with the audio of wavPath trimmed to the same length. A regular output file is written
    // under a temporary name and appears only when finish() succeeds.
    bool start(const std::string& path, int width, int height, int fps, int crf, long long frames,
               const std::string& wavPath, std::string& error);
    // Sends one frame, RGB rows top row first.
    bool write(const std::vector<unsigned char>& rgb, std::string& error);
    // Closes the pipe, waits for ffmpeg and puts the file in place.
    bool finish(std::string& error);
    // Stops ffmpeg and removes what it wrote; called on any failure.
    void abort();

private:
    std::string ffmpegError() const;

    pid_t pid_ = -1;
    int pipe_ = -1;
    std::string path_, temp_, log_;
};

// Whether ffmpeg can be run.
bool ffmpegAvailable();

#endif
