#pragma once
// The window's own behaviour: stacking, dragging, minimizing, the pop-up menu
// and the Start/Stop toggle.
// A handler may run inside another's wait: the rule is in window/form1.h.
struct Form1;

namespace AolKit {
void StayOnTop(Form1& form);
void FormDrag(Form1& form);
} // namespace AolKit

void Label10_MouseDown(Form1& form);
void Picture1_MouseDown(Form1& form);
void Label2_Click(Form1& form);
void mnu_mini_Click(Form1& form);
void Label12_Click(Form1& form);
void Label9_Click(Form1& form);
void Image1_Click(Form1& form);
