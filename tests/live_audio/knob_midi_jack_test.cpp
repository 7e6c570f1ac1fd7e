// A knob dragged on the panel reaches an outside instrument: the press, the
// moves and the release of the panel's mouse routines send the knob's
// controller through the RtMidi back-end to a JACK MIDI port. Needs a JACK
// server (skipped without one unless MC_REQUIRE_JACK is set).
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "host/midi_controllers.h"
#include "host/midi_ports.h"
#include "platform/midi.h"
#include "shared/channel_map.h"
#include "tests/controls/panel_fixture.h"
#include "tests/live_audio/midi_peer.h"

namespace {

using namespace std::chrono_literals;

constexpr int kOsc2VolumeRow = 5;     // a knob, 0 .. 80
constexpr int kOsc2VolumeWord = 13;   // its controllable word
constexpr uint32_t kController = 74;

TEST(KnobMidiJack, ADraggedKnobSendsItsControllerToAJackPort) {
    MidiPeer peer("mc_knob_peer");
    if (!peer.Running()) {
        if (std::getenv("MC_REQUIRE_JACK")) FAIL() << "no JACK server";
        GTEST_SKIP() << "no JACK server";
    }
    EnumerateMidiDevices();
    const auto it = std::find(g_midiOutNames.begin(), g_midiOutNames.end(), peer.InputName());
    ASSERT_NE(it, g_midiOutNames.end());
    g_midiOutDevice = int32_t(it - g_midiOutNames.begin());
    ASSERT_TRUE(OpenMidiOut());

    // Sound 3 on MIDI channel 3, its OSCILLATOR 2 vol at 0, the normal layout.
    ResetSoundBank();
    g_curSound = 3;
    LoadSoundToKnobs(3);
    g_liveKnobs[kParamOsc2Volume] = 0;
    for (int c = 0; c < kMidiChannels; ++c) g_channelSound[c] = 0;
    g_channelSound[2] = 3;
    g_midiControllerMap[kOsc2VolumeWord] = kController;
    g_transmitTweaks = 1;
    g_soundModuleMode = 0;
    g_panelX = 12, g_panelY = 27, g_mixerShiftX = 0, g_lowerPanelY = 336;

    RecordingPanel view;
    const PanelControl& knob = g_panelControls[kOsc2VolumeRow];
    const int x = g_panelX + (knob.left + knob.right) / 2, y = g_panelY + (knob.top + knob.bottom) / 2;
    PanelButtonUp(view);  // as after an earlier press
    PanelButtonDown(view, x, y);
    PanelMouseMove(view, MK_LBUTTON, x, y - 40);
    PanelMouseMove(view, MK_LBUTTON, x + 3, y - 40);  // sideways: the same data, not sent again
    PanelMouseMove(view, MK_LBUTTON, x, y - 80);
    PanelButtonUp(view);
    EXPECT_EQ(g_liveKnobs[kParamOsc2Volume], 80);

    MidiOutFlush();
    const auto controller = [](int data) { return 0xB2u | kController << 8 | uint32_t(data) << 16; };
    const std::vector<uint32_t> expected = {controller(63), controller(127)};  // 40 and 80 x 127/80
    for (int i = 0; i < 2000 && peer.Received().size() < expected.size(); ++i) std::this_thread::sleep_for(1ms);
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(peer.Received(), expected);
    EXPECT_EQ(g_midiOutActivity, 6);

    CloseMidiOut();
    g_transmitTweaks = 0;
    g_midiControllerMap[kOsc2VolumeWord] = g_factoryControllerMap[kOsc2VolumeWord];
}

}  // namespace
