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
    if (f.count == 0)
        fail("no frame falls in the range at this frame rate");
    return f;
}

void Run::draw(int t)
{
    bringTo(t);
    stopIfAsked();
    show_frame(t);
    shown_ = t;
}

// show_bring_to in steps of about a second of show, looking for Ctrl-C between them: a step
// brings the scenes through the frames after `from` and before a frame b, the next step from
// b - 1, so that frame b is brought on in the next step and no frame twice.
void Run::bringTo(int t)
{
    int from = shown_;
    for (;;) {
        stopIfAsked();
        int b = frameTime(firstFrameFrom(from + 1000, fps_), fps_);
        if (b >= t)
            break;
        show_bring_to(from, b, fps_);
        from = b - 1;
    }
    show_bring_to(from, t, fps_);
}
