#pragma once
// The arithmetic of Pause, apart from the clock and the event loop.

namespace pause_clock {

inline constexpr double kDay = 86400.0;

// The start of a wait: the clock reading (seconds since midnight) rounded to
// the nearest whole second, ties to the even second.
double Start(double clock);

// Seconds gone since start at clock reading now. A reading smaller than the
// start by more than half a day means the clock passed midnight: the day is
// added back, so a wait begun late in the day still ends.
double Elapsed(double start, double now);

// Whether a wait of the given seconds that began at start is over at now.
bool Over(double start, double now, int seconds);

} // namespace pause_clock
