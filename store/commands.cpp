// Menu commands of the data file.
// They touch the form because what they save and load is its controls' state.
#include "store/commands.h"
#include "store/aolkit_store.h"
#include "window/ui.h"
#include "window/form1.h"
#include <initializer_list>

namespace {

constexpr const wchar_t* kResetPrompt = L"Are you sure you want to reset all recorded / saved "
                                        L"data?\n\r\n\rThis will delete all time and prefs.";

struct Entry {
    const wchar_t* section;
    const wchar_t* key;
    std::wstring value;
};

// Every write is tried, in order, even after one has failed, so that as much
// as possible is kept; true when all took effect.
bool WriteAll(std::initializer_list<Entry> entries) {
    const std::wstring file = DataFile();
    bool all = true;
    for (const Entry& entry : entries)
        all = AolKit::WriteIni(entry.section, entry.key, entry.value, file) && all;
    return all;
}

void Tell(Form1& form, const wchar_t* prompt, const wchar_t* title) {
    ShowMessageBox(form.hwnd, prompt, title, MB_OK);
}

void TellUnreadable(Form1& form) {
    Tell(form, L"Your saved data could not be read!", L"Not loaded!");
}

} // namespace

// A save that failed would lose the user's settings without a word, so a
// failure is told; a save that worked says nothing.
void mnu_Spref_Click(Form1& form) {
    const bool saved =
        WriteAll({{L"Prefs", L"Reason", GetText(form.Text4)},
                  {L"Prefs", L"Link", GetText(form.Text3)},
                  {L"Prefs", L"Text", GetText(form.Text2)},
                  {L"Checks", L"Checked", Check1_Value(form) == 1 ? L"Checked" : L"UnChecked"}});
    if (!saved) Tell(form, L"Your prefs could not be saved!", L"Not saved!");
}

// Two steps, each with its own look for the file. Setting the check box from
// here sends no mouse-up, so no Silent-mode line is posted. A file that is
// there but cannot be read changes nothing and is told, as a failed save is.
void mnu_Lpref_Click(Form1& form) {
    const std::wstring file = DataFile();
    if (AolKit::FileExists(file)) {
        const auto reason = AolKit::TryReadIni(L"Prefs", L"Reason", file);
        const auto link = AolKit::TryReadIni(L"Prefs", L"Link", file);
        const auto text = AolKit::TryReadIni(L"Prefs", L"Text", file);
        if (!reason || !link || !text) return TellUnreadable(form);
        SetText(form.Text4, *reason);
        SetText(form.Text3, *link);
        SetText(form.Text2, *text);
    } else {
        Tell(form, L"You have no saved data!", L"Nothing to load!");
    }
    if (AolKit::FileExists(file)) {
        const auto checked = AolKit::TryReadIni(L"Checks", L"Checked", file);
        if (!checked) return TellUnreadable(form);
        const bool silent = *checked == L"Checked";
        SetCheck1_Value(form, silent ? 1 : 0);
        SetMenuChecked(form, kMnuSilent, silent);
    }
}

void mnu_Stime_Click(Form1& form) {
    if (!WriteAll({{L"Time", L"Time", GetText(form.Text1)}}))
        Tell(form, L"Your time could not be saved!", L"Not saved!");
}

void mnu_Ltime_Click(Form1& form) {
    const std::wstring file = DataFile();
    if (AolKit::FileExists(file)) {
        const auto time = AolKit::TryReadIni(L"Time", L"Time", file);
        if (time)
            SetText(form.Text1, *time);
        else
            TellUnreadable(form);
        return;
    }
    SetText(form.Text1, L"0");
    Tell(form, L"You have no saved time!", L"No time!");
}

// The counter shows what the file holds afterwards, so a write that did not
// take effect shows there.
void mnu_rtime_Click(Form1& form) {
    WriteAll({{L"Time", L"Time", L"0"}});
    SetText(form.Text1, AolKit::ReadIni(L"Time", L"Time", DataFile()));
}

// The window's own state is left as it is: only the file is reset.
void mnu_reset_Click(Form1& form) {
    const int answer = ShowMessageBox(form.hwnd, kResetPrompt, L"Delete All Data?", MB_YESNO);
    if (answer == IDYES) {
        const bool reset = WriteAll({{L"Time", L"Time", L"0"},
                                     {L"Prefs", L"Reason", L""},
                                     {L"Prefs", L"Link", L""},
                                     {L"Prefs", L"Text", L""},
                                     {L"Checks", L"Checked", L"UnChecked"}});
        if (reset)
            Tell(form, L"Deleted Successfully!", L"Deleted!");
        else
            Tell(form, L"Your saved data could not be deleted!", L"Not deleted!");
    } else if (answer == IDNO) {
        Tell(form, L"Deletion Aborted!", L"Nothing Deleted!");
    }
}
