// The File menu's wave file commands of the view: the capture of the live
// output into a WAV file (the work is the host's, host/capture.h) and the
// export of the song.
#include "data/song_export.h"
#include "engine/event_queue.h"
#include "host/capture.h"
#include "host/wave_file_dialog.h"
#include "res/resource_ids.h"
#include "shared/editor.h"
#include "shared/message_box.h"
#include "shared/settings.h"
#include "shared/transport.h"
#include "ui/export_wave_dlg.h"
#include "ui/synth_view.h"

namespace {
std::string TitleOf(CDocument* doc) { return doc != nullptr ? doc->GetTitle() : std::string("Untitled"); }
}  // namespace

void CSynthView::AddWaveFileCommands() {
    OnCommandEntry(ID_FILE_EXPORT_WAVE, [this] { OnFileExportWave(); });
    OnUpdateEntry(ID_FILE_EXPORT_WAVE, [this](CCmdUI* ui) { OnUpdateFileExportWave(ui); });
    OnCommandEntry(ID_FILE_CAPTURE_OUTPUT, [this] { OnFileCaptureOutput(); });
    OnCommandEntry(ID_FILE_START_CAPTURE, [this] { OnFileStartCapture(); });
    OnCommandEntry(ID_FILE_STOP_CAPTURE, [this] { OnFileStopCapture(); });
    OnUpdateEntry(ID_FILE_CAPTURE_OUTPUT, [this](CCmdUI* ui) { OnUpdateFileCaptureOutput(ui); });
    OnUpdateEntry(ID_FILE_START_CAPTURE, [this](CCmdUI* ui) { OnUpdateFileStartCapture(ui); });
    OnUpdateEntry(ID_FILE_STOP_CAPTURE, [this](CCmdUI* ui) { OnUpdateFileStopCapture(ui); });
}

void CSynthView::OnFileCaptureOutput() { CaptureOutputCommand(TitleOf(CView::GetDocument())); }

void CSynthView::OnFileStartCapture() { StartCaptureCommand(); }
void CSynthView::OnFileStopCapture() { StopCaptureCommand(); }
void CSynthView::OnUpdateFileCaptureOutput(CCmdUI* ui) { ui->SetCheck(CaptureOutputChecked() ? 1 : 0); }
void CSynthView::OnUpdateFileStartCapture(CCmdUI* ui) { ui->Enable(CaptureStartEnabled()); }
void CSynthView::OnUpdateFileStopCapture(CCmdUI* ui) { ui->Enable(CaptureStopEnabled()); }

void CSynthView::OnFileExportWave() {
    if (g_songPlaying == 0) QueueNoteOff();
    if (!CheckSongExportable()) return;
    const std::string title = TitleOf(CView::GetDocument());
    const std::string path = AskWaveFileName(title);
    if (path.empty()) return;
    g_exportFileName = path;
    if (AfxMessageBox("Are you sure to export " + title + " to " + FileNameOfPath(path) + "?", MB_YESNO) != IDYES)
        return;

    // The song from its start, the editor at its first track and row.
    g_songMode = 1;
    g_patternCue = 0;
    g_engineReset = kResetStop;
    g_playFlag = 0;
    g_patternFocus = 0;
    g_editStep = 0;
    g_firstTrack = 0;
    g_cursorColumn = 0;
    ShowPatternGrid();
    ShowSongOrderList();
    UpdateTopBar();

    g_exportActive = 1;
    g_exporting = 1;
    g_midiSync = 0;
    CExportWaveDlg dlg(this);
    dlg.DoModal();
    g_exporting = 0;
    g_exportActive = 0;
}

void CSynthView::OnUpdateFileExportWave(CCmdUI* ui) { ui->Enable(g_soundModuleMode == 0); }
