// The select-sample dialog: what an oscillator set to sample playback plays,
// one sample of the store (a row of the list) or a key-split set (1 to 32).
// The choice comes in and goes out through g_selectedSampleOrSplit: a sample
// number below 1000, 1000 + n for split set n. The result is taken when the
// window goes, on every way of closing, and a selected row always wins. "Load
// wav" runs the organizer in quick-load mode and appends the samples it added.
#pragma once

#include <cstdint>

#include "platform/controls.h"
#include "platform/dialog.h"

extern int32_t g_selectedSampleOrSplit;
extern int32_t g_selectSampleOffsetX;  // pixels to the right of its own place

inline constexpr int32_t kSplitChoiceBase = 1000;

class CSelectSampleDlg : public CDialog {
public:
    explicit CSelectSampleDlg(CWnd* parent = nullptr);

    bool DestroyWindow() override;
    void DoDataExchange(CDataExchange* dx) override;
    bool OnInitDialog() override;

    void OnChangeSplitNumber();
    void OnSetFocusSplitNumber();
    void OnSetFocusSampleList();
    void OnDblClkSampleList();
    void OnLoadWav();

    CSpinButtonCtrl m_spin;
    CListBox m_sampleList;
    int m_splitNumber = 0;

private:
    // Which of the two choices is active: its group enabled, the other's not.
    void ShowChoice(bool single);
    int32_t openedWith_ = 0;
};
