// Silent mode and mouse movement: switches that announce their new state.
// Their state is the form's: Check1, the menu's marks, and Timer2 on the window.
#include "client/aolkit_client.h"
#include "engine/announce.h"
#include "engine/handlers.h"
#include "window/form1.h"

// Runs after the box has handled the release itself, so Check1 already holds
// the new value (or the old one, when the release did not toggle it: a right
// or middle click, a left release off the box; then the mark and the line
// repeat the unchanged state).
void Check1_mouseup(Form1& form) {
    const bool silent = Check1_Value(form) == 1;
    SetMenuChecked(form, kMnuSilent, silent);
    AolKit::ChatSend(announce::SilentLine(silent));
}

// Decides by the mark, not the box: the space bar changes the box alone.
void mnu_silent_Click(Form1& form) {
    const bool silent = !MenuChecked(form, kMnuSilent);
    SetCheck1_Value(form, silent ? 1 : 0);
    SetMenuChecked(form, kMnuSilent, silent);
    AolKit::ChatSend(announce::SilentLine(silent));
}

void mnu_mouse_Click(Form1& form) {
    if (!MenuChecked(form, kMnuMouse)) {
        SetMenuChecked(form, kMnuMouse, true);
        AolKit::ChatSend(announce::MouseLine(true));
        SetTimer2(form, true);
    } else {
        SetMenuChecked(form, kMnuMouse, false);
        SetTimer2(form, false);
        AolKit::ChatSend(announce::MouseLine(false));
    }
}
