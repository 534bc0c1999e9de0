// The music module: where "music.xm" is found, how it is checked and loaded, and how it is
// rendered as PCM, for the show's playback and the tools' offline render alike.
#ifndef QUENRASTILAN_FRAME_MODULE_H
#define QUENRASTILAN_FRAME_MODULE_H

#include <libopenmpt/libopenmpt.hpp>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// Output rate of playback and of rendered PCM: interleaved stereo, signed 16-bit.
const int SOUND_RATE = 48000;

// The module the show plays: "music.xm" in the working directory, else beside the executable,
// else in ../share/quenrastilan/ from the executable's folder (an installation). Returns the
// first that exists, or "" with the places looked at in error.
std::string sound_find_module(std::string& error);

// Loads a module file for playing once from its start. Null with "path: reason" in error when
// the file cannot be read, is not a module, or is an XM module cut short.
std::unique_ptr<openmpt::module> sound_load_module(const std::string& path, std::string& error);

// Renders up to `frames` stereo frames as 16-bit PCM into out; returns how many were rendered
// (fewer at the end of the song). Allocates nothing, so the audio thread may call it.
std::size_t sound_render_pcm(openmpt::module& mod, std::size_t frames, std::int16_t* out);

// Moves the module to show time ms, to the sample, so that the next PCM rendered is what plays
// at ms in a run from the start (as near as the module's own seeking restores its channels).
void sound_seek(openmpt::module& mod, int ms);

#endif
