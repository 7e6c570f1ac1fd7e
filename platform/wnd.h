// Windows of the application framework layer: command targets with their
// command tables, and the window base with its message handlers.
//
// A window's handlers are virtual operations; each base handler passes the
// message on to default processing (Default, which calls DefWindowProc with
// the message being handled), so an override that calls its base ends in
// default processing too. Windows that draw themselves keep their picture in a
// drawing surface (platform/gdi.h); their client and paint contexts draw there
// and the toolkit window only presents it.
//
// No toolkit header is included here: the toolkit window sits behind Impl.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/afx.h"
#include "platform/gdi.h"
#include "platform/key_layer.h"

// The state a command's update handler sets: enabled (the default) or not,
// and the check mark.
class CCmdUI {
public:
    UINT m_nID = 0;
    bool m_bEnabled = true;
    int m_nCheck = 0;
    bool m_bCheckSet = false;
    void Enable(bool on = true) { m_bEnabled = on; }
    void SetCheck(int check = 1) {
        m_nCheck = check;
        m_bCheckSet = true;
    }
};

// Something that takes commands. Its command table is filled by its
// constructor (the classic message map): a handler per command id, and an
// update handler that tells whether the command is available.
class CCmdTarget {
public:
    CCmdTarget() = default;
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;
    virtual ~CCmdTarget();

    // With ui null: runs the command's handler; with ui: runs its update
    // handler (a command with a handler and no update handler is enabled).
    // True when this target has the command.
    virtual bool OnCmdMsg(UINT id, CCmdUI* ui);
    bool HasCommandHandler(UINT id) const;

protected:
    void OnCommandEntry(UINT id, std::function<void()> handler);
    void OnCommandRangeEntry(UINT first, UINT last, std::function<void(UINT)> handler);
    void OnUpdateEntry(UINT id, std::function<void(CCmdUI*)> handler);
    void OnUpdateRangeEntry(UINT first, UINT last, std::function<void(CCmdUI*)> handler);

private:
    struct Range {
        UINT first, last;
        std::function<void(UINT)> run;
        std::function<void(CCmdUI*)> update;
    };
    std::map<UINT, std::function<void()>> commands_;
    std::map<UINT, std::function<void(CCmdUI*)>> updates_;
    std::vector<Range> ranges_;
};

// Creation parameters of a frame window, as its PreCreateWindow sees them.
// clientCx and clientCy, when not 0, ask the layer for that client area below
// the menu bar instead of the outer size cx x cy: a fixed-size window then
// shows its content unclipped whatever the desktop's decorations measure.
struct CREATESTRUCT {
    int x = 0, y = 0, cx = 0, cy = 0;
    DWORD style = 0;
    int clientCx = 0, clientCy = 0;
};

inline constexpr int kUseDefault = int(0x80000000);

class CWnd;
// Marker windows of SetWindowPos's z-order argument.
extern CWnd wndTopMost;
extern CWnd wndNoTopMost;

class CWnd : public CCmdTarget, public DrawTarget {
public:
    struct Impl;

    CWnd();
    ~CWnd() override;

    // The toolkit window as an opaque handle; null while there is none.
    void* GetSafeHwnd() const;
    bool IsWindow() const { return GetSafeHwnd() != nullptr; }

    virtual bool DestroyWindow();
    bool ShowWindow(int cmd);
    void UpdateWindow();
    void Invalidate(bool erase = true);
    void InvalidateRect(const CRect* r, bool erase = true);
    bool RedrawWindow(const CRect* r = nullptr, UINT flags = RDW_INVALIDATE);
    bool MoveWindow(int x, int y, int w, int h, bool repaint = true);
    bool SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags);
    void GetWindowRect(CRect* r) const;
    // Gives the window a client area of w x h (its drawing surface follows).
    void SetClientSize(int w, int h);
    // Centres the window over its owner, or on the screen when it has none.
    void CenterWindow();
    void GetClientRect(CRect* r) const;
    bool IsWindowVisible() const;
    bool IsIconic() const;
    // Whether SetWindowPos last made the window topmost.
    bool IsTopMost() const;
    void EnableWindow(bool enable = true);
    bool IsWindowEnabled() const;
    void SetWindowText(const std::string& text);
    std::string GetWindowText() const;
    // The size of one line of text in the window's own font; (0, 0) for a
    // window that does not exist.
    CSize GetTextExtent(const std::string& text) const;
    CWnd* SetFocus();
    static CWnd* GetFocus();
    void SetForegroundWindow();
    void BringWindowToTop();
    CWnd* SetCapture();
    static CWnd* GetCapture();
    // The window in front of the others, with the keyboard focus, as the
    // active window of the program.
    void SetActiveWindow();
    void DragAcceptFiles(bool accept = true);
    CWnd* GetParent() const { return parent_; }
    virtual CWnd* GetDlgItem(int id) const;

    // Timers: WM_TIMER reaches OnTimer with the id every period (also while a
    // modal dialog or message box runs). Returns the id, 0 on failure.
    UINT SetTimer(UINT id, UINT elapseMs);
    bool KillTimer(UINT id);

    // Sends a message straight to the window's handlers: WM_CLOSE, WM_COMMAND
    // (wParam the command id), WM_USER and up go to default processing.
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

    // Message handlers. Each base handler ends in default processing.
    virtual void OnPaint();
    virtual bool OnEraseBkgnd(CDC* dc);
    virtual void OnTimer(UINT id);
    virtual void OnKeyDown(UINT vk, UINT repeat, UINT flags);
    virtual void OnKeyUp(UINT vk, UINT repeat, UINT flags);
    virtual void OnChar(UINT ch, UINT repeat, UINT flags);
    virtual void OnSysKeyDown(UINT vk, UINT repeat, UINT flags);
    virtual void OnSysKeyUp(UINT vk, UINT repeat, UINT flags);
    virtual void OnLButtonDown(UINT flags, CPoint point);
    virtual void OnLButtonUp(UINT flags, CPoint point);
    virtual void OnLButtonDblClk(UINT flags, CPoint point);
    virtual void OnRButtonDown(UINT flags, CPoint point);
    virtual void OnMouseMove(UINT flags, CPoint point);
    virtual void OnSetFocus(CWnd* oldWnd);
    virtual void OnKillFocus(CWnd* newWnd);
    virtual void OnActivate(UINT state, CWnd* other, bool minimized);
    virtual void OnClose();
    virtual void OnDestroy();
    virtual void OnDropFiles(const std::vector<std::string>& files);
    virtual bool OnHelpInfo();

    // Default processing of the message being handled.
    LRESULT Default();
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Called after the window is gone; the object may delete itself here.
    virtual void PostNcDestroy();

    // The drawing surface (created with the window at its client size).
    CBitmap* DrawSurface() override;
    void SurfaceChanged(const CRect& r) override;
    // How many drawings outside a paint reached the window so far (each
    // client context that changed something counts once).
    uint64_t PresentedDrawings() const { return presented_; }

    // Layer plumbing, used by the toolkit bridge.
    Impl* GetImpl() const { return impl_.get(); }
    void AttachImpl(std::unique_ptr<Impl> impl, CWnd* parent);
    void ToolkitWindowGone();
    void SyncSurfaceSize();
    // False once the window object is gone: for work queued to run later.
    std::shared_ptr<bool> LifeToken() const { return alive_; }
    bool InPaint() const { return inPaint_; }
    void SetInPaint(bool on) { inPaint_ = on; }
    // Runs a handler as the message (msg, wParam, lParam): Default() inside it
    // calls DefWindowProc with these. Returns whether the message reached
    // default processing.
    bool Dispatch(UINT msg, WPARAM wParam, LPARAM lParam, const std::function<void()>& handler);

protected:
    std::unique_ptr<Impl> impl_;
    CWnd* parent_ = nullptr;
    bool inPaint_ = false;
    uint64_t presented_ = 0;
    struct CurrentMessage {
        UINT msg;
        WPARAM wParam;
        LPARAM lParam;
        bool defaulted;
    };
    std::vector<CurrentMessage> messages_;
    CBitmap surface_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

// Ends a mouse capture; nothing when no window has the mouse.
void ReleaseCapture();

// The screen's size; a test may put another size in place.
int GetScreenWidth();
int GetScreenHeight();
void SetScreenSizeOverride(int width, int height);  // 0, 0 removes it
