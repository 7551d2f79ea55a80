#include "engine/pause_clock.h"
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

bool Over(double start, double now, int seconds) {
    return Elapsed(start, now) >= seconds;
}

} // namespace pause_clock
