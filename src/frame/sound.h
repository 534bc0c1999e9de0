// The show's music: the XM module "music.xm", decoded by libopenmpt and played through SDL audio.
#ifndef QUENRASTILAN_FRAME_SOUND_H
#define QUENRASTILAN_FRAME_SOUND_H

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

#endif
