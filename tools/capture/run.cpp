// The capture's frame clock and its catch-up between frames.
#include "run.h"

#include "undo.h"
#include "frame/show.h"

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

Frames framesOf(const Options& o)
{
    Frames f;
    f.first = firstFrameFrom(o.from, o.fps);
    while (frameTime(f.first + f.count, o.fps) <= o.to)
        f.count++;
    return f;
}

void Run::draw(int t)
{
    bringTo(t);
    stopIfAsked();
    show_frame(t);
    shown_ = t;
}

// Looks for Ctrl-C before every frame it brings the scenes through.
void Run::bringTo(int t)
{
    if (!show_bring_to(shown_, t, fps_, &stopped))
        stopIfAsked();
}
