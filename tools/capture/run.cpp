// The capture's frame clock and its catch-up between frames.
#include "run.h"

#include "ending.h"
#include "frame/show.h"

#include <algorithm>

int frameTime(long long n, int fps)
{
    return (int)(n * 1000 / fps);
}

long long firstFrameFrom(int ms, int fps)
{
    long long n = (long long)ms * fps / 1000;
    while (frameTime(n, fps) < ms)
        n++;
    return n;
}

Frames wholeRangeOf(const Options& o)
{
    Frames f;
    f.first = firstFrameFrom(o.from, o.fps);
    while (frameTime(f.first + f.count, o.fps) <= o.to)
        f.count++;
    return f;
}

Frames pieceOf(const Frames& f, int k, int n)
{
    long long start = f.first + f.count * (k - 1) / n, end = f.first + f.count * k / n;
    return {start, end - start};
}

Frames framesOf(const Options& o)
{
    Frames f = wholeRangeOf(o);
    return o.pieces ? pieceOf(f, o.piece, o.pieces) : f;
}

void Run::draw(int t)
{
    bringTo(t);
    stopIfAsked();
    show_frame(t);
    shown_ = t;
}

// Looks for Ctrl-C before every frame it brings the scenes through. A second of show at a time:
// the frames from `at` to just before `next`, then from `next` on (from next - 1, which is
// taken for drawn, exclusive), so every frame is brought through once.
void Run::bringTo(int t)
{
    // Back: the scenes start again.
    if (t < shown_ && !show_bring_to(shown_, t, fps_, &stopped))
        stopIfAsked();
    for (int at = shown_; at < t;) {
        int next = std::min(t, std::max(at, 0) + 1000);
        if (!show_bring_to(at, next, fps_, &stopped))
            stopIfAsked();
        if (bringing_)
            bringing_(firstFrameFrom(next, fps_) - firstFrameFrom(at + 1, fps_));
        at = next - 1;
        if (next == t)
            break;
    }
}
