#pragma once
// The window's layout, in twips (15 to a pixel), as portable data: the
// windowless items drawn over the skin (labels, lines, Image1) in creation
// order, the real controls, and the hit test that decides which item a mouse
// press belongs to.
#include <optional>

namespace layout {

inline constexpr int kTwipsPerPixel = 15;
inline constexpr int Px(int twips) {
    return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}

inline constexpr int kFormWidth = 4710, kFormHeight = 1770;       // 314 x 118 px
inline constexpr int kPictureWidth = 4740, kPictureHeight = 1785; // cut by the window
inline constexpr int kPopupY = 227;                               // pop-up menu's top

enum class Font { None, Tahoma9, ArialNarrow975, Arial825Bold, Kids9 };
enum class Kind { Label, Line, Image };

enum class ItemId {
    Label12,
    Label11,
    Label10,
    Label9,
    Label8,
    Line8,
    Line7,
    Line6,
    Label6,
    Label5,
    Label4,
    Line5,
    Line4,
    Line3,
    Line2,
    Line1,
    Label3,
    Label2,
    Label1,
    Image1,
};

struct Rgb {
    unsigned char r, g, b;
};

// A label or image: left, top, width, height. A line: from (x1, y1) to (x2, y2).
struct Item {
    ItemId id;
    Kind kind;
    int a, b, c, d;
    const char* caption = nullptr; // nullptr: a pure click area, a line or the image
    Font font = Font::None;
    Rgb color{0, 0, 0};
};

// Windowless items in creation order: a later one lies above an earlier one.
extern const Item kItems[];
extern const int kItemCount;

// Real child controls of Picture1 (left, top, width, height in twips).
struct ControlRect {
    int left, top, width, height;
};
inline constexpr ControlRect kCheck1{3600, 360, 200, 195};
inline constexpr ControlRect kText4{1080, 360, 2295, 285};
inline constexpr ControlRect kText3{1080, 840, 2295, 285};
inline constexpr ControlRect kText2{1080, 1320, 2295, 285};
inline constexpr ControlRect kText1{3720, 840, 735, 285};

// Which item takes a press at (x, y) twips in Picture1: the topmost visible
// label or image containing the point. Lines take no mouse input, so a press
// on a line (or on bare skin) gives nothing: it belongs to Picture1.
std::optional<ItemId> HitTest(int x, int y, bool image1Visible, bool label9Visible);

const Item& ItemOf(ItemId id);

} // namespace layout
