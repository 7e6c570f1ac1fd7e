// The Preferences dialog. Most of its controls act while it is open: a new
// output device or response time closes and reopens the audio device (at
// every new slider position), a MIDI port chosen reopens that port, a new
// polyphony stops playback and empties the event queues, "Test signal"
// switches the engine's test tone (never left on when the dialog goes), and
// the equaliser, limiter, tracker-keyboard and sound-module boxes toggle
// their settings at once (the sound-module choice counts from the next
// start). Seven further boxes are plain values, set by the opener and read
// back by "Close"; Escape leaves them as the opener set them but undoes
// nothing done at once. In sound-module mode the six sequencer boxes are
// greyed. "Help" opens the help at the Preferences page.
//
// A list is filled from its device or port names and shows the first entry
// that begins with the current one's name, ignoring case; a list without
// names (or an index outside it) shows no selection.
#pragma once

#include <cstdint>

#include "platform/controls.h"
#include "platform/dialog.h"

// The play-ahead time last written into its label (-1: none yet) and the
// response time the device was last reopened for.
extern int32_t g_shownResponseMs;
extern int32_t g_openedResponseTime;

inline constexpr int g_polyphonyChoices = 6;

class CPreferencesDlg : public CDialog {
public:
    explicit CPreferencesDlg(CWnd* parent = nullptr);
    bool DestroyWindow() override;
    void DoDataExchange(CDataExchange* dx) override;
    bool OnInitDialog() override;
    void OnHScroll(UINT code, UINT pos, CWnd* bar) override;
    // The slider's position taken as the response time; the play-ahead label
    // rewritten when its value changed.
    virtual void UpdateResponseTime();

    void OnSelEndOkAudioDriver();
    void OnSelEndOkMidiInput();
    void OnSelEndOkMidiOutput();
    void OnSelEndOkPolyphony();
    void OnHelp();
    void OnTestSignal();
    void OnSoundModuleMode();
    void OnBassTrebleBoost();
    void OnTrebleLimiter();
    void OnTrackerKeyboard();

    CButton m_trackerKeys;
    CComboBox m_midiOut;
    CButton m_trebleLimiter;
    CButton m_bassTreble;
    CButton m_soundModule;
    CComboBox m_polyphony;
    CComboBox m_midiIn;
    CComboBox m_audioDriver;
    CSliderCtrl m_responseTime;

    // The check boxes exchanged with the opener (0 or 1).
    int m_testSignal = 0;
    int m_followSong = 0;
    int m_markBeats = 0;
    int m_freeAudioDevice = 0;
    int m_storeInstruments = 0;
    int m_discardSaveWarning = 0;
    int m_previewNote = 0;
    int m_setInstruments = 0;

private:
    // Slider range of the current device's kind, and the kind's name.
    void ShowDeviceKind();
};
