// The view's Edit menu commands: each is a thin handler over the editing
// routine of its own file (ui/pattern_undo.h and the clipboard and format
// files), which it runs, then marks the document when the song changed and
// repaints.
#include "data/synth_doc.h"
#include "res/resource_ids.h"
#include "shared/app_settings.h"
#include "shared/editor.h"
#include "ui/pattern_undo.h"
#include "ui/synth_view.h"

void CSynthView::AddEditCommands() {
    OnCommandEntry(ID_EDIT_UNDO, [this] { OnEditUndo(); });
    OnUpdateEntry(ID_EDIT_UNDO, [this](CCmdUI* ui) { OnUpdateEditUndo(ui); });
}

void CSynthView::MarkSongEdited() {
    if (CDocument* doc = GetDocument()) doc->SetModifiedFlag(g_saveChanges != 0);
}

void CSynthView::FocusSongOrderList() {
    LeavePatternGrid();
    ShowPatternGrid();
    ShowSongOrderList();
}

void CSynthView::OnEditUndo() {
    if (UndoPatternEdit()) MarkSongEdited();
    ShowPatternGrid();
    ShowSongOrderList();
}

void CSynthView::OnUpdateEditUndo(CCmdUI* ui) { ui->Enable(g_patternUndoCount != 0); }
