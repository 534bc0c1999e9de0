// Progress lines of the capture tool.
//
// The time left is the things still to do at the average rate since the first was done. The
// catch-up before it (the scenes brought to the range's start) is left out of the rate, since
// it runs far faster than drawing (a line says it is under way); the average of the whole range so far, not of the last few seconds,
// keeps the estimate steady across scenes whose frames cost ten times more than others': once
// the first half minute has passed, a line 5 s later can move the rate by a seventh at most.
#include "progress.h"

#include <cstdio>
#include <ctime>
#include <unistd.h>

static double seconds()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec + ts.tv_nsec * 1e-9;
}

Progress::Progress(const std::string& what, long long total, bool quiet, const std::string& unit)
    : what_(what), unit_(unit), total_(total), quiet_(quiet), terminal_(isatty(2) == 1), start_(seconds()),
      lastShown_(start_)
{
}

void Progress::step(long long count)
{
    done_ += count;
    if (quiet_)
        return;
    if (first_ < 0) {
        first_ = seconds();
        firstCount_ = done_;
    }
    tick();
}

// Nothing for the first two seconds; then often on a terminal, every 5 s in a log.
void Progress::tick()
{
    if (quiet_)
        return;
    double now = seconds(), every = terminal_ ? 0.25 : 5.0;
    if (now - start_ >= 2.0 && (!shown_ || now - lastShown_ >= every)) {
        lastShown_ = now;
        show(false);
    }
}

void Progress::show(bool last)
{
    double now = seconds(), elapsed = now - start_;
    char line[160];
    if (last) {
        std::snprintf(line, sizeof line, "%s: %lld %s in %.1f s, %.1f a second", what_.c_str(), done_,
                      unit_.c_str(), elapsed, elapsed > 0 ? done_ / elapsed : 0.0);
    } else {
        // The first one done marks the start of the rate; the ones after it are the count.
        double span = now - first_;
        double rate = first_ >= 0 && done_ > firstCount_ && span > 0 ? (done_ - firstCount_) / span : 0;
        char left[64] = "";
        if (rate > 0)
            std::snprintf(left, sizeof left, ", %.1f a second, %.0f s left", rate, (total_ - done_) / rate);
        else if (done_ == 0)
            std::snprintf(left, sizeof left, ", bringing the scenes on (%.0f s)", elapsed);
        std::snprintf(line, sizeof line, "%s: %lld of %lld %s%s", what_.c_str(), done_, total_, unit_.c_str(), left);
    }
    if (terminal_)
        std::fprintf(stderr, "\r%-78s%s", line, last ? "\n" : "");
    else
        std::fprintf(stderr, "%s\n", line);
    shown_ = true;
}

void Progress::finish()
{
    if (!quiet_ && shown_)
        show(true);
}
