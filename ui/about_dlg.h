// The About box: the About picture with the credits strip scrolling through a
// 230 x 224 window of it, one row per 40 ms tick over 881 positions; a click
// anywhere closes it.
#pragma once

#include <cstdint>

#include "platform/dialog.h"

inline constexpr UINT kCreditsTimerId = 16;
inline constexpr UINT kCreditsTimerMs = 40;
inline constexpr int32_t kCreditsLastOffset = 880;  // strip rows 880..1103 are the last window

extern CBitmap g_aboutBackground;  // 300 x 300
extern CBitmap g_aboutCredits;     // 230 x 1120
extern int32_t g_creditsOffset;    // strip row at the top of the credits window, 0..880
extern UINT g_creditsTimer;

class CAboutDlg : public CDialog {
public:
    explicit CAboutDlg(CWnd* parent = nullptr);
    bool OnInitDialog() override;
    void OnPaint() override;
    bool OnEraseBkgnd(CDC*) override { return true; }  // the picture covers the client area
    void OnTimer(UINT id) override;
    void OnLButtonDown(UINT flags, CPoint point) override;
    bool DestroyWindow() override;
};
