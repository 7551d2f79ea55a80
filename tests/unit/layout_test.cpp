// Which item of the window takes a mouse press: the rules that decide between
// dragging the window, a click, and nothing.
#include "window/layout.h"
#include <gtest/gtest.h>

using layout::HitTest;
using layout::ItemId;

namespace {

TEST(LayoutHitTest, CaptionStripItems) {
    EXPECT_EQ(HitTest(600, 100, false, true), ItemId::Label10);  // drag strip
    EXPECT_EQ(HitTest(2700, 100, false, true), ItemId::Label12); // Options
    EXPECT_EQ(HitTest(3400, 100, false, true), ItemId::Label8);  // Advertise
    EXPECT_EQ(HitTest(4100, 100, false, true), ItemId::Label2);  // minimize glyph
    EXPECT_EQ(HitTest(4500, 100, false, true), ItemId::Label1);  // close glyph
}

TEST(LayoutHitTest, LaterItemLiesAboveEarlierOne) {
    // The drag strip (created after "Options") covers their shared 15 twips.
    EXPECT_EQ(HitTest(2525, 100, false, true), ItemId::Label10);
    // "Time Idle" lies over the counter frame's top line.
    EXPECT_EQ(HitTest(3700, 600, false, true), ItemId::Label3);
}

TEST(LayoutHitTest, LinesAndBareSkinBelongToThePicture) {
    EXPECT_EQ(HitTest(900, 480, false, true), std::nullopt);   // Line6, beyond "Reason"
    EXPECT_EQ(HitTest(4560, 1100, false, true), std::nullopt); // Line5
    EXPECT_EQ(HitTest(2000, 1650, false, true), std::nullopt);
}

TEST(LayoutHitTest, StartAndStopTakeTurnsOverTheButton) {
    EXPECT_EQ(HitTest(3900, 1450, false, true), ItemId::Label9);
    EXPECT_EQ(HitTest(3900, 1450, true, false), ItemId::Image1);
    // Image1 is larger than Label9: its left strip is skin while stopped.
    EXPECT_EQ(HitTest(3690, 1450, false, true), std::nullopt);
    EXPECT_EQ(HitTest(3690, 1450, true, false), ItemId::Image1);
}

TEST(LayoutHitTest, EdgesAreHalfOpen) {
    EXPECT_EQ(HitTest(4080, 0, false, true), ItemId::Label2);
    EXPECT_EQ(HitTest(4335, 0, false, true), std::nullopt); // 4080 + 255
    EXPECT_EQ(HitTest(-1, 0, false, true), std::nullopt);
}

TEST(LayoutPixels, TwipsRoundToTheNearestPixel) {
    EXPECT_EQ(layout::Px(layout::kFormWidth), 314);
    EXPECT_EQ(layout::Px(layout::kFormHeight), 118);
    EXPECT_EQ(layout::Px(3680), 245); // Image1 over the skin's Start button
    EXPECT_EQ(layout::Px(1300), 87);
    EXPECT_EQ(layout::Px(930), 62);
    EXPECT_EQ(layout::Px(375), 25);
}

} // namespace
