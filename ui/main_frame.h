// The main frame: one fixed-size window holding the panel view, with the menu
// bar and accelerators; it handles closing, activation and keep-on-top.
#pragma once

#include "platform/framework.h"

inline constexpr UINT ID_OPTIONS_KEEP_ON_TOP = 32813;

class CMainFrame : public CFrameWnd {
public:
    CMainFrame();
    bool PreCreateWindow(CREATESTRUCT& cs) override;
    void OnActivate(UINT state, CWnd* other, bool minimized) override;
    void OnClose() override;
    void OnOptionsKeepOnTop();
    void OnUpdateOptionsKeepOnTop(CCmdUI* ui);
};
