#include "ui/view_globals.h"

#include "platform/framework.h"
#include "shared/app_settings.h"

int32_t g_frameWidth = 640;
int32_t g_frameHeight = 540;
int32_t g_largeLayout = 0;

int32_t g_panelX = 12;
int32_t g_panelY = 27;
int32_t g_mixerShiftX = 0;
int32_t g_lowerPanelY = 336;
int32_t g_gridHeight = 140;
int32_t g_visibleRows = 15;
int32_t g_cursorRow = 7;

SkinBitmaps g_skin;
const uint8_t* g_glyphData = nullptr;

// index: red, green, blue
const RGBQUAD g_surfacePalette[32] = {
    {0x00, 0x00, 0x00, 0}, {0x53, 0x4B, 0x00, 0}, {0xA7, 0x97, 0x00, 0}, {0xC7, 0xAF, 0x00, 0},
    {0x32, 0x27, 0x27, 0}, {0x50, 0x50, 0x50, 0}, {0x64, 0x64, 0x64, 0}, {0x00, 0x00, 0x67, 0},
    {0x00, 0x00, 0x9B, 0}, {0x00, 0x00, 0xCF, 0}, {0x48, 0x48, 0x48, 0}, {0x58, 0x58, 0x58, 0},
    {0x68, 0x68, 0x68, 0}, {0x00, 0x83, 0x83, 0}, {0x00, 0xAF, 0xAF, 0}, {0x00, 0xDB, 0xDB, 0},
    {0x93, 0x83, 0x00, 0}, {0xC7, 0xBB, 0x00, 0}, {0xFF, 0xFF, 0x00, 0}, {0xD7, 0x5F, 0x00, 0},
    {0xEB, 0x6F, 0x00, 0}, {0xFF, 0x83, 0x00, 0}, {0x83, 0x00, 0x00, 0}, {0xBF, 0x00, 0x00, 0},
    {0xFF, 0x00, 0x00, 0}, {0x00, 0x4B, 0x00, 0}, {0x00, 0x97, 0x00, 0}, {0x00, 0xAF, 0x00, 0},
    {0x30, 0x30, 0x30, 0}, {0x40, 0x40, 0x40, 0}, {0x50, 0x50, 0x50, 0}, {0xC0, 0x00, 0x00, 0},
};
CBitmap g_gridSurface;
uint8_t* g_gridBits = nullptr;
CBitmap g_orderSurface;
uint8_t* g_orderBits = nullptr;

Relaxed<uint32_t> g_guiThreadId{0};
Relaxed<uint32_t> g_refreshPending{0};
Relaxed<uint32_t> g_viewHasFocus{0};
uint32_t g_viewTimer = 0;
uint8_t g_songInfoFromLoad = 0;
CValueTipDlg* g_pValueTip = nullptr;

ViewClientSize ViewClientSizeForLayout(bool soundModule, bool large) {
    // What the panel's drawing covers below the menu bar: 632 wide (621 in
    // the sound-module layout), down to the mixer section's bottom.
    if (soundModule) return {621, 305};
    return large ? ViewClientSize{632, 492} : ViewClientSize{632, 432};
}

void RequestDeferredRedraw() {
    g_refreshPending = 1;
    PostThreadMessage(g_guiThreadId, WM_USER, 0, 0);
}
