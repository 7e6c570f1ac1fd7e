// Knob changes as MIDI controllers: every change the mouse makes to a sound
// parameter or a mixer setting goes out at once as a control change on the
// MIDI output, while "Transmit knob tweakings" is on.
//
// The controller number is the one MIDI input uses for the same live word
// (g_midiControllerMap, indexed like g_paramValuePtrs); the channel is the
// first one that plays the current sound. Continuous controls send only when
// their data byte differs from the last one of the press, so a slow drag sends
// each data value once; g_lastTweakData follows the drag even while nothing
// is sent. Nothing at all happens without an open output. GUI thread only.
#include "ui/knob_midi_out.h"

#include "host/midi_controllers.h"
#include "host/midi_state.h"
#include "platform/midi.h"
#include "shared/channel_map.h"
#include "shared/sound_bank.h"

int32_t g_lastTweakData = 0;

namespace {

// The panel's control kinds that send.
constexpr int32_t kKindBipolarKnob = 1;
constexpr int32_t kKindKnob = 2;
constexpr int32_t kKindSelector = 3;
constexpr int32_t kKindFilterMode = 4;
constexpr int32_t kKindToggle = 5;
constexpr int32_t kKindPan = 10;
constexpr int32_t kKindSend = 11;
constexpr int32_t kKindFader = 12;

// The scale factors: 127/80, 127/40, and the fader's decimal, which tops out
// at 126 for the fader's 56.
constexpr double kKnobScale = 1.5875;
constexpr double kHalfRangeScale = 3.175;
constexpr double kFaderScale = 2.267857142857;

constexpr uint32_t kControlChange = 0xB0;

// A double product truncated toward zero; values far outside any control's
// range saturate instead of overflowing.
int32_t Truncated(double product) {
    if (product >= 2147483647.0) return 2147483647;
    if (product <= -2147483648.0) return -2147483647 - 1;
    return static_cast<int32_t>(product);
}

// The first MIDI channel that plays the current sound: mapped to it, or
// following program changes with it as the last program; -1 for none.
int FirstChannelOfCurrentSound() {
    const int32_t sound = static_cast<int32_t>(g_curSound.load());
    for (int c = 0; c < kMidiChannels; ++c) {
        const int32_t mapped = g_channelSound[c];
        if (mapped == sound || (mapped == 0 && g_midiProgram[c] == sound)) return c;
    }
    return -1;
}

// The controllable-word index of the live word at `value`, -1 when it has none.
int ControllerIndex(const void* value, bool searchAll) {
    const int count = searchAll ? kControllerKnobs : kSoundControllers;
    for (int i = 0; i < count; ++i)
        if (g_paramValuePtrs[i].Address() == value) return i;
    return -1;
}

}  // namespace

void TransmitKnobTweak(const void* value, int32_t data, bool searchAll, TweakRule rule, bool valueChanged) {
    if (!MidiOutIsOpen()) return;
    switch (rule) {
    case TweakRule::Always: break;
    case TweakRule::IfValueChanged:
        if (!valueChanged) return;
        break;
    case TweakRule::IfDataDiffers: {
        const bool differs = data != g_lastTweakData;
        g_lastTweakData = data;
        if (!differs) return;
        break;
    }
    }
    const int channel = FirstChannelOfCurrentSound();
    if (channel < 0) return;
    const int index = ControllerIndex(value, searchAll);
    if (index < 0) return;
    const uint32_t controller = g_midiControllerMap[index];
    if (controller == kNoController) return;
    if (g_transmitTweaks == 0) return;
    const uint32_t message = (kControlChange + uint32_t(channel)) | (controller & 0xFF) << 8 |
                             (static_cast<uint32_t>(data) & 0xFF) << 16;
    if (MidiOutShortMsg(message, MidiProducer::GuiThread)) g_midiOutActivity = 6;
}

void TransmitControlTweak(int32_t kind, const void* value, int32_t newValue, bool valueChanged) {
    const double v = newValue;
    switch (kind) {
    case kKindBipolarKnob:
        TransmitKnobTweak(value, Truncated((v + 40) * kKnobScale), false, TweakRule::IfDataDiffers, valueChanged);
        break;
    case kKindKnob:
        TransmitKnobTweak(value, Truncated(v * kKnobScale), false, TweakRule::IfDataDiffers, valueChanged);
        break;
    case kKindSelector:
        TransmitKnobTweak(value, Truncated(v * 21), false, TweakRule::Always, valueChanged);
        break;
    case kKindFilterMode:
        TransmitKnobTweak(value, Truncated(v * 25), false, TweakRule::Always, valueChanged);
        break;
    case kKindToggle:
        TransmitKnobTweak(value, Truncated(v * 64), false, TweakRule::IfValueChanged, valueChanged);
        break;
    case kKindPan:
        TransmitKnobTweak(value, Truncated((v + 20) * kHalfRangeScale), true, TweakRule::IfDataDiffers, valueChanged);
        break;
    case kKindSend:
        TransmitKnobTweak(value, Truncated(v * kHalfRangeScale), true, TweakRule::IfDataDiffers, valueChanged);
        break;
    case kKindFader:
        TransmitKnobTweak(value, Truncated(v * kFaderScale), true, TweakRule::IfDataDiffers, valueChanged);
        break;
    default: break;
    }
}
