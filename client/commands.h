#pragma once
// Menu commands built on the client routines.
// A handler may run inside another's wait: the rule is in window/form1.h.
struct Form1;

void mnu_off_Click(Form1& form);
void mnu_on_Click(Form1& form);
void mnu_stats_Click(Form1& form);
