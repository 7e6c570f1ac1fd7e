// The view's menu commands that open dialogs, open the help or a web page and
// set the steps per beat.
//
// A dialog command ends a sounding preview note first (when the song is not
// playing: its key release would go to the dialog), holds its top-bar button
// pressed while the dialog runs, and repaints the whole view after it. The
// commands of dialogs that edit song data clear g_docModified before the
// dialog and pass it on to the document afterwards.
#include "ui/effects_dlg.h"
#include "engine/event_queue.h"
#include "host/audio_device.h"
#include "host/midi_mapper_dlg.h"
#include "host/preferences_dlg.h"
#include "host/synth_app.h"
#include "platform/resources.h"
#include "platform/services.h"
#include "res/resource_ids.h"
#include "shared/app_settings.h"
#include "shared/editor.h"
#include "shared/message_box.h"
#include "shared/settings.h"
#include "shared/song.h"
#include "shared/transport.h"
#include "shared/song_info.h"
#include "ui/about_dlg.h"
#include "ui/panel_state.h"
#include "shared/samples.h"
#include "ui/sample_organizer_dlg.h"
#include "ui/song_info_dlg.h"
#include "ui/split_editor_dlg.h"
#include "ui/steps_per_beat_dlg.h"
#include "ui/synth_view.h"

// The maker's web address, opened by the Help menu's "Visit" row.
const char* const kMakerWebAddress = "http://www.tarrowbykinetic.example/";

namespace {
void PreviewNoteOff() {
    if (g_songPlaying == 0) QueueNoteOff();
}
}  // namespace

void CSynthView::AddViewCommands() {
    OnCommandEntry(ID_EDIT_STEPS_PER_BEAT, [this] { OnEditStepsPerBeat(); });
    OnUpdateEntry(ID_EDIT_STEPS_PER_BEAT, [this](CCmdUI* ui) { OnUpdateEditStepsPerBeat(ui); });
    OnCommandEntry(ID_HELP_CONTENTS, [this] { OnHelpContents(); });
    OnCommandEntry(ID_HELP_VISIT_WEB, [this] { OnHelpVisitWeb(); });
    OnCommandEntry(ID_APP_ABOUT, [this] { OnAppAbout(); });
    OnCommandEntry(ID_SOUNDS_LOAD, [this] { OnSoundsLoad(); });
    OnCommandEntry(ID_SOUNDS_SAVE, [this] { OnSoundsSave(); });
    OnCommandEntry(ID_FILE_SONG_INFO, [this] { OnFileSongInfo(); });
    OnCommandEntry(ID_OPTIONS_PREFERENCES, [this] { OnOptionsPreferences(); });
    OnCommandEntry(ID_OPTIONS_MIDI_MAPPER, [this] { OnOptionsMidiMapper(); });
    OnCommandEntry(ID_SOUNDS_SAMPLES, [this] { OnSoundsSamples(); });
    OnCommandEntry(ID_SOUNDS_SAMPLE_SPLITS, [this] { OnSoundsSampleSplits(); });
    OnCommandEntry(ID_SOUNDS_EFFECTS, [this] { OnSoundsEffects(); });
}

void CSynthView::FullRepaint() { OnUpdate(nullptr, 0, nullptr); }

void CSynthView::PassOnModifiedByte() {
    if (g_docModified)
        if (CDocument* doc = CView::GetDocument()) doc->SetModifiedFlag(g_saveChanges != 0);
}

void CSynthView::OnAppAbout() {
    CAboutDlg dlg(this);
    dlg.DoModal();
    FullRepaint();
}

void CSynthView::OnEditStepsPerBeat() {
    PreviewNoteOff();
    const uint32_t before = g_doubleStepsPerBeat;
    CStepsPerBeatDlg dlg(this);
    dlg.m_nStepsChoice = int(before);
    dlg.DoModal();
    // Only the two choices are values; anything else leaves the setting.
    if (dlg.m_nStepsChoice != 0 && dlg.m_nStepsChoice != 1) return;
    g_doubleStepsPerBeat = uint32_t(dlg.m_nStepsChoice);
    if (g_doubleStepsPerBeat != before) MarkSongEdited();
}

void CSynthView::OnUpdateEditStepsPerBeat(CCmdUI* ui) { ui->Enable(g_soundModuleMode == 0); }

void CSynthView::OnHelpContents() {
    PreviewNoteOff();
    WinHelp(g_hMainWnd, g_helpFile, HELP_CONTEXT, kHelpContents);
}

bool CSynthView::OnHelpInfo() {
    PreviewNoteOff();
    WinHelp(g_hMainWnd, g_helpFile, HELP_CONTENTS, 0);
    return true;
}

void CSynthView::OnHelpVisitWeb() {
    PreviewNoteOff();
    OpenUrl(kMakerWebAddress);
}

void CSynthView::OnFileSongInfo() {
    PreviewNoteOff();
    g_topBarButtons[0] = 1;
    UpdatePanel();
    g_docModified = 0;
    CSongInfoDlg dlg(this);
    dlg.m_title = g_songTitle;
    dlg.m_author = g_songAuthor;
    dlg.m_comment = g_songComment;
    dlg.m_showOnOpen = g_showInfoOnOpen;
    dlg.DoModal();
    g_songTitle = dlg.m_title;
    g_songAuthor = dlg.m_author;
    g_songComment = dlg.m_comment;
    g_showInfoOnOpen = dlg.m_showOnOpen ? 1 : 0;
    g_topBarButtons[0] = 0;
    FullRepaint();
    PassOnModifiedByte();
}

// After a load (the main window already brought forward): the information
// shown, nothing taken back.
void CSynthView::ShowSongInfoAfterLoad() {
    CSongInfoDlg dlg(this);
    dlg.m_title = g_songTitle;
    dlg.m_author = g_songAuthor;
    dlg.m_comment = g_songComment;
    dlg.m_showOnOpen = g_showInfoOnOpen;
    dlg.DoModal();
}

// Preferences changes settings, not the song: the modified byte is left
// alone. The seven plain boxes come back whichever way the dialog ended (as
// the opener set them after Escape).
void CSynthView::OnOptionsPreferences() {
    PreviewNoteOff();
    g_topBarButtons[4] = 1;
    UpdatePanel();
    if (g_freeAudioDevWhenStopped) g_previewNote = 0;
    CPreferencesDlg dlg;
    dlg.m_followSong = g_followSong != 0;
    dlg.m_markBeats = g_markBeats != 0;
    dlg.m_freeAudioDevice = g_freeAudioDevWhenStopped != 0;
    dlg.m_storeInstruments = g_storeAutomatically != 0;
    dlg.m_discardSaveWarning = g_saveChanges == 0;
    dlg.m_previewNote = g_previewNote != 0;
    dlg.m_setInstruments = g_setInstruments != 0;
    dlg.DoModal();
    g_followSong = dlg.m_followSong;
    g_markBeats = dlg.m_markBeats;
    g_freeAudioDevWhenStopped = uint32_t(dlg.m_freeAudioDevice);
    g_storeAutomatically = dlg.m_storeInstruments;
    g_saveChanges = dlg.m_discardSaveWarning == 0 ? 1 : 0;
    g_previewNote = uint32_t(dlg.m_previewNote);
    g_setInstruments = dlg.m_setInstruments;
    if (g_soundModuleModePending != int32_t(g_soundModuleMode)) AfxMessageBox(LoadResString(IDS_RESTART_NEEDED));
    if (g_previewNote == 0) g_previewOnly = 0;
    ShowPatternGrid();
    ShowSongOrderList();
    if (g_freeAudioDevWhenStopped == 0 && g_deviceOpen == 0) GetAppServices().openAudioDevice();
    if (g_freeAudioDevWhenStopped != 0 && g_playFlag == 0) GetAppServices().closeAudioDevice();
    g_topBarButtons[4] = 0;
    FullRepaint();
}

void CSynthView::OnOptionsMidiMapper() {
    PreviewNoteOff();
    g_topBarButtons[5] = 1;
    UpdatePanel();
    CMidiMapperDlg dlg(this);
    dlg.DoModal();
    g_topBarButtons[5] = 0;
    UpdatePanel();
}

// A sound dialog with its top-bar button held while it runs; what the user
// changed in it reaches the document afterwards.
void CSynthView::RunSoundDialog(int topBarButton, CDialog& dlg) {
    PreviewNoteOff();
    g_docModified = 0;
    g_topBarButtons[topBarButton] = 1;
    UpdatePanel();
    dlg.DoModal();
    g_topBarButtons[topBarButton] = 0;
    FullRepaint();
    PassOnModifiedByte();
}

void CSynthView::OnSoundsSamples() {
    CSampleOrganizerDlg dlg(this);
    RunSoundDialog(1, dlg);
}

void CSynthView::OnSoundsEffects() {
    CEffectsDlg dlg(this);
    RunSoundDialog(3, dlg);
}

// Without samples the organizer comes first; the split editor opens only
// when it left some.
void CSynthView::OnSoundsSampleSplits() {
    PreviewNoteOff();
    g_topBarButtons[2] = 1;
    UpdatePanel();
    if (g_sampleCount == 0) OnSoundsSamples();
    if (g_sampleCount > 0) {
        g_docModified = 0;
        CSplitEditorDlg dlg(this);
        dlg.DoModal();
        PassOnModifiedByte();
    }
    g_topBarButtons[2] = 0;
    FullRepaint();
}
