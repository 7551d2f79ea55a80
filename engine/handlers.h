#pragma once
// Handlers of the idle engine: the tick, start and end, Advertise, Silent
// mode and the mouse mover.
// A handler may run inside another's wait: the rule is in window/form1.h.
struct Form1;

void Timer1_Timer(Form1& form);
void Timer2_Timer(Form1& form);
void Form_Load(Form1& form);
void Form_Unload(Form1& form);
[[noreturn]] void Form_Terminate();
[[noreturn]] void Label1_Click(Form1& form);
[[noreturn]] void mnu_exit_Click(Form1& form);
void Label8_Click(Form1& form);
void mnu_ad_Click(Form1& form);
void Check1_mouseup(Form1& form);
void mnu_silent_Click(Form1& form);
void mnu_mouse_Click(Form1& form);
