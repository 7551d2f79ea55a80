// Pause's deadline: the start is the clock rounded (ties to even), the wait
// ends when the clock reaches it, also across midnight.
#include "engine/pause_clock.h"
#include <gtest/gtest.h>

namespace {

using pause_clock::Left;
using pause_clock::Start;

// Left() at a clock reading, soon after the call by the steady clock.
double LeftAt(double start, double now) {
    return Left(start, now, 0, 0.0);
}

TEST(PauseClock, FirstHalfOfASecondReturnsAtOnce) {
    const double start = Start(100.2);
    EXPECT_EQ(start, 100.0);
    EXPECT_LE(LeftAt(start, 100.2), 0.0);
}

TEST(PauseClock, SecondHalfWaitsForTheNextWholeSecond) {
    const double start = Start(100.7);
    EXPECT_EQ(start, 101.0);
    EXPECT_NEAR(LeftAt(start, 100.7), 0.3, 1e-9);
    EXPECT_GT(LeftAt(start, 100.999), 0.0);
    EXPECT_LE(LeftAt(start, 101.0), 0.0);
    EXPECT_LE(LeftAt(start, 101.2), 0.0);
}

TEST(PauseClock, ExactHalfRoundsToTheEvenSecond) {
    EXPECT_EQ(Start(100.5), 100.0);
    EXPECT_LE(LeftAt(Start(100.5), 100.5), 0.0);

    EXPECT_EQ(Start(101.5), 102.0);
    EXPECT_NEAR(LeftAt(Start(101.5), 101.5), 0.5, 1e-9);
    EXPECT_LE(LeftAt(Start(101.5), 102.0), 0.0);
}

TEST(PauseClock, LastHalfSecondOfTheDayEndsAtMidnight) {
    const double start = Start(86399.7);
    EXPECT_EQ(start, pause_clock::kDay);
    EXPECT_NEAR(LeftAt(start, 86399.7), 0.3, 1e-9);
    EXPECT_GT(LeftAt(start, 86399.999), 0.0);
    // The clock starts again from 0: the wait is over, not a day away.
    EXPECT_LE(LeftAt(start, 0.0), 0.0);
    EXPECT_LE(LeftAt(start, 0.4), 0.0);
}

TEST(PauseClock, LongerWaitsCountWholeSecondsFromTheRoundedStart) {
    const double start = Start(200.7); // 201
    EXPECT_NEAR(Left(start, 200.7, 2, 0.0), 2.3, 1e-9);
    EXPECT_GT(Left(start, 202.9, 2, 2.2), 0.0);
    EXPECT_LE(Left(start, 203.0, 2, 2.3), 0.0);
    // Across midnight as well.
    EXPECT_GT(Left(Start(86399.2), 0.9, 2, 1.7), 0.0);
    EXPECT_LE(Left(Start(86399.2), 1.0, 2, 1.8), 0.0);
}

TEST(PauseClock, ClockSetBackEndsTheWaitBySteadyTime) {
    // An hour back during the wait: by the time of day 3600 s remain, but the
    // wait may not outlast its length plus the slack.
    const double start = Start(100.7);
    EXPECT_GT(Left(start, 100.8 - 3600, 0, 0.1), 0.0);
    EXPECT_LE(Left(start, 100.8 - 3600, 0, 0.1), pause_clock::kSlack);
    EXPECT_LE(Left(start, 101.7 - 3600, 0, pause_clock::kSlack), 0.0);
}

TEST(PauseClock, ClockSetForwardEndsTheWait) {
    EXPECT_LE(LeftAt(Start(100.7), 160.0), 0.0);
}

} // namespace
