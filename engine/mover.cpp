#include "engine/mover.h"

namespace mover {
namespace {

constexpr double kTwoTo53 = 9007199254740992.0;

} // namespace

std::uint64_t NextBits(Generator& rng) {
    std::uint64_t z = (rng.state += 0x9E3779B97F4A7C15u);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
    return z ^ (z >> 31);
}

double Draw(Generator& rng) {
    return static_cast<double>(NextBits(rng) >> 11) / kTwoTo53;
}

int Coordinate(double r) {
    // A draw is k / 2^53 with k < 2^53, so k * 700 < 2^63 fits.
    const auto k = static_cast<std::uint64_t>(r * kTwoTo53);
    return static_cast<int>((k * kSpan) >> 53) + 1;
}

Point NextPoint(Generator& rng) {
    const int x = Coordinate(Draw(rng));
    const int y = Coordinate(Draw(rng));
    return {x, y};
}

} // namespace mover
