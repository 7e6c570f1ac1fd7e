// The view's Edit menu commands: each is a thin handler over the editing
// routine of its own file (ui/pattern_undo.h and the clipboard and format
// files), which it runs, then marks the document when the song changed and
// repaints.
#include "data/synth_doc.h"
#include "engine/event_queue.h"
#include "res/resource_ids.h"
#include "shared/app_settings.h"
#include "shared/editor.h"
#include "shared/settings.h"
#include "shared/song.h"
#include "shared/transport.h"
#include "ui/format_patterns.h"
#include "ui/pattern_clipboard.h"
#include "ui/pattern_undo.h"
#include "ui/synth_view.h"
#include "ui/transport.h"

void CSynthView::AddEditCommands() {
    OnCommandEntry(ID_EDIT_UNDO, [this] { OnEditUndo(); });
    OnUpdateEntry(ID_EDIT_UNDO, [this](CCmdUI* ui) { OnUpdateEditUndo(ui); });
    const struct {
        UINT id;
        void (CSynthView::*run)();
        void (CSynthView::*update)(CCmdUI*);
    } commands[] = {
        {ID_EDIT_CUT, &CSynthView::OnEditCut, &CSynthView::OnUpdateEditCut},
        {ID_EDIT_COPY, &CSynthView::OnEditCopy, &CSynthView::OnUpdateEditCopy},
        {ID_EDIT_PASTE, &CSynthView::OnEditPaste, &CSynthView::OnUpdateEditPaste},
        {ID_EDIT_DUPLICATE, &CSynthView::OnEditDuplicate, &CSynthView::OnUpdateEditDuplicate},
        {ID_EDIT_SELECT_ALL_PARTS, &CSynthView::OnEditSelectAll, &CSynthView::OnUpdateEditSelectAll},
        {ID_EDIT_SELECT_TRACK, &CSynthView::OnEditSelectTrack, &CSynthView::OnUpdateEditSelectTrack},
        {ID_EDIT_COPY_TWEAKING, &CSynthView::OnEditCopyTweaking, &CSynthView::OnUpdateEditCopyTweaking},
        {ID_EDIT_PASTE_TWEAKING, &CSynthView::OnEditPasteTweaking, &CSynthView::OnUpdateEditPasteTweaking},
        {ID_EDIT_FORMAT_PATTERNS, &CSynthView::OnEditFormatPatterns, &CSynthView::OnUpdateEditFormatPatterns},
    };
    for (const auto& c : commands) {
        OnCommandEntry(c.id, [this, run = c.run] { (this->*run)(); });
        OnUpdateEntry(c.id, [this, update = c.update](CCmdUI* ui) { (this->*update)(ui); });
    }
}

namespace {
void Repaint(CSynthView* view) {
    view->ShowPatternGrid();
    view->ShowSongOrderList();
}
}  // namespace

void CSynthView::MarkSongEdited() {
    if (CDocument* doc = GetDocument()) doc->SetModifiedFlag(g_saveChanges != 0);
}

void CSynthView::FocusSongOrderList() {
    LeavePatternGrid();
    Repaint(this);
}

void CSynthView::OnEditUndo() {
    if (UndoPatternEdit()) MarkSongEdited();
    Repaint(this);
}

void CSynthView::OnUpdateEditUndo(CCmdUI* ui) { ui->Enable(g_patternUndoCount != 0); }

void CSynthView::OnEditCut() {
    if (CutSelection()) MarkSongEdited();
    Repaint(this);
}

void CSynthView::OnEditCopy() { CopySelection(); }

void CSynthView::OnEditPaste() {
    const EditResult r = PasteClipboard();
    if (r.changed) MarkSongEdited();
    if (r.done) Repaint(this);
}

void CSynthView::OnEditDuplicate() {
    const EditResult r = DuplicatePattern();
    if (r.changed) MarkSongEdited();
    if (r.done) Repaint(this);
}

void CSynthView::OnEditSelectAll() {
    if (SelectWholePattern()) Repaint(this);
}

void CSynthView::OnEditSelectTrack() {
    if (SelectCursorTrack()) Repaint(this);
}

void CSynthView::OnEditCopyTweaking() { CopyTweaking(); }

void CSynthView::OnEditPasteTweaking() {
    if (PasteTweaking()) MarkSongEdited();
}

void CSynthView::OnUpdateEditCut(CCmdUI* ui) { ui->Enable(CanCutOrCopy()); }
void CSynthView::OnUpdateEditCopy(CCmdUI* ui) { ui->Enable(CanCutOrCopy()); }
void CSynthView::OnUpdateEditPaste(CCmdUI* ui) { ui->Enable(CanPaste()); }
void CSynthView::OnUpdateEditDuplicate(CCmdUI* ui) { ui->Enable(CanDuplicate()); }
void CSynthView::OnUpdateEditSelectAll(CCmdUI* ui) { ui->Enable(CanSelect()); }
void CSynthView::OnUpdateEditSelectTrack(CCmdUI* ui) { ui->Enable(CanSelect()); }
void CSynthView::OnUpdateEditCopyTweaking(CCmdUI* ui) { ui->Enable(CanCopyTweaking()); }
void CSynthView::OnUpdateEditPasteTweaking(CCmdUI* ui) { ui->Enable(CanPasteTweaking()); }

void CSynthView::OnEditFormatPatterns() {
    if (g_songPlaying == 0) QueueNoteOff();
    // The stop stands even when the dialog is cancelled.
    RunTransport(TransportCommand::kStopButton, [this] { UpdateTopBar(); });
    const int oldIndex = IndexOfPatternLength(g_patternLength);
    CPatternsFormatterDlg dlg;
    dlg.m_nNewLength = oldIndex;
    if (dlg.DoModal() != IDOK || dlg.m_nNewLength == oldIndex) return;
    const uint32_t newLength = PatternLengthOfIndex(dlg.m_nNewLength);
    if (newLength == 0) return;
    MarkSongEdited();
    if (ReformatPatterns(newLength)) ShowPatternGrid();
}

void CSynthView::OnUpdateEditFormatPatterns(CCmdUI* ui) { ui->Enable(g_patternCount != 0 && g_soundModuleMode == 0); }
