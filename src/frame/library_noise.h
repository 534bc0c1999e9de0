// The messages system libraries print on stderr by themselves while the show opens its display
// and sound device: ALSA's "ALSA lib ..." lines when there is no sound card, libwayland's
// "XDG_RUNTIME_DIR is invalid" when there is no display. The show says in one line of its own
// what it could not open; the libraries' lines are kept only when QUENRASTILAN_VERBOSE is set.
#ifndef QUENRASTILAN_FRAME_LIBRARY_NOISE_H
#define QUENRASTILAN_FRAME_LIBRARY_NOISE_H

// While one lives, stderr goes to /dev/null (unless QUENRASTILAN_VERBOSE is set and not empty).
class LibraryNoiseMuted {
public:
    LibraryNoiseMuted();
    ~LibraryNoiseMuted();
    LibraryNoiseMuted(const LibraryNoiseMuted&) = delete;
    LibraryNoiseMuted& operator=(const LibraryNoiseMuted&) = delete;

private:
    int saved_ = -1;  // the real stderr while muted
};

#endif
