// Start and end of the program, and the Advertise pair.
// Of the form, only Form_Load uses anything: the window, which it puts on top.
#include "engine/announce.h"
#include "engine/handlers.h"
#include "engine/post_pair.h"
#include "window/behaviour.h"
#include "window/form1.h"

namespace {

// Ends the program at once: no handler runs afterwards, not even
// Form_Unload or Form_Terminate, and the timers die with the process.
[[noreturn]] void EndProgram() {
    ExitProcess(0);
}

[[noreturn]] void AnnounceUnloadAndEnd() {
    PostPair(announce::UnloadLine(), announce::SiteLinkLine());
    EndProgram();
}

void Advertise() {
    PostPair(announce::AdvertLine(), announce::AdvertLinkLine());
}

} // namespace

void Form_Load(Form1& form) {
    AolKit::StayOnTop(form);
    PostPair(announce::LoadLine(), announce::SiteLinkLine());
}

void Form_Unload(Form1&) {
    PostPair(announce::ClosingUnloadLine(), announce::SiteLinkLine());
}

void Form_Terminate() {
    AnnounceUnloadAndEnd();
}
void Label1_Click(Form1&) {
    AnnounceUnloadAndEnd();
}
void mnu_exit_Click(Form1&) {
    AnnounceUnloadAndEnd();
}

void Label8_Click(Form1&) {
    Advertise();
}
void mnu_ad_Click(Form1&) {
    Advertise();
}
