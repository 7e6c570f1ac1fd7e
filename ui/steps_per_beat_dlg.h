// The steps-per-beat dialog: two radio buttons, "4/6 steps" (0) and "8/12
// steps" (1), and OK. OK takes the choice into m_nStepsChoice; Esc closes it
// without data exchange, the member keeping what the opener set.
#pragma once

#include "platform/dialog.h"

class CStepsPerBeatDlg : public CDialog {
public:
    explicit CStepsPerBeatDlg(CWnd* parent = nullptr);
    void DoDataExchange(CDataExchange* dx) override;

    int m_nStepsChoice = -1;
};
