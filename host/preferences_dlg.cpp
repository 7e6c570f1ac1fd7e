#include "host/preferences_dlg.h"

#include <algorithm>
#include <string>

#include "engine/event_queue.h"
#include "host/audio_device.h"
#include "host/midi_ports.h"
#include "host/synth_app.h"
#include "platform/services.h"
#include "res/resource_ids.h"
#include "shared/app_settings.h"
#include "shared/editor.h"
#include "shared/settings.h"
#include "shared/transport.h"
#include "ui/view_globals.h"

int32_t g_shownResponseMs = -1;
int32_t g_openedResponseTime = 0;

namespace {

const char* const kPolyphonyNames[g_polyphonyChoices] = {"1 voice",   "4 voices",  "8 voices",
                                                         "16 voices", "24 voices", "32 voices"};

// The device and port calls go through the application's services, which a
// test may trace.
bool OpenAudio() { return GetAppServices().openAudioDevice(); }
void CloseAudio() { GetAppServices().closeAudioDevice(); }

// 0 for a waveOut-style entry (or none), 1 for a DirectSound-style one.
int DeviceKind(int32_t entry) {
    return entry >= 0 && entry < g_deviceCount && g_deviceIsDirectSound[entry] != 0 ? 1 : 0;
}

// Shows the entry named like names[index]; nothing when the index is outside
// the names (no ports at all, or a stale index).
void SelectByName(CComboBox& list, const std::string* names, size_t count, int32_t index) {
    if (index >= 0 && size_t(index) < count && list.SelectString(-1, names[index]) >= 0) return;
    list.SetCurSel(-1);
}

void Toggle(Relaxed<int32_t>& flag) { flag = flag != 0 ? 0 : 1; }
void Toggle(Relaxed<uint32_t>& flag) { flag = flag != 0 ? 0u : 1u; }

// The engine stops at its next block.
void RequestStop() {
    g_engineReset = kResetStop;
    g_playFlag = 0;
}

}  // namespace

CPreferencesDlg::CPreferencesDlg(CWnd* parent) : CDialog(IDD_PREFERENCES, parent) {
    OnControlEntry(CBN_SELENDOK, IDC_PREF_AUDIO_DRIVER, [this] { OnSelEndOkAudioDriver(); });
    OnControlEntry(CBN_SELENDOK, IDC_PREF_MIDI_IN, [this] { OnSelEndOkMidiInput(); });
    OnControlEntry(CBN_SELENDOK, IDC_PREF_MIDI_OUT, [this] { OnSelEndOkMidiOutput(); });
    OnControlEntry(CBN_SELENDOK, IDC_PREF_POLYPHONY, [this] { OnSelEndOkPolyphony(); });
    OnCommandEntry(IDC_PREF_HELP, [this] { OnHelp(); });
    OnCommandEntry(IDC_PREF_TEST_SIGNAL, [this] { OnTestSignal(); });
    OnCommandEntry(IDC_PREF_SOUND_MODULE, [this] { OnSoundModuleMode(); });
    OnCommandEntry(IDC_PREF_BASS_TREBLE, [this] { OnBassTrebleBoost(); });
    OnCommandEntry(IDC_PREF_LIMITER, [this] { OnTrebleLimiter(); });
    OnCommandEntry(IDC_PREF_TRACKER_KEYS, [this] { OnTrackerKeyboard(); });
}

// The test tone never outlives the dialog, however it ends.
bool CPreferencesDlg::DestroyWindow() {
    g_testSignal = 0;
    return CDialog::DestroyWindow();
}

void CPreferencesDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_PREF_TRACKER_KEYS, m_trackerKeys);
    DDX_Control(dx, IDC_PREF_MIDI_OUT, m_midiOut);
    DDX_Control(dx, IDC_PREF_LIMITER, m_trebleLimiter);
    DDX_Control(dx, IDC_PREF_BASS_TREBLE, m_bassTreble);
    DDX_Control(dx, IDC_PREF_SOUND_MODULE, m_soundModule);
    DDX_Control(dx, IDC_PREF_POLYPHONY, m_polyphony);
    DDX_Control(dx, IDC_PREF_MIDI_IN, m_midiIn);
    DDX_Control(dx, IDC_PREF_AUDIO_DRIVER, m_audioDriver);
    DDX_Control(dx, IDC_PREF_RESPONSE, m_responseTime);
    DDX_Check(dx, IDC_PREF_TEST_SIGNAL, m_testSignal);
    DDX_Check(dx, IDC_PREF_FOLLOW_SONG, m_followSong);
    DDX_Check(dx, IDC_PREF_MARK_BEATS, m_markBeats);
    DDX_Check(dx, IDC_PREF_FREE_DEVICE, m_freeAudioDevice);
    DDX_Check(dx, IDC_PREF_STORE_INSTRUMENTS, m_storeInstruments);
    DDX_Check(dx, IDC_PREF_DISCARD_WARNING, m_discardSaveWarning);
    DDX_Check(dx, IDC_PREF_PREVIEW_NOTE, m_previewNote);
    DDX_Check(dx, IDC_PREF_SET_INSTRUMENTS, m_setInstruments);
}

void CPreferencesDlg::ShowDeviceKind() {
    const int kind = DeviceKind(g_waveOutDevice);
    m_responseTime.SetRange(g_responseMin[kind], g_responseMax[kind], true);
    SetDlgItemText(IDC_PREF_DEVICE_TYPE, kind != 0 ? "DirectX" : "MME");
}

bool CPreferencesDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    if (g_deviceCount > 0) {
        for (int32_t i = 0; i < g_deviceCount; ++i) m_audioDriver.AddString(g_deviceNames[i]);
        SelectByName(m_audioDriver, g_deviceNames, size_t(g_deviceCount), g_waveOutDevice);
    } else {
        m_audioDriver.AddString("No driver is available");
        m_audioDriver.SetCurSel(0);
    }
    for (const std::string& name : g_midiInNames) m_midiIn.AddString(name);
    SelectByName(m_midiIn, g_midiInNames.data(), g_midiInNames.size(), g_midiInDevice);
    for (const std::string& name : g_midiOutNames) m_midiOut.AddString(name);
    SelectByName(m_midiOut, g_midiOutNames.data(), g_midiOutNames.size(), g_midiOutDevice);

    ShowDeviceKind();
    m_responseTime.SetPos(g_responseTime);
    g_shownResponseMs = -1;
    UpdateResponseTime();

    for (const char* name : kPolyphonyNames) m_polyphony.AddString(name);
    const uint32_t voices = g_polyphony;
    if (voices < uint32_t(g_polyphonyChoices)) m_polyphony.SelectString(-1, kPolyphonyNames[voices]);

    m_soundModule.SetCheck(g_soundModuleModePending != 0);
    m_bassTreble.SetCheck(g_bassTrebleEq != 0);
    m_trebleLimiter.SetCheck(g_trebleLimiter != 0);
    m_trackerKeys.SetCheck(g_trackerStyle != 0);
    const bool sequencer = g_soundModuleMode == 0;
    for (int id : {IDC_PREF_MARK_BEATS, IDC_PREF_FOLLOW_SONG, IDC_PREF_FREE_DEVICE, IDC_PREF_PREVIEW_NOTE,
                   IDC_PREF_SET_INSTRUMENTS, IDC_PREF_TRACKER_KEYS})
        if (CWnd* box = GetDlgItem(id)) box->EnableWindow(sequencer);

    g_openedResponseTime = g_responseTime;
    return true;
}

void CPreferencesDlg::UpdateResponseTime() {
    const int32_t position = m_responseTime.GetPos();
    g_responseTime = position;
    uint32_t ms;
    if (DeviceKind(g_waveOutDevice) == 0) {
        ms = uint32_t(std::max(position, 0)) / 44;  // 44 frames a millisecond
        g_bufferMs = kWaveOutBufferMs;
    } else {
        ms = g_directSoundLatencyMs[std::clamp(position, 0, kLatencyEntries - 1)];
    }
    if (int32_t(ms) != g_shownResponseMs) {
        SetDlgItemText(IDC_PREF_PLAY_AHEAD, std::to_string(ms) + " ms");
        g_shownResponseMs = int32_t(ms);
    }
}

// Every new position reopens the device, also while the thumb is dragged.
void CPreferencesDlg::OnHScroll(UINT code, UINT pos, CWnd* bar) {
    UpdateResponseTime();
    if (g_responseTime != g_openedResponseTime) {
        g_openedResponseTime = g_responseTime;
        CloseAudio();
        OpenAudio();
    }
    CDialog::OnHScroll(code, pos, bar);
}

// A new device starts at its kind's longest response time. A failed opening
// is the device code's to report; the choice stands.
void CPreferencesDlg::OnSelEndOkAudioDriver() {
    CloseAudio();
    g_waveOutDevice = std::max(m_audioDriver.GetCurSel(), 0);
    ShowDeviceKind();
    m_responseTime.SetPos(g_responseMax[DeviceKind(g_waveOutDevice)]);
    UpdateResponseTime();
    OpenAudio();
}

void CPreferencesDlg::OnSelEndOkMidiInput() {
    const int index = m_midiIn.GetCurSel();
    if (index < 0) return;
    const AppServices& s = GetAppServices();
    s.closeMidiIn();
    g_midiInDevice = index;
    s.openMidiIn();
}

void CPreferencesDlg::OnSelEndOkMidiOutput() {
    const int index = m_midiOut.GetCurSel();
    if (index < 0) return;
    const AppServices& s = GetAppServices();
    s.closeMidiOut();
    g_midiOutDevice = index;
    s.openMidiOut();
}

// No queued live note survives a new voice count.
void CPreferencesDlg::OnSelEndOkPolyphony() {
    const int index = m_polyphony.GetCurSel();
    if (index < 0) return;
    g_selFirstPart = 0;
    g_selLastPart = 0;
    g_selFirstStep = 0;
    g_selLastStep = 0;
    g_selPattern = 0;
    g_editStep = 0;
    g_firstTrack = 0;
    g_cursorColumn = 0;
    RequestStop();
    ClearEventQueues();
    if (g_freeAudioDevWhenStopped) {
        g_masterMute = 1;
        g_releaseDevicePending = 1;
    }
    RequestDeferredRedraw();
    g_polyphony = uint32_t(index);
}

void CPreferencesDlg::OnHelp() { WinHelp(g_hMainWnd, g_helpFile, HELP_CONTEXT, kHelpPreferences); }

// The box's own state is not consulted: each click turns the tone over. In
// "Free audiodev when stopped" mode the device opens for the tone and is
// released by the view's timer after the fade-out that ends it.
void CPreferencesDlg::OnTestSignal() {
    RequestStop();
    if (g_testSignal != 0) {
        if (g_freeAudioDevWhenStopped && g_deviceOpen) {
            g_masterMute = 1;
            g_releaseDevicePending = 1;
        }
        g_testSignal = 0;
    } else {
        if (g_freeAudioDevWhenStopped && !g_deviceOpen) OpenAudio();
        g_testSignal = 1;
    }
    RequestDeferredRedraw();
}

void CPreferencesDlg::OnSoundModuleMode() {
    Toggle(g_soundModuleModePending);
    m_soundModule.SetCheck(g_soundModuleModePending != 0);
}

void CPreferencesDlg::OnBassTrebleBoost() {
    Toggle(g_bassTrebleEq);
    m_bassTreble.SetCheck(g_bassTrebleEq != 0);
}

void CPreferencesDlg::OnTrebleLimiter() {
    Toggle(g_trebleLimiter);
    m_trebleLimiter.SetCheck(g_trebleLimiter != 0);
}

void CPreferencesDlg::OnTrackerKeyboard() {
    Toggle(g_trackerStyle);
    m_trackerKeys.SetCheck(g_trackerStyle != 0);
    BuildNoteKeyMap();
}
