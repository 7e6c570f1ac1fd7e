// The sample organizer's Export, Copy and Paste: the selected sample written
// as a WAV file or put on the clipboard as wave data, and wave data from the
// clipboard loaded as a sample (straight from the clipboard's bytes, no file
// between). The status line shows "Copying..." or "Pasting..." while they run
// and is emptied on every way out.
#include <new>

#include "data/sample_export.h"
#include "data/wave_file.h"
#include "platform/clipboard.h"
#include "platform/services.h"
#include "res/resource_ids.h"
#include "shared/app_settings.h"
#include "shared/file_io.h"
#include "shared/samples.h"
#include "ui/sample_name_dlg.h"
#include "ui/sample_organizer_dlg.h"

void CSampleOrganizerDlg::OnExportSample() {
    if (g_currentSample < 0 || static_cast<uint32_t>(g_currentSample) >= g_sampleCount) return;
    const uint32_t s = static_cast<uint32_t>(g_currentSample);
    CFileDialog dlg(false, "wav", g_sampleName[s], OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, "Wave Files (*.wav)|*.wav|",
                    this);
    dlg.m_initialDir = g_lastSampleFolder;
    if (dlg.DoModal() != IDOK) return;
    const std::string path = dlg.GetPathName();
    const size_t slash = path.rfind('/');
    if (slash != std::string::npos) g_lastSampleFolder = path.substr(0, slash);
    ExportSampleWave(s, path);
}

void CSampleOrganizerDlg::OnCopySample() {
    SetStatus("Copying...");
    const int row = m_sampleList.GetNextItem(-1, LVNI_SELECTED);
    if (row < 0 || static_cast<uint32_t>(row) >= g_sampleCount) {
        SetStatus("");
        return;
    }
    g_currentSample = row;
    const auto fail = [this](const char* text, bool close) {
        AfxMessageBox(text, MB_OK | MB_ICONSTOP);
        if (close) CloseClipboard();
        SetStatus("");
    };
    if (!OpenClipboard(this)) return fail("Cannot open the Clipboard", false);
    if (!EmptyClipboard()) return fail("Cannot empty the Clipboard", true);
    std::vector<uint8_t> image;
    try {
        image = BuildSampleWave(static_cast<uint32_t>(row));
    } catch (const std::bad_alloc&) {
        return fail("Unable to allocate memory for clipboard data", true);
    }
    if (!SetClipboardData(CF_WAVE, std::move(image))) return fail("Unable to set Clipboard data", true);
    CloseClipboard();
    if (CWnd* paste = GetDlgItem(IDC_ORG_PASTE)) paste->EnableWindow(true);
    SetStatus("");
}

void CSampleOrganizerDlg::OnPasteSample() {
    SetStatus("Pasting...");
    const auto fail = [this](const char* text, bool close) {
        AfxMessageBox(text, MB_OK | MB_ICONSTOP);
        if (close) CloseClipboard();
        SetStatus("");
    };
    if (!OpenClipboard(this)) return fail("Cannot open the clipboard", false);
    std::vector<uint8_t> bytes;
    if (!GetClipboardData(CF_WAVE, bytes)) return fail("Cannot retrieve data from the clipboard", true);
    if (bytes.empty()) return fail("Invalid clipboard data size", true);
    CloseClipboard();

    std::string name;
    if (g_currentSample >= 0 && static_cast<uint32_t>(g_currentSample) < g_sampleCount) {
        name = g_sampleName[g_currentSample];
    } else {
        CSampleNameDlg dlg(this);
        if (dlg.DoModal() == IDOK) name = NameOfTypedSampleName(dlg.m_name);
    }
    // Always offered as a new sample: the loader's own name check offers to
    // reload a loaded sample of the same name.
    g_sampleLoadSlot = static_cast<int32_t>(g_sampleCount.load());
    name = PasteLoadName(name);
    if (!name.empty()) {
        CMemFile file(bytes.data(), bytes.size());
        LoadWaveSampleFrom(file, name, false);
    }
    FillList();
    RefreshSampleTotals();
    FollowSelection();
    SetStatus("");
}
