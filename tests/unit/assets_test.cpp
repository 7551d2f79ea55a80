// The committed pictures and icon against the window's layout: what the
// program draws over the skin must land on a readable background, the Start
// button must sit where Label9 and Image1 expect it, and the Stop picture must
// cover it without a seam.
#include <gtest/gtest.h>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes ReadAsset(const std::string& name) {
    std::ifstream in(std::string(IDLER_ASSETS) + "/" + name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

std::uint32_t U16(const Bytes& b, size_t at) {
    return b.at(at) | b.at(at + 1) << 8;
}
std::uint32_t U32(const Bytes& b, size_t at) {
    return U16(b, at) | U16(b, at + 2) << 16;
}
std::int32_t I32(const Bytes& b, size_t at) {
    return static_cast<std::int32_t>(U32(b, at));
}

struct Rgb {
    int r, g, b;
};

// A 24-bit bottom-up BMP as the program loads it; fields left 0 when the
// file is not one.
struct Bmp {
    int width = 0, height = 0, bits = 0, compression = -1, xppm = 0, yppm = 0;
    Bytes data;
    size_t pixelsAt = 0;
    Rgb At(int x, int y) const {
        size_t stride = (width * 3 + 3) / 4 * 4;
        size_t i = pixelsAt + (height - 1 - y) * stride + x * 3;
        return {data.at(i + 2), data.at(i + 1), data.at(i)};
    }
};

Bmp LoadBmp(const std::string& name) {
    Bmp bmp;
    bmp.data = ReadAsset(name);
    if (bmp.data.size() < 54 || bmp.data[0] != 'B' || bmp.data[1] != 'M') return bmp;
    bmp.pixelsAt = U32(bmp.data, 10);
    bmp.width = I32(bmp.data, 18);
    bmp.height = I32(bmp.data, 22);
    bmp.bits = U16(bmp.data, 28);
    bmp.compression = static_cast<int>(U32(bmp.data, 30));
    bmp.xppm = I32(bmp.data, 38);
    bmp.yppm = I32(bmp.data, 42);
    return bmp;
}

// WCAG relative luminance and contrast ratio: 4.5 is the usual floor for
// small text, 3 for large text and graphics.
double Luminance(Rgb c) {
    auto lin = [](int v) {
        double s = v / 255.0;
        return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * lin(c.r) + 0.7152 * lin(c.g) + 0.0722 * lin(c.b);
}

double Contrast(Rgb a, Rgb b) {
    double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

int Distance(Rgb a, Rgb b) {
    return std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b);
}

constexpr int kSkinWidth = 312, kSkinHeight = 116;
constexpr int kStartLeft = 245, kStartTop = 87, kStartWidth = 62, kStartHeight = 25;
constexpr int kCorner = 4; // the frame's rounded corners are left out of edge checks

// A pixel on the straight part of the Start frame's outline, with the pixel
// just outside it: (inside, outside) pairs walking all four edges.
struct EdgePixel {
    int x, y, outX, outY;
};
std::vector<EdgePixel> StartFrameEdge() {
    std::vector<EdgePixel> edge;
    int right = kStartLeft + kStartWidth - 1, bottom = kStartTop + kStartHeight - 1;
    for (int x = kStartLeft + kCorner; x <= right - kCorner; ++x) {
        edge.push_back({x, kStartTop, x, kStartTop - 1});
        edge.push_back({x, bottom, x, bottom + 1});
    }
    for (int y = kStartTop + kCorner; y <= bottom - kCorner; ++y) {
        edge.push_back({kStartLeft, y, kStartLeft - 1, y});
        edge.push_back({right, y, right + 1, y});
    }
    return edge;
}

TEST(AssetsPictures, AreUncompressed24BitAt96Dpi) {
    struct Expect {
        const char* name;
        int width, height;
    };
    for (Expect e : {Expect{"skin.bmp", kSkinWidth, kSkinHeight},
                     Expect{"stop.bmp", kStartWidth, kStartHeight}}) {
        SCOPED_TRACE(e.name);
        Bmp bmp = LoadBmp(e.name);
        EXPECT_EQ(bmp.width, e.width);
        EXPECT_EQ(bmp.height, e.height); // positive: bottom-up rows
        EXPECT_EQ(bmp.bits, 24);
        EXPECT_EQ(bmp.compression, 0); // BI_RGB
        EXPECT_EQ(bmp.xppm, 3780);
        EXPECT_EQ(bmp.yppm, 3780);
        size_t stride = (e.width * 3 + 3) / 4 * 4;
        EXPECT_GE(bmp.data.size(), bmp.pixelsAt + stride * e.height);
    }
}

TEST(AssetsPictures, StartButtonIsFramedAtItsPlace) {
    Bmp skin = LoadBmp("skin.bmp");
    ASSERT_EQ(skin.width, kSkinWidth);
    ASSERT_EQ(skin.height, kSkinHeight);
    for (EdgePixel p : StartFrameEdge()) {
        SCOPED_TRACE(testing::Message() << "frame pixel " << p.x << "," << p.y);
        Rgb frame = skin.At(p.x, p.y), outside = skin.At(p.outX, p.outY);
        // The frame stands out from the skin right beside it...
        EXPECT_GE(Contrast(frame, outside), 3.0);
        // ...and the button ends there: two pixels further out is the same
        // background, not more of the button.
        Rgb further = skin.At(p.outX + 2 * (p.outX - p.x), p.outY + 2 * (p.outY - p.y));
        EXPECT_LT(Distance(outside, further), Distance(outside, frame));
    }
}

TEST(AssetsPictures, StopCoversStartWithoutASeam) {
    Bmp skin = LoadBmp("skin.bmp");
    Bmp stop = LoadBmp("stop.bmp");
    ASSERT_EQ(skin.width, kSkinWidth);
    ASSERT_EQ(stop.width, kStartWidth);
    ASSERT_EQ(stop.height, kStartHeight);
    // Same frame in the same place: Stop's outline stands out from the skin
    // around the Start button exactly where Start's does.
    for (EdgePixel p : StartFrameEdge()) {
        SCOPED_TRACE(testing::Message() << "frame pixel " << p.x << "," << p.y);
        EXPECT_GE(Contrast(stop.At(p.x - kStartLeft, p.y - kStartTop), skin.At(p.outX, p.outY)),
                  3.0);
    }
    // The corners outside the rounded frame show the skin's own background.
    for (auto [x, y] : std::array<std::array<int, 2>, 4>{{{0, 0},
                                                          {kStartWidth - 1, 0},
                                                          {0, kStartHeight - 1},
                                                          {kStartWidth - 1, kStartHeight - 1}}}) {
        SCOPED_TRACE(testing::Message() << "corner " << x << "," << y);
        EXPECT_LE(Distance(stop.At(x, y), skin.At(kStartLeft + x, kStartTop + y)), 6);
    }
    // And it looks different: the user sees which state the button is in.
    int changed = 0;
    for (int y = 0; y < kStartHeight; ++y)
        for (int x = 0; x < kStartWidth; ++x)
            changed += Distance(stop.At(x, y), skin.At(kStartLeft + x, kStartTop + y)) > 48;
    EXPECT_GT(changed, kStartWidth * kStartHeight / 2);
}

// Where the program writes text over the skin, every skin pixel under the
// text must leave it readable. The boxes are the labels' own less two pixels
// each side: centred text never reaches a label's border.
TEST(AssetsPictures, CaptionsDrawnOverTheSkinStayReadable) {
    struct Caption {
        const char* name;
        int x, y, width, height;
        Rgb colour;
    };
    const Rgb maroon{128, 0, 0}, grey{64, 64, 64}, black{0, 0, 0};
    const Caption captions[] = {
        {"Options", 168, 0, 41, 17, maroon},    {"Advertise", 216, 0, 49, 17, maroon},
        {"Reason", 8, 24, 41, 17, grey},        {"Link", 8, 56, 25, 17, grey},
        {"Text", 8, 88, 25, 17, grey},          {"Silent", 256, 24, 41, 17, black},
        {"Time Idle", 240, 40, 73, 17, maroon},
    };
    Bmp skin = LoadBmp("skin.bmp");
    ASSERT_EQ(skin.width, kSkinWidth);
    ASSERT_EQ(skin.height, kSkinHeight);
    for (const Caption& c : captions) {
        SCOPED_TRACE(c.name);
        double worst = 21;
        for (int y = c.y + 2; y < c.y + c.height - 2; ++y)
            for (int x = c.x + 2; x < std::min(c.x + c.width, kSkinWidth) - 2; ++x)
                worst = std::min(worst, Contrast(skin.At(x, y), c.colour));
        EXPECT_GE(worst, 4.5);
    }
}

// The connector and counter-frame lines, one pixel wide in the window-text
// colour (black), show along their whole length.
TEST(AssetsPictures, LinesDrawnOverTheSkinShow) {
    struct Line {
        const char* name;
        int x1, y1, x2, y2;
    };
    const Line lines[] = {
        {"Line6", 72, 32, 48, 32},   {"Line7", 72, 64, 32, 64},   {"Line8", 72, 96, 32, 96},
        {"Line2", 312, 40, 240, 40}, {"Line3", 240, 40, 240, 80}, {"Line4", 240, 80, 304, 80},
        {"Line5", 304, 64, 304, 80}, {"Line1", 288, 64, 304, 64},
    };
    Bmp skin = LoadBmp("skin.bmp");
    ASSERT_EQ(skin.width, kSkinWidth);
    ASSERT_EQ(skin.height, kSkinHeight);
    for (const Line& l : lines) {
        SCOPED_TRACE(l.name);
        double worst = 21;
        for (int y = std::min(l.y1, l.y2); y <= std::max(l.y1, l.y2); ++y)
            for (int x = std::min(l.x1, l.x2); x <= std::min(std::max(l.x1, l.x2), kSkinWidth - 1);
                 ++x)
                worst = std::min(worst, Contrast(skin.At(x, y), Rgb{0, 0, 0}));
        EXPECT_GE(worst, 3.0);
    }
}

TEST(AssetsPictures, GlyphsSitInTheirClickAreas) {
    Bmp skin = LoadBmp("skin.bmp");
    ASSERT_EQ(skin.width, kSkinWidth);
    // Label2 (minimize) at x 272 and Label1 (close) at x 296 are 17 pixels
    // square from the top. What stands out from the plain strip (its colour
    // at x 140, beside the title) around each must be centred on its area.
    // The picture's outer edge (row 0, column 311) is left out.
    for (int left : {272, 296}) {
        SCOPED_TRACE(left);
        double sumX = 0, sumY = 0, count = 0;
        for (int y = 1; y < 17; ++y)
            for (int x = left - 6; x <= std::min(left + 22, kSkinWidth - 2); ++x)
                if (Distance(skin.At(x, y), skin.At(140, y)) > 60) {
                    sumX += x;
                    sumY += y;
                    ++count;
                }
        ASSERT_GT(count, 17 * 17 / 2);
        EXPECT_NEAR(sumX / count, left + 8, 1.5);
        EXPECT_NEAR(sumY / count, 8, 1.5);
    }
}

struct IconImage {
    int width, height, bits;
    bool valid;        // the DIB's header agrees with the directory and its size
    int clear, opaque; // AND-mask pixels
};

std::vector<IconImage> LoadIcon(const std::string& name) {
    Bytes ico = ReadAsset(name);
    std::vector<IconImage> images;
    if (ico.size() < 6 || U16(ico, 0) != 0 || U16(ico, 2) != 1) return images;
    for (size_t n = 0; n < U16(ico, 4); ++n) {
        size_t entry = 6 + 16 * n;
        IconImage image{
            ico.at(entry), ico.at(entry + 1), static_cast<int>(U16(ico, entry + 6)), false, 0, 0};
        size_t length = U32(ico, entry + 8), at = U32(ico, entry + 12);
        if (at + length > ico.size() || length < 40) {
            images.push_back(image);
            continue;
        }
        int size = image.width;
        size_t palette = 4u << image.bits;
        size_t colourRow = (size * image.bits + 31) / 32 * 4, maskRow = (size + 31) / 32 * 4;
        image.valid = U32(ico, at) == 40 && I32(ico, at + 4) == size &&
                      I32(ico, at + 8) == 2 * image.height && U16(ico, at + 12) == 1 &&
                      static_cast<int>(U16(ico, at + 14)) == image.bits && U32(ico, at + 16) == 0 &&
                      length == 40 + palette + (colourRow + maskRow) * size;
        if (image.valid) {
            size_t mask = at + 40 + palette + colourRow * size;
            for (int y = 0; y < size; ++y)
                for (int x = 0; x < size; ++x)
                    (ico.at(mask + y * maskRow + x / 8) >> (7 - x % 8) & 1 ? image.clear
                                                                           : image.opaque)++;
        }
        images.push_back(image);
    }
    return images;
}

TEST(AssetsIcon, HoldsTheThreeImages) {
    std::vector<IconImage> images = LoadIcon("idler.ico");
    ASSERT_EQ(images.size(), 3u);
    const int expected[3][2] = {{32, 1}, {32, 4}, {16, 4}};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(images[i].width, expected[i][0]);
        EXPECT_EQ(images[i].height, expected[i][0]);
        EXPECT_EQ(images[i].bits, expected[i][1]);
        EXPECT_TRUE(images[i].valid);
        // A shape with a see-through surround: neither invisible nor a block.
        int area = images[i].width * images[i].height;
        EXPECT_GT(images[i].opaque, area / 2);
        EXPECT_GT(images[i].clear, 0);
    }
}

} // namespace
