// Private to platform/: the toolkit side of the window layer. Every toolkit
// window that stands for one of the layer's windows carries a back-pointer to
// it and forwards its events to the window's handlers.
#pragma once

#include <wx/wx.h>

#include <map>
#include <memory>

#include "platform/wnd.h"

class WndTimer;

// The toolkit half of a CWnd.
struct CWnd::Impl {
    wxWindow* window = nullptr;
    bool ownerDraws = false;  // the window presents its drawing surface
    bool topMost = false;
    // The surface keeps everything drawn into it, so a repaint the toolkit
    // asks for runs the paint handler only where it is due: before the first
    // paint (and after the surface was made anew), and over what the program
    // invalidated since. Any other repaint (after a drawing outside a paint,
    // or of an uncovered window) presents the surface as it stands: a drawing
    // through a client context is on the screen at once, and no paint covers it.
    bool painted = false;
    wxRegion invalid;
    std::map<UINT, std::unique_ptr<WndTimer>> timers;
    ~Impl();
};

// Base of the toolkit windows that stand for a CWnd.
struct Bridge {
    CWnd* owner = nullptr;
    virtual ~Bridge() = default;
};

// A toolkit window's CWnd (null for windows without one).
CWnd* WndFromToolkit(wxWindow* w);
Bridge* BridgeOf(wxWindow* w);

// Every paint of a window (and of the frame around a child that paints)
// makes the toolkit ask it for its font and colours; left unset, each answer
// is looked up again in the theme. This sets them once to those same values.
void KeepDrawingAttributes(wxWindow* w);

// Forwards paint, keys, mouse and focus of w to owner's handlers.
void BindCommonEvents(wxWindow* w, CWnd* owner, bool ownerDraws);

// Virtual-key code of a toolkit key event (0 when none fits).
UINT VirtualKeyFromEvent(const wxKeyEvent& e);

// Presents the part `region` of a CWnd's drawing surface on a toolkit device
// context.
void PresentSurface(wxDC& dc, CBitmap* surface, const wxRegion& region);

// Toolkit top-level window of a CWnd (or null).
wxWindow* ToolkitOf(const CWnd* w);

class BridgeFrame : public wxFrame, public Bridge {
public:
    BridgeFrame(CWnd* owner, const wxString& title, long style);
    ~BridgeFrame() override;
};

class BridgeCanvas : public wxWindow, public Bridge {
public:
    BridgeCanvas(CWnd* owner, wxWindow* parent, const wxSize& size);
    ~BridgeCanvas() override;
};

class BridgeDialog : public wxDialog, public Bridge {
public:
    BridgeDialog(CWnd* owner, wxWindow* parent, const wxString& title, long style);
    ~BridgeDialog() override;
};

class WndTimer : public wxTimer {
public:
    WndTimer(CWnd* owner, UINT id) : owner_(owner), id_(id) {}
    void Notify() override;

private:
    CWnd* owner_;
    UINT id_;
};
