#pragma once
// Drives idler.exe from outside, as a person would: real mouse and keyboard
// input (SendInput) at points given in twips on the window, the pop-up menu
// chosen by access keys, message boxes found by title and answered, fields
// read with WM_GETTEXT. A minute's tick is brought forward by posting
// WM_TIMER with the timer's id; the product has no test hook.
#include <windows.h>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace driver {

// A child process, ended (hard) when the handle goes out of scope.
class Process {
  public:
    Process() = default;
    Process(HANDLE process, DWORD pid) : handle_(process), pid_(pid) {}
    Process(Process&& other) noexcept;
    Process& operator=(Process&& other) noexcept;
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    ~Process();
    HANDLE handle() const { return handle_; }
    DWORD pid() const { return pid_; }
    bool Running() const;
    bool WaitExit(DWORD timeoutMs) const;
    void Kill();

  private:
    HANDLE handle_ = nullptr;
    DWORD pid_ = 0;
};

// Starts a program beside the running test (same folder as the test exe).
Process Start(const std::wstring& exeName, const std::wstring& arguments = L"");
std::wstring Here(); // folder of the running executable, with a trailing backslash

// Polls cond every 20 ms until it holds or timeoutMs passes.
bool WaitFor(const std::function<bool()>& cond, DWORD timeoutMs = 10000);

// idler's window (class "IdlerForm1") of the given process, or null.
HWND FindIdler(DWORD pid, DWORD timeoutMs = 10000);
// A top-level window of that class and caption (either may be null).
HWND FindTop(const wchar_t* cls, const wchar_t* caption, DWORD timeoutMs = 0);

enum class Button { Left, Right, Middle };

// Screen pixel of a point given in twips on idler's client area.
POINT ToScreen(HWND form, int xTwips, int yTwips);
void MoveMouse(POINT screen);
// Moves the pointer to the screen's far corner, away from where the programs
// open their windows, and waits until it is there. A window that opens under
// the pointer gets the pointer's place from the X server; read late by a busy
// program, that old place moves the pointer back after a later move, and the
// next click lands there. Call it before starting the programs.
bool ParkPointer();
// A left press waits out the double-click time when the last left press was
// near, so that a click is never taken as a double-click's second half.
void Press(Button button);
void Release(Button button);
void Click(HWND form, int xTwips, int yTwips, Button button = Button::Left);
void DoubleClick(HWND form, int xTwips, int yTwips);
// Presses at a point, moves by (dx, dy) pixels in steps, releases.
void Drag(HWND form, int xTwips, int yTwips, int dx, int dy, Button button = Button::Left);
void Key(WORD vk);
// A key pressed while a modifier (VK_MENU, VK_CONTROL, VK_SHIFT) is held.
void KeyWith(WORD modifier, WORD vk);

// Opens the pop-up with a click on "Options" and types the keys in turn: a
// letter is an access key; kDown, kUp, kRight and kEnter are those keys.
// "&Minimize" and "Reset Ti&me" share m, so Reset Time is reached from below.
inline constexpr wchar_t kDown = 1, kUp = 2, kRight = 3, kEnter = L'\r';
bool ChooseMenu(HWND form, const std::wstring& keys);

// The keys of each entry (the submenus "IMs" has no access key: seven steps
// down from the top, then right).
namespace menu {
inline const std::wstring kSilent = L"s", kMinimize = L"m", kLoadTime = L"t", kLoadPrefs = L"p",
                          kSaveTime = L"i", kSavePrefs = L"r", kResetAll = L"a", kExit = L"e";
inline const std::wstring kResetTime = {kUp, kUp, kEnter};
inline const std::wstring kImsOff = {kDown, kDown, kDown, kDown, kDown, kDown, kDown, kRight, L'o'};
inline const std::wstring kImsOn = {kDown, kDown, kDown, kDown, kDown, kDown, kDown, kRight, L'n'};
inline const std::wstring kAdvertise = L"oa", kScrollStats = L"os", kMouseMovement = L"om";
} // namespace menu
// The top-level pop-up menu window ("#32768") showing, or null.
HWND OpenMenu();

// A message box by its title; its prompt; pressing one of its buttons (IDOK,
// IDYES, IDNO) with a real click on the button.
HWND FindMessageBox(const wchar_t* title, DWORD timeoutMs = 10000);
std::wstring MessageBoxPrompt(HWND box);
void PressButton(HWND box, int id);

// The real controls of the window, found by the point they cover (twips).
HWND ControlAt(HWND form, int xTwips, int yTwips);
HWND Text1(HWND form);
HWND Text2(HWND form);
HWND Text3(HWND form);
HWND Text4(HWND form);
HWND Check1(HWND form);
std::wstring ReadText(HWND control);
int ReadCheck(HWND checkBox);
void TypeText(HWND control, const std::wstring& text); // focus + WM_SETTEXT

// Brings a timer's tick forward.
void Tick(HWND form, UINT_PTR timerId);
// Kills a timer of the window from inside its own thread (timer_probe.dll,
// loaded there by a message hook): whether that timer was running, or nullopt
// when no answer came. A running timer ends with the look, so look last.
std::optional<bool> StopTimerInside(HWND form, UINT_PTR timerId);

// The screen's pixels in a rectangle (screen coordinates), as 0x00RRGGBB.
std::vector<COLORREF> Grab(RECT screenRect);
// Pixels (0x00RRGGBB, rows of width) saved as a 24-bit BMP: the picture
// checked is the picture kept.
bool SaveBmp(const std::wstring& path, const std::vector<COLORREF>& pixels, int width);
// One of the window's pictures as the repository holds them
// (window/assets/NAME), read back as 0x00RRGGBB; empty when unreadable.
std::vector<COLORREF> LoadPicture(const wchar_t* name, int& width, int& height);
// The part r of pixels laid out in rows of width.
std::vector<COLORREF> Crop(const std::vector<COLORREF>& pixels, int width, RECT r);
// What the screen shows of a window's client area in r (client pixels).
std::vector<COLORREF> OnScreen(HWND window, RECT r);

// ---- files and boxes beside the programs ----

// idler's data file, at its fixed place.
inline constexpr const wchar_t* kDataFile = L"c:\\windows\\vexidle.dat";
// The data file's bytes, read while idler may hold it; null when missing.
std::optional<std::string> DataFileBytes();
// A whole file written at once, as an editor saves one.
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);
inline bool WriteDataFile(const std::string& bytes) {
    return WriteFileBytes(kDataFile, bytes);
}
// Files beside the data file that match a pattern ("vex*", "vex*.tmp"), sorted.
std::vector<std::wstring> FilesBeside(const wchar_t* pattern);
// The visible message boxes of one process.
std::vector<HWND> BoxesOf(DWORD pid);

} // namespace driver
