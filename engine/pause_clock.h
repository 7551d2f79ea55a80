#pragma once
// The arithmetic of Pause, apart from the clock and the event loop.

namespace pause_clock {

inline constexpr double kDay = 86400.0;

// The longest a wait lasts beyond its length, on a clock nobody sets. Setting
// the time of day back during a wait (by hand, or at the end of summer time)
// would otherwise hold the program for as long as the step.
inline constexpr double kSlack = 1.0;

// The start of a wait: the clock reading (seconds since midnight) rounded to
// the nearest whole second, ties to the even second.
double Start(double clock);

// Seconds gone since start at clock reading now. A reading smaller than the
// start by more than half a day means the clock passed midnight: the day is
// added back, so a wait begun late in the day still ends.
double Elapsed(double start, double now);

// Seconds left of a wait of the given length that began at start, at clock
// reading now, sinceCall seconds after the call by a steady clock. The wait
// is over when this is 0 or less.
double Left(double start, double now, int seconds, double sinceCall);

} // namespace pause_clock
