#include "engine/pause_clock.h"
#include <algorithm>
#include <cmath>

namespace pause_clock {

double Start(double clock) {
    // nearbyint rounds in the current mode, round-to-nearest-even by default.
    return std::nearbyint(clock);
}

double Elapsed(double start, double now) {
    double elapsed = now - start;
    if (elapsed < -kDay / 2) elapsed += kDay;
    return elapsed;
}

double Left(double start, double now, int seconds, double sinceCall) {
    const double byClock = seconds - Elapsed(start, now);
    const double bySteadyClock = seconds + kSlack - sinceCall;
    return std::min(byClock, bySteadyClock);
}

} // namespace pause_clock
