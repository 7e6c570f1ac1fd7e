#include "ui/export_wave_dlg.h"

#include <cstdio>

#include "data/ui_hooks.h"
#include "engine/master.h"
#include "host/synth_app.h"
#include "platform/services.h"
#include "res/resource_ids.h"
#include "shared/message_box.h"
#include "shared/mixer.h"
#include "shared/settings.h"

namespace {
// The dialog is repainted at most this often while the song renders.
constexpr auto kPaintInterval = std::chrono::milliseconds(100);
}  // namespace

CExportWaveDlg::CExportWaveDlg(CWnd* parent) : CDialog(IDD_EXPORT_WAVE, parent) {}

void CExportWaveDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_EXPORT_PROGRESS, m_progress);
}

bool CExportWaveDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_progress.SetRange32(0, 100);
    m_progress.SetPos(0);
    GetAppServices().closeAudioDevice();
    timer_ = SetTimer(kExportTimerId, kExportTimerMs);
    if (timer_ == 0) {
        // Without its timer the dialog would wait for ever with no way out.
        AfxMessageBox("Fatal Error, cannot export audio", MB_OK | MB_ICONSTOP);
        Finish(false);
    }
    return true;
}

void CExportWaveDlg::OnTimer(UINT id) {
    KillTimer(timer_);
    CDialog::OnTimer(id);
    if (started_) return;
    started_ = true;
    const uint32_t polyphony = g_polyphony;
    ExportResult result;
    {
        WaitCursor wait;
        wait_ = &wait;
        result = ExportSong(g_exportFileName, this);
        wait_ = nullptr;
    }
    g_polyphony = polyphony;
    Finish(result != ExportResult::kFileError);
}

void CExportWaveDlg::Finish(bool exported) {
    if (exported) {
        SetDlgItemText(IDC_EXPORT_STATUS, "Done...");
        m_progress.SetPos(5);
        RunExportPostRoll();
        for (auto& sample : g_busMeterSample) sample = 0;
        g_lastOutLeft = 0;
        g_lastOutRight = 0;
        for (auto& level : g_meterLevels) level = 0;
    }
    if (!g_freeAudioDevWhenStopped) GetAppServices().openAudioDevice();
    EndDialog(IDOK);
}

std::string CExportWaveDlg::DurationText(double elapsedMs) {
    const unsigned long t = static_cast<unsigned long>(elapsedMs);
    const unsigned long minutes = t / 60000;
    const unsigned long seconds = (t % 60000) / 1000;
    const unsigned long ms = t % 1000;
    char piece[32];
    std::string text = minutes < 10 ? "Wave duration: 0" : "Duration: ";
    std::snprintf(piece, sizeof piece, "%lu:", minutes);
    text += piece;
    if (seconds < 10) text += "0";
    std::snprintf(piece, sizeof piece, "%lu.", seconds);
    text += piece;
    if (ms < 10) text += "00";
    else if (ms < 100) text += "0";
    std::snprintf(piece, sizeof piece, "%lu", ms);
    return text + piece;
}

void CExportWaveDlg::UpdateExportProgress() {
    SetDlgItemText(IDC_EXPORT_DURATION, DurationText(g_exportElapsedMs));
    char length[40];
    std::snprintf(length, sizeof length, "Wave length: %luk", static_cast<unsigned long>(g_exportKilobytes.load()));
    SetDlgItemText(IDC_EXPORT_LENGTH, length);
}

void CExportWaveDlg::PreRoll(int position) {
    m_progress.SetPos(position);
    PaintNowAndThen();
}

void CExportWaveDlg::SongStarted(uint32_t expectedBlocks) {
    const int upper = expectedBlocks > 0x7FFFFFFFu ? 0x7FFFFFFF : static_cast<int>(expectedBlocks);
    m_progress.SetRange32(0, upper);
    m_progress.SetPos(0);
    m_progress.SetStep(1);
    SetDlgItemText(IDC_EXPORT_STATUS, "Calculating music...");
}

void CExportWaveDlg::SongBlock() { m_progress.StepIt(); }

void CExportWaveDlg::TailStarted() {
    m_progress.SetRange32(0, 5);
    SetDlgItemText(IDC_EXPORT_STATUS, "Fading effects...");
}

void CExportWaveDlg::TailBlock(int counter) { m_progress.SetPos(counter); }

void CExportWaveDlg::BlockWritten() {
    UpdateExportProgress();
    PaintNowAndThen();
}

void CExportWaveDlg::BeforeMessage() {
    if (wait_ != nullptr) wait_->Restore();
}

void CExportWaveDlg::PaintNowAndThen() {
    const auto now = std::chrono::steady_clock::now();
    if (now - lastPaint_ < kPaintInterval) return;
    lastPaint_ = now;
    PaintPendingWindows();
}
