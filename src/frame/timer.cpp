// The show clock, read once at the start of every frame.
#include "frame/timer.h"

#include <SDL.h>

static std::uint32_t sdlTicks()
{
    return SDL_GetTicks();
}

float Timer::now() const
{
    std::uint32_t t = ticks ? ticks() : sdlTicks();
    return (float)((double)(float)t / 1000.0);
}

void Timer::start()
{
    startTime = 0.0f;
    currentTime = 0.0f;
    startTime = now();
    update();
}

void Timer::update()
{
    float t = now();
    if (startTime == 0.0f)
        startTime = t;
    currentTime = t - startTime;
    if (!(currentTime >= 0.0f)) {
        currentTime = 0.0f;
        startTime = 0.0f;
    }
}
