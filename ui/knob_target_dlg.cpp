#include "ui/knob_target_dlg.h"

#include "res/resource_ids.h"
#include "shared/sound_bank.h"

int32_t g_selSound = 0;
int32_t g_selKnobParam = 0;

CKnobTargetDlg::CKnobTargetDlg(CWnd* parent) : CDialog(IDD_KNOB_TARGET, parent) {
    OnControlEntry(CBN_SELENDOK, IDC_TARGET_SOUND, [this] { OnSelEndOkSound(); });
    OnControlEntry(CBN_SELENDOK, IDC_TARGET_KNOB, [this] { OnSelEndOkKnob(); });
}

void CKnobTargetDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_TARGET_KNOB, m_knobCombo);
    DDX_Control(dx, IDC_TARGET_SOUND, m_soundCombo);
}

std::string KnobTargetSoundText(int sound) {
    std::string text = sound < 10 ? "0" : "";
    text += std::to_string(sound) + " - ";
    if (sound >= 0 && sound < kSounds) text += g_soundNames[sound];
    return text;
}

bool CKnobTargetDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    for (int s = 1; s < kSounds; ++s) m_soundCombo.AddString(KnobTargetSoundText(s));
    for (const char* name : g_modTargetNames) m_knobCombo.AddString(name);
    if (g_selSound == 0) g_selSound = 1;
    m_soundCombo.SetCurSel(g_selSound - 1);
    m_knobCombo.SetCurSel(g_selKnobParam);
    return true;
}

void CKnobTargetDlg::OnSelEndOkSound() { g_selSound = m_soundCombo.GetCurSel() + 1; }

void CKnobTargetDlg::OnSelEndOkKnob() { g_selKnobParam = m_knobCombo.GetCurSel(); }
