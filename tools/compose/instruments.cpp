// The soundtrack's instruments: each sample synthesised from its recipe.
#include "instruments.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

// Samples are synthesised at SYNTH_RATE = 8363 * 4 Hz with relative note +24 (finetune 0), so
// they play at exactly that rate on C-4. A waveform whose period is 128 frames then sounds
// 261.34 Hz (middle C, 1.9 cents flat) on C-4; a period of 128 * 2^k frames with relative
// note 24 + 12k keeps the same tuning k octaves down.
static const double SYNTH_RATE = 8363.0 * 4.0;
static const double TWO_PI = 6.283185307179586;

// The composer's own noise: a 32-bit LCG, so the drums are the same on every platform.
struct Noise {
    std::uint32_t state;
    float next()
    {
        state = state * 1664525u + 1013904223u;
        return (float)((state >> 8) / 8388608.0 - 1.0);
    }
};

// One-pole high-pass at cutoff Hz, applied in place.
static void highPass(std::vector<float>& x, double cutoff)
{
    double rc = 1.0 / (TWO_PI * cutoff), dt = 1.0 / SYNTH_RATE, a = rc / (rc + dt);
    double prevIn = 0, prevOut = 0;
    for (float& s : x) {
        double out = a * (prevOut + s - prevIn);
        prevIn = s;
        prevOut = out;
        s = (float)out;
    }
}

static void lowPass(std::vector<float>& x, double cutoff)
{
    double dt = 1.0 / SYNTH_RATE, rc = 1.0 / (TWO_PI * cutoff), a = dt / (rc + dt);
    double y = 0;
    for (float& s : x) {
        y += a * (s - y);
        s = (float)y;
    }
}

static std::vector<float> frames(double seconds)
{
    return std::vector<float>((std::size_t)(seconds * SYNTH_RATE));
}

static Instrument kick()
{
    Instrument in{"kick"};
    in.wave = frames(0.45);
    double phase = 0;
    for (std::size_t i = 0; i < in.wave.size(); i++) {
        double t = i / SYNTH_RATE;
        double f = 46.0 + 120.0 * std::exp(-t / 0.028);
        phase += TWO_PI * f / SYNTH_RATE;
        double body = std::sin(phase) * std::exp(-t / 0.22);
        double click = std::exp(-t / 0.002) * 0.3;
        in.wave[i] = (float)std::tanh(1.6 * (body + click));
    }
    // No click at the end: the last 10 ms fade out.
    std::size_t tail = (std::size_t)(0.01 * SYNTH_RATE);
    for (std::size_t i = 0; i < tail; i++)
        in.wave[in.wave.size() - 1 - i] *= (float)i / tail;
    return in;
}

static Instrument snare()
{
    Instrument in{"snare"};
    std::vector<float> noise = frames(0.32);
    Noise n{0x5EED1234u};
    for (float& s : noise)
        s = n.next();
    highPass(noise, 700);
    lowPass(noise, 7000);
    in.wave = frames(0.32);
    for (std::size_t i = 0; i < in.wave.size(); i++) {
        double t = i / SYNTH_RATE;
        double tone = std::sin(TWO_PI * 185.0 * t) * std::exp(-t / 0.05) +
                      0.5 * std::sin(TWO_PI * 330.0 * t) * std::exp(-t / 0.03);
        double attack = t < 0.001 ? t / 0.001 : 1.0;
        in.wave[i] = (float)(attack * (0.55 * tone + 1.3 * noise[i] * std::exp(-t / 0.085)));
    }
    return in;
}

// Hats and cymbal: high-passed noise with a touch of detuned square partials for metal.
static Instrument metal(const char* name, double seconds, double decay, std::uint32_t seed)
{
    Instrument in{name};
    in.wave = frames(seconds);
    Noise n{seed};
    static const double partial[] = {205.3, 304.4, 369.6, 522.7, 540.0, 800.0};
    for (std::size_t i = 0; i < in.wave.size(); i++) {
        double t = i / SYNTH_RATE, m = 0;
        for (double f : partial)
            m += std::sin(TWO_PI * f * 3.1 * t) > 0 ? 1.0 : -1.0;
        in.wave[i] = (float)(0.7 * n.next() + 0.08 * m);
    }
    highPass(in.wave, 6000);
    highPass(in.wave, 6000);
    for (std::size_t i = 0; i < in.wave.size(); i++) {
        double t = i / SYNTH_RATE;
        double attack = t < 0.0005 ? t / 0.0005 : 1.0;
        in.wave[i] *= (float)(attack * std::exp(-t / decay));
    }
    return in;
}

// Sum of harmonics k = 1.. of a waveform with period `period` frames, amplitude amp(k).
template <class Amplitude>
static double harmonics(double frame, int period, int count, Amplitude amp)
{
    double s = 0;
    for (int k = 1; k <= count; k++)
        s += amp(k) * std::sin(TWO_PI * k * frame / period);
    return s;
}

// Bass: a saw through a low-pass whose cutoff falls after the attack, then held: the last
// period repeats as a loop. Period 512 frames (C-2 at the synthesis rate), relative note 48.
static Instrument bassSynth()
{
    Instrument in{"bass"};
    const int period = 512, count = 120;
    const double f0 = SYNTH_RATE / period;
    auto cutoff = [](double t) { return 260.0 + 1500.0 * std::exp(-t / 0.07); };
    auto shape = [&](int k, double fc) {
        double f = k * f0;
        double saw = (k == 1 ? 1.6 : 1.0) / k;  // a stronger fundamental for weight
        return saw / std::sqrt(1.0 + std::pow(f / fc, 4.0));
    };
    const int held = 24 * period;  // about 0.37 s of attack before the loop
    in.wave.resize(held + period);
    for (int i = 0; i < held + period; i++) {
        double t = std::min(i, held) / SYNTH_RATE;
        double fc = cutoff(t);
        in.wave[i] = (float)harmonics(i, period, count, [&](int k) { return shape(k, fc); });
    }
    in.loopStart = held;
    in.loopLength = period;
    in.relativeNote = 48;
    in.envelope = {{0, 64}, {8, 52}};
    in.sustainPoint = 1;
    in.fadeout = 0xA00;
    return in;
}

// Pad: three band-limited saws, detuned by one cycle in 144 against each other, so the whole
// sample is one seamless loop of 144 periods with a slow beating.
static Instrument padSynth()
{
    Instrument in{"pad"};
    const int cycles = 144, period = 128, length = cycles * period, count = 28;
    in.wave.resize(length);
    Noise n{0xC0FFEE11u};
    double phase[3][count + 1];
    for (auto& osc : phase)
        for (double& p : osc)
            p = TWO_PI * (n.next() + 1.0) / 2.0;
    for (int i = 0; i < length; i++) {
        double s = 0;
        for (int o = 0; o < 3; o++) {
            int c = cycles - 1 + o;
            for (int k = 1; k <= count; k++) {
                double warm = 1.0 / (k * (1.0 + (k / 4.0) * (k / 4.0)));
                s += warm * std::sin(TWO_PI * k * c * (double)i / length + phase[o][k]);
            }
        }
        in.wave[i] = (float)s;
    }
    in.loopStart = 0;
    in.loopLength = length;
    in.envelope = {{0, 0}, {14, 64}};
    in.sustainPoint = 1;
    in.fadeout = 0x200;
    return in;
}

// Lead: a soft, mostly odd-harmonic tone with a gentle delayed vibrato.
static Instrument leadSynth()
{
    Instrument in{"lead"};
    const int period = 128;
    static const double amp[] = {0, 1.0, 0.22, 0.3, 0.06, 0.1, 0.03, 0.04, 0.0, 0.02};
    in.wave.resize(8 * period);
    for (int i = 0; i < 8 * period; i++)
        in.wave[i] = (float)harmonics(i, period, 9, [&](int k) { return amp[k]; });
    in.loopStart = 0;
    in.loopLength = 8 * period;
    in.envelope = {{0, 0}, {1, 64}, {14, 46}};
    in.sustainPoint = 2;
    in.fadeout = 0x500;
    in.vibratoSweep = 60;
    in.vibratoDepth = 3;
    in.vibratoRate = 10;
    return in;
}

// Bell: a two-operator FM electric piano, the modulation index and the tine fading fast, the
// body more slowly; not looped.
static Instrument bellSynth()
{
    Instrument in{"bell"};
    in.wave = frames(1.6);
    const double f = SYNTH_RATE / 128.0;
    for (std::size_t i = 0; i < in.wave.size(); i++) {
        double t = i / SYNTH_RATE;
        double index = 1.8 * std::exp(-t / 0.12) + 0.3;
        double body = std::sin(TWO_PI * f * t + index * std::sin(TWO_PI * f * t));
        double tine = 0.25 * std::sin(TWO_PI * 4.0 * f * t) * std::exp(-t / 0.04);
        double attack = t < 0.002 ? t / 0.002 : 1.0;
        double tail = std::min(1.0, (1.6 - t) / 0.05);
        in.wave[i] = (float)(attack * tail * (body * std::exp(-t / 0.55) + tine));
    }
    // A 1:1 modulator puts a sideband at 0 Hz; take the offset out.
    highPass(in.wave, 40);
    return in;
}

std::vector<Instrument> synthesiseInstruments()
{
    return {kick(),      snare(),    metal("hat", 0.12, 0.025, 0x1A7u), metal("cymbal", 1.2, 0.3, 0xC1Au),
            bassSynth(), padSynth(), leadSynth(),                       bellSynth()};
}
