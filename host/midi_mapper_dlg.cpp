#include "host/midi_mapper_dlg.h"

#include <cstdio>

#include "host/midi_controllers_dlg.h"
#include "host/midi_mapper.h"
#include "host/synth_app.h"
#include "platform/services.h"
#include "res/resource_ids.h"
#include "shared/channel_map.h"
#include "shared/settings.h"
#include "shared/sound_bank.h"

uint8_t g_midiMapperReady = 0;

CMidiMapperDlg::CMidiMapperDlg(CWnd* parent) : CDialog(IDD_MIDI_MAPPER, parent) {
    for (int n = 0; n < kMidiChannels; ++n) {
        m_voices[n] = g_channelPolyphony[n];
        OnControlEntry(EN_CHANGE, IDC_MAPPER_VOICES_1 + n, [this, n] { OnChangePolyphony(n); });
        OnControlEntry(CBN_SELENDOK, IDC_MAPPER_SOUND_1 + n, [this, n] { OnSelEndOkInstrument(n); });
    }
    OnCommandEntry(IDC_MAPPER_CONTROLLERS, [this] { OnControllers(); });
    OnCommandEntry(IDC_MAPPER_HELP, [this] { OnHelp(); });
    g_midiMapperReady = 0;
}

void CMidiMapperDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    for (int n = 0; n < kMidiChannels; ++n) {
        DDX_Control(dx, IDC_MAPPER_SPIN_1 + n, m_spins[n]);
        DDX_Control(dx, IDC_MAPPER_SOUND_1 + n, m_sounds[n]);
        DDX_Text(dx, IDC_MAPPER_VOICES_1 + n, m_voices[n]);
    }
}

bool CMidiMapperDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    ClampChannelVoices();
    for (int n = 0; n < kMidiChannels; ++n) {
        m_sounds[n].AddString("Use Program Change");
        for (int s = 1; s < kSounds; ++s) {
            char number[16];
            std::snprintf(number, sizeof number, "%02d - ", s);
            m_sounds[n].AddString(number + g_soundNames[s]);
        }
        m_sounds[n].SetCurSel(g_channelSound[n]);
        m_spins[n].SetRange(0, 32);
        m_spins[n].SetPos(g_channelPolyphony[n]);
    }
    g_midiMapperReady = 1;
    UpdateVoices();
    return true;
}

void CMidiMapperDlg::UpdateVoices() {
    if (g_midiMapperReady == 1) {
        const int64_t total = MappedVoices();
        SetDlgItemText(IDC_MAPPER_TOTAL, std::to_string(total));
        SetDlgItemText(IDC_MAPPER_WARNING, VoicesWarning(total, int32_t(uint32_t(g_polyphony))));
    }
    for (int n = 0; n < kMidiChannels; ++n)
        if (CWnd* list = GetDlgItem(IDC_MAPPER_SOUND_1 + n)) list->EnableWindow(g_channelPolyphony[n] != 0);
}

void CMidiMapperDlg::OnChangePolyphony(int channel) {
    if (g_midiMapperReady != 1) return;
    SetChannelVoices(channel, ParseVoicesField(GetDlgItemText(IDC_MAPPER_VOICES_1 + channel)));
    UpdateVoices();
}

void CMidiMapperDlg::OnSelEndOkInstrument(int channel) {
    const int index = m_sounds[channel].GetCurSel();
    if (index >= 0) SetChannelSound(channel, index);
}

// Its result is not used: the controllers dialog acts on the map itself.
void CMidiMapperDlg::OnControllers() {
    CMidiControllersDlg dlg(this);
    dlg.DoModal();
}

void CMidiMapperDlg::OnHelp() { WinHelp(g_hMainWnd, g_helpFile, HELP_CONTEXT, kHelpMidiMapper); }
