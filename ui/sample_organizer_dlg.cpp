#include "ui/sample_organizer_dlg.h"

#include <cstdio>
#include <vector>

#include "data/note_names.h"
#include "data/sample_store.h"
#include "data/wave_file.h"
#include "host/synth_app.h"
#include "platform/clipboard.h"
#include "platform/services.h"
#include "res/resource_ids.h"
#include "shared/app_settings.h"
#include "shared/editor.h"
#include "shared/samples.h"
#include "shared/sound_bank.h"

int32_t g_currentSample = -1;
UINT g_organizerTimer = 0;
uint8_t g_organizerQuickLoad = 0;

namespace {

constexpr char kWaveFilter[] = "Wave Files (*.wav)|*.wav|";
constexpr uint8_t kSampleWave = 6;
constexpr int kOrganizerHelpContext = 7;

// The controls that follow the selection.
constexpr int kRowControls[] = {IDC_ORG_LOOP_GROUP, IDC_ORG_LOOP_START, IDC_ORG_LOOP_END, IDC_ORG_REPLACE,
                                IDC_ORG_REMOVE,     IDC_ORG_EXPORT,     IDC_ORG_LOOP_SLIDER, IDC_ORG_COPY};

std::string Kilobytes(uint64_t frames) {
    char text[32];
    std::snprintf(text, sizeof text, "%luk", static_cast<unsigned long>(frames / 512));
    return text;
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string FileNameOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

bool SampleInUse(uint32_t s) {
    struct Osc {
        int on;  // -1: always on
        SoundParam wave, sample, split;
    };
    static const Osc kOscs[3] = {
        {-1, kParamOsc1Wave, kParamOsc1Sample, kParamOsc1SplitSet},
        {kParamOsc2On, kParamOsc2Wave, kParamOsc2Sample, kParamOsc2SplitSet},
        {kParamOsc3On, kParamOsc3Wave, kParamOsc3Sample, kParamOsc3SplitSet},
    };
    for (uint32_t sound = 1; sound < kSounds; ++sound) {
        for (const Osc& o : kOscs) {
            if (o.on >= 0 && BankByte(static_cast<SoundParam>(o.on), sound) == 0) continue;
            if (BankByte(o.wave, sound) != kSampleWave) continue;
            const uint32_t split = BankByte(o.split, sound);
            if (split == 0) {
                if (BankByte(o.sample, sound) == s) return true;
            } else if (split <= kSplitSets) {
                const int base = static_cast<int>(split - 1) * kSplitKeys;
                for (int k = 0; k < kSplitKeys; ++k)
                    if (RelaxedLoad(g_splitSample[base + k]) == static_cast<int32_t>(s)) return true;
            }
        }
    }
    return false;
}

int LoopSliderPosition(uint32_t loopPoint, uint32_t length) {
    // An empty sample has nothing to loop: the slider stands at the end.
    if (length == 0) return kLoopSliderMax;
    return static_cast<int>(static_cast<double>(loopPoint) / static_cast<double>(length) * kLoopSliderMax);
}

uint32_t LoopPointOfSlider(int position, uint32_t length) {
    if (position <= 0) return 0;
    if (position >= kLoopSliderMax) return length;
    return static_cast<uint32_t>(static_cast<double>(position) / kLoopSliderMax * static_cast<double>(length));
}

CSampleOrganizerDlg::CSampleOrganizerDlg(CWnd* parent) : CDialog(IDD_SAMPLE_ORGANIZER, parent) {
    OnCommandEntry(IDC_ORG_ADD, [this] { OnAddSamples(); });
    OnCommandEntry(IDC_ORG_REPLACE, [this] { OnReplaceSample(); });
    OnCommandEntry(IDC_ORG_REMOVE, [this] { OnRemoveSample(); });
    OnCommandEntry(IDC_ORG_EXPORT, [this] { OnExportSample(); });
    OnCommandEntry(IDC_ORG_COPY, [this] { OnCopySample(); });
    OnCommandEntry(IDC_ORG_PASTE, [this] { OnPasteSample(); });
    OnCommandEntry(ID_DEFAULT_HELP, [this] { OnHelp(); });
    OnNotifyEntry(LVN_ITEMCHANGED, IDC_ORG_LIST, [this](NMHDR* hdr) { return OnItemChangedSampleList(hdr); });
}

void CSampleOrganizerDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_ORG_LOOP_SLIDER, m_loopSlider);
    DDX_Control(dx, IDC_ORG_LIST, m_sampleList);
}

bool CSampleOrganizerDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_sampleList.InsertColumn(0, "File name", LVCFMT_LEFT, 164);
    m_sampleList.InsertColumn(1, "Size", LVCFMT_RIGHT, 50);
    m_sampleList.InsertColumn(2, "Root key", LVCFMT_CENTER, 55);
    m_sampleList.InsertColumn(3, "Loopback", LVCFMT_RIGHT, 64);
    FillList();
    RefreshSampleTotals();
    m_loopSlider.SetRange(0, kLoopSliderMax);
    m_loopSlider.SetPos(0);
    g_currentSample = -1;
    if (!g_organizerQuickLoad) g_organizerTimer = SetTimer(kOrganizerTimerId, kOrganizerTimerMs);
    else OnAddSamples();
    return true;
}

void CSampleOrganizerDlg::WriteRow(int row) {
    const uint32_t s = static_cast<uint32_t>(row);
    char text[32];
    m_sampleList.SetItemText(row, 0, g_sampleName[s]);
    m_sampleList.SetItemText(row, 1, Kilobytes(g_sampleLength[s]));
    const uint32_t key = g_sampleRootKey[s];
    m_sampleList.SetItemText(row, 2, key < static_cast<uint32_t>(kNoteNames) ? g_noteNames[key].data() : "");
    std::snprintf(text, sizeof text, "%lu", static_cast<unsigned long>(g_sampleLoopPoint[s].load()));
    m_sampleList.SetItemText(row, 3, text);
}

void CSampleOrganizerDlg::FillList() {
    m_sampleList.DeleteAllItems();
    const uint32_t count = g_sampleCount;
    for (uint32_t s = 0; s < count; ++s) {
        m_sampleList.InsertItem(static_cast<int>(s), g_sampleName[s]);
        WriteRow(static_cast<int>(s));
    }
}

void CSampleOrganizerDlg::RefreshSampleTotals() {
    uint64_t frames = 0;
    const uint32_t count = g_sampleCount;
    for (uint32_t s = 0; s < count; ++s) frames += g_sampleLength[s];
    SetDlgItemText(IDC_ORG_TOTAL, Kilobytes(frames));
    if (CWnd* add = GetDlgItem(IDC_ORG_ADD)) add->EnableWindow(count < kMaxSamples);
}

void CSampleOrganizerDlg::SetStatus(const std::string& text) { SetDlgItemText(IDC_ORG_STATUS, text); }

void CSampleOrganizerDlg::FollowSelection() {
    const int row = m_sampleList.GetNextItem(-1, LVNI_SELECTED);
    const bool selected = row >= 0 && static_cast<uint32_t>(row) < g_sampleCount;
    g_currentSample = selected ? row : -1;
    if (selected) {
        const uint32_t s = static_cast<uint32_t>(row);
        m_loopSlider.SetPos(LoopSliderPosition(g_sampleLoopPoint[s], g_sampleLength[s]));
    }
    for (int id : kRowControls)
        if (CWnd* c = GetDlgItem(id)) c->EnableWindow(selected);
}

LRESULT CSampleOrganizerDlg::OnItemChangedSampleList(NMHDR*) {
    FollowSelection();
    return 0;
}

void CSampleOrganizerDlg::OnHScroll(UINT code, UINT pos, CWnd* bar) {
    if (g_currentSample != -1) {
        const uint32_t s = static_cast<uint32_t>(g_currentSample);
        g_docModified = 1;
        const uint32_t loop = LoopPointOfSlider(m_loopSlider.GetPos(), g_sampleLength[s]);
        g_sampleLoopPoint[s] = loop;
        char text[32];
        std::snprintf(text, sizeof text, "%lu", static_cast<unsigned long>(loop));
        m_sampleList.SetItemText(g_currentSample, 3, text);
    }
    CDialog::OnHScroll(code, pos, bar);
}

void CSampleOrganizerDlg::OnAddSamples() {
    if (g_sampleCount < kMaxSamples) {
        CFileDialog dlg(true, "wav", "*.wav", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_ALLOWMULTISELECT,
                        kWaveFilter, this);
        dlg.m_initialDir = g_lastSampleFolder;
        if (dlg.DoModal() == IDOK) {
            SetStatus("Loading...");
            g_docModified = 1;
            for (const std::string& path : dlg.GetPathNames()) {
                // A full store takes no further file of the selection.
                if (g_sampleCount >= kMaxSamples) {
                    AfxMessageBox("Cannot load more samples!");
                    break;
                }
                g_lastSampleFolder = FolderOf(path);
                g_sampleLoadSlot = static_cast<int32_t>(g_sampleCount.load());
                if (!LoadWaveSample(path, FileNameOf(path), false)) continue;
                const int row = g_sampleLoadSlot;
                if (!g_sampleReloaded) m_sampleList.InsertItem(row, g_sampleName[row]);
                WriteRow(row);
            }
            RefreshSampleTotals();
            SetStatus("");
        }
    }
    if (g_organizerQuickLoad) {
        g_organizerQuickLoad = 0;
        EndDialog(IDOK);
    }
}

void CSampleOrganizerDlg::OnReplaceSample() {
    if (g_currentSample < 0 || static_cast<uint32_t>(g_currentSample) >= g_sampleCount) return;
    SetStatus("Loading..");
    CFileDialog dlg(true, "wav", "*.wav", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, kWaveFilter, this);
    dlg.m_initialDir = g_lastSampleFolder;
    if (dlg.DoModal() == IDOK) {
        g_docModified = 1;
        g_sampleLoadSlot = g_currentSample;
        if (LoadWaveSample(dlg.GetPathName(), dlg.GetFileName(), true)) {
            WriteRow(g_sampleLoadSlot);
            RefreshSampleTotals();
        }
    }
    SetStatus("");
}

void CSampleOrganizerDlg::OnRemoveSample() {
    if (g_currentSample < 0 || static_cast<uint32_t>(g_currentSample) >= g_sampleCount) return;
    const uint32_t s = static_cast<uint32_t>(g_currentSample);
    if (SampleInUse(s) &&
        AfxMessageBox("The sample you are about to remove is being used in\n the current song! Continue anyway?",
                      MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    g_docModified = 1;
    RemoveSample(s);
    m_sampleList.DeleteItem(static_cast<int>(s));
    RefreshSampleTotals();
    // No row stays selected, whether or not the list reported the deletion.
    for (int row = 0; row < m_sampleList.GetItemCount(); ++row) m_sampleList.SetItemState(row, 0, LVIS_SELECTED);
    FollowSelection();
}

void CSampleOrganizerDlg::OnHelp() { WinHelp(g_hMainWnd, g_helpFile, HELP_CONTEXT, kOrganizerHelpContext); }

void CSampleOrganizerDlg::OnClose() {
    KillTimer(g_organizerTimer);
    // A dialog's close is its Cancel.
    OnCancel();
}

LRESULT CSampleOrganizerDlg::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT || message == WM_SETFOCUS || message == WM_TIMER) {
        // "Paste" follows the clipboard; while another program holds it open
        // the button keeps its state.
        if (OpenClipboard(this)) {
            const bool wave = IsClipboardFormatAvailable(CF_WAVE);
            CloseClipboard();
            if (CWnd* paste = GetDlgItem(IDC_ORG_PASTE)) paste->EnableWindow(wave);
        }
    }
    return CDialog::DefWindowProc(message, wParam, lParam);
}
