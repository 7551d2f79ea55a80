#include "standin/room_view.h"
#include <algorithm>
#include <climits>

namespace standin {
namespace {

// A room keeps this many lines; older ones scroll away for good.
constexpr size_t kMaxLines = 500;
// Between the view's edge and its text.
constexpr int kMargin = 6;
// The size the client shows chat text in.
constexpr int kPointSize = 10;
constexpr int kWheelRows = 3;
// Face lists named by lines, remembered with the face chosen for each; a room
// that names more than this many starts again.
constexpr size_t kMaxFaceLists = 256;

// The lines are Windows-1252, whatever the system's code page.
std::wstring Widen(std::string_view bytes) {
    if (bytes.empty()) return {};
    const int size =
        MultiByteToWideChar(1252, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(std::max(size, 0), L'\0');
    MultiByteToWideChar(1252, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(), size);
    return text;
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
}

COLORREF ColorOf(std::uint32_t rgb) {
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

// GetDC/ReleaseDC.
struct WindowDc {
    HWND window;
    HDC dc;

    explicit WindowDc(HWND w) : window(w), dc(GetDC(w)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() { ReleaseDC(window, dc); }
};

// The DC's own font is back in it at the end, so the cache may delete its
// fonts whenever it likes afterwards.
struct FontScope {
    HDC dc;
    HGDIOBJ original;

    explicit FontScope(HDC d) : dc(d), original(GetCurrentObject(d, OBJ_FONT)) {}
    FontScope(const FontScope&) = delete;
    FontScope& operator=(const FontScope&) = delete;
    ~FontScope() { SelectObject(dc, original); }
};

// A bitmap the size of the view to draw into, copied to the screen at once,
// so the lines do not flicker while the room is busy.
struct Canvas {
    HDC target;
    RECT area;
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ oldBitmap;

    Canvas(HDC t, RECT a)
        : target(t), area(a), dc(CreateCompatibleDC(t)),
          bitmap(CreateCompatibleBitmap(t, std::max<int>(a.right, 1), std::max<int>(a.bottom, 1))),
          oldBitmap(SelectObject(dc, bitmap)) {}
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    ~Canvas() {
        BitBlt(target, 0, 0, area.right, area.bottom, dc, 0, 0, SRCCOPY);
        SelectObject(dc, oldBitmap);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
};

int CALLBACK FaceFound(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

// Face names go to the system as the line has them: in ASCII, as every face
// name of a Western system is, 1252 and the system's code page agree.
bool Installed(HDC dc, const std::string& face) {
    if (face.empty() || face.size() >= LF_FACESIZE) return false;
    LOGFONTA query{};
    query.lfCharSet = DEFAULT_CHARSET;
    face.copy(query.lfFaceName, face.size());
    bool found = false;
    EnumFontFamiliesExA(dc, &query, FaceFound, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

// A face list as HTML writes it ("arial narrow, helvetica"): the first face
// the system has, else the client's own face, which the system maps to one
// it has if it must.
std::string FaceFor(HDC dc, FontCache& cache, const std::string& faces) {
    for (const auto& [list, face] : cache.faces)
        if (list == faces) return face;
    if (cache.faces.size() >= kMaxFaceLists) cache.faces.clear();
    std::string chosen = kChatFace;
    for (size_t start = 0; start <= faces.size();) {
        const size_t comma = std::min(faces.find(',', start), faces.size());
        const std::string face(TrimBlanks(std::string_view(faces).substr(start, comma - start)));
        if (Installed(dc, face)) {
            chosen = face;
            break;
        }
        start = comma + 1;
    }
    cache.faces.emplace_back(faces, chosen);
    return chosen;
}

// Fonts are keyed by the installed face, so lines cannot make more of them
// than the system has faces.
HFONT FontFor(HDC dc, FontCache& cache, const ChatStyle& style) {
    const std::string face = FaceFor(dc, cache, style.face);
    const FontCache::Key key{face, style.bold, style.italic, style.underline};
    for (const auto& [known, font] : cache.fonts)
        if (known == key) return font;
    HFONT font = CreateFontA(-MulDiv(kPointSize, GetDeviceCaps(dc, LOGPIXELSY), 72), 0, 0, 0,
                             style.bold ? FW_BOLD : FW_NORMAL, style.italic, style.underline, FALSE,
                             DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                             ANTIALIASED_QUALITY, VARIABLE_PITCH | FF_SWISS, face.c_str());
    cache.fonts.emplace_back(key, font);
    return font;
}

int TextWidth(HDC dc, FontCache& cache, const ChatStyle& style, std::string_view bytes) {
    SelectObject(dc, FontFor(dc, cache, style));
    const std::wstring text = Widen(bytes);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &size);
    return size.cx;
}

// Rows are as high as the plain text's font; other faces share its baseline.
void TakeMetrics(HDC dc, RoomView& room) {
    SelectObject(dc, FontFor(dc, room.fonts, ChatStyle{}));
    TEXTMETRICA metrics{};
    if (!GetTextMetricsA(dc, &metrics)) return;
    room.rowHeight = std::max<int>(metrics.tmHeight + metrics.tmExternalLeading + 1, 1);
    room.ascent = metrics.tmAscent;
}

RECT ClientArea(HWND view) {
    RECT area{};
    GetClientRect(view, &area);
    return area;
}

// Every line for a new width, else only lines not wrapped yet.
void Wrap(HWND view, RoomView& room) {
    const int width = std::max<int>(ClientArea(view).right - 2 * kMargin, 1);
    const bool all = width != room.wrapWidth;
    room.wrapWidth = width;
    WindowDc window(view);
    FontScope scope(window.dc);
    TakeMetrics(window.dc, room);
    const MeasureText measure = [&](const ChatStyle& style, std::string_view text) {
        return TextWidth(window.dc, room.fonts, style, text);
    };
    for (RoomLine& line : room.lines) {
        if (all || line.rows.empty()) line.rows = WrapChatRuns(line.runs, width, measure);
    }
}

int TotalRows(const RoomView& room) {
    int rows = 0;
    for (const RoomLine& line : room.lines) rows += static_cast<int>(line.rows.size());
    return rows;
}

int VisibleRows(HWND view, const RoomView& room) {
    return std::max<int>((ClientArea(view).bottom - 2 * kMargin) / room.rowHeight, 1);
}

int LastTopRow(HWND view, const RoomView& room) {
    return std::max(TotalRows(room) - VisibleRows(view, room), 0);
}

// The scroll bar stays (disabled while everything fits), so the text's width
// does not change with the number of lines.
void UpdateScrollBar(HWND view, RoomView& room) {
    const int last = LastTopRow(view, room);
    room.topRow = room.followNewest ? last : std::clamp(room.topRow, 0, last);
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    info.nMax = std::max(TotalRows(room) - 1, 0);
    info.nPage = static_cast<UINT>(VisibleRows(view, room));
    info.nPos = room.topRow;
    SetScrollInfo(view, SB_VERT, &info, TRUE);
}

void ScrollTo(HWND view, RoomView& room, int row) {
    const int last = LastTopRow(view, room);
    room.topRow = std::clamp(row, 0, last);
    room.followNewest = room.topRow >= last;
    UpdateScrollBar(view, room);
    InvalidateRect(view, nullptr, FALSE);
}

int TrackPosition(HWND view) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_TRACKPOS;
    GetScrollInfo(view, SB_VERT, &info);
    return info.nTrackPos;
}

void DrawRow(HDC dc, RoomView& room, const RoomLine& line, const ChatRow& row, int y) {
    for (const ChatPiece& piece : row) {
        const ChatStyle& style = line.runs[piece.run].style;
        SelectObject(dc, FontFor(dc, room.fonts, style));
        SetTextColor(dc, ColorOf(style.color));
        const std::wstring text = Widen(piece.text);
        TextOutW(dc, kMargin + piece.x, y + room.ascent, text.data(),
                 static_cast<int>(text.size()));
    }
}

} // namespace

void AddRoomLine(HWND view, RoomView& room, std::string_view name, std::string_view message) {
    room.lines.push_back({RoomLineRuns(name, message), {}});
    if (room.lines.size() > kMaxLines) {
        room.topRow -= static_cast<int>(room.lines.front().rows.size());
        room.lines.pop_front();
    }
    Wrap(view, room);
    UpdateScrollBar(view, room);
    InvalidateRect(view, nullptr, FALSE);
}

void ResizeRoomView(HWND view, RoomView& room) {
    Wrap(view, room);
    UpdateScrollBar(view, room);
    InvalidateRect(view, nullptr, FALSE);
}

void PaintRoomView(HWND view, HDC target, RoomView& room) {
    const RECT area = ClientArea(view);
    Canvas canvas(target, area);
    FillRect(canvas.dc, &area, GetSysColorBrush(COLOR_WINDOW));
    SetBkMode(canvas.dc, TRANSPARENT);
    SetTextAlign(canvas.dc, TA_BASELINE | TA_LEFT | TA_NOUPDATECP);
    FontScope scope(canvas.dc);
    int row = 0, y = kMargin;
    for (const RoomLine& line : room.lines) {
        for (const ChatRow& r : line.rows) {
            if (row++ < room.topRow) continue;
            if (y >= area.bottom) return;
            DrawRow(canvas.dc, room, line, r, y);
            y += room.rowHeight;
        }
    }
}

void ScrollRoomView(HWND view, RoomView& room, int request) {
    const int page = VisibleRows(view, room);
    switch (request) {
    case SB_LINEUP:
        return ScrollTo(view, room, room.topRow - 1);
    case SB_LINEDOWN:
        return ScrollTo(view, room, room.topRow + 1);
    case SB_PAGEUP:
        return ScrollTo(view, room, room.topRow - page);
    case SB_PAGEDOWN:
        return ScrollTo(view, room, room.topRow + page);
    case SB_TOP:
        return ScrollTo(view, room, 0);
    case SB_BOTTOM:
        return ScrollTo(view, room, INT_MAX);
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        return ScrollTo(view, room, TrackPosition(view));
    }
}

void WheelRoomView(HWND view, RoomView& room, int delta) {
    ScrollTo(view, room, room.topRow - delta * kWheelRows / WHEEL_DELTA);
}

} // namespace standin
