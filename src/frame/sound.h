// The show's music: the XM module "music.xm", decoded by libopenmpt and played through SDL audio.
#ifndef QUENRASTILAN_FRAME_SOUND_H
#define QUENRASTILAN_FRAME_SOUND_H

// The one instance is main's global `sound`. Lifecycle: init, play, release, each once;
// pause and seek in between.
class Sound {
public:
    // Finds "music.xm" (see sound_find_module), loads it and opens the audio device, paused.
    // On any failure it writes one line on stderr naming the file or the device and the
    // reason, leaves nothing open and returns false; the caller then runs the show silently.
    bool init();
    // Starts the module at once, from its beginning or where seek put it. It plays once, on
    // SDL's audio thread, and needs no further call; after its end the device plays silence.
    void play();
    // Holds the sound where it is, or lets it go on.
    void pause(bool paused);
    // Moves the module to show time ms; playing or paused, it stays so.
    void seek(int ms);
    // Where the module is being decoded, in seconds of the song (ahead of what is heard by the
    // device's buffer); -1 without music.
    double positionSeconds();
    // Stops the sound and frees the device and the module. Does nothing after a failed init.
    void release();
};

#endif
