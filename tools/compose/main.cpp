// quenrastilan-compose OUT.xm: the build step that composes the show's soundtrack and writes
// it as an XM module.
//
// Everything is computed, nothing is read, and no clock or random device is consulted: every
// run writes the same bytes.
#include "instruments.h"
#include "song.h"
#include "xm_writer.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: quenrastilan-compose OUT.xm\n");
        return 2;
    }
    std::vector<std::uint8_t> xm = writeXM(composeSong(), synthesiseInstruments());

    FILE* f = std::fopen(argv[1], "wb");
    if (!f) {
        std::perror(argv[1]);
        return 1;
    }
    bool ok = std::fwrite(xm.data(), 1, xm.size(), f) == xm.size();
    ok = std::fclose(f) == 0 && ok;
    if (!ok) {
        std::perror(argv[1]);
        std::remove(argv[1]);
        return 1;
    }
    return 0;
}
