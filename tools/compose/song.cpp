// The song: the grid of pattern cells, the harmony and melodies, and the arrangement that
// writes one section per scene.
#include "song.h"

#include "instruments.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

// ---------------------------------------------------------------------------------------
// Song grid

static const int ROW_MS = 125;  // 2.5 * SPEED / BPM seconds
static const int BAR = 16;      // rows

// Channel roles.
enum { KICK, SNARE, HAT, CYM, BASS, PAD1, PAD2, PAD3, ARP, ARP_ECHO, LEAD, LEAD_ECHO };

// The song ends a little after the last scene.
static const int SONG_MS = 247000;
static const int SONG_ROWS = SONG_MS / ROW_MS;

static const int KEY_OFF = 97;

static std::vector<Row> song(SONG_ROWS);

static Cell* at(int row, int ch)
{
    return row >= 0 && row < SONG_ROWS ? &song[row][ch] : nullptr;
}

// The arrangement's volumes are written for a mix this much quieter than the module plays:
// one factor sets the overall level (peak and RMS) without touching the balance.
static const double MIX = 1.15;

// A note with its instrument and a volume 0..64 before MIX (rounded and clamped).
static void note(int row, int ch, int n, int instrument, double volume, int effect = 0, int param = 0)
{
    Cell* c = at(row, ch);
    if (!c || n < 1 || n > 96)
        return;
    int v = (int)std::lround(volume * MIX);
    v = v < 0 ? 0 : v > 64 ? 64 : v;
    *c = Cell{(std::uint8_t)n, (std::uint8_t)instrument, (std::uint8_t)(0x10 + v), (std::uint8_t)effect,
              (std::uint8_t)param};
}

static void keyOff(int row, int ch)
{
    if (Cell* c = at(row, ch))
        *c = Cell{KEY_OFF, 0, 0, 0, 0};
}

// Sets the channel volume on each row of [from, to), sliding linearly from v0 to v1.
static void volumeRamp(int ch, int from, int to, double v0, double v1)
{
    for (int r = from; r < to; r++) {
        Cell* c = at(r, ch);
        if (!c || c->note == KEY_OFF)
            continue;
        double v = (v0 + (v1 - v0) * (r - from) / (double)(to - from)) * MIX;
        c->volume = (std::uint8_t)(0x10 + std::lround(v < 0 ? 0 : v > 64 ? 64 : v));
    }
}

// "A1", "C#4", "Bb3" to an XM note number (C-4 = 49).
static int pitch(const std::string& name)
{
    static const int degree[] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    int n = degree[name[0] - 'A'];
    std::size_t i = 1;
    if (name[i] == '#')
        n++, i++;
    else if (name[i] == 'b')
        n--, i++;
    return 12 * (name[i] - '0') + n + 1;
}

// ---------------------------------------------------------------------------------------
// Harmony

struct Chord {
    int bass;     // root in the bass register
    int tone[3];  // pad voicing, low to high
};

static Chord chord(const char* bass, const char* a, const char* b, const char* c)
{
    return Chord{pitch(bass), {pitch(a), pitch(b), pitch(c)}};
}

using Progression = std::vector<Chord>;

// A minor throughout, with excursions to its relative major.
static const Progression CALM = {chord("A1", "C4", "E4", "B4"), chord("F1", "C4", "E4", "A4"),
                                 chord("C2", "C4", "E4", "G4"), chord("G1", "B3", "D4", "G4")};
static const Progression RISE = {chord("F1", "C4", "E4", "A4"), chord("G1", "B3", "D4", "G4"),
                                 chord("E1", "B3", "E4", "G4"), chord("A1", "C4", "E4", "A4")};
static const Progression BRIGHT = {chord("C2", "C4", "E4", "G4"), chord("B1", "B3", "D4", "G4"),
                                   chord("A1", "C4", "E4", "G4"), chord("F1", "C4", "F4", "A4")};
static const Progression TENSION = {chord("D2", "C4", "F4", "A4"), chord("E2", "B3", "E4", "G4"),
                                    chord("F2", "C4", "E4", "A4"), chord("E2", "B3", "E4", "G#4")};

// A stretch of the song: rows [start, start + rows), a progression with barsPerChord bars per
// chord, counted from the section's own first row.
struct Part {
    int start, rows;
    const Progression* prog;
    int barsPerChord = 1;

    const Chord& chordAt(int row) const
    {
        int bar = (row - start) / BAR;
        return (*prog)[(bar / barsPerChord) % prog->size()];
    }
    int end() const { return start + rows; }
};

// ---------------------------------------------------------------------------------------
// Writers for the parts of the arrangement

// Drum lanes as one bar of 16 characters: 'X' loud, 'x' medium, 'o' soft, anything else rest.
static double hitLevel(char c)
{
    return c == 'X' ? 1.0 : c == 'x' ? 0.72 : c == 'o' ? 0.45 : 0.0;
}

static void drumLane(const Part& p, int ch, int instrument, const char* bar, double volume, int from = 0,
                     int to = 1 << 30)
{
    for (int r = p.start; r < p.end(); r++) {
        int i = r - p.start;
        if (i < from || i >= to)
            continue;
        double level = hitLevel(bar[i % BAR]);
        if (level > 0)
            note(r, ch, pitch("C4"), instrument, volume * level);
    }
}

// A snare roll over the last `rows` rows of a part, growing from soft to loud.
static void snareRoll(const Part& p, int rows, double volume)
{
    for (int i = 0; i < rows; i++) {
        int r = p.end() - rows + i;
        bool sixteenth = i >= rows / 2;
        if (sixteenth || i % 2 == 0)
            note(r, SNARE, pitch("C4"), I_SNARE, volume * (0.35 + 0.65 * i / rows));
    }
}

static void crash(int row, double volume)
{
    note(row, CYM, pitch("A3"), I_CYM, volume);
}

// The pad: the three voices are struck at the part's start and glide (tone portamento, no
// retrigger) to each next chord.
static void pad(const Part& p, double volume)
{
    static const int pan[3] = {0x50, 0x80, 0xB0};
    for (int v = 0; v < 3; v++) {
        note(p.start, PAD1 + v, p.chordAt(p.start).tone[v], I_PAD, volume, 0x8, pan[v]);
        for (int r = p.start + BAR; r < p.end(); r += BAR) {
            int t = p.chordAt(r).tone[v];
            if (Cell* c = at(r, PAD1 + v))
                *c = Cell{(std::uint8_t)t, 0, 0, 0x3, 0x20};
        }
    }
}

enum BassStyle { SUB, PULSE, OCTAVES, GROOVE, LONG };

static void bass(const Part& p, BassStyle style, double volume)
{
    for (int r = p.start; r < p.end(); r++) {
        int i = (r - p.start) % BAR;
        int root = p.chordAt(r).bass;
        switch (style) {
        case SUB:  // one held note a bar
            if (i == 0)
                note(r, BASS, root, I_BASS, volume);
            break;
        case LONG:  // a bar's note, struck again on the third beat
            if (i == 0 || i == 8)
                note(r, BASS, root, I_BASS, volume * (i == 0 ? 1.0 : 0.8));
            break;
        case PULSE:  // eighths, short, the off-beats lighter
            if (i % 2 == 0)
                note(r, BASS, root, I_BASS, volume * (i % 4 == 0 ? 1.0 : 0.75));
            else
                keyOff(r, BASS);
            break;
        case OCTAVES:  // eighths alternating root and its octave
            if (i % 2 == 0)
                note(r, BASS, root + (i % 4 == 2 ? 12 : 0), I_BASS, volume * (i % 4 == 0 ? 1.0 : 0.8));
            else
                keyOff(r, BASS);
            break;
        case GROOVE: {  // syncopated, with the fifth
            static const int step[BAR] = {0, -1, 99, 0, -1, 99, 12, 99, 0, -1, 7, 99, 0, 99, 12, 99};
            if (step[i] == -1)
                keyOff(r, BASS);
            else if (step[i] != 99)
                note(r, BASS, root + step[i], I_BASS, volume * (i == 0 ? 1.0 : 0.8));
            break;
        }
        }
    }
}

// An arpeggio through the chord (tones 0-2, 3 = the lowest an octave up), one note every
// `every` rows, octave shift `shift`, with a quieter echo three rows later on the other side.
static void arp(const Part& p, const char* order, int every, int shift, double volume, int from = 0)
{
    int len = (int)std::strlen(order);
    for (int r = p.start + from; r < p.end(); r += every) {
        int step = (r - p.start) / every;
        const Chord& c = p.chordAt(r);
        int k = order[step % len] - '0';
        int n = (k < 3 ? c.tone[k] : c.tone[0] + 12) + shift;
        double accent = step % 4 == 0 ? 1.0 : 0.8;
        note(r, ARP, n, I_BELL, volume * accent, 0x8, 0xB0);
        note(r + 3, ARP_ECHO, n, I_BELL, volume * accent * 0.45, 0x8, 0x40);
    }
}

// A melody written as space-separated steps of `every` rows: a pitch starts a note, "-" holds
// it, "." releases it; "|" is ignored (bar lines for the reader). The echo channel repeats it
// three rows later, quieter and to the left.
static void melody(int start, int end, const char* line, int every, int instrument, int shift, double volume,
                   bool echo = true)
{
    int r = start;
    const char* s = line;
    while (*s && r < end) {
        while (*s == ' ' || *s == '|')
            s++;
        if (!*s)
            break;
        std::string token;
        while (*s && *s != ' ')
            token += *s++;
        if (token == ".") {
            keyOff(r, LEAD);
            if (echo && r + 3 < end)
                keyOff(r + 3, LEAD_ECHO);
        } else if (token != "-") {
            int n = pitch(token) + shift;
            note(r, LEAD, n, instrument, volume, 0x8, 0xA0);
            if (echo && r + 3 < end)
                note(r + 3, LEAD_ECHO, n, instrument, volume * 0.4, 0x8, 0x50);
        }
        r += every;
    }
}

// ---------------------------------------------------------------------------------------
// The melodies (eighth-note steps, four bars each)

// Over CALM (Am F C G): the main theme and its answer.
static const char* const THEME = "E5 - - - A4 - B4 C5 | - - - - A4 - F4 A4 | G4 - - - - - E4 G4 | D5 - - - B4 - - .";
static const char* const THEME_ANSWER =
    "E5 - - - A5 - G5 - | E5 - - - C5 - A4 - | G4 - - - C5 - E5 - | D5 - - - - - . .";
// Over RISE (F G Em Am).
static const char* const CLIMB = "A5 - - - G5 - E5 - | D5 - - - B4 - D5 - | E5 - - - G5 - B5 - | A5 - - - - - . .";
static const char* const CLIMB_ANSWER =
    "C6 - - - B5 - A5 - | B5 - - - G5 - D5 - | E5 - - - B4 - E5 - | A4 - - - - - . .";
// Over BRIGHT (C G/B Am7 F).
static const char* const GREETING =
    "G5 - E5 - C5 - E5 - | D5 - - - G4 - B4 - | C5 - E5 - A5 - G5 - | F5 - - - C5 - A4 - ";
static const char* const GREETING_ANSWER =
    "E5 - G5 - C6 - - - | B5 - - - G5 - D5 - | E5 - - - C5 - A4 - | C5 - - - - - . .";
// Over TENSION (Dm7 Em7 Fmaj7 E).
static const char* const QUESTION =
    "A4 - - - D5 - F5 - | E5 - - - B4 - G4 - | A4 - C5 - E5 - A5 - | G#5 - - - E5 - B4 - ";
// Over the closing cadence (Dm9 Dm9 Fmaj7 Fmaj7 Esus4 E), in quarter notes.
static const char* const FAREWELL = "F5 - E5 - | D5 - - - | E5 - C5 - | A4 - - - | B4 - A4 - | G#4 - B4 - ";

// ---------------------------------------------------------------------------------------
// The arrangement: one function per scene's section

static int rowOf(int ms)
{
    return ms / ROW_MS;
}

int sectionStart(int i)
{
    return i < SECTIONS ? rowOf(SCENES[i].range[0]) : SONG_ROWS;
}

// The scene table's row of that name; a name not in the table stops the build.
static const Scene& sceneNamed(const char* name)
{
    const Scene* scene = scene_named(name);
    if (!scene) {
        std::fprintf(stderr, "quenrastilan-compose: no scene named \"%s\"\n", name);
        std::exit(1);
    }
    return *scene;
}

// The named scene's section, which runs until the next scene starts. A held lead note of the
// section before ends here unless this one plays its own, so call this before writing any note.
static Part section(const char* scene, const Progression& prog, int barsPerChord = 1)
{
    int i = (int)(&sceneNamed(scene) - SCENES);
    keyOff(sectionStart(i), LEAD);
    keyOff(sectionStart(i), LEAD_ECHO);
    return Part{sectionStart(i), sectionStart(i + 1) - sectionStart(i), &prog, barsPerChord};
}

static const char* const FOUR = "X---X---X---X---";
static const char* const BACKBEAT = "----X-------X---";
static const char* const OFFBEAT_HATS = "--x---x---x---x-";
static const char* const SIXTEENTH_HATS = "o-x-o-x-o-x-o-xo";
static const char* const BUSY_HATS = "xoXoxoXoxoXoxoXo";

// Credits: a slow pad, a sparse bell, a sub bass later; no drums until a soft tick at the end.
static void credits()
{
    Part p = section("alku", CALM, 2);
    pad(p, 34);
    arp(p, "0120", 4, 12, 26, 2 * BAR);
    // The sub bass joins after four bars and leaves for the last half bar, so the beat of
    // the next section arrives with it.
    Part late{p.start + 4 * BAR, p.rows - 4 * BAR - BAR / 2, &CALM, 2};
    bass(late, SUB, 30);
    keyOff(late.end(), BASS);
    drumLane(p, HAT, I_HAT, "----------o-----", 30, 8 * BAR);
}

// Platonic solids: the pulse begins: kick, off-beat hats, eighth bass, a bell arpeggio;
// the last half bar is a break before the build.
static void solids()
{
    Part p = section("platon", CALM);
    Part groove{p.start, p.rows - BAR / 2, &CALM, 1};
    pad(p, 34);
    drumLane(groove, KICK, I_KICK, FOUR, 46);
    drumLane(groove, HAT, I_HAT, OFFBEAT_HATS, 30);
    bass(groove, PULSE, 38);
    keyOff(groove.end(), BASS);
    arp(p, "01230123", 2, 12, 26);
}

// Potential field: the build: backbeat, sixteenth hats and arpeggio, the theme enters.
static void potentialField()
{
    Part p = section("pot2d", CALM);
    pad(p, 36);
    drumLane(p, KICK, I_KICK, FOUR, 48);
    drumLane(p, SNARE, I_SNARE, BACKBEAT, 36, 0, p.rows - BAR);
    drumLane(p, HAT, I_HAT, SIXTEENTH_HATS, 30);
    bass(p, GROOVE, 42);
    arp(p, "0123210321", 1, 12, 22);
    melody(p.start + 4 * BAR, p.end(), THEME, 2, I_LEAD, 0, 34);
    melody(p.start + 8 * BAR, p.end(), THEME_ANSWER, 2, I_LEAD, 0, 36);
    snareRoll(p, BAR, 40);
}

// Newton fractal: the climax begins: the rising progression, the climbing tune.
static void newton()
{
    Part p = section("newton", RISE);
    crash(p.start, 40);
    pad(p, 38);
    drumLane(p, KICK, I_KICK, FOUR, 54);
    drumLane(p, SNARE, I_SNARE, BACKBEAT, 42, 0, p.rows - BAR / 2);
    drumLane(p, HAT, I_HAT, SIXTEENTH_HATS, 32);
    drumLane(p, CYM, I_CYM, "--o---o---o---o-", 24, BAR);
    bass(p, OCTAVES, 44);
    arp(p, "01232103", 1, 12, 22);
    melody(p.start, p.end(), CLIMB, 2, I_LEAD, 0, 38);
    melody(p.start + 4 * BAR, p.end(), CLIMB_ANSWER, 2, I_LEAD, 0, 38);
    melody(p.start + 8 * BAR, p.end(), CLIMB, 2, I_LEAD, -12, 40);
    snareRoll(p, BAR / 2, 42);
}

// Lorenz attractor: the theme an octave up over the groove bass, busier hats.
static void lorenz()
{
    Part p = section("lorentz", CALM);
    crash(p.start, 44);
    pad(p, 36);
    drumLane(p, KICK, I_KICK, FOUR, 54);
    drumLane(p, SNARE, I_SNARE, "----X-------X--o", 42);
    drumLane(p, HAT, I_HAT, BUSY_HATS, 30);
    bass(p, GROOVE, 46);
    arp(p, "3210", 1, 0, 20);
    melody(p.start, p.end(), THEME, 2, I_LEAD, 12, 34);
}

// Rossler attractor: the peak: the climbing tune in full, cymbals on every off-beat.
static void rossler()
{
    Part p = section("rossler", RISE);
    crash(p.start, 48);
    pad(p, 40);
    drumLane(p, KICK, I_KICK, FOUR, 56);
    drumLane(p, SNARE, I_SNARE, BACKBEAT, 44);
    drumLane(p, HAT, I_HAT, BUSY_HATS, 30);
    drumLane(p, CYM, I_CYM, "--x---x---x---x-", 26, BAR);
    bass(p, OCTAVES, 46);
    arp(p, "01230123", 1, 24, 18);
    melody(p.start, p.end(), CLIMB_ANSWER, 2, I_LEAD, 0, 40);
    melody(p.start + 4 * BAR, p.end(), CLIMB, 2, I_LEAD, 0, 40);
}

// Aggregation: half time: the kick thins out, the bell takes the theme over long bass notes.
static void aggregate()
{
    Part p = section("dla", CALM);
    pad(p, 38);
    drumLane(p, KICK, I_KICK, "X---------X-----", 56);
    drumLane(p, SNARE, I_SNARE, "--------X-------", 44);
    drumLane(p, HAT, I_HAT, SIXTEENTH_HATS, 28);
    bass(p, LONG, 46);
    melody(p.start, p.end(), THEME_ANSWER, 2, I_BELL, 12, 36);
    arp(p, "012", 2, 0, 18);
}

// Cells and greetings: the bright progression with the greeting tune, full groove.
static void cells()
{
    Part p = section("cell", BRIGHT);
    crash(p.start, 44);
    pad(p, 38);
    drumLane(p, KICK, I_KICK, FOUR, 54);
    drumLane(p, SNARE, I_SNARE, BACKBEAT, 42);
    drumLane(p, HAT, I_HAT, OFFBEAT_HATS, 34);
    drumLane(p, CYM, I_CYM, "--o---o---o---o-", 20);
    bass(p, PULSE, 44);
    arp(p, "0123", 1, 12, 20);
    melody(p.start, p.end(), GREETING, 2, I_LEAD, 0, 38);
    melody(p.start + 4 * BAR, p.end(), GREETING_ANSWER, 2, I_LEAD, 0, 38);
}

// Curves: a breakdown: no drums, the theme on the bell over the pad and a sub bass.
static void curves()
{
    Part p = section("curves", CALM);
    pad(p, 40);
    bass(p, SUB, 40);
    arp(p, "0121", 2, 12, 22);
    melody(p.start, p.end(), THEME, 2, I_BELL, 12, 32);
    drumLane(p, HAT, I_HAT, "------------o-o-", 26, 4 * BAR);
}

// Converging flow: the rebuild: a rising bass, the questioning tune, then a snare roll into
// the trees, the bass gone for its two bars and the kick for its last.
static void converge()
{
    Part p = section("converge", TENSION);
    pad(p, 38);
    drumLane(p, KICK, I_KICK, FOUR, 48, 0, p.rows - 2 * BAR);
    drumLane(p, HAT, I_HAT, SIXTEENTH_HATS, 30);
    // The bass drops out under the roll and comes back with the trees.
    Part rising{p.start, p.rows - 2 * BAR, &TENSION, 1};
    bass(rising, PULSE, 42);
    keyOff(rising.end(), BASS);
    arp(p, "0123", 2, 12, 22);
    melody(p.start, p.end(), QUESTION, 2, I_LEAD, 0, 36);
    for (int i = 0; i < BAR; i++) {
        int r = p.end() - 2 * BAR + i;
        if (i % 4 == 0)
            note(r, KICK, pitch("C4"), I_KICK, 50);
    }
    snareRoll(p, 2 * BAR, 44);
}

// Fibonacci trees: the second climax: the theme and its answer in full, then the climb.
static void trees()
{
    Part p = section("fibotree", CALM);
    Part tail{p.start + 8 * BAR, p.rows - 8 * BAR, &RISE, 1};
    Part head{p.start, 8 * BAR, &CALM, 1};
    crash(p.start, 48);
    for (const Part* q : {&head, &tail}) {
        pad(*q, 40);
        bass(*q, q == &head ? GROOVE : OCTAVES, 46);
    }
    crash(tail.start, 44);
    drumLane(p, KICK, I_KICK, FOUR, 56);
    drumLane(p, SNARE, I_SNARE, BACKBEAT, 44, 0, p.rows - BAR / 2 - BAR / 4);
    drumLane(p, HAT, I_HAT, BUSY_HATS, 30);
    drumLane(p, CYM, I_CYM, "--o---o---o---o-", 22);
    arp(p, "01232103", 1, 12, 20);
    melody(head.start, head.end(), THEME, 2, I_LEAD, 0, 38);
    melody(head.start + 4 * BAR, head.end(), THEME_ANSWER, 2, I_LEAD, 0, 40);
    melody(tail.start, tail.end(), CLIMB, 2, I_LEAD, 0, 40);
    snareRoll(p, 12, 44);
}

// Iterated maps: winding down: the bright chords, the bell answers; after two bars without it
// a lighter beat without the snare, which carries on to the end, where the drums stop.
static void iteratedMaps()
{
    Part p = section("iterator", BRIGHT);
    pad(p, 38);
    drumLane(p, KICK, I_KICK, FOUR, 42, 2 * BAR);
    drumLane(p, HAT, I_HAT, OFFBEAT_HATS, 30, 0, 6 * BAR);
    drumLane(p, HAT, I_HAT, SIXTEENTH_HATS, 34, 6 * BAR);
    bass(p, LONG, 40);
    arp(p, "01232103", 1, 12, 22);
    melody(p.start + 2 * BAR, p.end(), GREETING_ANSWER, 2, I_BELL, 12, 30);
    melody(p.start + 8 * BAR, p.end(), GREETING, 2, I_BELL, 0, 28);
}

// Vector field: the way home, without drums: Dm9, Fmaj7, Esus4, E, then A minor held and
// faded out by the end of the scene; the song's last rows are silence.
static void vectorField()
{
    static const Chord dm9 = chord("D2", "C4", "E4", "F4"), fmaj7 = chord("F1", "C4", "E4", "A4"),
                       esus4 = chord("E2", "B3", "E4", "A4"), e = chord("E2", "B3", "E4", "G#4"),
                       am = chord("A1", "C4", "E4", "B4");
    static const Progression home = {dm9, dm9, fmaj7, fmaj7, esus4, e, am, am, am, am};
    static const Progression tonic = {am};
    Part p = section("field", home);
    int endRow = rowOf(sceneNamed("field").range[1]);
    int amRow = p.start + 6 * BAR;
    Part way{p.start, amRow - p.start, &home, 1};
    Part rest{amRow, endRow - amRow, &tonic, 1};

    crash(p.start, 30);
    pad(Part{p.start, endRow - p.start, &home, 1}, 38);
    // Two bars of pad and bell alone, then the bass walks home.
    bass(way, SUB, 40);
    for (int r = p.start; r < p.start + 2 * BAR; r++)
        if (Cell* c = at(r, BASS))
            *c = Cell{};
    note(amRow, BASS, am.bass, I_BASS, 42);
    keyOff(p.start, BASS);
    arp(way, "0123", 4, 12, 22);
    arp(Part{amRow, 2 * BAR, &tonic, 1}, "3210", 4, 12, 22);
    melody(p.start, amRow, FAREWELL, 4, I_BELL, 0, 34, false);
    note(amRow, LEAD, pitch("A4"), I_BELL, 34, 0x8, 0xA0);

    // Fade the held A minor to silence by the end of the scene, then release everything.
    for (int ch : {PAD1, PAD2, PAD3})
        volumeRamp(ch, rest.start + BAR, endRow, 38, 0);
    volumeRamp(BASS, rest.start + BAR, endRow, 42, 0);
    for (int ch = 0; ch < CHANNELS; ch++)
        keyOff(endRow, ch);
}

// ---------------------------------------------------------------------------------------
// The whole song

const std::vector<Row>& composeSong()
{
    // In the order they play, so that where an echo runs past the end of its section, the next
    // section's own notes win.
    for (void (*write)() : {credits, solids, potentialField, newton, lorenz, rossler, aggregate, cells, curves,
                            converge, trees, iteratedMaps, vectorField})
        write();
    return song;
}
