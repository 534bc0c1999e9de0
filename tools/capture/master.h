// What is made from masters without drawing: the pieces of one capture, made anywhere, joined
// into its master, and videos encoded from a master.
#ifndef QUENRASTILAN_CAPTURE_MASTER_H
#define QUENRASTILAN_CAPTURE_MASTER_H

#include "options.h"

#include <string>

// The file of piece k of n of the master at path: show.mkv's piece 3 of 16 is
// show.piece-03-of-16.mkv, beside it.
std::string pieceName(const std::string& master, int k, int n);

// --join: checks that the pieces are all those of one capture, each once, refusing them in one
// line otherwise (status 2, nothing written), and copies them into the master o.join.
void joinPieces(const Options& o);

// --video with --from-master: the video of the master's range, rate and sound, at --size or the
// master's own size, encoded by ffmpeg from the master.
void videoFromMaster(Options o);

#endif
