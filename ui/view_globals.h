// The main window's layout, skin and off-screen surfaces, and the view's
// state words. The frame chooses its size once at start; the view's
// constructor sets the layout values, loads the skin and creates the surfaces.
#pragma once

#include <cstdint>

#include "platform/gdi.h"
#include "shared/relaxed.h"

class CValueTipDlg;

// Chosen by the frame: the outer size (631 x 353, 640 x 480 or 640 x 540).
extern int32_t g_frameWidth;
extern int32_t g_frameHeight;
extern int32_t g_largeLayout;  // 1 when 640 x 540 was chosen

// Set by the view's constructor for the normal, large or sound-module layout.
extern int32_t g_panelX;
extern int32_t g_panelY;
extern int32_t g_mixerShiftX;
extern int32_t g_lowerPanelY;
extern int32_t g_gridHeight;
extern int32_t g_visibleRows;
extern int32_t g_cursorRow;

// The view's client area for the layout in force: what its drawing covers.
struct ViewClientSize {
    int width;
    int height;
};
ViewClientSize ViewClientSizeForLayout(bool soundModule, bool large);

// The skin bitmaps, loaded once by the view's constructor.
struct SkinBitmaps {
    CBitmap topBar;           // 208
    CBitmap synthSection;     // 189
    CBitmap mixerSection;     // 205
    CBitmap automationFrame;  // 221
    CBitmap scopeFrame;       // 224
    CBitmap knobA;            // 196
    CBitmap knobBipolar;      // 197
    CBitmap knobC;            // 198
    CBitmap knobD;            // 200
    CBitmap lamp;             // 194
    CBitmap buttons;          // 199
    CBitmap digits;           // 204
    CBitmap smallKnobPan;     // 206
    CBitmap smallKnobSend;    // 207
    CBitmap nameFont;         // 214
};
extern SkinBitmaps g_skin;
extern const uint8_t* g_glyphData;  // the glyph sheet (14,880 bytes)

// The two 8-bit off-screen surfaces and their 32-colour table.
extern const RGBQUAD g_surfacePalette[32];
extern CBitmap g_gridSurface;
extern uint8_t* g_gridBits;
extern CBitmap g_orderSurface;
extern uint8_t* g_orderBits;

extern Relaxed<uint32_t> g_guiThreadId;     // target of the deferred-redraw message
extern Relaxed<uint32_t> g_refreshPending;  // redraw the pattern display at the next default processing
extern Relaxed<uint32_t> g_viewHasFocus;
extern uint32_t g_viewTimer;
extern uint8_t g_songInfoFromLoad;
extern CValueTipDlg* g_pValueTip;

// Asks the GUI thread to redraw the pattern display (from any thread).
void RequestDeferredRedraw();

// The computer keyboard's note map; built from the tracker-style setting and
// the system language.
void BuildNoteKeyMap();
