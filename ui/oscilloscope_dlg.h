// The oscilloscope: a floating tool window with two traces of the live output,
// the left channel on the left and the right on the right, 104 x 64 pixels each
// in the skin's frame (bitmap 224, a client area of 247 x 108).
//
// Every 25 ms a tick plots the next 104 frames, six apart (624 frames, about
// 14 ms), from the ring the live render paths copy each block into, and copies
// only the two traces to the window; a paint copies the frame too and also
// moves the traces on. A trace is a 128 x 64 monochrome bitmap of which the
// left 104 columns show: a point is a set bit, drawn white on black; row 0 is
// the most negative level, row 63 the most positive, row 32 the zero line
// (levels 63 to 66, samples -512 to +1535). While the audio device is not
// running only the dotted zero line shows and the read position stays.
//
// Space plays and stops as in the view; any key gives the activation back to
// the main window; Esc only raises the main window and Enter does nothing: the
// window has no close box and is closed only by the Oscilloscope command and
// the document's close, which save its position.
#pragma once

#include <array>
#include <cstdint>

#include "platform/dialog.h"
#include "ui/panel_paint.h"

inline constexpr UINT kScopeTimerId = 5;
inline constexpr UINT kScopeTimerMs = 25;
inline constexpr int kScopeClientWidth = 247;
inline constexpr int kScopeClientHeight = 108;
inline constexpr int kScopeTraceWidth = 104;   // columns shown of each trace
inline constexpr int kScopeBitmapWidth = 128;
inline constexpr int kScopeBitmapHeight = 64;
inline constexpr int kScopeRowBytes = kScopeBitmapWidth / 8;
inline constexpr int kScopeBitsBytes = kScopeRowBytes * kScopeBitmapHeight;  // 1,024
inline constexpr int kScopeLeftX = 16, kScopeRightX = 127, kScopeTraceY = 27;
// Ids of the two trace bitmaps for a SkinBlitter.
inline constexpr int kScopeTraceLeft = 1;
inline constexpr int kScopeTraceRight = 2;

extern const std::array<int32_t, 128> g_scopeRowTable;  // level 0..127 -> bitmap row
extern uint8_t g_scopeBitsLeft[kScopeBitsBytes];
extern uint8_t g_scopeBitsRight[kScopeBitsBytes];
extern CBitmap g_scopeBitmapLeft;
extern CBitmap g_scopeBitmapRight;
extern UINT g_scopeTimerId;

// Computes both traces into the bit buffers from the ring at g_scopeReadPos
// and advances it (only while g_audioRunning); allocates nothing.
void RenderScopeTraces();
// The frame's five pieces from bitmap 224, and the two traces.
void PaintScopeFrame(SkinBlitter& out);
void PaintScopeTraces(SkinBlitter& out);

class COscilloscopeDlg : public CDialog {
public:
    explicit COscilloscopeDlg(CWnd* parent = nullptr);
    bool OnInitDialog() override;
    bool DestroyWindow() override;
    void OnOK() override;
    void OnCancel() override;
    void OnTimer(UINT id) override;
    void OnPaint() override;
    bool OnEraseBkgnd(CDC*) override { return true; }
    void OnKeyDown(UINT vk, UINT repeat, UINT flags) override;

    // The traces computed and copied into their bitmaps.
    virtual void RenderScope();
};
