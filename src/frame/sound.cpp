// Plays "music.xm": libopenmpt renders the module, SDL's audio callback pulls the samples.
#include "frame/sound.h"

#include "frame/library_noise.h"
#include "frame/module.h"

#include <SDL.h>

#include <cstdio>
#include <cstring>

// The playing module, owned here between Sound::init and Sound::release. The audio thread
// reads it only through the callback; SDL_CloseAudio waits for that to finish.
static std::unique_ptr<openmpt::module> music;
static bool audioOpen = false;
// Stereo frames decoded since the module's start: where the decoder stands, to the sample.
// Written by the callback and by seek, both under the audio lock.
static long long decodedFrames = 0;

static void audioCallback(void*, Uint8* stream, int len)
{
    std::size_t frames = (std::size_t)len / 4, done = 0;
    try {
        if (music)
            done = sound_render_pcm(*music, frames, (std::int16_t*)stream);
        decodedFrames += (long long)done;
    } catch (...) {
        // Nothing may unwind into SDL's audio thread; the rest of this buffer is silence.
    }
    std::memset(stream + done * 4, 0, (frames - done) * 4);
}

bool Sound::init()
{
    std::string error;
    std::string path = sound_find_module(error);
    if (!path.empty())
        music = sound_load_module(path, error);
    if (!music) {
        std::fprintf(stderr, "quenrastilan: %s; the show runs without music\n", error.c_str());
        return false;
    }
    bool initialised, opened = false;
    SDL_AudioSpec want{};
    want.freq = SOUND_RATE;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = 1024;
    want.callback = audioCallback;
    {
        // Without a sound card ALSA prints lines of its own before SDL reports the failure.
        LibraryNoiseMuted quiet;
        initialised = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
        // Without an "obtained" format to fill in, SDL converts to whatever the device takes.
        opened = initialised && SDL_OpenAudio(&want, nullptr) == 0;
    }
    if (!initialised) {
        std::fprintf(stderr, "quenrastilan: no audio (%s); the show runs without music\n", SDL_GetError());
        music.reset();
        return false;
    }
    if (!opened) {
        std::fprintf(stderr, "quenrastilan: cannot open the audio device (%s); the show runs without music\n",
                     SDL_GetError());
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        music.reset();
        return false;
    }
    audioOpen = true;
    return true;
}

void Sound::play()
{
    pause(false);
}

void Sound::pause(bool paused)
{
    if (audioOpen)
        SDL_PauseAudio(paused ? 1 : 0);
}

void Sound::seek(int ms)
{
    if (!audioOpen)
        return;
    // The callback reads the module on the audio thread: move it only while that is locked out.
    SDL_LockAudio();
    try {
        sound_seek(*music, ms);
        decodedFrames = (long long)ms * SOUND_RATE / 1000;
    } catch (...) {
        // A module that cannot seek plays on from where it was.
    }
    SDL_UnlockAudio();
}

double Sound::positionSeconds()
{
    if (!audioOpen)
        return -1.0;
    SDL_LockAudio();
    double seconds = (double)decodedFrames / SOUND_RATE;
    SDL_UnlockAudio();
    return seconds;
}

void Sound::release()
{
    if (audioOpen) {
        SDL_CloseAudio();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        audioOpen = false;
    }
    music.reset();
}
