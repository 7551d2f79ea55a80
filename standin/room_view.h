#pragma once
// The room's view of its lines (the "RICHCNTL" above the chat input box),
// drawn as the client shows a room: the tags of each line interpreted, the
// text wrapped at words, the newest line on view unless scrolled back.
#include "standin/chat_wrap.h"
#include <windows.h>
#include <deque>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace standin {

// The view's fonts by face and style, made when first used and deleted with
// the view; and which faces the system has, asked once each. A few of each,
// so plain lists: std::map's tree code comes prebuilt for the Pentium Pro.
struct FontCache {
    using Key = std::tuple<std::string, bool, bool, bool>; // face, bold, italic, underline
    std::vector<std::pair<Key, HFONT>> fonts;
    std::vector<std::pair<std::string, std::string>> faces; // a face list to an installed face

    FontCache() = default;
    FontCache(const FontCache&) = delete;
    FontCache& operator=(const FontCache&) = delete;
    ~FontCache() {
        for (auto& entry : fonts) DeleteObject(entry.second);
    }
};

struct RoomLine {
    std::vector<ChatRun> runs;
    std::vector<ChatRow> rows; // for the view's width
};

struct RoomView {
    std::deque<RoomLine> lines;
    int wrapWidth = -1; // the width the lines' rows were wrapped to
    int rowHeight = 16;
    int ascent = 12;
    int topRow = 0;           // the first row on view, counted over all lines
    bool followNewest = true; // until the user scrolls back
    FontCache fonts;
};

// A line said in the room: the screen name, then the message with its tags.
void AddRoomLine(HWND view, RoomView& room, std::string_view name, std::string_view message);
// After a change of size: the lines wrapped anew, the newest kept on view.
void ResizeRoomView(HWND view, RoomView& room);
void PaintRoomView(HWND view, HDC dc, RoomView& room);
// WM_VSCROLL's request, and the mouse wheel's turn in WHEEL_DELTA units.
void ScrollRoomView(HWND view, RoomView& room, int request);
void WheelRoomView(HWND view, RoomView& room, int delta);

} // namespace standin
