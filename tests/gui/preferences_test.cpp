// Preferences from the Options menu, on the test audio device: the lists and
// their selections (none without ports), the slider's range and play-ahead
// time by device kind with a reopening at every new position, the test
// signal, the polyphony choice, the MIDI ports, the boxes acting at once and
// the greyed ones, what Close and Escape keep, and the opener's own steps.
#include "tests/gui/gui_fixture.h"

#include "engine/event_queue.h"
#include "engine/tables.h"
#include "host/midi_ports.h"
#include "host/preferences_dlg.h"
#include "platform/test_audio_backend.h"
#include "res/resource_ids.h"
#include "shared/editor.h"
#include "shared/events.h"
#include "shared/master_state.h"
#include "ui/panel_state.h"
#include "ui/piano_keys.h"

namespace {

AudioOutputInfo Output(const std::string& name) {
    AudioOutputInfo o;
    o.name = name;
    o.channels = 2;
    o.formats = 0x800;  // 44.1 kHz 16-bit stereo
    return o;
}

class PreferencesTest : public SessionTest {
protected:
    static void SetUpTestSuite() {
        static bool once = false;
        if (once) return;
        once = true;
        BuildEngineTables();
        ASSERT_TRUE(CreateRenderThreads());
    }

    void SetUp() override {
        GuiTest::SetUp();
        ASSERT_TRUE(OpenSession());
        // "Microsoft Wave Mapper", "Card A", "Card B" (MME), then "Primary
        // Sound Driver", "Card A", "Card B" (DirectX).
        UseOutputs({Output("Card A"), Output("Card B")});
        AppServices& s = GetAppServices();
        s.openAudioDevice = [this] {
            trace.push_back("OpenAudioDevice");
            return OpenAudioDevice();
        };
        s.closeAudioDevice = [this] {
            trace.push_back("CloseAudioDevice");
            CloseAudioDevice();
        };
        s.openMidiIn = [this] {
            trace.push_back("OpenMidiIn " + std::to_string(g_midiInDevice.load()));
            return true;
        };
        s.openMidiOut = [this] {
            trace.push_back("OpenMidiOut " + std::to_string(g_midiOutDevice.load()));
            return true;
        };
        g_midiInNames = {"Keys In", "Pads In"};
        g_midiOutNames = {"Synth Out"};
        g_midiInDevice = 1;
        g_midiOutDevice = 0;
        g_waveOutDevice = 1;
        g_responseTime = 4410;
        g_followSong = 1;
        g_markBeats = 1;
        g_storeAutomatically = 1;
        g_saveChanges = 1;
        g_previewNote = 1;
        g_setInstruments = 1;
        g_soundModuleModePending = 0;
        g_bassTrebleEq = 1;
        g_trebleLimiter = 0;
        g_trackerStyle = 0;
        g_testSignal = 0;
        g_playFlag = 0;
        g_masterMute = 0;
        g_releaseDevicePending = 0;
        g_refreshPending = 0;
        trace.clear();
    }

    void TearDown() override {
        CloseAudioDevice();
        SessionTest::TearDown();
        g_deviceCount = 0;
        g_midiInNames.clear();
        g_midiOutNames.clear();
        g_midiInDevice = 0;
        g_midiOutDevice = 0;
        g_waveOutDevice = 0;
        g_testSignal = 0;
        g_soundModuleModePending = 0;
        g_soundModuleMode = 0;
        g_trackerStyle = 0;
        BuildNoteKeyMap();
        g_bassTrebleEq = 1;
        g_trebleLimiter = 0;
        g_polyphony = 5;
        g_engineReset = 0;
        g_masterMute = 0;
        g_releaseDevicePending = 0;
        g_freeAudioDevWhenStopped = 0;
    }

    void UseOutputs(std::vector<AudioOutputInfo> outputs) {
        CloseAudioDevice();
        auto b = std::make_unique<TestAudioBackend>(std::move(outputs));
        backend = b.get();
        InstallAudioBackend(std::move(b));
        EnumerateAudioDevices();
    }

    // Runs the command with the script as the dialog's user.
    void Run(std::function<void(CPreferencesDlg&)> script) {
        dialogScripts.push_back([script](CDialog& d) { script(static_cast<CPreferencesDlg&>(d)); });
        EXPECT_TRUE(session_->frame->ExecuteCommand(ID_OPTIONS_PREFERENCES));
    }

    static bool Enabled(CDialog& d, int id) { return d.GetDlgItem(id)->IsWindowEnabled(); }

    TestAudioBackend* backend = nullptr;
};

}  // namespace

TEST_F(PreferencesTest, OpeningShowsTheDeviceItsKindAndResponseTime) {
    struct Case {
        std::vector<std::string> outputs;
        int32_t device;
        int32_t response;
        int shownEntry;  // the first entry beginning with the device's name, ignoring case
        const char* kind;
        int min, max, pos;
        const char* playAhead;
    };
    const Case cases[] = {
        {{"Card A", "Card B"}, 1, 1024, 1, "MME", 1024, 11025, 1024, "23 ms"},
        {{"Card A", "Card B"}, 2, 11025, 2, "MME", 1024, 11025, 11025, "250 ms"},
        {{"Card A", "Card B"}, 2, 4410, 2, "MME", 1024, 11025, 4410, "100 ms"},
        // The DirectX "Card A" shows as the MME entry of that name, listed first.
        {{"Card A", "Card B"}, 4, 15, 1, "DirectX", 0, 23, 15, "50 ms"},
        {{"Card A", "Card B"}, 3, 0, 3, "DirectX", 0, 23, 0, "2 ms"},
        // A stored index past the table stops at its end.
        {{"Card A", "Card B"}, 3, 30, 3, "DirectX", 0, 23, 23, "250 ms"},
        {{"CARD A", "Card A"}, 2, 2048, 1, "MME", 1024, 11025, 2048, "46 ms"},
        {{"Card AB", "Card A"}, 2, 2048, 1, "MME", 1024, 11025, 2048, "46 ms"},
    };
    for (const Case& c : cases) {
        std::vector<AudioOutputInfo> outputs;
        for (const std::string& name : c.outputs) outputs.push_back(Output(name));
        UseOutputs(outputs);
        g_waveOutDevice = c.device;
        g_responseTime = c.response;
        g_deviceOpen = 1;  // nothing to reopen afterwards
        Run([&](CPreferencesDlg& d) {
            EXPECT_EQ(d.m_audioDriver.GetCount(), g_deviceCount);
            EXPECT_EQ(d.m_audioDriver.GetCurSel(), c.shownEntry) << c.device;
            EXPECT_EQ(d.GetDlgItemText(IDC_PREF_DEVICE_TYPE), c.kind) << c.device;
            EXPECT_EQ(d.m_responseTime.GetRangeMin(), c.min);
            EXPECT_EQ(d.m_responseTime.GetRangeMax(), c.max);
            EXPECT_EQ(d.m_responseTime.GetPos(), c.pos);
            EXPECT_EQ(g_responseTime.load(), c.pos);
            EXPECT_EQ(d.GetDlgItemText(IDC_PREF_PLAY_AHEAD), c.playAhead) << c.response;
            EXPECT_EQ(g_shownResponseMs, std::stoi(c.playAhead));
            EXPECT_EQ(g_openedResponseTime, c.pos);
            d.PressEscape();
        });
        g_deviceOpen = 0;
    }
    EXPECT_EQ(StepAt("CloseAudioDevice"), -1);  // opening reopens nothing
}

TEST_F(PreferencesTest, OpeningFillsThePortsPolyphonyAndBoxes) {
    g_polyphony = 3;
    g_testSignal = 1;  // the box shows unchecked all the same
    g_saveChanges = 0;
    g_markBeats = 0;
    g_trebleLimiter = 1;
    g_trackerStyle = 1;
    g_soundModuleModePending = 1;
    g_soundModuleMode = 1;
    Run([&](CPreferencesDlg& d) {
        EXPECT_EQ(d.m_midiIn.GetCount(), 2);
        EXPECT_EQ(d.m_midiIn.GetCurSel(), 1);
        EXPECT_EQ(d.m_midiOut.GetCount(), 1);
        EXPECT_EQ(d.m_midiOut.GetCurSel(), 0);
        ASSERT_EQ(d.m_polyphony.GetCount(), 6);
        const char* voices[] = {"1 voice", "4 voices", "8 voices", "16 voices", "24 voices", "32 voices"};
        for (int i = 0; i < 6; ++i) EXPECT_EQ(d.m_polyphony.GetLBText(i), voices[i]);
        EXPECT_EQ(d.m_polyphony.GetCurSel(), 3);
        EXPECT_EQ(d.IsDlgButtonChecked(IDC_PREF_TEST_SIGNAL), 0u);
        EXPECT_EQ(d.IsDlgButtonChecked(IDC_PREF_DISCARD_WARNING), 1u);
        EXPECT_EQ(d.IsDlgButtonChecked(IDC_PREF_MARK_BEATS), 0u);
        EXPECT_EQ(d.IsDlgButtonChecked(IDC_PREF_FOLLOW_SONG), 1u);
        EXPECT_EQ(d.IsDlgButtonChecked(IDC_PREF_BASS_TREBLE), 1u);
        EXPECT_EQ(d.IsDlgButtonChecked(IDC_PREF_LIMITER), 1u);
        EXPECT_EQ(d.IsDlgButtonChecked(IDC_PREF_TRACKER_KEYS), 1u);
        EXPECT_EQ(d.IsDlgButtonChecked(IDC_PREF_SOUND_MODULE), 1u);
        d.PressEscape();
    });
}

// Without MIDI ports the stored indices are 0 and the lists empty; a stale
// index past a list selects nothing either. Without output devices the list
// holds one entry, which chooses index 0 and a reopening that fails.
TEST_F(PreferencesTest, EmptyListsSelectNothingAndNoDriverChoosesIndexZero) {
    struct Case {
        std::vector<std::string> in, out;
        int32_t inIndex, outIndex;
    };
    for (const Case& c : {Case{{}, {}, 0, 0}, Case{{"Keys In"}, {"Synth Out"}, 3, -1}}) {
        g_midiInNames = c.in;
        g_midiOutNames = c.out;
        g_midiInDevice = c.inIndex;
        g_midiOutDevice = c.outIndex;
        Run([&](CPreferencesDlg& d) {
            EXPECT_EQ(d.m_midiIn.GetCount(), int(c.in.size()));
            EXPECT_EQ(d.m_midiIn.GetCurSel(), -1);
            EXPECT_EQ(d.m_midiOut.GetCount(), int(c.out.size()));
            EXPECT_EQ(d.m_midiOut.GetCurSel(), -1);
            d.PressEscape();
        });
        EXPECT_EQ(g_midiInDevice.load(), c.inIndex);
    }

    UseOutputs({});  // its listing's message is the device code's
    ASSERT_EQ(g_deviceCount, 0);
    boxes.clear();
    g_waveOutDevice = 0;
    g_responseTime = 4410;
    trace.clear();
    Run([&](CPreferencesDlg& d) {
        ASSERT_EQ(d.m_audioDriver.GetCount(), 1);
        EXPECT_EQ(d.m_audioDriver.GetLBText(0), "No driver is available");
        EXPECT_EQ(d.m_audioDriver.GetCurSel(), 0);
        EXPECT_EQ(d.GetDlgItemText(IDC_PREF_DEVICE_TYPE), "MME");
        d.ChooseComboItem(IDC_PREF_AUDIO_DRIVER, 0);
        EXPECT_EQ(g_waveOutDevice.load(), 0);
        EXPECT_EQ(d.m_responseTime.GetPos(), 11025);
        EXPECT_EQ(d.GetDlgItemText(IDC_PREF_PLAY_AHEAD), "250 ms");
        EXPECT_EQ(trace, (std::vector<std::string>{"CloseAudioDevice", "OpenAudioDevice"}));
        EXPECT_EQ(g_deviceOpen, 0);
        d.PressEscape();
    });
    EXPECT_TRUE(boxes.empty());
}

TEST_F(PreferencesTest, ANewDeviceStartsAtItsKindsLongestResponseTime) {
    g_responseTime = 2048;
    ASSERT_TRUE(OpenAudioDevice());
    Run([&](CPreferencesDlg& d) {
        // To DirectX: index 23 (250 ms), which the opening lowers to 22.
        d.ChooseComboItem(IDC_PREF_AUDIO_DRIVER, 3);
        EXPECT_EQ(trace, (std::vector<std::string>{"CloseAudioDevice", "OpenAudioDevice"}));
        EXPECT_EQ(g_waveOutDevice.load(), 3);
        EXPECT_EQ(d.GetDlgItemText(IDC_PREF_DEVICE_TYPE), "DirectX");
        EXPECT_EQ(d.m_responseTime.GetRangeMin(), 0);
        EXPECT_EQ(d.m_responseTime.GetRangeMax(), 23);
        EXPECT_EQ(d.m_responseTime.GetPos(), 23);
        EXPECT_EQ(d.GetDlgItemText(IDC_PREF_PLAY_AHEAD), "250 ms");
        EXPECT_EQ(g_deviceOpen, 1);
        EXPECT_EQ(g_deviceMode.load(), 2);
        EXPECT_EQ(g_responseTime.load(), 22);
        // Back to MME "Card B": 11,025 frames, 250 ms again.
        d.ChooseComboItem(IDC_PREF_AUDIO_DRIVER, 2);
        EXPECT_EQ(d.GetDlgItemText(IDC_PREF_DEVICE_TYPE), "MME");
        EXPECT_EQ(d.m_responseTime.GetRangeMin(), 1024);
        EXPECT_EQ(d.m_responseTime.GetRangeMax(), 11025);
        EXPECT_EQ(g_responseTime.load(), 11025);
        EXPECT_EQ(d.GetDlgItemText(IDC_PREF_PLAY_AHEAD), "250 ms");
        EXPECT_EQ(g_deviceMode.load(), 1);
        EXPECT_EQ(backend->LastOpenedOutput(), 1);
        d.PressEscape();
    });
    // Escape keeps the new device.
    EXPECT_EQ(g_waveOutDevice.load(), 2);
    EXPECT_EQ(g_deviceOpen, 1);
}

TEST_F(PreferencesTest, EveryNewSliderPositionReopensTheDevice) {
    ASSERT_TRUE(OpenAudioDevice());
    Run([&](CPreferencesDlg& d) {
        const struct {
            int pos;
            const char* playAhead;
            bool reopens;
        } moves[] = {{2048, "46 ms", true}, {2048, "46 ms", false}, {1024, "23 ms", true},
                     {1067, "24 ms", true}, {11025, "250 ms", true}, {20000, "250 ms", false}};
        for (const auto& m : moves) {
            trace.clear();
            d.MoveSlider(IDC_PREF_RESPONSE, m.pos);
            EXPECT_EQ(d.GetDlgItemText(IDC_PREF_PLAY_AHEAD), m.playAhead) << m.pos;
            EXPECT_EQ(trace.size(), m.reopens ? 2u : 0u) << m.pos;
            EXPECT_EQ(g_deviceOpen, 1);
        }
        EXPECT_EQ(g_responseTime.load(), 11025);
        EXPECT_EQ(g_bufferMs.load(), 250u);
        d.PressEscape();
    });
}

TEST_F(PreferencesTest, DirectXPositionsShowTheLatencyTable) {
    // The device stays closed: only the labels are looked at.
    GetAppServices().openAudioDevice = [] { return false; };
    g_waveOutDevice = 3;
    g_responseTime = 0;
    Run([&](CPreferencesDlg& d) {
        const uint32_t ms[24] = {2, 3, 4, 5, 6, 7, 8, 9, 10, 15, 20, 25, 30, 35, 40, 50, 60, 70, 80, 90, 100, 150, 200, 250};
        for (int i = 23; i >= 0; --i) {
            d.MoveSlider(IDC_PREF_RESPONSE, i);
            EXPECT_EQ(d.GetDlgItemText(IDC_PREF_PLAY_AHEAD), std::to_string(ms[i]) + " ms");
            EXPECT_EQ(g_responseTime.load(), i);
        }
        d.PressEscape();
    });
}

// In "Free audiodev when stopped" mode the first click opens the device for
// the tone, the second fades it out for the view's timer to release.
TEST_F(PreferencesTest, TheTestSignalTogglesAndNeverOutlivesTheDialog) {
    g_freeAudioDevWhenStopped = 1;
    Run([&](CPreferencesDlg& d) {
        g_playFlag = 1;
        d.ClickButton(IDC_PREF_TEST_SIGNAL);
        EXPECT_EQ(g_testSignal, 1u);
        EXPECT_EQ(g_deviceOpen, 1);
        EXPECT_EQ(g_engineReset.load(), kResetStop);
        EXPECT_EQ(g_playFlag, 0u);
        EXPECT_EQ(g_refreshPending, 1u);
        EXPECT_EQ(g_releaseDevicePending, 0);
        // Its box is not consulted.
        d.CheckDlgButton(IDC_PREF_TEST_SIGNAL, 1);
        d.ClickButton(IDC_PREF_TEST_SIGNAL);
        EXPECT_EQ(g_testSignal, 0u);
        EXPECT_EQ(g_masterMute, 1u);
        EXPECT_EQ(g_releaseDevicePending, 1);
        EXPECT_EQ(g_deviceOpen, 1);
        g_masterState.masterVolume = 0;  // faded out
        session_->view->OnTimer(kViewTimerId);
        EXPECT_EQ(g_deviceOpen, 0);
        d.PressEscape();
    });
    EXPECT_EQ(trace, (std::vector<std::string>{"OpenAudioDevice", "CloseAudioDevice", "CloseAudioDevice"}));

    // Escape or Close: the tone stops with the dialog.
    g_freeAudioDevWhenStopped = 0;
    for (bool close : {false, true}) {
        trace.clear();
        Run([&](CPreferencesDlg& d) {
            d.ClickButton(IDC_PREF_TEST_SIGNAL);
            EXPECT_EQ(g_testSignal, 1u);
            close ? d.ClickButton(IDOK) : d.PressEscape();
        });
        EXPECT_EQ(g_testSignal, 0u);
        EXPECT_EQ(StepAt("CloseAudioDevice"), -1);
    }
}

TEST_F(PreferencesTest, ANewPolyphonyStopsPlaybackAndClearsTheQueuedNotes) {
    for (uint32_t freeDevice : {0u, 1u}) {
        g_freeAudioDevWhenStopped = freeDevice;
        g_masterMute = 0;
        g_releaseDevicePending = 0;
        g_refreshPending = 0;
        g_engineReset = 0;
        g_playFlag = 1;
        g_voiceEvents.code[5][100] = 1;
        g_voiceEvents.code[31][0] = 2;
        for (auto* v : {&g_selFirstPart, &g_selLastPart, &g_selFirstStep, &g_selLastStep, &g_selPattern, &g_editStep,
                        &g_firstTrack, &g_cursorColumn})
            *v = 3;
        Run([&](CPreferencesDlg& d) {
            d.ChooseComboItem(IDC_PREF_POLYPHONY, 2);
            EXPECT_EQ(g_polyphony, 2u);
            EXPECT_EQ(g_engineReset.load(), kResetStop);
            EXPECT_EQ(g_playFlag, 0u);
            EXPECT_EQ(g_voiceEvents.code[5][100], 0);
            EXPECT_EQ(g_voiceEvents.code[31][0], 0);
            for (auto* v : {&g_selFirstPart, &g_selLastPart, &g_selFirstStep, &g_selLastStep, &g_selPattern,
                            &g_editStep, &g_firstTrack, &g_cursorColumn})
                EXPECT_EQ(v->load(), 0u);
            EXPECT_EQ(g_refreshPending, 1u);
            EXPECT_EQ(g_masterMute, freeDevice);
            EXPECT_EQ(g_releaseDevicePending, freeDevice);
            d.PressEscape();
        });
        EXPECT_EQ(g_polyphony, 2u);  // Escape keeps it
    }
}

TEST_F(PreferencesTest, AChosenMidiPortIsReopened) {
    Run([&](CPreferencesDlg& d) {
        d.ChooseComboItem(IDC_PREF_MIDI_IN, 0);
        d.ChooseComboItem(IDC_PREF_MIDI_OUT, 0);
        d.PressEscape();
    });
    EXPECT_EQ(trace[0], "CloseMidiIn");
    EXPECT_EQ(trace[1], "OpenMidiIn 0");
    EXPECT_EQ(trace[2], "CloseMidiOut");
    EXPECT_EQ(trace[3], "OpenMidiOut 0");
    EXPECT_EQ(g_midiInDevice.load(), 0);
}

TEST_F(PreferencesTest, TheFourHandlerBoxesToggleAtOnce) {
    struct Case {
        int id;
        std::function<int()> value;
    };
    const Case cases[] = {
        {IDC_PREF_SOUND_MODULE, [] { return int(g_soundModuleModePending); }},
        {IDC_PREF_BASS_TREBLE, [] { return int(g_bassTrebleEq); }},
        {IDC_PREF_LIMITER, [] { return int(g_trebleLimiter); }},
        {IDC_PREF_TRACKER_KEYS, [] { return int(g_trackerStyle); }},
    };
    answers = {IDOK};  // the restart message, after the dialog
    Run([&](CPreferencesDlg& d) {
        for (const Case& c : cases) {
            const int before = c.value();
            d.ClickButton(c.id);
            EXPECT_EQ(c.value(), 1 - before) << c.id;
            EXPECT_EQ(d.IsDlgButtonChecked(c.id), UINT(1 - before)) << c.id;
        }
        EXPECT_EQ(g_noteKeyCount, 17u);  // the tracker-style map
        d.ClickButton(IDC_PREF_TRACKER_KEYS);
        EXPECT_EQ(g_noteKeyCount, 18u);
        d.PressEscape();
    });
    // Escape undoes none of them.
    EXPECT_EQ(g_soundModuleModePending, 1);
    EXPECT_EQ(g_bassTrebleEq, 0u);
    EXPECT_EQ(g_trebleLimiter, 1u);
}

TEST_F(PreferencesTest, SoundModuleModeGreysTheSixSequencerBoxes) {
    const int sequencer[] = {IDC_PREF_MARK_BEATS,  IDC_PREF_FOLLOW_SONG,     IDC_PREF_FREE_DEVICE,
                             IDC_PREF_PREVIEW_NOTE, IDC_PREF_SET_INSTRUMENTS, IDC_PREF_TRACKER_KEYS};
    const int others[] = {IDC_PREF_SOUND_MODULE, IDC_PREF_STORE_INSTRUMENTS, IDC_PREF_DISCARD_WARNING,
                          IDC_PREF_BASS_TREBLE, IDC_PREF_TEST_SIGNAL, IDC_PREF_AUDIO_DRIVER};
    for (uint32_t mode : {1u, 0u}) {
        g_soundModuleMode = mode;
        g_soundModuleModePending = int32_t(mode);
        Run([&](CPreferencesDlg& d) {
            for (int id : sequencer) EXPECT_EQ(Enabled(d, id), mode == 0) << id;
            for (int id : others) EXPECT_TRUE(Enabled(d, id)) << id;
            d.PressEscape();
        });
    }
}

TEST_F(PreferencesTest, TheSoundModuleChoiceAsksForARestartOnlyWhenItDiffers) {
    for (int clicks : {1, 2}) {
        boxes.clear();
        Run([&](CPreferencesDlg& d) {
            for (int i = 0; i < clicks; ++i) d.ClickButton(IDC_PREF_SOUND_MODULE);
            d.ClickButton(IDOK);
        });
        EXPECT_EQ(g_soundModuleMode, 0u);
        if (clicks == 1) {
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_EQ(boxes[0].text, "This change requires Morvel Canopy to be restarted!");
            EXPECT_EQ(g_soundModuleModePending, 1);
            g_soundModuleModePending = 0;
        } else {
            EXPECT_TRUE(boxes.empty());
        }
    }
}

// Close reads the seven boxes; Escape leaves the values as the opener set them.
TEST_F(PreferencesTest, CloseTakesTheSevenBoxesEscapeKeepsThem) {
    struct Case {
        int id;
        std::function<int()> value;  // the setting as the box shows it
    };
    const Case cases[] = {
        {IDC_PREF_FOLLOW_SONG, [] { return int(g_followSong); }},
        {IDC_PREF_MARK_BEATS, [] { return int(g_markBeats); }},
        {IDC_PREF_FREE_DEVICE, [] { return int(g_freeAudioDevWhenStopped); }},
        {IDC_PREF_STORE_INSTRUMENTS, [] { return int(g_storeAutomatically); }},
        {IDC_PREF_DISCARD_WARNING, [] { return g_saveChanges == 0 ? 1 : 0; }},
        {IDC_PREF_PREVIEW_NOTE, [] { return int(g_previewNote); }},
        {IDC_PREF_SET_INSTRUMENTS, [] { return int(g_setInstruments); }},
    };
    for (const Case& c : cases)
        for (bool close : {false, true}) {
            const int before = c.value();
            Run([&](CPreferencesDlg& d) {
                d.ClickButton(c.id);
                close ? d.ClickButton(IDOK) : d.PressEscape();
            });
            EXPECT_EQ(c.value(), close ? 1 - before : before) << c.id << (close ? " Close" : " Escape");
        }
}

TEST_F(PreferencesTest, TheCommandHoldsItsButtonAndLeavesTheModifiedByte) {
    session_->doc->SetModifiedFlag(false);
    g_docModified = 1;
    int held = -1;
    Run([&](CPreferencesDlg& d) {
        held = g_topBarButtons[4];
        d.PressEscape();
    });
    EXPECT_EQ(held, 1);
    EXPECT_EQ(g_topBarButtons[4], 0);
    EXPECT_EQ(g_docModified, 1);
    EXPECT_FALSE(session_->doc->IsModified());
    EXPECT_EQ(dialogs, std::vector<UINT>{IDD_PREFERENCES});
    g_docModified = 0;
}

// "Free audio device when stopped" turns the preview note off before the
// dialog; leaving it set closes the device while nothing plays, clearing it
// opens the device again.
TEST_F(PreferencesTest, LeavingItOpensOrClosesTheDeviceByTheFreeDeviceBox) {
    g_previewOnly = 1;
    ASSERT_TRUE(OpenAudioDevice());
    Run([&](CPreferencesDlg& d) {
        d.ClickButton(IDC_PREF_FREE_DEVICE);
        d.ClickButton(IDOK);
    });
    EXPECT_EQ(g_freeAudioDevWhenStopped, 1u);
    EXPECT_EQ(g_deviceOpen, 0);
    EXPECT_EQ(trace, std::vector<std::string>{"CloseAudioDevice"});
    EXPECT_EQ(g_previewNote, 1u);

    int previewShown = -1;
    trace.clear();
    Run([&](CPreferencesDlg& d) {
        previewShown = int(d.IsDlgButtonChecked(IDC_PREF_PREVIEW_NOTE));
        d.ClickButton(IDC_PREF_FREE_DEVICE);
        d.ClickButton(IDOK);
    });
    EXPECT_EQ(previewShown, 0);
    EXPECT_EQ(g_previewNote, 0u);
    EXPECT_EQ(g_previewOnly, 0);
    EXPECT_EQ(g_freeAudioDevWhenStopped, 0u);
    EXPECT_EQ(g_deviceOpen, 1);
    EXPECT_EQ(trace, std::vector<std::string>{"OpenAudioDevice"});
}

TEST_F(PreferencesTest, HelpOpensThePreferencesPage) {
    std::vector<uintptr_t> contexts;
    SetHelpOpener([&](const std::string&, UINT, uintptr_t data) { contexts.push_back(data); });
    g_deviceOpen = 1;
    Run([](CPreferencesDlg& d) {
        d.ClickButton(IDC_PREF_HELP);
        d.PressEscape();
    });
    g_deviceOpen = 0;
    EXPECT_EQ(contexts, std::vector<uintptr_t>{uintptr_t(kHelpPreferences)});
}
