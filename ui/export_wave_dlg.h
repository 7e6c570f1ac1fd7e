// The song export's busy dialog: it closes the audio device, and in its first
// timer tick renders the whole song into g_exportFileName on the GUI thread
// (data/song_export.h), showing the phase, the progress, the audio time and
// the kilobytes written; then the discarded post-roll, the meters cleared, the
// polyphony restored and the device reopened (unless it is freed while
// stopped). It has no buttons and no close box: it ends when the export does.
#pragma once

#include <chrono>
#include <string>

#include "data/song_export.h"
#include "data/ui_hooks.h"
#include "platform/dialog.h"

inline constexpr UINT kExportTimerId = 6;
inline constexpr UINT kExportTimerMs = 500;

class CExportWaveDlg : public CDialog, public ExportProgress {
public:
    explicit CExportWaveDlg(CWnd* parent = nullptr);

    void DoDataExchange(CDataExchange* dx) override;
    bool OnInitDialog() override;
    void OnTimer(UINT id) override;
    // Shows the audio time and the kilobytes written so far.
    virtual void UpdateExportProgress();
    // Neither Enter nor Escape ends the export.
    void OnOK() override {}
    void OnCancel() override {}

    // The duration line for an audio time: "Wave duration: 01:05.201", from
    // ten minutes on "Duration: 10:00.000".
    static std::string DurationText(double elapsedMs);

    CProgressCtrl m_progress;

    // The render loop's hooks.
    void PreRoll(int position) override;
    void SongStarted(uint32_t expectedBlocks) override;
    void SongBlock() override;
    void TailStarted() override;
    void TailBlock(int counter) override;
    void BlockWritten() override;
    void BeforeMessage() override;

private:
    void Finish(bool exported);
    // Repaints the dialog now and then while the loop runs.
    void PaintNowAndThen();

    WaitCursor* wait_ = nullptr;  // while the loop runs
    UINT timer_ = 0;
    bool started_ = false;
    std::chrono::steady_clock::time_point lastPaint_{};
};
