// The song: the soundtrack's arrangement as a grid of XM pattern cells, one section per scene.
#ifndef QUENRASTILAN_TOOLS_COMPOSE_SONG_H
#define QUENRASTILAN_TOOLS_COMPOSE_SONG_H

#include "scenes/scene_table.h"

#include <array>
#include <cstdint>
#include <vector>

// The song runs at 120 BPM, speed 6: a row is 125 ms, a beat 4 rows, a bar 16 rows. It has one
// section (and one pattern) per scene, each starting on the row of its scene's start time,
// and a short silent tail after the last scene so the final chord can die away.
const int SPEED = 6, BPM = 120;
const int CHANNELS = 12;
const int SECTIONS = SCENE_COUNT;

// One cell as a pattern stores it; a field left 0 is empty.
struct Cell {
    std::uint8_t note = 0, instrument = 0, volume = 0, effect = 0, param = 0;
};

using Row = std::array<Cell, CHANNELS>;

// Writes every section and returns the whole song, row by row.
const std::vector<Row>& composeSong();

// The first row of the section of the scene at index i of the scene table; i == SECTIONS gives
// the row after the song's last.
int sectionStart(int i);

#endif
