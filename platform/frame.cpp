// Frame window and view on the toolkit.
#include <algorithm>

#include "platform/framework.h"
#include "platform/resources.h"
#include "platform/wx_bridge.h"

// ---------------------------------------------------------------- toolkit windows

BridgeFrame::BridgeFrame(CWnd* o, const wxString& title, long style)
    : wxFrame(nullptr, wxID_ANY, title, wxDefaultPosition, wxDefaultSize, style) {
    owner = o;
    KeepDrawingAttributes(this);
}
BridgeFrame::~BridgeFrame() {
    if (owner) owner->ToolkitWindowGone();
}

BridgeCanvas::BridgeCanvas(CWnd* o, wxWindow* parent, const wxSize& size)
    : wxWindow(parent, wxID_ANY, wxPoint(0, 0), size, wxWANTS_CHARS | wxBORDER_NONE) {
    owner = o;
}
BridgeCanvas::~BridgeCanvas() {
    if (owner) owner->ToolkitWindowGone();
}

namespace {

bool IsMruId(UINT id) { return id >= ID_FILE_MRU_FILE1 && id <= ID_FILE_MRU_LAST; }

// Menu commands are numbered from 32768 up; the toolkit's item ids stay below
// it, so items carry the command less 32768.
constexpr UINT kCommandBase = 0x8000;
int ToolkitId(UINT command) { return int(command - kCommandBase); }
UINT CommandOf(int toolkitId) { return UINT(toolkitId) + kCommandBase; }

std::string MruText(int index, const std::string& path) { return "&" + std::to_string(index + 1) + " " + path; }

// Replaces the recent-file items of a menu with the current list (or the
// greyed place holder when it is empty).
void RebuildMruItems(wxMenu* menu) {
    CWinApp* app = AfxGetApp();
    CRecentFileList* mru = app ? app->GetRecentFileList() : nullptr;
    int pos = -1;
    for (size_t i = 0; i < menu->GetMenuItemCount();) {
        wxMenuItem* item = menu->FindItemByPosition(i);
        if (IsMruId(CommandOf(item->GetId()))) {
            if (pos < 0) pos = int(i);
            menu->Destroy(item);
        } else {
            ++i;
        }
    }
    if (pos < 0) return;
    if (!mru || mru->Entries().empty()) {
        menu->Insert(size_t(pos), ToolkitId(ID_FILE_MRU_FILE1), "Recent File");
        menu->Enable(ToolkitId(ID_FILE_MRU_FILE1), false);
        return;
    }
    for (size_t i = 0; i < mru->Entries().size(); ++i)
        menu->Insert(size_t(pos) + i, ToolkitId(UINT(ID_FILE_MRU_FILE1 + i)),
                     wxString::FromUTF8(MruText(int(i), mru->Entries()[i])));
}

// Only availability and check marks change as a menu opens: its rows stay as
// they are, since the toolkit has measured the menu by then.
void UpdateMenuStates(CFrameWnd* frame, wxMenu* menu) {
    for (wxMenuItem* item : menu->GetMenuItems()) {
        if (item->IsSeparator() || item->IsSubMenu()) continue;
        CCmdUI ui;
        ui.m_nID = CommandOf(item->GetId());
        bool handled = frame->OnCmdMsg(ui.m_nID, &ui);
        item->Enable(handled && ui.m_bEnabled);
        if (item->IsCheckable() && ui.m_bCheckSet) item->Check(ui.m_nCheck != 0);
    }
}

void RebuildMruItems(wxMenuBar* bar) {
    for (size_t i = 0; bar && i < bar->GetMenuCount(); ++i) RebuildMruItems(bar->GetMenu(i));
}

}  // namespace

void RefreshRecentFileMenus() {
    if (!GuiIsUp()) return;
    for (wxWindow* w : wxTopLevelWindows)
        if (auto* frame = dynamic_cast<BridgeFrame*>(w); frame && dynamic_cast<CFrameWnd*>(frame->owner))
            RebuildMruItems(frame->GetMenuBar());
}

// ---------------------------------------------------------------- CFrameWnd

CFrameWnd::CFrameWnd() = default;
CFrameWnd::~CFrameWnd() = default;

bool CFrameWnd::PreCreateWindow(CREATESTRUCT&) { return true; }

CDocument* CFrameWnd::GetActiveDocument() const { return activeView_ ? activeView_->GetDocument() : nullptr; }

bool CFrameWnd::LoadFrame(UINT resourceId, CCreateContext* context) {
    resourceId_ = resourceId;
    CREATESTRUCT cs;
    cs.style = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE;
    cs.x = cs.y = cs.cx = cs.cy = kUseDefault;
    if (!PreCreateWindow(cs)) return false;
    style_ = cs.style;

    long style = wxCAPTION | wxSYSTEM_MENU;
    if (cs.style & WS_SYSMENU) style |= wxCLOSE_BOX;
    if (cs.style & WS_MINIMIZEBOX) style |= wxMINIMIZE_BOX;
    if (cs.style & WS_MAXIMIZEBOX) style |= wxMAXIMIZE_BOX;
    if (cs.style & WS_THICKFRAME) style |= wxRESIZE_BORDER;
    auto* frame = new BridgeFrame(this, "", style);
    auto impl = std::make_unique<Impl>();
    impl->window = frame;
    AttachImpl(std::move(impl), nullptr);

    frame->Bind(wxEVT_MENU, [frame](wxCommandEvent& e) {
        if (auto* f = dynamic_cast<CFrameWnd*>(frame->owner)) f->ExecuteCommand(CommandOf(e.GetId()));
    });
    frame->Bind(wxEVT_MENU_OPEN, [frame](wxMenuEvent& e) {
        auto* f = dynamic_cast<CFrameWnd*>(frame->owner);
        if (f && e.GetMenu()) UpdateMenuStates(f, e.GetMenu());
    });
    frame->Bind(wxEVT_CHAR_HOOK, [frame](wxKeyEvent& e) {
        auto* f = dynamic_cast<CFrameWnd*>(frame->owner);
        UINT vk = VirtualKeyFromEvent(e);
        if (f && vk && f->TranslateAccelerator(vk, e.RawControlDown() || e.ControlDown(), e.AltDown(), e.ShiftDown()))
            return;
        e.Skip();
    });
    frame->Bind(wxEVT_CLOSE_WINDOW, [frame](wxCloseEvent& e) {
        CWnd* o = frame->owner;
        if (!o) {
            e.Skip();
            return;
        }
        o->Dispatch(WM_CLOSE, 0, 0, [o] { o->OnClose(); });
        if (frame->owner && e.CanVeto()) e.Veto();  // still there: the close was refused
    });
    frame->Bind(wxEVT_ACTIVATE, [frame](wxActivateEvent& e) {
        CWnd* o = frame->owner;
        if (o) {
            UINT state = e.GetActive() ? WA_ACTIVE : WA_INACTIVE;
            bool minimized = frame->IsIconized();
            o->Dispatch(WM_ACTIVATE, state, 0, [o, state, minimized] { o->OnActivate(state, nullptr, minimized); });
        }
        e.Skip();
    });
    frame->Bind(wxEVT_DROP_FILES, [frame](wxDropFilesEvent& e) {
        CWnd* o = frame->owner;
        if (!o) return;
        std::vector<std::string> files;
        for (int i = 0; i < e.GetNumberOfFiles(); ++i) files.push_back(e.GetFiles()[i].utf8_string());
        o->Dispatch(WM_DROPFILES, 0, 0, [o, files] { o->OnDropFiles(files); });
    });

    // The view, then the menu (whose check items the view's handlers decide).
    if (context && context->newView) {
        int vw = cs.clientCx > 0 ? cs.clientCx : (cs.cx > 0 && cs.cx != kUseDefault ? cs.cx : 400);
        int vh = cs.clientCy > 0 ? cs.clientCy : (cs.cy > 0 && cs.cy != kUseDefault ? cs.cy : 300);
        CView* view = context->newView();
        view->Create(this, vw, vh);
        if (context->document) context->document->AddView(view);
        SetActiveView(view);
    }
    if (const MenuResource* menu = FindMenuResource(resourceId)) {
        auto* bar = new wxMenuBar;
        for (const MenuPopupResource& popup : menu->popups) {
            auto* m = new wxMenu;
            for (const MenuItemResource& item : popup.items) {
                if (item.id == 0) {
                    m->AppendSeparator();
                    continue;
                }
                CCmdUI ui;
                ui.m_nID = item.id;
                OnCmdMsg(item.id, &ui);
                wxString text = wxString::FromUTF8(item.text);
                m->Append(ToolkitId(item.id), text, wxEmptyString, ui.m_bCheckSet ? wxITEM_CHECK : wxITEM_NORMAL);
            }
            bar->Append(m, wxString::FromUTF8(popup.text));
        }
        RebuildMruItems(bar);
        frame->SetMenuBar(bar);
    }

    if (cs.clientCx > 0 && cs.clientCy > 0) {
        viewClient_ = CSize(cs.clientCx, cs.clientCy);
        frame->SetClientSize(cs.clientCx, cs.clientCy);
    } else if (cs.cx > 0 && cs.cx != kUseDefault) {
        frame->SetSize(cs.cx, cs.cy);
        wxSize c = frame->GetClientSize();
        viewClient_ = CSize(c.x, c.y);
    }
    if (!(cs.style & WS_THICKFRAME)) {
        wxSize s = frame->GetSize();
        frame->SetSizeHints(s, s);
    }
    if (cs.x != kUseDefault && cs.y != kUseDefault) frame->Move(cs.x, cs.y);
    else frame->Centre();
    OnUpdateFrameTitle();
    return true;
}

void CFrameWnd::OnUpdateFrameTitle() {
    wxWindow* w = ToolkitOf(this);
    if (!w) return;
    CWinApp* app = AfxGetApp();
    std::string title;
    if (app && app->GetDocTemplate()) title = app->GetDocTemplate()->GetDocString(CDocTemplate::windowTitle);
    if (title.empty() && app) title = app->m_pszAppName;
    CDocument* doc = GetActiveDocument();
    if ((style_ & FWS_ADDTOTITLE) && doc) title += " - " + doc->GetTitle();
    static_cast<wxTopLevelWindow*>(w)->SetTitle(wxString::FromUTF8(title));
}

void CFrameWnd::InitialUpdateFrame(CDocument*, bool makeVisible) {
    if (activeView_) activeView_->OnInitialUpdate();
    OnUpdateFrameTitle();
    if (makeVisible) {
        ShowWindow(SW_SHOW);
        if (activeView_) activeView_->SetFocus();
    }
}

bool CFrameWnd::OnCmdMsg(UINT id, CCmdUI* ui) {
    if (activeView_ && activeView_->OnCmdMsg(id, ui)) return true;
    if (CCmdTarget::OnCmdMsg(id, ui)) return true;
    CWinApp* app = AfxGetApp();
    return app && app->OnCmdMsg(id, ui);
}

bool CFrameWnd::ExecuteCommand(UINT id) {
    CCmdUI ui;
    ui.m_nID = id;
    if (!OnCmdMsg(id, &ui) || !ui.m_bEnabled) return false;
    return OnCmdMsg(id, nullptr);
}

bool CFrameWnd::TranslateAccelerator(UINT vk, bool ctrl, bool alt, bool shift) {
    const AccelTableResource* table = FindAccelResource(resourceId_);
    if (!table) return false;
    for (const AccelResource& a : table->entries) {
        if (a.key != vk) continue;
        if (bool(a.flags & FCONTROL) != ctrl || bool(a.flags & FALT) != alt || bool(a.flags & FSHIFT) != shift)
            continue;
        ExecuteCommand(a.command);
        return true;
    }
    return false;
}

std::vector<CFrameWnd::MenuItemState> CFrameWnd::GetMenuState(int popup) {
    std::vector<MenuItemState> out;
    const MenuResource* menu = FindMenuResource(resourceId_);
    if (!menu || popup < 0 || size_t(popup) >= menu->popups.size()) return out;
    CWinApp* app = AfxGetApp();
    CRecentFileList* mru = app ? app->GetRecentFileList() : nullptr;
    for (const MenuItemResource& item : menu->popups[size_t(popup)].items) {
        if (item.id == 0) {
            out.push_back({0, "", false, false});
            continue;
        }
        if (IsMruId(item.id) && mru && !mru->Entries().empty()) {
            for (size_t i = 0; i < mru->Entries().size(); ++i) out.push_back({UINT(ID_FILE_MRU_FILE1 + i), MruText(int(i), mru->Entries()[i]), true, false});
            continue;
        }
        CCmdUI ui;
        ui.m_nID = item.id;
        bool handled = OnCmdMsg(item.id, &ui);
        if (IsMruId(item.id)) handled = false;  // the greyed place holder
        out.push_back({item.id, item.text, handled && ui.m_bEnabled, ui.m_bCheckSet && ui.m_nCheck != 0});
    }
    return out;
}

void CFrameWnd::OnClose() {
    CDocument* doc = GetActiveDocument();
    if (doc && !doc->SaveModified()) return;
    if (doc) doc->OnCloseDocument();  // destroys this frame
    else DestroyWindow();
}

void CFrameWnd::OnDropFiles(const std::vector<std::string>& files) {
    SetForegroundWindow();
    CWinApp* app = AfxGetApp();
    if (!app) return;
    for (const std::string& f : files) app->OpenDocumentFile(f);
}

bool CFrameWnd::DestroyWindow() {
    if (!IsWindow()) return false;
    if (CView* v = activeView_) {
        activeView_ = nullptr;
        v->DestroyWindow();
    }
    return CWnd::DestroyWindow();
}

void CFrameWnd::PostNcDestroy() {
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd == this) {
        app->m_pMainWnd = nullptr;
        if (GuiIsUp()) wxTheApp->ExitMainLoop();
    }
    delete this;
}

// ---------------------------------------------------------------- CView

CView::CView() = default;
CView::~CView() {
    if (document_) document_->RemoveView(this);
}

bool CView::Create(CFrameWnd* frame, int width, int height) {
    wxWindow* parent = ToolkitOf(frame);
    if (!parent) return false;
    auto* canvas = new BridgeCanvas(this, parent, wxSize(width, height));
    auto impl = std::make_unique<Impl>();
    impl->window = canvas;
    impl->ownerDraws = true;
    BindCommonEvents(canvas, this, true);
    AttachImpl(std::move(impl), frame);
    // The picture has the view's full size even before the frame lays it out.
    surface_.CreateBitmap(width, height);
    return true;
}

void CView::OnInitialUpdate() { OnUpdate(nullptr, 0, nullptr); }

void CView::OnUpdate(CView*, LPARAM, CCmdTarget*) { Invalidate(true); }

void CView::OnPaint() {
    CPaintDC dc(this);
    OnDraw(&dc);
}

bool CView::OnCmdMsg(UINT id, CCmdUI* ui) {
    if (CCmdTarget::OnCmdMsg(id, ui)) return true;
    return document_ && document_->OnCmdMsg(id, ui);
}

void CView::PostNcDestroy() { delete this; }
