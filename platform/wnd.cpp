#include "platform/wnd.h"

#include <wx/display.h>
#include <wx/rawbmp.h>

#include <algorithm>
#include <memory>
#include <unordered_map>

#include "platform/framework.h"
#include "platform/wx_bridge.h"

// ---------------------------------------------------------------- commands

CCmdTarget::~CCmdTarget() = default;

void CCmdTarget::OnCommandEntry(UINT id, std::function<void()> handler) { commands_[id] = std::move(handler); }
void CCmdTarget::OnUpdateEntry(UINT id, std::function<void(CCmdUI*)> handler) { updates_[id] = std::move(handler); }
void CCmdTarget::OnCommandRangeEntry(UINT first, UINT last, std::function<void(UINT)> handler) {
    ranges_.push_back({first, last, std::move(handler), nullptr});
}
void CCmdTarget::OnUpdateRangeEntry(UINT first, UINT last, std::function<void(CCmdUI*)> handler) {
    ranges_.push_back({first, last, nullptr, std::move(handler)});
}

bool CCmdTarget::HasCommandHandler(UINT id) const {
    if (commands_.count(id)) return true;
    for (const Range& r : ranges_)
        if (r.run && id >= r.first && id <= r.last) return true;
    return false;
}

bool CCmdTarget::OnCmdMsg(UINT id, CCmdUI* ui) {
    if (ui) {
        if (auto it = updates_.find(id); it != updates_.end()) {
            it->second(ui);
            return true;
        }
        for (const Range& r : ranges_)
            if (r.update && id >= r.first && id <= r.last) {
                r.update(ui);
                return true;
            }
        if (HasCommandHandler(id)) {
            ui->Enable(true);
            return true;
        }
        return false;
    }
    if (auto it = commands_.find(id); it != commands_.end()) {
        auto handler = it->second;  // the handler may change the table
        handler();
        return true;
    }
    for (const Range& r : ranges_)
        if (r.run && id >= r.first && id <= r.last) {
            auto run = r.run;
            run(id);
            return true;
        }
    return false;
}

// ---------------------------------------------------------------- registry

namespace {

std::unordered_map<wxWindow*, CWnd*>& Registry() {
    static std::unordered_map<wxWindow*, CWnd*> map;
    return map;
}

int g_screenOverrideW = 0, g_screenOverrideH = 0;

KeyRepeatFilter& KeyRepeats() {
    static KeyRepeatFilter filter;
    return filter;
}

}  // namespace

CWnd wndTopMost;
CWnd wndNoTopMost;

CWnd* WndFromToolkit(wxWindow* w) {
    auto it = Registry().find(w);
    return it == Registry().end() ? nullptr : it->second;
}

Bridge* BridgeOf(wxWindow* w) { return dynamic_cast<Bridge*>(w); }

wxWindow* ToolkitOf(const CWnd* w) { return w && w->GetImpl() ? w->GetImpl()->window : nullptr; }

// A timer may be killed from inside its own notification: the object is
// stopped at once and deleted later, outside the toolkit's timer callback.
static void RetireTimer(std::unique_ptr<WndTimer> t) {
    if (!t) return;
    t->Stop();
    if (GuiIsUp()) {
        WndTimer* raw = t.release();
        wxTheApp->CallAfter([raw] { delete raw; });
    }
}

static void RetireTimers(std::map<UINT, std::unique_ptr<WndTimer>>& timers) {
    for (auto& [id, t] : timers) RetireTimer(std::move(t));
    timers.clear();
}

CWnd::Impl::~Impl() { RetireTimers(timers); }

void WndTimer::Notify() {
    CWnd* owner = owner_;
    UINT id = id_;
    owner->Dispatch(WM_TIMER, id, 0, [owner, id] { owner->OnTimer(id); });
}

// ---------------------------------------------------------------- keys

namespace {

// Keys that are not characters: function, keypad, navigation, editing keys and
// the modifiers, by the toolkit's key code.
UINT NonCharacterKey(int k) {
    if (k >= WXK_F1 && k <= WXK_F12) return VK_F1 + UINT(k - WXK_F1);
    if (k >= WXK_NUMPAD0 && k <= WXK_NUMPAD9) return VK_NUMPAD0 + UINT(k - WXK_NUMPAD0);
    switch (k) {
        case WXK_BACK: return VK_BACK;
        case WXK_TAB: return VK_TAB;
        case WXK_RETURN: case WXK_NUMPAD_ENTER: return VK_RETURN;
        case WXK_ESCAPE: return VK_ESCAPE;
        case WXK_SPACE: return VK_SPACE;
        case WXK_SHIFT: return VK_SHIFT;
        case WXK_CONTROL: return VK_CONTROL;
        case WXK_ALT: return VK_MENU;
        case WXK_PAUSE: return VK_PAUSE;
        case WXK_CAPITAL: return VK_CAPITAL;
        case WXK_PAGEUP: case WXK_NUMPAD_PAGEUP: return VK_PRIOR;
        case WXK_PAGEDOWN: case WXK_NUMPAD_PAGEDOWN: return VK_NEXT;
        case WXK_END: case WXK_NUMPAD_END: return VK_END;
        case WXK_HOME: case WXK_NUMPAD_HOME: return VK_HOME;
        case WXK_LEFT: case WXK_NUMPAD_LEFT: return VK_LEFT;
        case WXK_UP: case WXK_NUMPAD_UP: return VK_UP;
        case WXK_RIGHT: case WXK_NUMPAD_RIGHT: return VK_RIGHT;
        case WXK_DOWN: case WXK_NUMPAD_DOWN: return VK_DOWN;
        case WXK_INSERT: case WXK_NUMPAD_INSERT: return VK_INSERT;
        case WXK_DELETE: case WXK_NUMPAD_DELETE: return VK_DELETE;
        case WXK_NUMPAD_MULTIPLY: case WXK_MULTIPLY: return VK_MULTIPLY;
        case WXK_NUMPAD_ADD: case WXK_ADD: return VK_ADD;
        case WXK_NUMPAD_SUBTRACT: case WXK_SUBTRACT: return VK_SUBTRACT;
        case WXK_NUMPAD_DECIMAL: case WXK_DECIMAL: return VK_DECIMAL;
        case WXK_NUMPAD_DIVIDE: case WXK_DIVIDE: return VK_DIVIDE;
        default: return 0;
    }
}

// A character key by the character it gives (US codes): only for events that
// carry no hardware keycode.
UINT CharacterKey(int k) {
    if (k >= 'a' && k <= 'z') return UINT(k - 'a' + 'A');
    if ((k >= 'A' && k <= 'Z') || (k >= '0' && k <= '9')) return UINT(k);
    switch (k) {
        case ';': case ':': return VK_OEM_1;
        case '=': case '+': return VK_OEM_PLUS;
        case ',': return VK_OEM_COMMA;
        case '-': case '_': return VK_OEM_MINUS;
        case '.': return VK_OEM_PERIOD;
        case '/': case '?': return VK_OEM_2;
        case '`': case '~': return VK_OEM_3;
        case '[': case '{': return VK_OEM_4;
        case '\\': case '|': return VK_OEM_5;
        case ']': case '}': return VK_OEM_6;
        case '\'': case '"': return VK_OEM_7;
        case '<': case '>': return VK_OEM_102;
        default: return 0;
    }
}

}  // namespace

// On GTK the raw key code is the X keysym (GDK's keyval) and the raw flags the
// hardware keycode.
UINT VirtualKeyFromEvent(const wxKeyEvent& e) {
    const int k = e.GetKeyCode();
    if (UINT vk = NonCharacterKey(k)) return vk;
    if (e.GetRawKeyFlags() != 0)
        if (UINT vk = VirtualKeyFromLayout(e.GetRawKeyCode(), e.GetRawKeyFlags(), KeyLayoutLanguage())) return vk;
    return CharacterKey(k);
}

// Runs a key message through the window's handlers; true when it reached
// default processing.
static bool DeliverKey(CWnd* o, UINT vk, bool down, bool sys) {
    UINT msg = down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
    return o->Dispatch(msg, vk, 1, [o, vk, down, sys] {
        if (down) sys ? o->OnSysKeyDown(vk, 1, 0) : o->OnKeyDown(vk, 1, 0);
        else sys ? o->OnSysKeyUp(vk, 1, 0) : o->OnKeyUp(vk, 1, 0);
    });
}

static void NoteModifierKeys(const wxKeyEvent& e, UINT vk, bool down) {
    // The event's modifier state is the one before the event: the message's
    // own modifier key is taken from the event itself.
    NoteKeyState(VK_SHIFT, vk == VK_SHIFT ? down : e.ShiftDown());
    NoteKeyState(VK_CONTROL, vk == VK_CONTROL ? down : (e.RawControlDown() || e.ControlDown()));
    NoteKeyState(VK_MENU, vk == VK_MENU ? down : e.AltDown());
}

int GetScreenWidth() {
    if (g_screenOverrideW > 0) return g_screenOverrideW;
    return GuiIsUp() ? wxDisplay().GetGeometry().GetWidth() : 0;
}
int GetScreenHeight() {
    if (g_screenOverrideH > 0) return g_screenOverrideH;
    return GuiIsUp() ? wxDisplay().GetGeometry().GetHeight() : 0;
}
void SetScreenSizeOverride(int width, int height) {
    g_screenOverrideW = width;
    g_screenOverrideH = height;
}

// ---------------------------------------------------------------- events

namespace {

UINT MouseFlags(const wxMouseEvent& e) {
    UINT f = 0;
    if (e.LeftIsDown()) f |= MK_LBUTTON;
    if (e.RightIsDown()) f |= MK_RBUTTON;
    if (e.ShiftDown()) f |= MK_SHIFT;
    if (e.ControlDown()) f |= MK_CONTROL;
    return f;
}

CWnd* OwnerOf(wxWindow* w) {
    Bridge* b = BridgeOf(w);
    return b ? b->owner : nullptr;
}

}  // namespace

void PresentSurface(wxDC& dc, CBitmap* surface, const wxRegion& region) {
    const uint32_t* pixels = surface ? surface->DevicePixels() : nullptr;
    if (!pixels) return;
    const wxRect bounds(0, 0, surface->Width(), surface->Height());
    for (wxRegionIterator it(region); it; ++it) {
        const wxRect r = it.GetRect().Intersect(bounds);
        if (r.IsEmpty()) continue;
        wxImage img(r.width, r.height, false);
        unsigned char* rgb = img.GetData();
        for (int y = 0; y < r.height; ++y) {
            const uint32_t* row = pixels + size_t(r.y + y) * size_t(bounds.width) + size_t(r.x);
            for (int x = 0; x < r.width; ++x) {
                const uint32_t p = row[x];
                rgb[0] = uint8_t(p >> 16);
                rgb[1] = uint8_t(p >> 8);
                rgb[2] = uint8_t(p);
                rgb += 3;
            }
        }
        dc.DrawBitmap(wxBitmap(img), r.x, r.y, false);
    }
}

void KeepDrawingAttributes(wxWindow* w) {
    w->SetOwnFont(w->GetFont());
    w->SetOwnForegroundColour(w->GetForegroundColour());
    w->SetOwnBackgroundColour(w->GetBackgroundColour());
}

void BindCommonEvents(wxWindow* w, CWnd* /*owner*/, bool ownerDraws) {
    if (ownerDraws) {
        w->SetBackgroundStyle(wxBG_STYLE_PAINT);
        KeepDrawingAttributes(w);
        w->Bind(wxEVT_PAINT, [w](wxPaintEvent&) {
            wxPaintDC pdc(w);
            CWnd* o = OwnerOf(w);
            if (!o) return;
            CWnd::Impl* impl = o->GetImpl();
            const wxRegion update = w->GetUpdateRegion();
            wxRegion due;
            if (!impl->invalid.IsEmpty() && !update.IsEmpty()) {
                due = impl->invalid;
                due.Intersect(update);
                impl->invalid.Subtract(update);
            }
            if (!impl->painted || !due.IsEmpty()) {
                impl->painted = true;
                o->SetInPaint(true);
                o->Dispatch(WM_PAINT, 0, 0, [o] { o->OnPaint(); });
                if ((o = OwnerOf(w)) == nullptr) return;
                o->SetInPaint(false);
            }
            // Only what the toolkit asks for is presented.
            CBitmap* surface = o->DrawSurface();
            PresentSurface(pdc, surface,
                           update.IsEmpty() && surface ? wxRegion(0, 0, surface->Width(), surface->Height()) : update);
        });
    }
    // A key message reaches the owner's handler after the key state (the
    // message's own key included) has been recorded.
    auto key = [w](wxKeyEvent& e, bool down) {
        UINT vk = VirtualKeyFromEvent(e);
        const bool sys = e.AltDown() || vk == VK_MENU;
        const uint32_t keycode = e.GetRawKeyFlags();
        const uint32_t time = uint32_t(e.GetTimestamp());
        CWnd* o = OwnerOf(w);
        if (down) {
            // A press right after the release of the same key with the same
            // time stamp is the server's auto-repeat: the release never happened.
            KeyRepeats().Press(keycode, time);
        } else if (keycode != 0 && vk != 0 && o) {
            KeyRepeats().HoldRelease(keycode, time, [o, alive = o->LifeToken(), vk, sys] {
                if (!*alive) return;
                NoteKeyState(vk, false);
                DeliverKey(o, vk, false, sys);
            });
            wxTheApp->CallAfter([] { KeyRepeats().Flush(); });
            return;
        }
        NoteModifierKeys(e, vk, down);
        NoteKeyState(vk, down);
        if (!o || vk == 0) {
            e.Skip();
            return;
        }
        if (DeliverKey(o, vk, down, sys)) e.Skip();
    };
    w->Bind(wxEVT_KEY_DOWN, [key](wxKeyEvent& e) { key(e, true); });
    w->Bind(wxEVT_KEY_UP, [key](wxKeyEvent& e) { key(e, false); });
    w->Bind(wxEVT_CHAR, [w](wxKeyEvent& e) {
        CWnd* o = OwnerOf(w);
        UINT ch = UINT(e.GetUnicodeKey() != WXK_NONE ? e.GetUnicodeKey() : e.GetKeyCode());
        if (!o) {
            e.Skip();
            return;
        }
        if (o->Dispatch(WM_CHAR, ch, 1, [o, ch] { o->OnChar(ch, 1, 0); })) e.Skip();
    });
    auto mouse = [w](wxMouseEvent& e, UINT msg) {
        CWnd* o = OwnerOf(w);
        if (!o) {
            e.Skip();
            return;
        }
        UINT flags = MouseFlags(e);
        CPoint pt(e.GetX(), e.GetY());
        LPARAM lp = LPARAM((pt.x & 0xFFFF) | ((pt.y & 0xFFFF) << 16));
        bool defaulted = o->Dispatch(msg, flags, lp, [o, msg, flags, pt] {
            switch (msg) {
                case WM_LBUTTONDOWN: o->OnLButtonDown(flags, pt); break;
                case WM_LBUTTONUP: o->OnLButtonUp(flags, pt); break;
                case WM_LBUTTONDBLCLK: o->OnLButtonDblClk(flags, pt); break;
                case WM_RBUTTONDOWN: o->OnRButtonDown(flags, pt); break;
                default: o->OnMouseMove(flags, pt); break;
            }
        });
        if (defaulted) e.Skip();
    };
    // A double click is two presses: down, up, double click, up. GDK may pass
    // the second press on before its double-click event; then that press was
    // the second one and the double click, arriving with the button still
    // down, is dropped.
    auto leftDown = std::make_shared<bool>(false);
    w->Bind(wxEVT_LEFT_DOWN, [mouse, w, leftDown](wxMouseEvent& e) {
        *leftDown = true;
        if (w->AcceptsFocus() && wxWindow::FindFocus() != w) w->SetFocus();
        mouse(e, WM_LBUTTONDOWN);
    });
    w->Bind(wxEVT_LEFT_UP, [mouse, leftDown](wxMouseEvent& e) {
        *leftDown = false;
        mouse(e, WM_LBUTTONUP);
    });
    w->Bind(wxEVT_LEFT_DCLICK, [mouse, leftDown](wxMouseEvent& e) {
        if (*leftDown) return;
        *leftDown = true;
        mouse(e, WM_LBUTTONDBLCLK);
    });
    w->Bind(wxEVT_RIGHT_DOWN, [mouse](wxMouseEvent& e) { mouse(e, WM_RBUTTONDOWN); });
    w->Bind(wxEVT_MOTION, [mouse](wxMouseEvent& e) { mouse(e, WM_MOUSEMOVE); });
    w->Bind(wxEVT_MOUSE_CAPTURE_LOST, [](wxMouseCaptureLostEvent&) {});
    if (ownerDraws)
        w->Bind(wxEVT_SIZE, [w](wxSizeEvent& e) {
            if (CWnd* o = OwnerOf(w)) o->SyncSurfaceSize();
            e.Skip();
        });
    w->Bind(wxEVT_SET_FOCUS, [w](wxFocusEvent& e) {
        CWnd* o = OwnerOf(w);
        if (o) {
            CWnd* old = WndFromToolkit(e.GetWindow());
            o->Dispatch(WM_SETFOCUS, 0, 0, [o, old] { o->OnSetFocus(old); });
        }
        e.Skip();
    });
    w->Bind(wxEVT_KILL_FOCUS, [w](wxFocusEvent& e) {
        CWnd* o = OwnerOf(w);
        if (o) {
            CWnd* next = WndFromToolkit(e.GetWindow());
            o->Dispatch(WM_KILLFOCUS, 0, 0, [o, next] { o->OnKillFocus(next); });
        }
        e.Skip();
    });
}

// ---------------------------------------------------------------- CWnd

CWnd::CWnd() : impl_(std::make_unique<Impl>()) {}

CWnd::~CWnd() {
    *alive_ = false;
    if (impl_ && impl_->window) {
        wxWindow* w = impl_->window;
        if (Bridge* b = BridgeOf(w)) b->owner = nullptr;
        Registry().erase(w);
        RetireTimers(impl_->timers);
        impl_->window = nullptr;
        if (w->IsTopLevel()) {
            w->Hide();
            w->Destroy();
        } else {
            w->Destroy();
        }
    }
}

void* CWnd::GetSafeHwnd() const { return impl_ ? impl_->window : nullptr; }

void CWnd::AttachImpl(std::unique_ptr<Impl> impl, CWnd* parent) {
    impl_ = std::move(impl);
    parent_ = parent;
    if (impl_->window) {
        Registry()[impl_->window] = this;
        if (impl_->ownerDraws) {
            wxSize cs = impl_->window->GetClientSize();
            surface_.CreateBitmap(std::max(cs.x, 1), std::max(cs.y, 1));
        }
    }
}

void CWnd::ToolkitWindowGone() {
    if (!impl_ || !impl_->window) return;
    // Gone with its owner while it held the mouse.
    if (wxWindow::GetCapture() == impl_->window) impl_->window->ReleaseMouse();
    Registry().erase(impl_->window);
    Dispatch(WM_DESTROY, 0, 0, [this] { OnDestroy(); });
    RetireTimers(impl_->timers);
    impl_->window = nullptr;
    surface_.DeleteObject();
    PostNcDestroy();
}

bool CWnd::DestroyWindow() {
    if (!impl_ || !impl_->window) return false;
    wxWindow* w = impl_->window;
    if (Bridge* b = BridgeOf(w)) b->owner = nullptr;
    Registry().erase(w);
    Dispatch(WM_DESTROY, 0, 0, [this] { OnDestroy(); });
    RetireTimers(impl_->timers);
    impl_->window = nullptr;
    surface_.DeleteObject();
    if (wxWindow::GetCapture() == w) w->ReleaseMouse();
    if (w->IsTopLevel()) {
        w->Hide();
        w->Destroy();
    } else {
        w->Destroy();
    }
    PostNcDestroy();  // may delete this
    return true;
}

bool CWnd::ShowWindow(int cmd) {
    wxWindow* w = ToolkitOf(this);
    if (!w) return false;
    bool was = w->IsShown();
    if (cmd == SW_SHOWNOACTIVATE || cmd == SW_SHOWNA) {
        if (!was) {
            if (auto* tlw = dynamic_cast<wxTopLevelWindow*>(w)) tlw->ShowWithoutActivating();
            else w->Show();
        }
        return was;
    }
    w->Show(cmd != SW_HIDE);
    if (cmd == SW_SHOWMAXIMIZED)
        if (auto* tlw = dynamic_cast<wxTopLevelWindow*>(w)) tlw->Maximize();
    return was;
}

void CWnd::UpdateWindow() {
    if (wxWindow* w = ToolkitOf(this)) w->Update();
}

void CWnd::Invalidate(bool erase) { InvalidateRect(nullptr, erase); }

void CWnd::InvalidateRect(const CRect* r, bool /*erase*/) {
    wxWindow* w = ToolkitOf(this);
    if (!w) return;
    if (!r) {
        impl_->painted = false;
        w->Refresh(false);
        return;
    }
    const wxRect rect = wxRect(r->left, r->top, r->Width(), r->Height()).Intersect(wxRect(w->GetClientSize()));
    if (rect.IsEmpty()) return;
    if (impl_->ownerDraws) impl_->invalid.Union(rect);
    w->RefreshRect(rect, false);
}

bool CWnd::RedrawWindow(const CRect* r, UINT flags) {
    wxWindow* w = ToolkitOf(this);
    if (!w) return false;  // a window that does not exist yet: nothing to redraw
    if (flags & RDW_INVALIDATE) InvalidateRect(r);
    if (flags & RDW_UPDATENOW) w->Update();
    return true;
}

namespace {

// A new outer size. A top-level window's client area carries a size request
// in the toolkit (set with its client size before it first shows) that would
// hold it at its old size: the request follows the new size.
void SizeWindow(wxWindow* win, int x, int y, int w, int h, int flags = wxSIZE_AUTO) {
    win->SetSize(x, y, w, h, flags);
    if (win->IsTopLevel()) win->SetClientSize(win->GetClientSize());
}

}  // namespace

bool CWnd::MoveWindow(int x, int y, int w, int h, bool repaint) {
    wxWindow* win = ToolkitOf(this);
    if (!win) return false;
    if (win->IsTopLevel() && win->GetMinSize() != wxDefaultSize && win->GetMinSize() == win->GetMaxSize())
        win->Move(x, y);  // a window of fixed size keeps its size
    else
        SizeWindow(win, x, y, w, h);
    if (repaint) Invalidate();
    return true;
}

bool CWnd::SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags) {
    wxWindow* win = ToolkitOf(this);
    if (!win) return false;
    if (insertAfter == &wndTopMost || insertAfter == &wndNoTopMost) {
        const bool top = insertAfter == &wndTopMost;
        impl_->topMost = top;
        if (win->IsTopLevel()) {
            long style = win->GetWindowStyleFlag();
            style = top ? (style | wxSTAY_ON_TOP) : (style & ~long(wxSTAY_ON_TOP));
            if (style != win->GetWindowStyleFlag()) win->SetWindowStyleFlag(style);
            if (top) win->Raise();
        }
    }
    if (!(flags & SWP_NOMOVE)) win->Move(x, y);
    if (!(flags & SWP_NOSIZE)) SizeWindow(win, wxDefaultCoord, wxDefaultCoord, cx, cy, wxSIZE_USE_EXISTING);
    return true;
}

void CWnd::GetWindowRect(CRect* r) const {
    wxWindow* w = ToolkitOf(this);
    if (!w) {
        *r = {};
        return;
    }
    wxRect rc = w->IsTopLevel() ? w->GetRect() : w->GetScreenRect();
    *r = CRect(rc.x, rc.y, rc.x + rc.width, rc.y + rc.height);
}

void CWnd::SetClientSize(int w, int h) {
    wxWindow* win = ToolkitOf(this);
    if (!win) return;
    win->SetClientSize(w, h);
    SyncSurfaceSize();
}

void CWnd::SyncSurfaceSize() {
    wxWindow* win = ToolkitOf(this);
    if (!win || !impl_->ownerDraws) return;
    wxSize cs = win->GetClientSize();
    if (cs.x <= 0 || cs.y <= 0) return;
    if (surface_.Width() != cs.x || surface_.Height() != cs.y) {
        surface_.CreateBitmap(cs.x, cs.y);
        impl_->painted = false;  // a new, empty picture
    }
}

void CWnd::CenterWindow() {
    wxWindow* win = ToolkitOf(this);
    if (!win) return;
    if (win->GetParent()) win->CentreOnParent();
    else win->Centre(wxBOTH);
}

void CWnd::GetClientRect(CRect* r) const {
    wxWindow* w = ToolkitOf(this);
    if (!w) {
        *r = {};
        return;
    }
    wxSize s = w->GetClientSize();
    *r = CRect(0, 0, s.x, s.y);
}

bool CWnd::IsWindowVisible() const {
    wxWindow* w = ToolkitOf(this);
    return w && w->IsShown();
}

bool CWnd::IsTopMost() const { return impl_ && impl_->topMost; }

bool CWnd::IsIconic() const {
    auto* tlw = dynamic_cast<wxTopLevelWindow*>(ToolkitOf(this));
    return tlw && tlw->IsIconized();
}

void CWnd::EnableWindow(bool enable) {
    if (wxWindow* w = ToolkitOf(this)) w->Enable(enable);
}

bool CWnd::IsWindowEnabled() const {
    wxWindow* w = ToolkitOf(this);
    return w && w->IsEnabled();
}

void CWnd::SetWindowText(const std::string& text) {
    wxWindow* w = ToolkitOf(this);
    if (!w) return;
    if (auto* t = dynamic_cast<wxTextCtrl*>(w)) t->ChangeValue(wxString::FromUTF8(text));
    else w->SetLabel(wxString::FromUTF8(text));
}

std::string CWnd::GetWindowText() const {
    wxWindow* w = ToolkitOf(this);
    if (!w) return {};
    if (auto* t = dynamic_cast<wxTextCtrl*>(w)) return t->GetValue().utf8_string();
    if (auto* tlw = dynamic_cast<wxTopLevelWindow*>(w)) return tlw->GetTitle().utf8_string();
    return w->GetLabel().utf8_string();
}

CSize CWnd::GetTextExtent(const std::string& text) const {
    wxWindow* w = ToolkitOf(this);
    if (!w) return {};
    const wxSize s = w->GetTextExtent(wxString::FromUTF8(text));
    return {s.x, s.y};
}

CWnd* CWnd::SetFocus() {
    CWnd* old = GetFocus();
    if (wxWindow* w = ToolkitOf(this)) w->SetFocus();
    return old;
}

CWnd* CWnd::GetFocus() { return WndFromToolkit(wxWindow::FindFocus()); }

void CWnd::SetForegroundWindow() {
    if (wxWindow* w = ToolkitOf(this)) {
        w->Raise();
        if (w->IsShown()) w->SetFocus();
    }
}

void CWnd::BringWindowToTop() {
    if (wxWindow* w = ToolkitOf(this)) w->Raise();
}

CWnd* CWnd::SetCapture() {
    CWnd* old = GetCapture();
    wxWindow* w = ToolkitOf(this);
    if (w && wxWindow::GetCapture() != w) w->CaptureMouse();
    return old;
}

CWnd* CWnd::GetCapture() { return WndFromToolkit(wxWindow::GetCapture()); }

void ReleaseCapture() {
    if (!GuiIsUp()) return;
    while (wxWindow* w = wxWindow::GetCapture()) w->ReleaseMouse();
}

void CWnd::SetActiveWindow() {
    wxWindow* w = ToolkitOf(this);
    if (!w || !w->IsShown()) return;
    w->Raise();
    // A frame passes the focus on to its view.
    if (auto* frame = dynamic_cast<CFrameWnd*>(this); frame && frame->GetActiveView())
        if (wxWindow* view = ToolkitOf(frame->GetActiveView())) {
            view->SetFocus();
            return;
        }
    w->SetFocus();
}

void CWnd::DragAcceptFiles(bool accept) {
    if (wxWindow* w = ToolkitOf(this)) w->DragAcceptFiles(accept);
}

CWnd* CWnd::GetDlgItem(int /*id*/) const { return nullptr; }

UINT CWnd::SetTimer(UINT id, UINT elapseMs) {
    if (!ToolkitOf(this) || id == 0) return 0;
    auto& t = impl_->timers[id];
    if (!t) t = std::make_unique<WndTimer>(this, id);
    t->Start(int(std::max<UINT>(elapseMs, 1)));
    return id;
}

bool CWnd::KillTimer(UINT id) {
    if (!impl_) return false;
    auto it = impl_->timers.find(id);
    if (it == impl_->timers.end()) return false;
    RetireTimer(std::move(it->second));
    impl_->timers.erase(it);
    return true;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE:
            Dispatch(WM_CLOSE, 0, 0, [this] { OnClose(); });
            return 0;
        case WM_COMMAND:
            return OnCmdMsg(UINT(wParam & 0xFFFF), nullptr) ? 1 : 0;
        default: {
            LRESULT r = 0;
            Dispatch(message, wParam, lParam, [&] { r = Default(); });
            return r;
        }
    }
}

bool CWnd::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam, const std::function<void()>& handler) {
    // The handler may destroy and delete this window (a close that ends in
    // PostNcDestroy): then nothing of it may be touched afterwards.
    std::shared_ptr<bool> alive = alive_;
    messages_.push_back({msg, wParam, lParam, false});
    handler();
    if (!*alive) return false;
    bool defaulted = messages_.back().defaulted;
    messages_.pop_back();
    return defaulted;
}

LRESULT CWnd::Default() {
    if (messages_.empty()) return 0;
    CurrentMessage& m = messages_.back();
    m.defaulted = true;
    return DefWindowProc(m.msg, m.wParam, m.lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM, LPARAM) {
    if (message == WM_CLOSE) DestroyWindow();
    return 0;
}

void CWnd::PostNcDestroy() {}

void CWnd::OnPaint() { Default(); }
bool CWnd::OnEraseBkgnd(CDC*) { return Default() != 0; }
void CWnd::OnTimer(UINT) { Default(); }
void CWnd::OnKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnKeyUp(UINT, UINT, UINT) { Default(); }
void CWnd::OnChar(UINT, UINT, UINT) { Default(); }
void CWnd::OnSysKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnSysKeyUp(UINT, UINT, UINT) { Default(); }
void CWnd::OnLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnMouseMove(UINT, CPoint) { Default(); }
void CWnd::OnSetFocus(CWnd*) { Default(); }
void CWnd::OnKillFocus(CWnd*) { Default(); }
void CWnd::OnActivate(UINT, CWnd*, bool) { Default(); }
void CWnd::OnClose() { Default(); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnDropFiles(const std::vector<std::string>&) { Default(); }
bool CWnd::OnHelpInfo() { return Default() != 0; }

CBitmap* CWnd::DrawSurface() { return (impl_ && impl_->window && !surface_.IsNull()) ? &surface_ : nullptr; }

void CWnd::SurfaceChanged(const CRect& r) {
    if (inPaint_) return;  // the paint presents the whole picture when it ends
    ++presented_;
    if (wxWindow* w = ToolkitOf(this)) {
        const wxRect rect(r.left, r.top, r.Width(), r.Height());
        w->RefreshRect(rect, false);
    }
}

// ---------------------------------------------------------------- contexts

CClientDC::CClientDC(CWnd* wnd) {
    if (wnd && wnd->DrawSurface()) AttachWindow(wnd);
}
CClientDC::~CClientDC() { FlushTouched(); }

CPaintDC::CPaintDC(CWnd* wnd) {
    if (wnd && wnd->DrawSurface()) AttachWindow(wnd);
}
CPaintDC::~CPaintDC() { FlushTouched(); }
