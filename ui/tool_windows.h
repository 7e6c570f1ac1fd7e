// The small windows around the main frame: the splash picture shown while the
// program starts, the value tip, and the objects of the two floating tool
// windows (oscilloscope and automation panel), whose windows are created and
// destroyed on demand. The tool windows' contents come with their own parts;
// here they are plain windows at their saved places.
#pragma once

#include "platform/dialog.h"

class CSplashDlg : public CDialog {
public:
    explicit CSplashDlg(CWnd* parent = nullptr);
    bool OnInitDialog() override;
    void OnPaint() override;
    bool OnEraseBkgnd(CDC*) override { return true; }
};
extern CBitmap g_splashBitmap;

class CValueTipDlg : public CDialog {
public:
    explicit CValueTipDlg(CWnd* parent = nullptr);
};

class COscilloscopeDlg : public CDialog {
public:
    explicit COscilloscopeDlg(CWnd* parent = nullptr);
    bool OnInitDialog() override;
    bool DestroyWindow() override;
};

class CAutomationDlg : public CDialog {
public:
    explicit CAutomationDlg(CWnd* parent = nullptr);
    bool OnInitDialog() override;
    bool DestroyWindow() override;
};

// Lets the song data operations reach the automation panel's window.
void InstallUiHooks();
