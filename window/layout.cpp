#include "window/layout.h"

namespace layout {

namespace {
constexpr Rgb kMaroon{128, 0, 0}, kGrey{64, 64, 64}, kDefault{0, 0, 0};
} // namespace

const Item kItems[] = {
    {ItemId::Label12, Kind::Label, 2520, 0, 615, 255, "Options", Font::ArialNarrow975, kMaroon},
    {ItemId::Label11, Kind::Label, 3840, 360, 615, 255, "Silent", Font::Arial825Bold, kDefault},
    {ItemId::Label10, Kind::Label, 0, 0, 2535, 255},
    {ItemId::Label9, Kind::Label, 3720, 1320, 855, 375},
    {ItemId::Label8, Kind::Label, 3240, 0, 735, 255, "Advertise", Font::ArialNarrow975, kMaroon},
    {ItemId::Line8, Kind::Line, 1080, 1440, 480, 1440},
    {ItemId::Line7, Kind::Line, 1080, 960, 480, 960},
    {ItemId::Line6, Kind::Line, 1080, 480, 720, 480},
    {ItemId::Label6, Kind::Label, 120, 1320, 375, 255, "Text", Font::Tahoma9, kGrey},
    {ItemId::Label5, Kind::Label, 120, 840, 375, 255, "Link", Font::Tahoma9, kGrey},
    {ItemId::Label4, Kind::Label, 120, 360, 615, 255, "Reason", Font::Tahoma9, kGrey},
    {ItemId::Line5, Kind::Line, 4560, 960, 4560, 1200},
    {ItemId::Line4, Kind::Line, 3600, 1200, 4560, 1200},
    {ItemId::Line3, Kind::Line, 3600, 600, 3600, 1200},
    {ItemId::Line2, Kind::Line, 4680, 600, 3600, 600},
    {ItemId::Line1, Kind::Line, 4320, 960, 4560, 960},
    {ItemId::Label3, Kind::Label, 3600, 600, 1095, 255, "Time Idle", Font::Kids9, kMaroon},
    {ItemId::Label2, Kind::Label, 4080, 0, 255, 255},
    {ItemId::Label1, Kind::Label, 4440, 0, 255, 255},
    {ItemId::Image1, Kind::Image, 3680, 1300, 930, 375},
};
const int kItemCount = static_cast<int>(sizeof kItems / sizeof kItems[0]);

const Item& ItemOf(ItemId id) {
    for (const Item& item : kItems)
        if (item.id == id) return item;
    return kItems[0]; // every id is in the table
}

std::optional<ItemId> HitTest(int x, int y, bool image1Visible, bool label9Visible) {
    for (int i = kItemCount - 1; i >= 0; --i) {
        const Item& item = kItems[i];
        if (item.kind == Kind::Line) continue;
        if (item.id == ItemId::Image1 && !image1Visible) continue;
        if (item.id == ItemId::Label9 && !label9Visible) continue;
        if (x >= item.a && x < item.a + item.c && y >= item.b && y < item.b + item.d)
            return item.id;
    }
    return std::nullopt;
}

} // namespace layout
