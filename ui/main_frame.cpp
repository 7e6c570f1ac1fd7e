#include "ui/main_frame.h"

#include "shared/app_settings.h"
#include "shared/settings.h"
#include "shared/transport.h"
#include "ui/view_globals.h"

CMainFrame::CMainFrame() {
    OnCommandEntry(ID_OPTIONS_KEEP_ON_TOP, [this] { OnOptionsKeepOnTop(); });
    OnUpdateEntry(ID_OPTIONS_KEEP_ON_TOP, [this](CCmdUI* ui) { OnUpdateOptionsKeepOnTop(ui); });
}

bool CMainFrame::PreCreateWindow(CREATESTRUCT& cs) {
    cs.style = WS_BORDER | WS_SYSMENU | WS_MINIMIZEBOX | FWS_ADDTOTITLE;
    const int screenW = GetScreenWidth(), screenH = GetScreenHeight();
    const int left = g_windowLeft, top = g_windowTop;
    const bool neverSaved = left == -1 && top == -1;
    int w, h;
    bool centre;
    if (g_soundModuleMode) {
        w = 631;
        h = 353;
        g_largeLayout = 0;
        centre = true;
    } else if (screenH == 480) {
        w = 640;
        h = 480;
        g_largeLayout = 0;
        centre = neverSaved || left > 640 || top > 480;
    } else {
        w = 640;
        h = 540;
        g_largeLayout = 1;
        centre = neverSaved || left > screenW || top > screenH;
    }
    cs.cx = w;
    cs.cy = h;
    if (centre) {
        cs.x = (screenW - w) / 2;
        cs.y = (screenH - h) / 2;
    } else {
        cs.x = left;
        cs.y = top;
    }
    g_frameWidth = w;
    g_frameHeight = h;
    // The window is sized by its client area, so that the panel is never
    // clipped whatever the desktop's title bar and menu measure.
    ViewClientSize client = ViewClientSizeForLayout(g_soundModuleMode != 0, g_largeLayout != 0);
    cs.clientCx = client.width;
    cs.clientCy = client.height;
    return CFrameWnd::PreCreateWindow(cs);
}

void CMainFrame::OnActivate(UINT state, CWnd* other, bool minimized) {
    CFrameWnd::OnActivate(state, other, minimized);
    if ((state == WA_ACTIVE || state == WA_CLICKACTIVE) && !minimized) {
        CRect r;
        GetWindowRect(&r);
        g_windowLeft = r.left;
        g_windowTop = r.top;
        MoveWindow(r.left, r.top, g_frameWidth, g_frameHeight, true);
    }
    if (g_keepOnTop) SetWindowPos(&wndTopMost, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void CMainFrame::OnClose() {
    if (g_captureCloseCountdown != 0) {
        AfxMessageBox("Morvel Canopy is closing the capture file. Please Wait!", MB_OK);
        return;
    }
    g_engineReset = kResetStop;
    g_playFlag = 0;
    CRect r;
    GetWindowRect(&r);
    g_windowLeft = r.left;
    g_windowTop = r.top;
    CFrameWnd::OnClose();
}

void CMainFrame::OnOptionsKeepOnTop() {
    if (g_keepOnTop) {
        g_keepOnTop = 0;
        SetWindowPos(&wndNoTopMost, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
    } else {
        g_keepOnTop = 1;
        SetWindowPos(&wndTopMost, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
    }
}

void CMainFrame::OnUpdateOptionsKeepOnTop(CCmdUI* ui) { ui->SetCheck(g_keepOnTop != 0); }
