#pragma once
// Menu commands of the data file: preferences, the idle-time bank, Reset All.
// A handler may run inside another's wait: the rule is in window/form1.h.
struct Form1;

void mnu_Spref_Click(Form1& form);
void mnu_Lpref_Click(Form1& form);
void mnu_Stime_Click(Form1& form);
void mnu_Ltime_Click(Form1& form);
void mnu_rtime_Click(Form1& form);
void mnu_reset_Click(Form1& form);
