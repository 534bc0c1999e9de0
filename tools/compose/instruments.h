// The soundtrack's instruments, synthesised as 16-bit samples: kick, snare, closed hat, open
// hat/cymbal, bass, pad, lead and an electric-piano bell for arpeggios.
#ifndef QUENRASTILAN_TOOLS_COMPOSE_INSTRUMENTS_H
#define QUENRASTILAN_TOOLS_COMPOSE_INSTRUMENTS_H

#include <array>
#include <string>
#include <vector>

// Instrument numbers (1-based, as patterns write them).
enum { I_KICK = 1, I_SNARE, I_HAT, I_CYM, I_BASS, I_PAD, I_LEAD, I_BELL, INSTRUMENTS = I_BELL };

// One XM instrument with its one sample. Pitched samples are laid out so that XM note C-4
// sounds middle C (to within 2 cents); see SYNTH_RATE in instruments.cpp.
struct Instrument {
    explicit Instrument(const char* name) : name(name) {}
    std::string name;
    std::vector<float> wave;  // -1..1, normalised when written
    int loopStart = 0, loopLength = 0;  // frames; length 0 = no loop
    int relativeNote = 24;
    int panning = 128;
    std::vector<std::array<int, 2>> envelope;  // (tick, 0..64); empty = off
    int sustainPoint = -1;
    int fadeout = 0;
    int vibratoSweep = 0, vibratoDepth = 0, vibratoRate = 0;
};

// Every instrument, in the order of their numbers.
std::vector<Instrument> synthesiseInstruments();

#endif
