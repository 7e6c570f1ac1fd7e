// The small windows around the main frame: the splash picture shown while the
// program starts and the value tip; and what the two floating tool windows
// (the oscilloscope and the automation panel, ui/oscilloscope_dlg.h and
// ui/automation_dlg.h) share: their saved places and the activation they give
// back to the main window.
#pragma once

#include <string>
#include <vector>

#include "platform/dialog.h"
#include "shared/app_settings.h"
#include "ui/automation_dlg.h"
#include "ui/oscilloscope_dlg.h"

class CSplashDlg : public CDialog {
public:
    explicit CSplashDlg(CWnd* parent = nullptr);
    bool OnInitDialog() override;
    void OnPaint() override;
    bool OnEraseBkgnd(CDC*) override { return true; }
};
extern CBitmap g_splashBitmap;

// The value tip: one small window shared by the panel's knobs and faders and
// the automation panel's knobs. It sizes itself once, when its window is
// created, to the widest of all the texts either can show, measured in its own
// font; whoever shows it only moves it.
class CValueTipDlg : public CDialog {
public:
    explicit CValueTipDlg(CWnd* parent = nullptr);
    bool OnInitDialog() override;
};
// Every text the value tip can show: the panel's percentages of each tip mode
// over its drag range and the automation panel's of each knob style.
std::vector<std::string> ValueTipTexts();

// A tool window at its saved corner. A corner beyond the right or bottom edge
// of the screen, or one that leaves the window wholly above or left of it
// (nothing shows there on this desktop), becomes (0, 0); a window partly on
// the screen stays where it was saved.
void PlaceAt(CWnd& wnd, const WindowPosition& pos);
// The window's corner into pos.
void SavePlace(CWnd& wnd, WindowPosition& pos);
// The main window made the active window again, its view with the keyboard
// focus.
void GiveActivationToMainWindow();

// Lets the song data operations reach the automation panel's window.
void InstallUiHooks();
