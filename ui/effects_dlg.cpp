#include "ui/effects_dlg.h"

#include "engine/effect_setup.h"
#include "host/synth_app.h"
#include "platform/services.h"
#include "res/resource_ids.h"
#include "shared/editor.h"
#include "shared/mixer.h"

int32_t g_fxLastType[3];
int32_t g_fxLastParam[3][3];

namespace {

constexpr int kTypeIds[3] = {IDC_FX1_TYPE, IDC_FX2_TYPE, IDC_FX3_TYPE};
constexpr int kSliderIds[3][3] = {{IDC_FX1_PARAM1, IDC_FX1_PARAM2, IDC_FX1_PARAM3},
                                  {IDC_FX2_PARAM1, IDC_FX2_PARAM2, IDC_FX2_PARAM3},
                                  {IDC_FX3_PARAM1, IDC_FX3_PARAM2, IDC_FX3_PARAM3}};
constexpr int kCaptionIds[3][3] = {{IDC_FX1_CAPTION1, IDC_FX1_CAPTION2, IDC_FX1_CAPTION3},
                                   {IDC_FX2_CAPTION1, IDC_FX2_CAPTION2, IDC_FX2_CAPTION3},
                                   {IDC_FX3_CAPTION1, IDC_FX3_CAPTION2, IDC_FX3_CAPTION3}};
constexpr int kHelpContext = 2;
constexpr size_t kCaptionChars = 79;

}  // namespace

FxSliderRow FxSliderFor(int unit, int32_t type, int slider) {
    if (slider < 0 || slider > 2) return {"", 0, 0};
    if (const EffectType* t = FindEffectType(unit, type)) {
        const EffectSlider& s = EffectSliders(t->kind)[slider];
        return {s.label, s.min, s.max};
    }
    // Beyond the lists: the row after unit 1's list reads "not used", the
    // others (and anything a damaged song may hold) have no caption.
    if (unit == 0 && type == kFxTypeCount[0]) return {"not used", 0, 0};
    return {"", 0, 0};
}

std::string FormatFxCaption(const char* format, uint32_t value) {
    std::string out;
    for (const char* p = format; *p && out.size() < kCaptionChars; ++p) {
        if (p[0] == '%' && p[1] == '%') {
            out += '%';
            ++p;
        } else if (p[0] == '%' && p[1] == 'l' && p[2] == 'u') {
            out += std::to_string(value);
            p += 2;
        } else {
            out += *p;
        }
    }
    if (out.size() > kCaptionChars) out.resize(kCaptionChars);
    return out;
}

CEffectsDlg::CEffectsDlg(CWnd* parent)
    : CDialog(IDD_EFFECTS, parent),
      types_{&m_fx1Type, &m_fx2Type, &m_fx3Type},
      params_{{&m_fx1Param1, &m_fx1Param2, &m_fx1Param3},
              {&m_fx2Param1, &m_fx2Param2, &m_fx2Param3},
              {&m_fx3Param1, &m_fx3Param2, &m_fx3Param3}} {
    OnControlEntry(CBN_SELENDOK, IDC_FX1_TYPE, [this] { OnSelEndOkFx1Type(); });
    OnControlEntry(CBN_SELENDOK, IDC_FX2_TYPE, [this] { OnSelEndOkFx2Type(); });
    OnControlEntry(CBN_SELENDOK, IDC_FX3_TYPE, [this] { OnSelEndOkFx3Type(); });
    OnCommandEntry(IDC_FX_PARALLEL, [this] { OnParallel(); });
    OnCommandEntry(IDC_FX_SERIAL, [this] { OnSerial(); });
    OnCommandEntry(ID_HELP, [this] { OnHelp(); });
}

void CEffectsDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_FX3_TYPE, m_fx3Type);
    DDX_Control(dx, IDC_FX3_PARAM3, m_fx3Param3);
    DDX_Control(dx, IDC_FX3_PARAM2, m_fx3Param2);
    DDX_Control(dx, IDC_FX3_PARAM1, m_fx3Param1);
    DDX_Control(dx, IDC_FX_AMOUNT, m_serialAmount);
    DDX_Control(dx, IDC_FX2_PARAM3, m_fx2Param3);
    DDX_Control(dx, IDC_FX1_PARAM3, m_fx1Param3);
    DDX_Control(dx, IDC_FX_SERIAL, m_serial);
    DDX_Control(dx, IDC_FX_PARALLEL, m_parallel);
    DDX_Control(dx, IDC_FX2_PARAM2, m_fx2Param2);
    DDX_Control(dx, IDC_FX2_PARAM1, m_fx2Param1);
    DDX_Control(dx, IDC_FX1_PARAM2, m_fx1Param2);
    DDX_Control(dx, IDC_FX1_PARAM1, m_fx1Param1);
    DDX_Control(dx, IDC_FX2_TYPE, m_fx2Type);
    DDX_Control(dx, IDC_FX1_TYPE, m_fx1Type);
}

void CEffectsDlg::SetRanges(int unit) {
    const int32_t type = g_effectSettings.fxType[unit];
    for (int s = 0; s < 3; ++s) {
        const FxSliderRow row = FxSliderFor(unit, type, s);
        params_[unit][s]->SetRange(row.min, row.max, true);
    }
}

bool CEffectsDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    if (g_effectSettings.fxSerial != 0) {
        m_serial.SetCheck(1);
        if (CWnd* caption = GetDlgItem(IDC_FX_AMOUNT_CAPTION)) caption->EnableWindow(true);
        m_serialAmount.EnableWindow(true);
    } else {
        m_parallel.SetCheck(1);
    }
    for (int u = 0; u < 3; ++u) types_[u]->SetCurSel(g_effectSettings.fxType[u]);
    for (int u = 0; u < 3; ++u) SetRanges(u);
    m_serialAmount.SetRange(kFxSerialAmountMin, kFxSerialAmountMax);
    m_serialAmount.SetPos(g_effectSettings.fxSerialAmount);
    for (int u = 0; u < 3; ++u) {
        g_fxLastType[u] = kFxNone;
        for (int s = 0; s < 3; ++s) g_fxLastParam[u][s] = kFxNone;
    }
    UpdateEffectLabels();
    return true;
}

void CEffectsDlg::UpdateEffectLabels() {
    for (int u = 0; u < 3; ++u)
        for (int s = 0; s < 3; ++s)
            if (params_[u][s]->GetPos() != g_effectSettings.fxParam[u][s]) params_[u][s]->SetPos(g_effectSettings.fxParam[u][s]);
    for (int u = 0; u < 3; ++u)
        for (int s = 0; s < 3; ++s) {
            const int32_t value = g_effectSettings.fxParam[u][s];
            if (value == g_fxLastParam[u][s]) continue;
            const FxSliderRow row = FxSliderFor(u, g_effectSettings.fxType[u], s);
            SetDlgItemText(kCaptionIds[u][s], FormatFxCaption(row.format, uint32_t(value)));
            const bool used = row.max != 0;
            if (CWnd* caption = GetDlgItem(kCaptionIds[u][s])) caption->EnableWindow(used);
            params_[u][s]->EnableWindow(used);
        }
}

void CEffectsDlg::ChooseType(int unit) {
    const int32_t chosen = types_[unit]->GetCurSel();
    if (chosen == g_fxLastType[unit]) return;
    // The type first, then the parameters at the lower ends of its ranges.
    g_effectSettings.fxType[unit] = chosen;
    g_fxLastType[unit] = chosen;
    for (int s = 0; s < 3; ++s) g_effectSettings.fxParam[unit][s] = FxSliderFor(unit, chosen, s).min;
    for (int s = 0; s < 3; ++s) g_fxLastParam[unit][s] = kFxNone;
    SetRanges(unit);
    UpdateEffectLabels();
    g_docModified = 1;
}

void CEffectsDlg::OnHScroll(UINT, UINT, CWnd*) {
    for (int u = 0; u < 3; ++u)
        for (int s = 0; s < 3; ++s) g_fxLastParam[u][s] = g_effectSettings.fxParam[u][s];
    for (int u = 0; u < 3; ++u)
        for (int s = 0; s < 3; ++s) g_effectSettings.fxParam[u][s] = params_[u][s]->GetPos();
    // Read whether the amount slider is enabled or not.
    g_effectSettings.fxSerialAmount = m_serialAmount.GetPos();
    UpdateEffectLabels();
    g_docModified = 1;
    Default();
}

void CEffectsDlg::Connect(bool serial) {
    g_effectSettings.fxSerial = serial ? 1 : 0;
    m_parallel.SetCheck(serial ? 0 : 1);
    m_serial.SetCheck(serial ? 1 : 0);
    if (CWnd* caption = GetDlgItem(IDC_FX_AMOUNT_CAPTION)) caption->EnableWindow(serial);
    m_serialAmount.EnableWindow(serial);
    g_docModified = 1;
}

void CEffectsDlg::OnHelp() { WinHelp(g_hMainWnd, g_helpFile, HELP_CONTEXT, kHelpContext); }
