// The show clock both programs play on: where the show stands, pause and resume, jumps clamped
// to the show's ends with the scenes that carry state brought up to the new time, and the music
// moved with every step. The program's own clock and its sound sit behind two small interfaces:
// SDL's ticks and audio in the player, the soundtrack's clock and Web Audio in the page, a fake
// clock and a recording sound in the tests.
#ifndef QUENRASTILAN_FRAME_SHOW_CLOCK_H
#define QUENRASTILAN_FRAME_SHOW_CLOCK_H

#include "frame/show.h"

// The frame rate the scenes that carry state are brought up to a new time at (the capture
// tool's video rate): after a jump, a start later in the show, and for a still.
const int CATCH_UP_FPS = 60;

// Brings the scenes that carry state from fromMs (-1: from start-up) to toMs at CATCH_UP_FPS.
inline void catch_up_scenes(int fromMs, int toMs)
{
    show_bring_to(fromMs, toMs, CATCH_UP_FPS);
}

// Where time comes from: ms gone since the last start().
class TimeSource {
public:
    virtual void start() = 0;
    virtual int elapsedMs() = 0;

protected:
    ~TimeSource() = default;
};

// The sound that follows the show: moved to a show time, played on from there, held.
class MusicSink {
public:
    virtual void seek(int ms) = 0;
    virtual void play() = 0;
    virtual void pause() = 0;

protected:
    ~MusicSink() = default;
};

class ShowClock {
public:
    // What comes after the show's last moment. The player ends (its main loop stops after the
    // first frame past SHOW_END_MS). The page holds the last frame (holdAtEnd), and a resume
    // from there starts the show again from the beginning.
    enum class AtEnd { end, hold };
    // Brings the scenes that carry state from one show time to another (catch_up_scenes; the
    // tests' own).
    using CatchUp = void (*)(int fromMs, int toMs);
    // Told each move ("paused at", "playing from", "jumped to") with the show time it stands at,
    // after the music was moved there and before it plays on; may be null.
    using Report = void (*)(const char* what, int ms);

    // music may be null: the show then runs silently on its clock.
    ShowClock(TimeSource& time, MusicSink* music, CatchUp catchUp, AtEnd atEnd, Report report = nullptr);

    // Starts picture and music at show time ms (clamped to the show), once; the scenes that carry
    // state are brought there first.
    void start(int ms);
    bool started() const { return started_; }
    bool paused() const { return paused_; }

    // Where the show stands: the time of the frame to draw now. It stands still while paused;
    // while playing it may pass SHOW_END_MS.
    int now();

    void pause();
    // Plays on from where the show stands (under AtEnd::hold, from the beginning if it stands at
    // the end), the music moved exactly there whatever its device still held.
    void resume();
    void toggle() { paused_ ? resume() : pause(); }
    // Plays on from where the show stands, as it is: after a pause that was not the viewer's.
    void playOn();
    // Moves the show by ms, back (negative) or forward, to no earlier than 0 and no later than
    // SHOW_END_MS; playing or paused, it stays so.
    void jump(int by);
    // The show stands at its last moment, paused: the page, once it has drawn it.
    void holdAtEnd();

    // True once after a jump while paused: the new moment is to be drawn although paused.
    bool takeRedraw();

private:
    // Show time at the time source's last start, and what it stands at while paused.
    int base_ = 0;
    bool started_ = false, paused_ = false, redraw_ = false;
    TimeSource& time_;
    MusicSink* music_;
    CatchUp catchUp_;
    AtEnd atEnd_;
    Report report_;

    // Picture and music to show time ms together: the music moved, the move reported, then the
    // music let go (unless paused) and the clock started, back to back.
    void moveTo(int ms, const char* what);
};

#endif
