// Progress lines of the capture tool.
#include "capture_progress.h"

#include <cstdio>
#include <ctime>
#include <unistd.h>

static double seconds()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec + ts.tv_nsec * 1e-9;
}

Progress::Progress(const std::string& what, long long total, bool quiet)
    : what_(what), total_(total), quiet_(quiet), terminal_(isatty(2) == 1), start_(seconds()),
      lastShown_(start_)
{
}

void Progress::step()
{
    done_++;
    if (quiet_)
        return;
    double now = seconds();
    // Nothing for the first two seconds; then often on a terminal, every 5 s in a log.
    double every = terminal_ ? 0.25 : 5.0;
    if (now - start_ >= 2.0 && now - lastShown_ >= every) {
        lastShown_ = now;
        show(false);
    }
}

void Progress::show(bool last)
{
    double now = seconds(), elapsed = now - start_;
    double fps = elapsed > 0 ? done_ / elapsed : 0;
    recent_.emplace_back(now, done_);
    while (recent_.size() > 2 && now - recent_[1].first >= 30.0)
        recent_.pop_front();
    double span = now - recent_.front().first;
    double recentFps = span > 0 ? (done_ - recent_.front().second) / span : fps;
    double left = recentFps > 0 ? (total_ - done_) / recentFps : 0;
    char line[160];
    if (last)
        std::snprintf(line, sizeof line, "%s: %lld frames in %.1f s, %.1f frames/s", what_.c_str(), done_,
                      elapsed, fps);
    else
        std::snprintf(line, sizeof line, "%s: frame %lld of %lld, %.1f frames/s, %.0f s left", what_.c_str(),
                      done_, total_, fps, left);
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
