#pragma once
// Resource ids shared by the .rc file and the code.
#define IDI_IDLER 1
#define IDB_SKIN 201
#define IDB_STOP 202
