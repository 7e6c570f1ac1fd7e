// The new-song dialog: the initial tempo and the length of the patterns.
#pragma once

#include "platform/dialog.h"

class CNewSongDlg : public CDialog {
public:
    explicit CNewSongDlg(CWnd* parent = nullptr);
    void DoDataExchange(CDataExchange* dx) override;
    bool OnInitDialog() override;

    CSpinButtonCtrl m_tempoSpin;
    int m_tempo = 120;
    int m_patternLengthChoice = 2;  // 64 steps
};

// Pattern length and steps per beat of radio button 0..6; false for another
// index.
bool PatternTimingOfChoice(int choice, uint32_t& length, uint32_t& stepsPerBeat);
