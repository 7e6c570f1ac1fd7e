// The MIDI mapper dialog: per MIDI channel its sound ("Use Program Change" or
// sounds 1 to 99) and its voices (0 to 32 with an up-down). Every edit is
// written into the channel map at once (host/midi_mapper.h), and marks the
// song when it changed the map; "Close" and Escape change nothing more. The
// fields filled at opening change nothing (g_midiMapperReady is 0 until the
// opening is done). The total shows after "Voices mapped:" with a warning
// when it exceeds the polyphony setting; a channel at 0 voices has its list
// greyed. "Help" opens the help at the mapper's page.
#pragma once

#include <cstdint>

#include "platform/dialog.h"
#include "shared/constants.h"

extern uint8_t g_midiMapperReady;

class CMidiMapperDlg : public CDialog {
public:
    explicit CMidiMapperDlg(CWnd* parent = nullptr);
    void DoDataExchange(CDataExchange* dx) override;
    bool OnInitDialog() override;
    virtual void UpdateVoices();

    void OnChangePolyphony(int channel);
    void OnSelEndOkInstrument(int channel);
    void OnControllers();
    void OnHelp();

    CSpinButtonCtrl m_spins[kMidiChannels];
    CComboBox m_sounds[kMidiChannels];
    int m_voices[kMidiChannels] = {};
};
