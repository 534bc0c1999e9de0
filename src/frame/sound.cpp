// Plays "music.xm": libopenmpt renders the module, SDL's audio callback pulls the samples.
#include "frame/sound.h"

#include "frame/module.h"

#include <SDL.h>

#include <cstdio>
#include <cstring>

// The playing module, owned here between Sound::init and Sound::release. The audio thread
// reads it only through the callback; SDL_CloseAudio waits for that to finish.
static std::unique_ptr<openmpt::module> music;
static bool audioOpen = false;

static void audioCallback(void*, Uint8* stream, int len)
{
    std::size_t frames = (std::size_t)len / 4, done = 0;
    try {
        if (music)
            done = sound_render_pcm(*music, frames, (std::int16_t*)stream);
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
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        std::fprintf(stderr, "quenrastilan: no audio (%s); the show runs without music\n", SDL_GetError());
        music.reset();
        return false;
    }
    SDL_AudioSpec want{};
    want.freq = SOUND_RATE;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = 1024;
    want.callback = audioCallback;
    // Without an "obtained" format to fill in, SDL converts to whatever the device takes.
    if (SDL_OpenAudio(&want, nullptr) != 0) {
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
    if (audioOpen)
        SDL_PauseAudio(0);
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
