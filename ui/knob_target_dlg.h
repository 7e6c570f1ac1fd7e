// The knob target dialog: chooses the sound (1 to 99) and the modulation target
// (0 to 30) of one automation knob. It starts from g_selSound and
// g_selKnobParam and writes each choice back into them the moment it is
// confirmed in its list; the caller reads them only when the dialog ends with
// OK. A sound of 0 (none yet) is shown, and stored, as sound 1.
#pragma once

#include <cstdint>

#include "platform/dialog.h"

extern int32_t g_selSound;      // 1..99; 0 = none yet
extern int32_t g_selKnobParam;  // 0..30

class CKnobTargetDlg : public CDialog {
public:
    explicit CKnobTargetDlg(CWnd* parent = nullptr);
    void DoDataExchange(CDataExchange* dx) override;
    bool OnInitDialog() override;
    void OnSelEndOkSound();
    void OnSelEndOkKnob();

    CComboBox m_knobCombo;   // 1150: the 31 targets in index order
    CComboBox m_soundCombo;  // 1149: sounds 1 to 99, entry s - 1 is sound s
};

// The Sound list's text of sound s: "01 - NAME" .. "99 - NAME".
std::string KnobTargetSoundText(int sound);
