// The main frame's size and place, and the panel view's layouts and surfaces,
// computed without a display.
#include <gtest/gtest.h>

#include "shared/app_settings.h"
#include "shared/mixer.h"
#include "shared/settings.h"
#include "ui/main_frame.h"
#include "ui/synth_view.h"
#include "ui/view_globals.h"

namespace {

struct Placement {
    int screenW, screenH;
    uint32_t soundModule;
    int savedX, savedY;
    int x, y, w, h, large;
};

class FrameViewTest : public ::testing::Test {
protected:
    void TearDown() override {
        SetScreenSizeOverride(0, 0);
        g_soundModuleMode = 0;
        g_windowLeft = -1;
        g_windowTop = -1;
        g_largeLayout = 0;
    }
};

}  // namespace

TEST_F(FrameViewTest, SizeAndPlaceFollowScreenModeAndSavedCorner) {
    const Placement cases[] = {
        {1024, 768, 0, -1, -1, 192, 114, 640, 540, 1},   // first run: centred, large layout
        {640, 480, 0, 100, 50, 100, 50, 640, 480, 0},    // a 480-line screen: normal layout
        {640, 480, 0, 700, 50, 0, 0, 640, 480, 0},       // saved beyond the right edge: centred
        {640, 480, 0, 641, 480, 0, 0, 640, 480, 0},      // (the 480-line test is against 640 x 480)
        {640, 480, 0, 640, 480, 640, 480, 640, 480, 0},  // exactly at the edge is kept
        {1280, 1024, 0, 1281, 0, 320, 242, 640, 540, 1},
        {1280, 1024, 0, -300, -1, -300, -1, 640, 540, 1},  // a negative corner is used unchanged
        {1280, 1024, 1, 10, 20, 324, 335, 631, 353, 0},   // sound module: always centred
        {1023, 767, 0, -1, -1, 191, 113, 640, 540, 1},   // odd sizes: halves rounded toward zero
        {600, 400, 0, -1, -1, -20, -70, 640, 540, 1},    // a screen smaller than the window
    };
    for (const Placement& c : cases) {
        SCOPED_TRACE(testing::Message() << c.screenW << "x" << c.screenH << " saved " << c.savedX << "," << c.savedY);
        SetScreenSizeOverride(c.screenW, c.screenH);
        g_soundModuleMode = c.soundModule;
        g_windowLeft = c.savedX;
        g_windowTop = c.savedY;
        CMainFrame frame;
        CREATESTRUCT cs;
        ASSERT_TRUE(frame.PreCreateWindow(cs));
        EXPECT_EQ(cs.x, c.x);
        EXPECT_EQ(cs.y, c.y);
        EXPECT_EQ(cs.cx, c.w);
        EXPECT_EQ(cs.cy, c.h);
        EXPECT_EQ(g_frameWidth, c.w);
        EXPECT_EQ(g_frameHeight, c.h);
        EXPECT_EQ(g_largeLayout, c.large);
        EXPECT_EQ(cs.style, WS_BORDER | WS_SYSMENU | WS_MINIMIZEBOX | FWS_ADDTOTITLE);
        // The client area the panel draws into, whatever the decorations measure.
        ViewClientSize client = ViewClientSizeForLayout(c.soundModule != 0, c.large != 0);
        EXPECT_EQ(cs.clientCx, client.width);
        EXPECT_EQ(cs.clientCy, client.height);
    }
}

TEST_F(FrameViewTest, ViewLayoutsAndSurfaces) {
    struct Layout {
        uint32_t soundModule;
        int32_t large;
        int panelX, mixerShiftX, lowerPanelY, gridHeight, visibleRows, cursorRow;
    } layouts[] = {
        {0, 0, 12, 0, 336, 140, 15, 7},
        {0, 1, 12, 0, 368, 172, 19, 9},
        {1, 0, 8, 56, 185, 140, 15, 7},
    };
    for (const Layout& l : layouts) {
        SCOPED_TRACE(testing::Message() << "module " << l.soundModule << " large " << l.large);
        g_soundModuleMode = l.soundModule;
        g_largeLayout = l.large;
        for (auto& m : g_meterLevels) m = 0;
        auto* view = new CSynthView;
        EXPECT_EQ(g_panelX, l.panelX);
        EXPECT_EQ(g_panelY, 27);
        EXPECT_EQ(g_mixerShiftX, l.mixerShiftX);
        EXPECT_EQ(g_lowerPanelY, l.lowerPanelY);
        EXPECT_EQ(g_gridHeight, l.gridHeight);
        EXPECT_EQ(g_visibleRows, l.visibleRows);
        EXPECT_EQ(g_cursorRow, l.cursorRow);
        EXPECT_EQ(int32_t(g_meterLevels[0]), 16);
        EXPECT_EQ(int32_t(g_meterLevels[9]), 16);
        EXPECT_NE(g_pValueTip, nullptr);
        EXPECT_NE(g_glyphData, nullptr);
        EXPECT_EQ(g_skin.topBar.GetSize(), CSize(630, 600));
        EXPECT_EQ(g_skin.nameFont.GetSize(), CSize(640, 8));

        // The grid surface: 632 wide, top-down, 8 bits, 32 colours.
        const BITMAPINFOHEADER& h = g_gridSurface.GetDibHeader();
        EXPECT_EQ(h.biSize, 40u);
        EXPECT_EQ(h.biWidth, 632);
        EXPECT_EQ(h.biHeight, -l.gridHeight);
        EXPECT_EQ(h.biPlanes, 1);
        EXPECT_EQ(h.biBitCount, 8);
        EXPECT_EQ(h.biCompression, BI_RGB);
        EXPECT_EQ(h.biSizeImage, uint32_t(632 * l.gridHeight));
        EXPECT_EQ(h.biClrUsed, 32u);
        EXPECT_EQ(h.biClrImportant, 32u);
        EXPECT_EQ(g_orderSurface.GetDibHeader().biWidth, 88);
        EXPECT_EQ(g_orderSurface.GetDibHeader().biHeight, -60);
        EXPECT_EQ(g_orderSurface.GetDibHeader().biSizeImage, 5280u);
        ASSERT_NE(g_gridBits, nullptr);
        ASSERT_NE(g_orderBits, nullptr);
        // Pixel memory is top-down rows of 632 indices; colours by the table.
        const struct {
            uint8_t index;
            uint32_t rgb;
        } colours[] = {{1, 0x004B53}, {4, 0x272732}, {7, 0x670000}, {13, 0x838300}, {19, 0x005FD7}, {31, 0x0000C0}};
        for (const auto& c : colours) {
            g_gridBits[632 * (l.gridHeight - 1) + 5] = c.index;
            EXPECT_EQ(g_gridSurface.GetPixelRgb(5, l.gridHeight - 1), c.rgb) << int(c.index);
            g_orderBits[88 * 59 + 87] = c.index;
            EXPECT_EQ(g_orderSurface.GetPixelRgb(87, 59), c.rgb) << int(c.index);
        }
        delete view;
    }
}
