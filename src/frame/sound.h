// The show's music: the XM module "music.xm", decoded by libopenmpt and played through SDL audio.
#ifndef QUENRASTILAN_FRAME_SOUND_H
#define QUENRASTILAN_FRAME_SOUND_H

#include <cstdint>
#include <string>
#include <vector>

// Output rate of playback and of rendered PCM: interleaved stereo, signed 16-bit.
const int SOUND_RATE = 48000;

// The one instance is main's global `sound`. Lifecycle: init, play, release, each once.
class Sound {
public:
    // Finds "music.xm" (see sound_find_module), loads it and opens the audio device, paused.
    // On any failure it writes one line on stderr naming the file or the device and the
    // reason, leaves nothing open and returns false; the caller then runs the show silently.
    bool init();
    // Starts the module from its beginning at once. It plays once, on SDL's audio thread,
    // and needs no further call; after its end the device plays silence.
    void play();
    // Stops the sound and frees the device and the module. Does nothing after a failed init.
    void release();
};

// The module the show plays: "music.xm" in the working directory, else "music.xm" beside the
// executable. Returns the first that exists, or "" with the places looked at in error.
std::string sound_find_module(std::string& error);

// Reads the module file at path and renders its audio from show time fromMs to the end of the
// song: interleaved stereo at SOUND_RATE, the same rendering the show plays. On failure returns
// false with "path: reason" in error.
bool sound_render(const std::string& path, int fromMs, std::vector<std::int16_t>& pcm, std::string& error);

// Writes interleaved stereo 16-bit PCM at SOUND_RATE as a WAV file; false with the reason in
// error on failure; a regular file appears only when complete.
bool sound_write_wav(const std::string& path, const std::vector<std::int16_t>& pcm, std::string& error);

#endif
