// The idle tick: keep the user signed on, count the minute, tell the room.
// The form is the state it works on: the counter (Text1), Silent (Check1), the texts it posts.
#include "client/aolkit_client.h"
#include "engine/announce.h"
#include "engine/counter.h"
#include "engine/handlers.h"
#include "engine/pause.h"
#include "window/form1.h"

void Timer1_Timer(Form1& form) {
    AolKit::DismissModal();
    SetText(form.Text1, counter::Step(GetText(form.Text1)));
    if (Check1_Value(form) == 1) return;
    AolKit::ChatSend(announce::StatusLine(GetText(form.Text1), GetText(form.Text4)));
    AolKit::Pause(0);
    // Read only now: a handler run during the pause may have changed them.
    AolKit::ChatSend(announce::LinkLine(GetText(form.Text3), GetText(form.Text2)));
}
