// Menu commands built on the client routines.
// They take the form as every handler does, and use none of it: they act on the client.
#include "client/commands.h"
#include "client/aolkit_client.h"
#include "engine/announce.h"
#include "engine/post_pair.h"
#include "store/aolkit_store.h"

namespace {

// The client takes an IM to $IM_OFF or $IM_ON as the switch. The line is
// posted only when the IM went: had the IM window never come, saying that
// the switch happened would be false.
void SwitchIms(bool on) {
    if (!AolKit::InstantMessage(on ? L"$IM_ON" : L"$IM_OFF", L"Zorvik ownz!")) return;
    AolKit::ChatSend(announce::MessagesLine(on));
}

} // namespace

void mnu_off_Click(Form1&) {
    SwitchIms(false);
}

void mnu_on_Click(Form1&) {
    SwitchIms(true);
}

void mnu_stats_Click(Form1&) {
    // The total as it stood when the command came, before any pause.
    const std::wstring total = AolKit::ReadIni(L"Time", L"Time", DataFile());
    PostPair(announce::UserLine(AolKit::UserScreenName()), announce::TotalLine(total));
}
