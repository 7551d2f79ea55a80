#pragma once
// The mouse mover's points: a small generator of our own, uniform on [0, 1),
// that starts from the same fixed state in every run, so every run (and every
// build) moves the pointer through the same points.
#include <cstdint>

namespace mover {

// SplitMix64 (Steele, Lea and Flood; Vigna's public-domain version): the
// state is a 64-bit counter, the output a mix of it. Integer arithmetic only,
// so the sequence does not depend on the compiler or the FPU.
struct Generator {
    std::uint64_t state = 0;
};

// Every coordinate lies in 1..kSpan, whatever the size of the screen.
inline constexpr int kSpan = 700;

struct Point {
    int x = 0;
    int y = 0;
};

// The next 64 raw bits.
std::uint64_t NextBits(Generator& rng);

// The next number in [0, 1): the top 53 bits over 2^53, exact in a double.
double Draw(Generator& rng);

// floor(r * 700) + 1 for a draw r, in 1..700. Taken exactly in integers: a
// product rounded to double (or to x87's longer format) could land on the
// next whole number when it lies just below one.
int Coordinate(double r);

// x from one draw, y from the next.
Point NextPoint(Generator& rng);

} // namespace mover
