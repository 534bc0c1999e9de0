// The show clock: wall-clock seconds since start, from a millisecond tick counter.
#ifndef QUENRASTILAN_FRAME_TIMER_H
#define QUENRASTILAN_FRAME_TIMER_H

#include <cstdint>

class Timer {
public:
    // Seconds; 0.0 means no start time is set yet.
    float startTime = 0.0f;
    // Seconds since startTime as of the last update().
    float currentTime = 0.0f;

    // Millisecond tick source, SDL_GetTicks unless replaced (tests replace it to make it wrap).
    std::uint32_t (*ticks)() = nullptr;

    void start();
    // Recomputes currentTime. A negative elapsed time (the tick counter wrapped) restarts the
    // clock from 0 at that moment instead of running backwards.
    void update();

private:
    float now() const;
};

#endif
