#pragma once
// The stand-in client: its state, the classes of its window tree and the
// functions its files share. Every window class is registered ANSI, so text
// sent with SendMessageA arrives as the very bytes the sender passed.
#include "standin/log_format.h"
#include "standin/options.h"
#include <windows.h>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

namespace standin {

inline constexpr const char* kFrameClass = "AOL Frame25";
inline constexpr const char* kChildClass = "AOL Child";
inline constexpr const char* kRichClass = "RICHCNTL";
inline constexpr const char* kListboxClass = "_AOL_Listbox";
inline constexpr const char* kIconClass = "_AOL_Icon";
inline constexpr const char* kStaticClass = "_AOL_Static";
inline constexpr const char* kEditClass = "_AOL_Edit";
inline constexpr const char* kGroupClass = "_AOL_Group";
inline constexpr const char* kModalClass = "_AOL_Modal";
inline constexpr const char* kToolbarClass = "AOL Toolbar";
inline constexpr const char* kInnerToolbarClass = "_AOL_Toolbar";
inline constexpr const char* kComboboxClass = "_AOL_Combobox";
inline constexpr const char* kBoxClass = "#32770";
inline constexpr const char* kFrameCaption = "America Online";
inline constexpr const char* kImCaption = "Send Instant Message";
inline constexpr const char* kBoxCaption = "America Online";
inline constexpr const char* kImKeyword = "aol://9293:";

// Control ids, unique within each kind of window.
enum ControlId : int {
    kRoomView = 101, // lines of the room
    kRoomInput,      // the chat input box
    kRoomPeople,
    kRoomSend,
    kRoomCount,
    kRoomGroup, // the grandchildren decoy's one direct child
    kPromptText = 201,
    kPromptStay,
    kPromptSignOff,
    kPromptGroup,
    kImToLabel = 301,
    kImTo,
    kImText,
    kImIconFirst = 310, // the icons follow in order; the ninth is Send
    kToolbarInner = 401,
    kToolbarCombo,
    kKeywordBox,
    kWelcomeText = 501,
    kWelcomeIconFirst = 510,
};

// WM_COMMAND's high word from a RICHCNTL or _AOL_Edit that got character 13;
// icons send BN_CLICKED.
inline constexpr WORD kEnterPressed = 0x0100;

// Posted to the frame.
enum FrameMessage : UINT {
    kShowBox = WM_APP + 1, // wParam: the IMs are now on (1) or off (0)
    kOpenRoom,             // wParam: N; opens the room "Lobby N" in front
};

// Frame timers.
enum FrameTimer : UINT_PTR {
    kIdleTimer = 1,
    kSignOffTimer,
    kHangTimer,
    kQuitTimer,
    kImTimer,
    kBoxTimer,
};

// Kinds of document window, kept in the window's user data.
enum class Document : LONG_PTR { Welcome = 1, Room, Decoy, Im };

// The event log file; closed with the log.
struct EventLog {
    HANDLE file = INVALID_HANDLE_VALUE;
    LARGE_INTEGER start{};
    LARGE_INTEGER frequency{};

    EventLog() = default;
    EventLog(const EventLog&) = delete;
    EventLog& operator=(const EventLog&) = delete;
    ~EventLog() {
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    }
};

struct Client {
    Options options;
    EventLog log;
    HINSTANCE instance{};
    HWND frame{};
    HWND mdi{};
    WNDPROC editProc{}; // the system Edit's procedure, under the keyword box's
    bool imsOn = true;
    bool signedOn = true;
    // IM windows still to open, each due at its tick count (kImTimer serves
    // the first; every keyword opens its own window, as the client does).
    struct PendingIm {
        std::string to;
        DWORD due = 0;
    };
    std::deque<PendingIm> pendingIms;
    bool pendingBoxOn = false; // what the box that kBoxTimer shows says
    int linesSaid = 0;         // chat lines said in any room
};

// event_log.cpp
bool OpenLog(EventLog& log, const std::string& path);
void WriteEvent(EventLog& log, std::string_view event, const std::vector<Field>& fields = {});
Client* ClientOf(HWND window); // the client that owns any of its windows
void Log(HWND window, std::string_view event, const std::vector<Field>& fields = {});
std::string WindowText(HWND window); // caption bytes, own windows only
std::string ClassOf(HWND window);
Field Handle(std::string key, HWND window);
// "caption/class#n": the nearest document or top-level window's caption, then
// the control's class and its place among the siblings of that class.
std::string TargetName(HWND control);
void LogOpened(HWND window);
void LogClosed(HWND window);

// controls.cpp
bool RegisterControls(HINSTANCE instance);
HWND AddControl(HWND parent, const char* cls, const char* text, int id, int x, int y, int width,
                int height, DWORD style = 0, DWORD exStyle = 0);
std::string ControlBytes(HWND control); // what a RICHCNTL or _AOL_Edit holds
void ClearControl(HWND control);
// A line said in the room, shown in its view after the screen name.
void AppendLine(HWND view, std::string_view name, std::string_view message);
inline constexpr DWORD kRichView = 0x0001; // RICHCNTL style: the room's line view

// documents.cpp
bool RegisterDocuments(HINSTANCE instance);
HWND CreateWelcome(Client& client, const std::string& caption);
HWND CreateRoom(Client& client, const std::string& caption);
HWND CreateDecoy(Client& client, Decoy decoy);
HWND OpenImWindow(Client& client, const std::string& to);
void CloseDocuments(Client& client);

// prompts.cpp
bool RegisterPrompts(HINSTANCE instance);
void ShowPrompts(Client& client);
void ShowBox(Client& client, bool imsOn);
void ClosePrompts();
int OpenPrompts();

// frame.cpp
bool RegisterFrame(HINSTANCE instance);
HWND CreateFrame(Client& client);
void GoToKeyword(Client& client, const std::string& keyword);
void AnswerWithBox(Client& client, bool imsOn);
void PromptAnswered(Client& client);
void SignOff(Client& client);
void SetFrameTimer(Client& client, FrameTimer timer, double seconds);
// Sleeps for the hang's time, answering nothing, between its two events.
void Hang(Client& client);
DWORD Milliseconds(double seconds); // seconds as the options give them: 0 to a week

} // namespace standin
