// Writing the song and its instruments as an XM module (FastTracker II's format, version 1.04).
#ifndef QUENRASTILAN_TOOLS_COMPOSE_XM_WRITER_H
#define QUENRASTILAN_TOOLS_COMPOSE_XM_WRITER_H

#include "instruments.h"
#include "song.h"

#include <cstdint>
#include <vector>

// The module's bytes: one pattern per section, played once each in the scene table's order;
// the order list then runs out, so the song ends rather than loops.
std::vector<std::uint8_t> writeXM(const std::vector<Row>& song, const std::vector<Instrument>& instruments);

#endif
