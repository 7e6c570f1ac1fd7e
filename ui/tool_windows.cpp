#include "ui/tool_windows.h"

#include "data/ui_hooks.h"
#include "host/synth_app.h"
#include "platform/services.h"
#include "res/resource_ids.h"
#include "shared/app_settings.h"

CBitmap g_splashBitmap;

namespace {

// Where a floating window goes: its saved corner, or (0, 0) when that lies
// beyond the right or bottom edge of the screen.
void PlaceAt(CWnd& wnd, WindowPosition& pos) {
    int x = pos.x, y = pos.y;
    if (x > GetScreenWidth() || y > GetScreenHeight()) x = y = 0;
    wnd.SetWindowPos(nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void SavePlace(CWnd& wnd, WindowPosition& pos) {
    CRect r;
    wnd.GetWindowRect(&r);
    pos.x = r.left;
    pos.y = r.top;
}

class ToolWindowHooks : public UiHooks {
public:
    void DestroyAutomationPanel() override {
        if (g_pAutomationDlg && g_pAutomationDlg->IsWindow()) g_pAutomationDlg->DestroyWindow();
    }
    void DestroySplashWindow() override {
        if (g_pSplashWnd && g_pSplashWnd->IsWindow()) g_pSplashWnd->DestroyWindow();
    }
    void DestroyScopeWindow() override {
        if (g_scopeOn && g_pScopeDlg && g_pScopeDlg->IsWindow()) g_pScopeDlg->DestroyWindow();
    }
    void OpenAutomationPanel() override {
        if (g_pAutomationDlg && !g_pAutomationDlg->IsWindow()) g_pAutomationDlg->Create(IDD_AUTOMATION, nullptr);
    }
    void BeginWaitCursor() override { ::BeginWaitCursor(); }
    void EndWaitCursor() override { ::EndWaitCursor(); }
};

}  // namespace

CSplashDlg::CSplashDlg(CWnd* parent) : CDialog(IDD_SPLASH, parent) {
    m_ownerDraws = true;
    g_splashBitmap.LoadBitmap(IDB_SPLASH);
}

bool CSplashDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    // The picture fills the client area; the border is the toolkit's.
    SetClientSize(g_splashBitmap.Width(), g_splashBitmap.Height());
    CenterWindow();
    return true;
}

void CSplashDlg::OnPaint() {
    CPaintDC dc(this);
    CDC mem;
    mem.CreateCompatibleDC(&dc);
    CBitmap* old = mem.SelectObject(&g_splashBitmap);
    dc.BitBlt(0, 0, 400, 256, &mem, 0, 0, SRCCOPY);
    mem.SelectObject(old);
}

CValueTipDlg::CValueTipDlg(CWnd* parent) : CDialog(IDD_VALUE_TIP, parent) {}

COscilloscopeDlg::COscilloscopeDlg(CWnd* parent) : CDialog(IDD_OSCILLOSCOPE, parent) { m_ownerDraws = true; }

bool COscilloscopeDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    PlaceAt(*this, g_oscDlgPos);
    return true;
}

bool COscilloscopeDlg::DestroyWindow() {
    if (IsWindow()) SavePlace(*this, g_oscDlgPos);
    return CDialog::DestroyWindow();
}

CAutomationDlg::CAutomationDlg(CWnd* parent) : CDialog(IDD_AUTOMATION, parent) { m_ownerDraws = true; }

bool CAutomationDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    PlaceAt(*this, g_autoDlgPos);
    return true;
}

bool CAutomationDlg::DestroyWindow() {
    if (IsWindow()) SavePlace(*this, g_autoDlgPos);
    return CDialog::DestroyWindow();
}

void InstallUiHooks() {
    static ToolWindowHooks hooks;
    SetUiHooks(&hooks);
}
