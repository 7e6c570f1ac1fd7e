#include "ui/about_dlg.h"

#include "res/resource_ids.h"

CBitmap g_aboutBackground;
CBitmap g_aboutCredits;
int32_t g_creditsOffset = 0;
UINT g_creditsTimer = 0;

CAboutDlg::CAboutDlg(CWnd* parent) : CDialog(IDD_ABOUTBOX, parent) {
    m_ownerDraws = true;
    g_aboutBackground.LoadBitmap(IDB_ABOUT);
    g_aboutCredits.LoadBitmap(IDB_CREDITS);
}

bool CAboutDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SetClientSize(300, 300);
    CenterWindow();
    g_creditsOffset = 0;
    g_creditsTimer = SetTimer(kCreditsTimerId, kCreditsTimerMs);
    return true;
}

void CAboutDlg::OnPaint() {
    CPaintDC dc(this);
    CDC mem;
    mem.CreateCompatibleDC(&dc);
    CBitmap* old = mem.SelectObject(&g_aboutBackground);
    dc.BitBlt(0, 0, 300, 300, &mem, 0, 0, SRCCOPY);
    mem.SelectObject(old);
    // Whatever of the client area lies beyond the picture.
    dc.FillSolidRect(0, 300, 300, 100, RGB(0, 0, 0));
    dc.FillSolidRect(300, 0, 100, 400, RGB(0, 0, 0));
}

void CAboutDlg::OnTimer(UINT id) {
    {
        CClientDC dc(this);
        CDC mem;
        mem.CreateCompatibleDC(&dc);
        CBitmap* old = mem.SelectObject(&g_aboutCredits);
        dc.BitBlt(32, 64, 230, 224, &mem, 0, g_creditsOffset, SRCCOPY);
        mem.SelectObject(old);
    }
    if (++g_creditsOffset > kCreditsLastOffset) g_creditsOffset = 0;
    CDialog::OnTimer(id);
}

void CAboutDlg::OnLButtonDown(UINT flags, CPoint point) {
    CDialog::OnLButtonDown(flags, point);
    EndDialog(IDOK);
}

bool CAboutDlg::DestroyWindow() {
    KillTimer(g_creditsTimer);
    return CDialog::DestroyWindow();
}
