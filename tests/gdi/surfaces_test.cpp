// Off-screen pictures without a display: DIB sections, bitmaps, device
// contexts and the program's pictures.
#include <gtest/gtest.h>

#include "platform/gdi.h"
#include "platform/resources.h"
#include "platform/wnd.h"
#include "res/resource_ids.h"

namespace {

BITMAPINFO Header8(int w, int h) {
    BITMAPINFO info{};
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = h;
    info.bmiHeader.biBitCount = 8;
    info.bmiHeader.biClrUsed = 4;
    info.bmiColors[1] = {0x30, 0x20, 0x10, 0};  // red 10, green 20, blue 30
    info.bmiColors[2] = {0xFF, 0x00, 0x00, 0};  // blue
    info.bmiColors[3] = {0x00, 0xFF, 0xFF, 0};  // yellow
    return info;
}

}  // namespace

TEST(DibSection, RowsAndColoursFollowTheHeader) {
    for (int height : {-5, 5}) {
        SCOPED_TRACE(height);
        CBitmap dib;
        uint8_t* bits = nullptr;
        ASSERT_TRUE(dib.CreateDIBSection(Header8(6, height), DIB_RGB_COLORS, &bits));
        ASSERT_NE(bits, nullptr);
        EXPECT_EQ(dib.GetStride(), 8);  // rows padded to 4 bytes
        EXPECT_EQ(dib.Width(), 6);
        EXPECT_EQ(dib.Height(), 5);
        bits[0] = 1;  // first row of memory
        // Top-down memory starts with the top row; bottom-up with the bottom one.
        const int y = height < 0 ? 0 : 4;
        EXPECT_EQ(dib.GetIndex(0, y), 1);
        EXPECT_EQ(dib.GetPixelRgb(0, y), 0x102030u);
    }
    CBitmap wide;
    BITMAPINFO info = Header8(6, -5);
    info.bmiHeader.biBitCount = 24;
    uint8_t* bits = reinterpret_cast<uint8_t*>(1);
    EXPECT_FALSE(wide.CreateDIBSection(info, DIB_RGB_COLORS, &bits));
    EXPECT_EQ(bits, nullptr);
}

TEST(DeviceContext, BitBltCopiesThroughPaletteAndClips) {
    CBitmap dib;
    uint8_t* bits = nullptr;
    ASSERT_TRUE(dib.CreateDIBSection(Header8(4, -2), DIB_RGB_COLORS, &bits));
    for (int i = 0; i < 4; ++i) bits[i] = uint8_t(i);  // row 0: indices 0 1 2 3
    CBitmap screen;
    ASSERT_TRUE(screen.CreateBitmap(5, 3));

    CDC src, dst;
    src.CreateCompatibleDC(nullptr);
    dst.CreateCompatibleDC(nullptr);
    CBitmap* stockSrc = src.SelectObject(&dib);
    ASSERT_NE(stockSrc, nullptr);
    EXPECT_EQ(stockSrc->Width(), 1);  // the stock 1 x 1 bitmap
    dst.SelectObject(&screen);
    // Placed at x 3, the copy is cut at the destination's right edge.
    EXPECT_TRUE(dst.BitBlt(3, 1, 4, 2, &src, 0, 0, SRCCOPY));
    EXPECT_EQ(screen.GetPixelRgb(2, 1), 0u);
    EXPECT_EQ(screen.GetPixelRgb(3, 1), 0u);         // index 0: black
    EXPECT_EQ(screen.GetPixelRgb(4, 1), 0x102030u);  // index 1
    // A negative destination moves the source start instead.
    EXPECT_TRUE(dst.BitBlt(-2, 0, 4, 1, &src, 0, 0, SRCCOPY));
    EXPECT_EQ(screen.GetPixelRgb(0, 0), 0x0000FFu);  // index 2
    EXPECT_EQ(screen.GetPixelRgb(1, 0), 0xFFFF00u);  // index 3
    EXPECT_EQ(src.SelectObject(stockSrc), &dib);
    EXPECT_FALSE(dst.BitBlt(0, 0, 1, 1, &src, 0, 0, 0x00EE0086));  // only plain copies
}

TEST(DeviceContext, AWindowThatDoesNotExistIsTheScreen) {
    CWnd wnd;
    CClientDC dc(&wnd);
    EXPECT_EQ(dc.GetDeviceCaps(NUMCOLORS), -1);  // true colour: no palette warning
    EXPECT_EQ(dc.Target(), nullptr);
    dc.FillSolidRect(0, 0, 10, 10, RGB(1, 2, 3));  // draws nowhere, harmlessly
    EXPECT_EQ(dc.GetPixel(0, 0), COLORREF(-1));
}

TEST(Resources, PicturesHaveTheirSizes) {
    struct Case {
        UINT id;
        int w, h;
    } cases[] = {{208, 630, 600}, {189, 605, 157}, {205, 630, 190}, {196, 30, 2430}, {197, 30, 2430},
                 {198, 30, 2430}, {200, 30, 2430}, {206, 24, 984},  {207, 24, 984},   {199, 597, 24},
                 {194, 11, 19},   {204, 131, 38},  {214, 640, 8},   {221, 326, 144},  {224, 247, 108},
                 {229, 400, 256}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        CBitmap b;
        ASSERT_TRUE(b.LoadBitmap(c.id));
        EXPECT_EQ(b.GetSize(), CSize(c.w, c.h));
    }
    size_t size = 0;
    EXPECT_NE(FindRawResource(IDR_GLYPHS, &size), nullptr);
    EXPECT_EQ(size, 14880u);
}
