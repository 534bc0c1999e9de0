// The simulated clock of a capture: which frames a run draws and when, and the scenes brought
// through the frames it does not draw.
//
// Frame n of a run at F frames per second is drawn at show time (int)(n * 1000 / F) ms. Some
// scenes carry state from frame to frame: before the first frame it draws, and between the
// frames it draws, a run brings them on frame by frame without drawing anything, as the player
// does for a jump, so every frame shows what a run from 0 ms would.
#ifndef QUENRASTILAN_CAPTURE_RUN_H
#define QUENRASTILAN_CAPTURE_RUN_H

#include "options.h"

#include <functional>

// The show time of frame n at `fps`.
int frameTime(long long n, int fps);
// The number of the first frame of a run at `fps` drawn at or after `ms`.
long long firstFrameFrom(int ms, int fps);

// The frames of a range: [first, first + count).
struct Frames {
    long long first = 0, count = 0;
};
// The frames of --from/--to: the first at or after --from, and how many up to --to (at least
// one: the options refuse a range without a frame).
Frames wholeRangeOf(const Options& o);
// The frames a run renders: those of --from/--to, or of its --piece.
Frames framesOf(const Options& o);
// Piece k (from 1) of n of the frames f: n contiguous ranges, as even as whole frames allow.
Frames pieceOf(const Frames& f, int k, int n);

// The frame-by-frame run of one process: where the show stands (the time of the last frame
// drawn, -1 before the first), and the frames drawn from there.
class Run {
public:
    // `bringing`, when given, is called at every second of show time the scenes are brought
    // through, with the number of frames that second held: what a progress line counts.
    explicit Run(int fps, std::function<void(long long frames)> bringing = nullptr)
        : fps_(fps), bringing_(std::move(bringing))
    {
    }

    // Draws the frame at show time t (a later time than the last frame drawn), after bringing
    // the scenes that carry state through the run's frames in between. Fails with "stopped"
    // when Ctrl-C comes on the way.
    void draw(int t);

private:
    void bringTo(int t);

    int fps_, shown_ = -1;
    std::function<void(long long)> bringing_;
};

#endif
