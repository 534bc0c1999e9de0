// The capture tool's modes in one process: a still, a range of frames, a video or master, the
// contact sheet, the soundtrack alone, and the soak check. Each fails with one line (and undoes
// what it wrote) on any error or Ctrl-C.
#ifndef QUENRASTILAN_CAPTURE_MODES_H
#define QUENRASTILAN_CAPTURE_MODES_H

#include "options.h"
#include "paths.h"
#include "run.h"
#include "video.h"
#include "lib/glcontext.h"

#include <string>

// Each draws with the show initialised in gl.
void captureStill(const HeadlessContext& gl, const Options& o);
void captureFrames(const HeadlessContext& gl, const Options& o);
void captureEncoded(const HeadlessContext& gl, const Options& o);
void captureSheet(const HeadlessContext& gl, const Options& o);
// --check: returns the exit status, 1 when GL reported any error.
int checkShow(const Options& o);
// --audio: the soundtrack from fromMs to its end as a WAV file; no GL.
void renderAudio(int fromMs, const std::string& path, bool overwrite);

// Also used by the processes of a range:
// writes the frame drawn in gl as frame n of the folder and puts it in place;
void writeFrame(const HeadlessContext& gl, FrameFolder& folder, long long n);
// the soundtrack of frames f as a temporary WAV file, removed again if the capture fails;
std::string soundOf(const Frames& f, int fps);
// the tags and chapters of the options' video or master of frames f, as ffmpeg's metadata file;
std::string metadataOf(const Options& o, const Frames& f);
// and the encoding of the options' video or master for frames f, without its sound.
Encoding encodingOf(const Options& o, const Frames& f);

#endif
