#include "ui/tool_windows.h"

#include <algorithm>
#include <iterator>
#include <set>
#include <utility>

#include "data/ui_hooks.h"
#include "host/synth_app.h"
#include "platform/services.h"
#include "res/resource_ids.h"
#include "shared/app_settings.h"
#include "ui/knob_drag.h"

CBitmap g_splashBitmap;

void PlaceAt(CWnd& wnd, const WindowPosition& pos) {
    CRect r;
    wnd.GetWindowRect(&r);
    int x = pos.x, y = pos.y;
    if (x > GetScreenWidth() || y > GetScreenHeight() || x + r.Width() <= 0 || y + r.Height() <= 0) x = y = 0;
    wnd.SetWindowPos(nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void SavePlace(CWnd& wnd, WindowPosition& pos) {
    CRect r;
    wnd.GetWindowRect(&r);
    pos.x = r.left;
    pos.y = r.top;
}

void GiveActivationToMainWindow() {
    // The application's main window (g_hMainWnd once the start has set it).
    if (CWnd* main = AfxGetMainWnd()) main->SetActiveWindow();
}

namespace {

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

std::vector<std::string> ValueTipTexts() {
    std::set<std::string> texts;
    // Tip mode and the control kind whose drag range it shows.
    constexpr std::pair<int32_t, int> kModes[] = {{1, 1}, {2, 2}, {3, 10}, {4, 11}, {5, 12}};
    for (const auto& [mode, kind] : kModes)
        for (int32_t v = g_dragMin[kind]; v <= g_dragMax[kind]; ++v) texts.insert(PercentText(mode, v));
    for (int style = 0; style < int(std::size(kKnobStyleStrip)); ++style)
        for (uint32_t v = 0; v <= uint32_t(kMaxKnobValue); ++v) texts.insert(AutomationValueText(style, v));
    return {texts.begin(), texts.end()};
}

bool CValueTipDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    CWnd* text = GetDlgItem(IDC_VALUE_TIP_TEXT);
    if (!text) return true;
    // Two pixels of air left and right of the widest text, one above and below.
    CSize widest;
    for (const std::string& t : ValueTipTexts()) {
        const CSize e = text->GetTextExtent(t);
        widest.cx = std::max(widest.cx, e.cx);
        widest.cy = std::max(widest.cy, e.cy);
    }
    const int w = widest.cx + 4, h = widest.cy + 2;
    SetClientSize(w, h);
    text->MoveWindow(0, 0, w, h, true);
    return true;
}

void InstallUiHooks() {
    static ToolWindowHooks hooks;
    SetUiHooks(&hooks);
}
