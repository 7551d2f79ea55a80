#pragma once
// Word wrap of a room line's runs into rows no wider than the room's view.
// The caller measures text (the view with GDI, the tests with a fake), so
// this stays portable.
#include "standin/chat_markup.h"
#include <functional>

namespace standin {

// Part of one run, placed on a row.
struct ChatPiece {
    size_t run = 0; // index into the line's runs
    std::string text;
    int x = 0; // from the row's left edge
    int width = 0;

    bool operator==(const ChatPiece&) const = default;
};
using ChatRow = std::vector<ChatPiece>;
using MeasureText = std::function<int(const ChatStyle&, std::string_view)>;

// At least one row. Rows break at blanks, and the blanks at a break are not
// shown. A word (which may span runs, as in "<b>bo</b>ld") moves to the next
// row whole; one wider than a row is cut where it stops fitting, at least one
// byte to a row.
std::vector<ChatRow> WrapChatRuns(const std::vector<ChatRun>& runs, int width,
                                  const MeasureText& measure);

} // namespace standin
