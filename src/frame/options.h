// The player's command line: its options read and checked before anything opens, the usage
// text, and the one-line messages and exit statuses of a wrong option.
#ifndef QUENRASTILAN_FRAME_OPTIONS_H
#define QUENRASTILAN_FRAME_OPTIONS_H

#include "frame/window.h"

struct Options {
    WindowMode mode;
    // Show time to start at, 0 to SHOW_END_MS.
    int startMs = 0;
};

// Reads argv. --help and --list-scenes print their text on stdout and exit 0; a wrong option
// is one line on stderr naming it, and exit status 2.
Options parse_options(int argc, char** argv);

#endif
