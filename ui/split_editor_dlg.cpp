#include "ui/split_editor_dlg.h"

#include <cstdio>
#include <string>

#include "data/note_names.h"
#include "host/synth_app.h"
#include "platform/services.h"
#include "res/resource_ids.h"
#include "shared/constants.h"
#include "shared/editor.h"
#include "shared/relaxed.h"
#include "shared/samples.h"
#include "ui/sample_organizer_dlg.h"

int32_t g_currentSplit = 0;
uint8_t g_splitAutoTranspose = 0;
int32_t g_splitManualTranspose = 0;

namespace {

constexpr int kSplitHelpContext = 3;
constexpr int kManualControls[] = {IDC_SPLIT_SLIDER, IDC_SPLIT_VALUE, IDC_SPLIT_VALUE_LABEL,
                                   IDC_SPLIT_PLUS36, IDC_SPLIT_ZERO,  IDC_SPLIT_MINUS36};

std::string TransposeText(int32_t t) {
    if (t == 0) return {};
    char text[16];
    const uint32_t magnitude = t > 0 ? static_cast<uint32_t>(t) : 0u - static_cast<uint32_t>(t);
    std::snprintf(text, sizeof text, t > 0 ? "+%lu" : "-%lu", static_cast<unsigned long>(magnitude));
    return text;
}

int EntryIndex(int row) { return g_currentSplit * kSplitKeys + kSplitFirstKey + row; }

}  // namespace

CSplitEditorDlg::CSplitEditorDlg(CWnd* parent) : CDialog(IDD_SPLIT_EDITOR, parent) {
    OnCommandEntry(IDC_SPLIT_ADD, [this] { OnAddSplit(); });
    OnCommandEntry(IDC_SPLIT_REMOVE, [this] { OnRemoveSplit(); });
    OnCommandEntry(IDC_SPLIT_AUTO, [this] { OnAutoTranspose(); });
    OnCommandEntry(IDC_SPLIT_ORGANIZER, [this] { OnSampleOrganizer(); });
    OnCommandEntry(ID_DEFAULT_HELP, [this] { OnHelp(); });
    OnNotifyEntry(UDN_DELTAPOS, IDC_SPLIT_SPIN, [this](NMHDR* hdr) { return OnDeltaPosSplitSpin(hdr); });
}

void CSplitEditorDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_SPLIT_AUTO, m_autoCheck);
    DDX_Control(dx, IDC_SPLIT_SLIDER, m_transposeSlider);
    DDX_Control(dx, IDC_SPLIT_SPIN, m_splitSpin);
    DDX_Control(dx, IDC_SPLIT_SAMPLES, m_sampleList);
    DDX_Control(dx, IDC_SPLIT_KEYS, m_keyList);
}

bool CSplitEditorDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_transposeSlider.SetRange(0, kTransposeSliderMax);
    m_transposeSlider.SetPos(kTransposeSliderMax / 2);
    m_transposeSlider.SetTicFreq(kTransposeSliderMax / 2);
    g_splitManualTranspose = 0;
    SetDlgItemText(IDC_SPLIT_VALUE, "0");
    m_splitSpin.SetRange(0, kSplitSets - 1);
    m_splitSpin.SetPos(g_currentSplit);
    ShowSetNumber();

    m_keyList.InsertColumn(0, "Note", LVCFMT_LEFT, 44);
    m_keyList.InsertColumn(1, "Sample", LVCFMT_LEFT, 128);
    m_keyList.InsertColumn(2, "Transpose", LVCFMT_CENTER, 48);
    m_sampleList.InsertColumn(0, "Sample", LVCFMT_LEFT, 128);
    m_sampleList.InsertColumn(1, "Size", LVCFMT_LEFT, 48);
    FillSampleList();
    for (int row = 0; row < kSplitKeyRows; ++row) m_keyList.InsertItem(row, g_noteNames[kSplitFirstKey + row].data());
    RefreshSplitList();
    m_keyList.Scroll(kSplitListScroll);

    m_autoCheck.SetCheck(g_splitAutoTranspose ? 1 : 0);
    EnableManualTranspose();
    return true;
}

void CSplitEditorDlg::FillSampleList() {
    m_sampleList.DeleteAllItems();
    const uint32_t count = g_sampleCount;
    for (uint32_t s = 0; s < count; ++s) {
        const int row = static_cast<int>(s);
        m_sampleList.InsertItem(row, g_sampleName[s]);
        char size[32];
        std::snprintf(size, sizeof size, "%luk", static_cast<unsigned long>(g_sampleLength[s] >> 9));
        m_sampleList.SetItemText(row, 1, size);
    }
}

void CSplitEditorDlg::ShowSetNumber() {
    char text[32];
    std::snprintf(text, sizeof text, "Split #%lu", static_cast<unsigned long>(g_currentSplit + 1));
    SetDlgItemText(IDC_SPLIT_LABEL, text);
}

void CSplitEditorDlg::EnableManualTranspose() {
    for (int id : kManualControls)
        if (CWnd* c = GetDlgItem(id)) c->EnableWindow(g_splitAutoTranspose == 0);
}

void CSplitEditorDlg::RefreshSplitList() {
    const uint32_t count = g_sampleCount;
    for (int row = 0; row < kSplitKeyRows; ++row) {
        m_keyList.SetItemState(row, 0, LVIS_SELECTED);
        const int i = EntryIndex(row);
        const int32_t sample = RelaxedLoad(g_splitSample[i]);
        m_keyList.SetItemText(row, 0, g_noteNames[kSplitFirstKey + row].data());
        m_keyList.SetItemText(row, 1,
                              sample >= 0 && static_cast<uint32_t>(sample) < count ? g_sampleName[sample] : "");
        m_keyList.SetItemText(row, 2, TransposeText(RelaxedLoad(g_splitTranspose[i])));
    }
}

void CSplitEditorDlg::OnAddSplit() {
    const int sampleRow = m_sampleList.GetNextItem(-1, LVNI_SELECTED);
    if (sampleRow < 0 || static_cast<uint32_t>(sampleRow) >= g_sampleCount) return;
    if (m_keyList.GetNextItem(-1, LVNI_SELECTED) < 0) return;
    g_docModified = 1;
    const int32_t rootKey = static_cast<int32_t>(g_sampleRootKey[sampleRow]);
    for (int row = m_keyList.GetNextItem(-1, LVNI_SELECTED); row >= 0; row = m_keyList.GetNextItem(row, LVNI_SELECTED)) {
        const int key = kSplitFirstKey + row;
        const int i = EntryIndex(row);
        RelaxedStore(g_splitSample[i], int32_t{sampleRow});
        RelaxedStore(g_splitTranspose[i], g_splitAutoTranspose ? rootKey - key : g_splitManualTranspose);
    }
    RefreshSplitList();
}

void CSplitEditorDlg::OnRemoveSplit() {
    if (m_keyList.GetNextItem(-1, LVNI_SELECTED) < 0) return;
    g_docModified = 1;
    for (int row = m_keyList.GetNextItem(-1, LVNI_SELECTED); row >= 0; row = m_keyList.GetNextItem(row, LVNI_SELECTED)) {
        const int i = EntryIndex(row);
        RelaxedStore(g_splitSample[i], int32_t{kNoSample});
        RelaxedStore(g_splitTranspose[i], int32_t{0});
    }
    RefreshSplitList();
}

void CSplitEditorDlg::OnAutoTranspose() {
    g_splitAutoTranspose = g_splitAutoTranspose ? 0 : 1;
    m_autoCheck.SetCheck(g_splitAutoTranspose);
    EnableManualTranspose();
}

void CSplitEditorDlg::OnVScroll(UINT code, UINT pos, CWnd* bar) {
    g_splitManualTranspose = kTransposeSliderMax / 2 - m_transposeSlider.GetPos();
    SetDlgItemText(IDC_SPLIT_VALUE, std::to_string(g_splitManualTranspose));
    CDialog::OnVScroll(code, pos, bar);
}

LRESULT CSplitEditorDlg::OnDeltaPosSplitSpin(NMHDR* hdr) {
    auto* nm = reinterpret_cast<NMUPDOWN*>(hdr);
    int64_t set = int64_t{nm->iPos} + nm->iDelta;
    if (set < 0 || set > kSplitSets - 1) {
        set = set < 0 ? 0 : kSplitSets - 1;
        nm->iPos = static_cast<int>(set);
        nm->iDelta = 0;
    }
    g_currentSplit = static_cast<int32_t>(set);
    ShowSetNumber();
    RefreshSplitList();
    return 0;
}

void CSplitEditorDlg::OnSampleOrganizer() {
    CSampleOrganizerDlg organizer(this);
    organizer.DoModal();
    RefreshSplitList();
    if (g_sampleCount > 0) FillSampleList();
    else OnOK();
}

void CSplitEditorDlg::OnHelp() { WinHelp(g_hMainWnd, g_helpFile, HELP_CONTEXT, kSplitHelpContext); }
