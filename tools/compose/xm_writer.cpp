// Writing the song and its instruments as an XM module.
#include "xm_writer.h"

#include <algorithm>
#include <cmath>
#include <string>

struct Bytes {
    std::vector<std::uint8_t> b;
    void u8(int v) { b.push_back((std::uint8_t)v); }
    void u16(int v) { u8(v & 0xFF), u8(v >> 8 & 0xFF); }
    void u32(std::uint32_t v) { u16(v & 0xFFFF), u16(v >> 16); }
    void text(const std::string& s, std::size_t size)
    {
        for (std::size_t i = 0; i < size; i++)
            u8(i < s.size() ? s[i] : 0);
    }
};

static void writePattern(Bytes& out, const std::vector<Row>& song, int start, int rows)
{
    Bytes data;
    for (int r = start; r < start + rows; r++)
        for (const Cell& c : song[r]) {
            int mask = 0x80 | (c.note ? 1 : 0) | (c.instrument ? 2 : 0) | (c.volume ? 4 : 0) | (c.effect ? 8 : 0) |
                       (c.param ? 16 : 0);
            data.u8(mask);
            for (int v : {c.note, c.instrument, c.volume, c.effect, c.param})
                if (v)
                    data.u8(v);
        }
    out.u32(9);
    out.u8(0);
    out.u16(rows);
    out.u16((int)data.b.size());
    out.b.insert(out.b.end(), data.b.begin(), data.b.end());
}

static void writeInstrument(Bytes& out, const Instrument& in)
{
    out.u32(263);
    out.text(in.name, 22);
    out.u8(0);
    out.u16(1);  // one sample
    out.u32(40);
    for (int i = 0; i < 96; i++)
        out.u8(0);
    for (int i = 0; i < 12; i++) {
        bool used = i < (int)in.envelope.size();
        out.u16(used ? in.envelope[i][0] : 0);
        out.u16(used ? in.envelope[i][1] : 0);
    }
    for (int i = 0; i < 48; i++)
        out.u8(0);  // no panning envelope
    out.u8((int)in.envelope.size());
    out.u8(0);
    out.u8(in.sustainPoint < 0 ? 0 : in.sustainPoint);
    out.u8(0), out.u8(0);        // volume loop points
    out.u8(0), out.u8(0), out.u8(0);  // panning sustain and loop
    out.u8(in.envelope.empty() ? 0 : 1 | (in.sustainPoint >= 0 ? 2 : 0));
    out.u8(0);
    out.u8(0), out.u8(in.vibratoSweep), out.u8(in.vibratoDepth), out.u8(in.vibratoRate);
    out.u16(in.fadeout);
    for (int i = 0; i < 22; i++)
        out.u8(0);

    // The sample: normalised to 97 % of full scale, stored as 16-bit deltas.
    float peak = 0;
    for (float s : in.wave)
        peak = std::max(peak, std::fabs(s));
    std::vector<std::int16_t> pcm(in.wave.size());
    for (std::size_t i = 0; i < pcm.size(); i++)
        pcm[i] = (std::int16_t)std::lround(in.wave[i] / peak * 0.97 * 32767.0);
    out.u32((std::uint32_t)pcm.size() * 2);
    out.u32((std::uint32_t)in.loopStart * 2);
    out.u32((std::uint32_t)in.loopLength * 2);
    out.u8(64);
    out.u8(0);
    out.u8((in.loopLength > 0 ? 1 : 0) | 0x10);
    out.u8(in.panning);
    out.u8(in.relativeNote);
    out.u8(0);
    out.text(in.name, 22);
    std::int16_t previous = 0;
    for (std::int16_t s : pcm) {
        out.u16((std::uint16_t)(s - previous));
        previous = s;
    }
}

std::vector<std::uint8_t> writeXM(const std::vector<Row>& song, const std::vector<Instrument>& instruments)
{
    Bytes out;
    out.text("Extended Module: ", 17);
    out.text("Quenrastilan", 20);
    out.u8(0x1A);
    out.text("quenrastilan-compose", 20);
    out.u16(0x0104);
    out.u32(276);
    out.u16(SECTIONS);  // song length: one order per section
    out.u16(0);         // restart position (never reached: the song ends)
    out.u16(CHANNELS);
    out.u16(SECTIONS);
    out.u16((int)instruments.size());
    out.u16(1);  // linear frequency table
    out.u16(SPEED);
    out.u16(BPM);
    for (int i = 0; i < 256; i++)
        out.u8(i < SECTIONS ? i : 0);
    for (int s = 0; s < SECTIONS; s++)
        writePattern(out, song, sectionStart(s), sectionStart(s + 1) - sectionStart(s));
    for (const Instrument& in : instruments)
        writeInstrument(out, in);
    return out.b;
}
