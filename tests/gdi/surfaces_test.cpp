// Off-screen pictures without a display: DIB sections, bitmaps, device
// contexts and the program's pictures.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

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

// A window's picture without a window: what its contexts report as changed.
class FakeWindow : public DrawTarget {
public:
    FakeWindow(int w, int h) { surface.CreateBitmap(w, h); }
    CBitmap* DrawSurface() override { return &surface; }
    void SurfaceChanged(const CRect& r) override { changes.push_back(r); }
    CBitmap surface;
    std::vector<CRect> changes;
};

// A client context of the fake window: it reports its changes when it goes.
class FakeClientDC : public CDC {
public:
    explicit FakeClientDC(FakeWindow& w) { AttachWindow(&w); }
    ~FakeClientDC() override { FlushTouched(); }
};

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

// A copy into a window reports only the rows it changed: copying what the
// picture already shows reports nothing, so the window is not presented again.
TEST(DeviceContext, AWindowHearsOnlyOfTheRowsACopyChanged) {
    CBitmap device;
    ASSERT_TRUE(device.CreateBitmap(6, 4));
    CBitmap top, bottom;
    uint8_t* topBits = nullptr;
    uint8_t* bottomBits = nullptr;
    ASSERT_TRUE(top.CreateDIBSection(Header8(6, -4), DIB_RGB_COLORS, &topBits));
    ASSERT_TRUE(bottom.CreateDIBSection(Header8(6, 4), DIB_RGB_COLORS, &bottomBits));
    CBitmap mono;
    ASSERT_TRUE(mono.CreateBitmap(6, 4, 1, 1, nullptr));
    // Each source: its pixel (c, r) set to "colour k" for the first picture.
    struct Source {
        const char* name;
        CBitmap* bitmap;
        std::function<void(int c, int r, int k)> set;
    } sources[] = {
        {"device", &device, [&](int c, int r, int k) { device.SetPixelRgb(c, r, 0x010203u * uint32_t(k)); }},
        {"top-down DIB", &top, [&](int c, int r, int k) { topBits[r * 8 + c] = uint8_t(k % 4); }},
        {"bottom-up DIB", &bottom, [&](int c, int r, int k) { bottomBits[(3 - r) * 8 + c] = uint8_t(k % 4); }},
        {"monochrome", &mono, [&](int c, int r, int k) { mono.SetPixelRgb(c, r, k % 2 ? 0xFFFFFFu : 0u); }},
    };
    for (const Source& s : sources) {
        SCOPED_TRACE(s.name);
        FakeWindow window(10, 8);
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 6; ++c) s.set(c, r, 1 + c + r);
        CDC mem;
        mem.CreateCompatibleDC(nullptr);
        mem.SelectObject(s.bitmap);
        auto copy = [&] {
            FakeClientDC dc(window);
            EXPECT_TRUE(dc.BitBlt(2, 3, 6, 4, &mem, 0, 0, SRCCOPY));
        };
        copy();
        ASSERT_EQ(window.changes.size(), 1u);
        EXPECT_EQ(window.changes[0], CRect(2, 3, 8, 7));
        EXPECT_EQ(window.surface.GetPixelRgb(3, 4), s.bitmap->GetPixelRgb(1, 1));
        window.changes.clear();
        copy();
        EXPECT_TRUE(window.changes.empty()) << "the same picture again";
        s.set(4, 2, 2 + 4 + 2);  // one pixel of source row 2
        copy();
        ASSERT_EQ(window.changes.size(), 1u);
        EXPECT_EQ(window.changes[0], CRect(2, 5, 8, 6));
        EXPECT_EQ(window.surface.GetPixelRgb(6, 5), s.bitmap->GetPixelRgb(4, 2));
    }
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
