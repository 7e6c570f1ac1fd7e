// The Options menu's toggles of the view: "&Follow song position",
// "&Automation", "&Oscilloscope", "&Transmit knob tweakings", "&Sync to external
// MIDI clock" and "M&IDI writes into sequencer", each with its
// update handler (a check mark in every mode; the sequencer's options greyed
// in sound-module mode).
//
// "&Automation" belongs to the song (the song file stores it), so each flip
// marks the document edited; switching it off clears the modulation offsets of
// sounds 0 to 99 (entries 100 to 103 of each array stay) and closes the
// automation panel, switching it on opens the panel. "&Oscilloscope" opens and
// closes its window with the setting. A window object missing is skipped.
#include <algorithm>

#include "host/synth_app.h"
#include "res/resource_ids.h"
#include "shared/app_settings.h"
#include "shared/automation.h"
#include "shared/settings.h"
#include "shared/sound_bank.h"
#include "ui/panel_state.h"
#include "ui/synth_view.h"
#include "ui/tool_windows.h"

void CSynthView::AddOptionToggles() {
    OnCommandEntry(ID_OPTIONS_FOLLOW_SONG, [this] { OnOptionsFollowSong(); });
    OnUpdateEntry(ID_OPTIONS_FOLLOW_SONG, [this](CCmdUI* ui) { OnUpdateOptionsFollowSong(ui); });
    OnCommandEntry(ID_OPTIONS_AUTOMATION, [this] { OnOptionsAutomation(); });
    OnUpdateEntry(ID_OPTIONS_AUTOMATION, [this](CCmdUI* ui) { OnUpdateOptionsAutomation(ui); });
    OnCommandEntry(ID_OPTIONS_OSCILLOSCOPE, [this] { OnOptionsOscilloscope(); });
    OnUpdateEntry(ID_OPTIONS_OSCILLOSCOPE, [this](CCmdUI* ui) { OnUpdateOptionsOscilloscope(ui); });
    OnCommandEntry(ID_OPTIONS_TRANSMIT_TWEAKS, [this] { OnOptionsTransmitTweaks(); });
    OnUpdateEntry(ID_OPTIONS_TRANSMIT_TWEAKS, [this](CCmdUI* ui) { OnUpdateOptionsTransmitTweaks(ui); });
    OnCommandEntry(ID_OPTIONS_MIDI_SYNC, [this] { OnOptionsMidiSync(); });
    OnUpdateEntry(ID_OPTIONS_MIDI_SYNC, [this](CCmdUI* ui) { OnUpdateOptionsMidiSync(ui); });
    OnCommandEntry(ID_OPTIONS_MIDI_RECORD, [this] { OnOptionsMidiRecord(); });
    OnUpdateEntry(ID_OPTIONS_MIDI_RECORD, [this](CCmdUI* ui) { OnUpdateOptionsMidiRecord(ui); });
}

void CSynthView::OnOptionsFollowSong() { g_followSong = g_followSong ? 0 : 1; }

void CSynthView::OnUpdateOptionsFollowSong(CCmdUI* ui) {
    ui->Enable(g_soundModuleMode == 0);
    ui->SetCheck(g_soundModuleMode == 0 && g_followSong ? 1 : 0);
}

void CSynthView::OnOptionsAutomation() {
    if (g_automationOn) {
        for (auto& offsets : g_modulationBank)
            for (int s = 0; s < kSounds; ++s) RelaxedStore(offsets[s], uint8_t{0});
        g_automationOn = 0;
        if (g_pAutomationDlg && g_pAutomationDlg->IsWindow()) g_pAutomationDlg->DestroyWindow();
    } else {
        g_automationOn = 1;
        if (g_pAutomationDlg && !g_pAutomationDlg->IsWindow()) g_pAutomationDlg->Create(IDD_AUTOMATION, nullptr);
    }
    MarkSongEdited();
}

void CSynthView::OnUpdateOptionsAutomation(CCmdUI* ui) {
    ui->Enable(g_soundModuleMode == 0);
    ui->SetCheck(g_soundModuleMode == 0 && g_automationOn ? 1 : 0);
}

void CSynthView::OnOptionsOscilloscope() {
    if (g_scopeOn) {
        if (g_pScopeDlg && g_pScopeDlg->IsWindow()) g_pScopeDlg->DestroyWindow();
        g_scopeOn = 0;
    } else {
        if (g_pScopeDlg && !g_pScopeDlg->IsWindow()) g_pScopeDlg->Create(IDD_OSCILLOSCOPE, nullptr);
        g_scopeOn = 1;
    }
}

void CSynthView::OnUpdateOptionsOscilloscope(CCmdUI* ui) { ui->SetCheck(g_scopeOn ? 1 : 0); }

void CSynthView::OnOptionsTransmitTweaks() { g_transmitTweaks = g_transmitTweaks ? 0 : 1; }

void CSynthView::OnUpdateOptionsTransmitTweaks(CCmdUI* ui) { ui->SetCheck(g_transmitTweaks ? 1 : 0); }

// The two MIDI options are greyed in sound-module mode, their check marks left
// as they were.
void CSynthView::OnOptionsMidiSync() { g_midiSync = g_midiSync ? 0 : 1; }

void CSynthView::OnUpdateOptionsMidiSync(CCmdUI* ui) {
    ui->Enable(g_soundModuleMode == 0);
    if (g_soundModuleMode == 0) ui->SetCheck(g_midiSync ? 1 : 0);
}

void CSynthView::OnOptionsMidiRecord() { g_midiWritesSequencer = g_midiWritesSequencer ? 0 : 1; }

void CSynthView::OnUpdateOptionsMidiRecord(CCmdUI* ui) {
    ui->Enable(g_soundModuleMode == 0);
    if (g_soundModuleMode == 0) ui->SetCheck(g_midiWritesSequencer ? 1 : 0);
}
