// The show clock: pause, resume, jumps and the show's ends, for the player and the page alike.
#include "frame/show_clock.h"

#include "frame/timeline.h"

static int clampToShow(int ms)
{
    return ms < 0 ? 0 : ms > SHOW_END_MS ? SHOW_END_MS : ms;
}

ShowClock::ShowClock(TimeSource& time, MusicSink* music, CatchUp catchUp, AtEnd atEnd, Report report)
    : time_(time), music_(music), catchUp_(catchUp), atEnd_(atEnd), report_(report)
{
}

void ShowClock::start(int ms)
{
    if (started_)
        return;
    started_ = true;
    ms = clampToShow(ms);
    if (ms > 0) {
        catchUp_(-1, ms);
        moveTo(ms, "playing from");
        return;
    }
    // From the beginning the music is where it was loaded: it only has to play.
    base_ = 0;
    if (music_)
        music_->play();
    time_.start();
}

int ShowClock::now()
{
    return paused_ ? base_ : base_ + time_.elapsedMs();
}

void ShowClock::moveTo(int ms, const char* what)
{
    base_ = ms;
    if (music_)
        music_->seek(ms);
    if (report_)
        report_(what, ms);
    if (music_ && !paused_)
        music_->play();
    time_.start();
}

void ShowClock::pause()
{
    if (paused_)
        return;
    base_ = now();
    paused_ = true;
    if (music_)
        music_->pause();
    if (report_)
        report_("paused at", base_);
}

void ShowClock::resume()
{
    if (!paused_)
        return;
    if (atEnd_ == AtEnd::hold && base_ >= SHOW_END_MS) {
        catchUp_(base_, 0);
        base_ = 0;
    }
    playOn();
}

void ShowClock::playOn()
{
    paused_ = false;
    moveTo(base_, "playing from");
}

void ShowClock::jump(int by)
{
    int from = now();
    int to = clampToShow(from + by);
    if (music_)
        music_->pause();
    // The clock starts after the catch-up, however long it took: the show goes on from `to`.
    catchUp_(from, to);
    redraw_ = paused_;
    moveTo(to, paused_ ? "paused at" : "jumped to");
}

void ShowClock::holdAtEnd()
{
    base_ = SHOW_END_MS;
    paused_ = true;
    if (music_)
        music_->pause();
}

bool ShowClock::takeRedraw()
{
    bool redraw = redraw_;
    redraw_ = false;
    return redraw;
}
