// The split editor: fills the 32 key-split sets. It lists keys 12 to 95 of the
// current set with their sample and transpose, and the samples in memory;
// "<< Add" gives the selected keys the selected sample, with the manual
// transpose of the slider (+36 at the top, -36 at the bottom) or, in Auto
// mode, the transpose that plays the sample at its root key; "Remove" clears
// the selected keys. Every refresh of the key list leaves no key selected.
// The set shown, the Auto mode and the manual transpose are kept between
// openings (the slider starts in the middle each time). Edits go straight into
// the split tables, one whole word per entry, while the engine may read them.
#pragma once

#include <cstdint>

#include "platform/controls.h"
#include "platform/dialog.h"

extern int32_t g_currentSplit;          // the set shown, 0..31
extern uint8_t g_splitAutoTranspose;    // 1: Auto transpose
extern int32_t g_splitManualTranspose;  // -36..+36

inline constexpr int kSplitFirstKey = 12;
inline constexpr int kSplitKeyRows = 84;        // keys 12..95
inline constexpr int kSplitListScroll = 504;    // pixels the key list starts scrolled down
inline constexpr int kTransposeSliderMax = 72;  // position 36 is no transpose

class CSplitEditorDlg : public CDialog {
public:
    explicit CSplitEditorDlg(CWnd* parent = nullptr);

    void DoDataExchange(CDataExchange* dx) override;
    bool OnInitDialog() override;
    // Rewrites the key rows of the current set and clears their selection.
    virtual void RefreshSplitList();

    void OnAddSplit();
    void OnRemoveSplit();
    void OnAutoTranspose();
    void OnVScroll(UINT code, UINT pos, CWnd* bar) override;
    LRESULT OnDeltaPosSplitSpin(NMHDR* hdr);
    void OnSampleOrganizer();
    void OnHelp();

    CButton m_autoCheck;
    CSliderCtrl m_transposeSlider;
    CSpinButtonCtrl m_splitSpin;
    CListCtrl m_sampleList;
    CListCtrl m_keyList;

private:
    void FillSampleList();
    void ShowSetNumber();
    void EnableManualTranspose();
};
