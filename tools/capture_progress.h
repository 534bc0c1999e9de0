// Progress of a long capture on stderr: one updating line on a terminal, otherwise a line
// every few seconds. Quiet for runs that end within a couple of seconds.
#ifndef QUENRASTILAN_TOOLS_CAPTURE_PROGRESS_H
#define QUENRASTILAN_TOOLS_CAPTURE_PROGRESS_H

#include <deque>
#include <string>
#include <utility>

class Progress {
public:
    Progress(const std::string& what, long long total, bool quiet);
    // One more frame done.
    void step();
    // Ends the updating line (and says how long the whole run took, if anything was shown).
    void finish();

private:
    void show(bool last);

    std::string what_;
    long long total_, done_ = 0;
    bool quiet_, terminal_, shown_ = false;
    double start_, lastShown_;
    // (time, frames done) when each of the last lines was shown: the time left is estimated from
    // the rate over the last half minute, since frames before a range (not rasterised) run far
    // faster than the range's own.
    std::deque<std::pair<double, long long>> recent_;
};

#endif
