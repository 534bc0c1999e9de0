// The soundtrack offline: rendered from the module as the show plays it, written as WAV.
#ifndef QUENRASTILAN_TOOLS_SOUNDTRACK_H
#define QUENRASTILAN_TOOLS_SOUNDTRACK_H

#include <csignal>
#include <cstdint>
#include <string>
#include <vector>

// Reads the module file at path and renders its audio from show time fromMs to the end of the
// song: interleaved stereo at SOUND_RATE, the same rendering the show plays. On failure returns
// false with "path: reason" in error. A non-zero *stop (set by a signal handler) ends the
// rendering early with false and "stopped" in error.
bool sound_render(const std::string& path, int fromMs, std::vector<std::int16_t>& pcm, std::string& error,
                  const volatile std::sig_atomic_t* stop = nullptr);

// Writes interleaved stereo 16-bit PCM at SOUND_RATE as a WAV file; false with the reason in
// error on failure; a regular file appears only when complete, and replaces one already there
// only when `replace`.
bool sound_write_wav(const std::string& path, const std::vector<std::int16_t>& pcm, std::string& error,
                     bool replace = true);

#endif
