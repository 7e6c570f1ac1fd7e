// The File menu's wave file commands of the view: the capture of the live
// output into a WAV file (the work is the host's, host/capture.h) and the
// export of the song.
#include "host/capture.h"
#include "res/resource_ids.h"
#include "ui/synth_view.h"

void CSynthView::AddWaveFileCommands() {
    OnCommandEntry(ID_FILE_CAPTURE_OUTPUT, [this] { OnFileCaptureOutput(); });
    OnCommandEntry(ID_FILE_START_CAPTURE, [this] { OnFileStartCapture(); });
    OnCommandEntry(ID_FILE_STOP_CAPTURE, [this] { OnFileStopCapture(); });
    OnUpdateEntry(ID_FILE_CAPTURE_OUTPUT, [this](CCmdUI* ui) { OnUpdateFileCaptureOutput(ui); });
    OnUpdateEntry(ID_FILE_START_CAPTURE, [this](CCmdUI* ui) { OnUpdateFileStartCapture(ui); });
    OnUpdateEntry(ID_FILE_STOP_CAPTURE, [this](CCmdUI* ui) { OnUpdateFileStopCapture(ui); });
}

void CSynthView::OnFileCaptureOutput() {
    CDocument* doc = CView::GetDocument();
    CaptureOutputCommand(doc != nullptr ? doc->GetTitle() : std::string("Untitled"));
}

void CSynthView::OnFileStartCapture() { StartCaptureCommand(); }
void CSynthView::OnFileStopCapture() { StopCaptureCommand(); }
void CSynthView::OnUpdateFileCaptureOutput(CCmdUI* ui) { ui->SetCheck(CaptureOutputChecked() ? 1 : 0); }
void CSynthView::OnUpdateFileStartCapture(CCmdUI* ui) { ui->Enable(CaptureStartEnabled()); }
void CSynthView::OnUpdateFileStopCapture(CCmdUI* ui) { ui->Enable(CaptureStopEnabled()); }
