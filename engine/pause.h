#pragma once
// Waiting while the program's events go on being handled.

namespace AolKit {
// Waits until the clock reaches the start (rounded to the nearest whole
// second) plus seconds, dispatching pending events meanwhile; never longer
// than seconds and one more, should the clock be set back meanwhile.
void Pause(int seconds);
} // namespace AolKit
