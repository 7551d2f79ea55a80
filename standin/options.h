#pragma once
// The stand-in client's command line: who is signed on, which windows exist
// and how the client behaves over time. Portable, so it is tested natively too.
#include <string>
#include <string_view>
#include <vector>

namespace standin {

// Document windows that look like a chat room but fail its test (one of the
// four classes missing, or all of them only as grandchildren), and a room
// that passes it with a single "RICHCNTL", so it has no input box.
enum class Decoy { NoRichcntl, NoListbox, NoIcon, NoStatic, Grandchildren, OneRichcntl };

struct Options {
    std::string name = "Idle Tester"; // the signed-on screen name
    int rooms = 1;                    // chat rooms open at start
    std::vector<Decoy> decoys;        // created in front of the rooms
    // Captions of the Welcome windows, created in this order (the last in
    // front); empty means one window captioned "Welcome, " + name + "!".
    std::vector<std::string> welcomes;
    double idleAfter = 0;      // seconds without input before the idle prompt; 0: never
    double signOffAfter = 60;  // seconds an unanswered prompt waits before signing off
    int prompts = 1;           // prompts shown at once when idle (1 or 2)
    bool promptDecoy = false;  // the prompt's icons sit one level down, in a group
    double hangAt = 0;         // seconds after start when the client stops answering
    double hangFor = 0;        // for how long; 0: never hangs
    int hangOnLine = 0;        // hang inside the Enter of this chat line (1 = first),
                               // once it is said, instead of at hangAt; 0: not
    int imIcons = 10;          // "_AOL_Icon" children of the IM window; the ninth is Send
    bool imOpen = false;       // an IM window is open at start
    std::string imOpenTo;      // ... addressed to this screen name
    bool noBox = false;        // $IM_OFF/$IM_ON switch without the "America Online" box
    double imDelay = 0;        // seconds between the keyword and the IM window
    double boxDelay = 0;       // seconds between Send and the "America Online" box
    bool boxOpen = false;      // an "America Online" box is open at start, unanswered
    double boxButtonAfter = 0; // seconds the box is without its OK button
    double quitAfter = 0;      // seconds until the client quits by itself; 0: never
    bool sendOnDown = false;   // icons act on the press; Send closes its window at once
    unsigned long notify = 0;  // a window sent WM_ACTIVATEAPP on each Send, as a
                               // client taking the focus sends it to the program before
    std::string log;           // the event log; empty: no log
};

struct ParseResult {
    Options options;
    std::string error; // empty when the command line was understood
};

// A command line's arguments after the program's name, split as Windows
// programs split them: blanks separate, double quotes group, and backslashes
// before a quote escape (2n give n and group, 2n+1 give n and the quote).
std::vector<std::string> CommandLineArguments(std::string_view line);

// Reads "--key=value" and "--flag" arguments (the program's name excluded).
ParseResult ParseOptions(const std::vector<std::string>& args);

// One line per option, for the error message.
const char* Usage();

} // namespace standin
