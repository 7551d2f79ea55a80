// The mouse mover's tick: the pointer jumps to the generator's next point.
// The form holds the generator, so the ticks walk one sequence of points.
#include "engine/handlers.h"
#include "engine/mover.h"
#include "window/form1.h"

// The platform clips a point beyond the screen; nothing is checked.
void Timer2_Timer(Form1& form) {
    const mover::Point point = mover::NextPoint(form.rng);
    SetCursorPos(point.x, point.y);
}
