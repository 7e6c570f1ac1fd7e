// The effects selector: the type of each of the three effect units, their
// three parameters on track bars whose captions follow the type, and the
// connection of units 1 and 2 (parallel, or serial with an amount).
//
// There is no working copy: every change of a control is written at once into
// g_effectSettings, which the engine's effect set-up reads after every block,
// so each change is heard while the dialog is open; closing it (Close, Esc or
// the close box) keeps everything. Every change marks g_docModified.
//
// A type's slider ranges and captions come from the engine's effect tables; a
// stored type outside its unit's list leaves the list without a selection and
// the three sliders disabled ("not used" for type 12 of unit 1, no caption for
// the others).
#pragma once

#include <cstdint>
#include <string>

#include "platform/controls.h"
#include "platform/dialog.h"

// Per unit the type last taken from its list in this opening, and per slider
// the parameter before the latest slider message; 65535 = none yet (a caption
// still to be written). Reset at every opening.
inline constexpr int32_t kFxNone = 65535;
extern int32_t g_fxLastType[3];
extern int32_t g_fxLastParam[3][3];

// Caption format and range of slider (0..2) of a unit (0..2) for a type.
struct FxSliderRow {
    const char* format;
    int32_t min;
    int32_t max;  // 0: the slider is not used by the type
};
FxSliderRow FxSliderFor(int unit, int32_t type, int slider);

// A caption: "%lu" shows the value in decimal and "%%" a percent sign; a
// format without them is shown as it is. At most 79 characters.
std::string FormatFxCaption(const char* format, uint32_t value);

class CEffectsDlg : public CDialog {
public:
    explicit CEffectsDlg(CWnd* parent = nullptr);
    void DoDataExchange(CDataExchange* dx) override;
    bool OnInitDialog() override;
    void OnHScroll(UINT code, UINT pos, CWnd* bar) override;

    // Sliders moved to their values; the captions of the values that changed
    // rewritten, captions and sliders enabled by their ranges.
    virtual void UpdateEffectLabels();

    void OnSelEndOkFx1Type() { ChooseType(0); }
    void OnSelEndOkFx2Type() { ChooseType(1); }
    void OnSelEndOkFx3Type() { ChooseType(2); }
    void OnParallel() { Connect(false); }
    void OnSerial() { Connect(true); }
    void OnHelp();

    CComboBox m_fx3Type;
    CSliderCtrl m_fx3Param3, m_fx3Param2, m_fx3Param1;
    CSliderCtrl m_serialAmount;
    CSliderCtrl m_fx2Param3, m_fx1Param3;
    CButton m_serial, m_parallel;
    CSliderCtrl m_fx2Param2, m_fx2Param1, m_fx1Param2, m_fx1Param1;
    CComboBox m_fx2Type, m_fx1Type;

private:
    void ChooseType(int unit);
    void Connect(bool serial);
    void SetRanges(int unit);

    CComboBox* types_[3];
    CSliderCtrl* params_[3][3];
};
