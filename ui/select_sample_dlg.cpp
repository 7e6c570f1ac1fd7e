#include "ui/select_sample_dlg.h"

#include <cctype>
#include <cstdlib>

#include "res/resource_ids.h"
#include "shared/editor.h"
#include "shared/samples.h"
#include "ui/sample_organizer_dlg.h"

int32_t g_selectedSampleOrSplit = 0;
int32_t g_selectSampleOffsetX = 0;

namespace {

constexpr int kDialogSize = 216;
constexpr int kDownOffset = 24;
constexpr int kSplitSetCount = 32;

// The field's number when it holds one (spaces around allowed).
bool FieldNumber(const std::string& text, long& value) {
    const char* p = text.c_str();
    while (std::isspace(static_cast<unsigned char>(*p))) ++p;
    if (*p == '\0') return false;
    char* end = nullptr;
    value = std::strtol(p, &end, 10);
    if (end == p) return false;
    while (std::isspace(static_cast<unsigned char>(*end))) ++end;
    return *end == '\0';
}

}  // namespace

CSelectSampleDlg::CSelectSampleDlg(CWnd* parent) : CDialog(IDD_SELECT_SAMPLE, parent) {
    OnControlEntry(EN_CHANGE, IDC_SEL_SPLIT, [this] { OnChangeSplitNumber(); });
    OnControlEntry(EN_SETFOCUS, IDC_SEL_SPLIT, [this] { OnSetFocusSplitNumber(); });
    OnControlEntry(LBN_SETFOCUS, IDC_SEL_LIST, [this] { OnSetFocusSampleList(); });
    OnControlEntry(LBN_DBLCLK, IDC_SEL_LIST, [this] { OnDblClkSampleList(); });
    OnCommandEntry(IDC_SEL_LOAD_WAV, [this] { OnLoadWav(); });
}

void CSelectSampleDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_SEL_SPLIT_SPIN, m_spin);
    DDX_Control(dx, IDC_SEL_LIST, m_sampleList);
    DDX_Text(dx, IDC_SEL_SPLIT, m_splitNumber);
    DDV_MinMaxInt(dx, m_splitNumber, 1, kSplitSetCount);
}

void CSelectSampleDlg::ShowChoice(bool single) {
    if (CWnd* c = GetDlgItem(IDC_SEL_SINGLE_GROUP)) c->EnableWindow(single);
    if (CWnd* c = GetDlgItem(IDC_SEL_SPLIT_GROUP)) c->EnableWindow(!single);
    if (CWnd* c = GetDlgItem(IDC_SEL_SPLIT_LABEL)) c->EnableWindow(!single);
}

bool CSelectSampleDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    openedWith_ = g_selectedSampleOrSplit;
    CRect r;
    GetWindowRect(&r);
    MoveWindow(r.left + g_selectSampleOffsetX, r.top + kDownOffset, kDialogSize, kDialogSize);
    m_spin.SetRange(1, kSplitSetCount);
    m_spin.SetPos(1);
    const uint32_t count = g_sampleCount;
    for (uint32_t s = 0; s < count; ++s) m_sampleList.AddString(g_sampleName[s]);
    if (openedWith_ < kSplitChoiceBase) {
        if (openedWith_ >= 0 && openedWith_ < m_sampleList.GetCount()) m_sampleList.SetCurSel(openedWith_);
        ShowChoice(true);
        GotoDlgCtrl(&m_sampleList);
    } else {
        m_spin.SetPos(openedWith_ - kSplitChoiceBase);
        ShowChoice(false);
        GotoDlgCtrl(GetDlgItem(IDC_SEL_SPLIT));
    }
    return false;
}

bool CSelectSampleDlg::DestroyWindow() {
    if (IsWindow()) {
        const int row = m_sampleList.GetCurSel();
        long number = 0;
        if (row >= 0) {
            g_selectedSampleOrSplit = row;
        } else if (FieldNumber(GetDlgItemText(IDC_SEL_SPLIT), number) && number >= 1 && number <= kSplitSetCount) {
            g_selectedSampleOrSplit = kSplitChoiceBase + static_cast<int32_t>(number);
        } else {
            // Escape past a number that is none or out of range: the choice the
            // dialog was opened with, when it is one, else split set 1.
            const bool wasRow = openedWith_ >= 0 && openedWith_ < m_sampleList.GetCount();
            const bool wasSplit =
                openedWith_ > kSplitChoiceBase && openedWith_ <= kSplitChoiceBase + kSplitSetCount;
            g_selectedSampleOrSplit = wasRow || wasSplit ? openedWith_ : kSplitChoiceBase + 1;
        }
    }
    return CDialog::DestroyWindow();
}

void CSelectSampleDlg::OnChangeSplitNumber() { m_sampleList.SetCurSel(-1); }

void CSelectSampleDlg::OnSetFocusSplitNumber() {
    m_sampleList.SetCurSel(-1);
    ShowChoice(false);
}

void CSelectSampleDlg::OnSetFocusSampleList() { ShowChoice(true); }

void CSelectSampleDlg::OnDblClkSampleList() { OnOK(); }

void CSelectSampleDlg::OnLoadWav() {
    g_organizerQuickLoad = 1;
    g_docModified = 0;
    const uint32_t before = g_sampleCount;
    CSampleOrganizerDlg organizer(this);
    organizer.DoModal();
    const uint32_t after = g_sampleCount;
    for (uint32_t s = before; s < after; ++s) m_sampleList.AddString(g_sampleName[s]);
}
