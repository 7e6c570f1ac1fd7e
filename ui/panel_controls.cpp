#include "ui/panel_controls.h"

#include <array>

#include "shared/mixer.h"
#include "shared/song.h"
#include "shared/sound_bank.h"
#include "shared/transport.h"
#include "ui/panel_state.h"
#include "ui/view_globals.h"

namespace {

constexpr void* Knob(SoundParam p) { return &g_liveKnobs[p]; }
constexpr void* Word(void* w) { return w; }

constexpr PanelControl Row(int32_t l, int32_t t, int32_t r, int32_t b, int32_t kind, void* target) {
    return PanelControl{l, t, r, b, target, kind};
}

constexpr std::array<PanelControl, kMixerControlRows> MixerRows() {
    std::array<PanelControl, kMixerControlRows> rows{};
    for (int c = 0; c < kBuses; ++c) {
        const int32_t dx = 60 * c;
        rows[size_t(c)] = Row(130 + dx, 351, 144 + dx, 366, kCtlPanKnob, &g_mixerSettings.pan[c]);
        rows[size_t(8 + c)] = Row(129 + dx, 380, 144 + dx, 395, kCtlSendKnob, &g_mixerSettings.send1[c]);
        rows[size_t(16 + c)] = Row(129 + dx, 402, 144 + dx, 417, kCtlSendKnob, &g_mixerSettings.send2[c]);
        rows[size_t(24 + c)] = Row(109 + dx, 348, 121 + dx, 427, kCtlFader, &g_mixerSettings.volume[c]);
        rows[size_t(33 + c)] = Row(105 + dx, 337, 159 + dx, 344, kCtlMixerToggle, &g_volumeOverrides.bus[c]);
    }
    rows[32] = Row(600, 348, 612, 427, kCtlFader, &g_mixerSettings.master);
    rows[41] = Row(585, 337, 626, 344, kCtlMixerToggle, &g_volumeOverrides.master);
    rows[42] = Row(38, 420, 65, 430, kCtlMixerToggle, &g_songMode);
    rows[43] = Row(67, 420, 94, 430, kCtlMixerToggle, &g_patternCue);
    return rows;
}

}  // namespace

constinit const std::array<PanelControl, kPanelControlRows> g_panelControls = {{
    Row(75, 19, 93, 38, kCtlBipolarKnob, Knob(kParamOsc1Tune)),             // 0
    Row(266, 19, 284, 38, kCtlBipolarKnob, Knob(kParamOsc2Tune)),           // 1
    Row(296, 19, 314, 38, kCtlBipolarKnob, Knob(kParamOsc2FineTune)),       // 2
    Row(517, 19, 535, 38, kCtlBipolarKnob, Knob(kParamOsc3Tune)),           // 3
    Row(547, 19, 565, 38, kCtlBipolarKnob, Knob(kParamOsc3FineTune)),       // 4
    Row(415, 19, 434, 38, kCtlKnob, Knob(kParamOsc2Volume)),                // 5
    Row(576, 19, 595, 38, kCtlKnob, Knob(kParamOsc3Volume)),                // 6
    Row(164, 19, 183, 38, kCtlKnob, Knob(kParamOsc1Pwm)),                   // 7
    Row(355, 19, 374, 38, kCtlKnob, Knob(kParamOsc2FmAmount)),              // 8
    Row(194, 71, 213, 90, kCtlKnob, Knob(kParamFilterResonance)),           // 9
    Row(547, 71, 566, 90, kCtlKnob, Knob(kParamLfoDepth)),                  // 10
    Row(577, 71, 596, 90, kCtlKnob, Knob(kParamLfoRate)),                   // 11
    Row(259, 123, 278, 142, kCtlKnob, Knob(kParamVibratoDepth)),            // 12
    Row(289, 123, 308, 142, kCtlKnob, Knob(kParamVibratoRate)),             // 13
    Row(324, 123, 343, 142, kCtlKnob, Knob(kParamPortamento)),              // 14
    Row(414, 123, 433, 142, kCtlKnob, Knob(kParamDistortion)),              // 15
    Row(135, 19, 153, 38, kCtlKnob, Knob(kParamOsc1PulseWidth)),            // 16
    Row(9, 71, 27, 90, kCtlKnob, Knob(kParamAmpAttack)),                    // 17
    Row(39, 71, 57, 90, kCtlKnob, Knob(kParamAmpDecay)),                    // 18
    Row(69, 71, 87, 90, kCtlKnob, Knob(kParamAmpSustain)),                  // 19
    Row(99, 71, 117, 90, kCtlKnob, Knob(kParamAmpRelease)),                 // 20
    Row(129, 71, 147, 90, kCtlKnob, Knob(kParamAmpGain)),                   // 21
    Row(165, 71, 183, 90, kCtlKnob, Knob(kParamFilterCutoff)),              // 22
    Row(303, 71, 321, 90, kCtlKnob, Knob(kParamFilterAttack)),              // 23
    Row(333, 71, 351, 90, kCtlKnob, Knob(kParamFilterDecay)),               // 24
    Row(363, 71, 381, 90, kCtlKnob, Knob(kParamFilterSustain)),             // 25
    Row(393, 71, 411, 90, kCtlKnob, Knob(kParamFilterRelease)),             // 26
    Row(423, 71, 441, 90, kCtlKnob, Knob(kParamFilterGain)),                // 27
    Row(75, 123, 93, 142, kCtlKnob, Knob(kParamUserEnvAttack)),             // 28
    Row(105, 123, 123, 142, kCtlKnob, Knob(kParamUserEnvDecay)),            // 29
    Row(135, 123, 153, 142, kCtlKnob, Knob(kParamUserEnvSustain)),          // 30
    Row(165, 123, 183, 142, kCtlKnob, Knob(kParamUserEnvRelease)),          // 31
    Row(195, 123, 213, 142, kCtlKnob, Knob(kParamUserEnvGain)),             // 32
    Row(230, 123, 248, 142, kCtlKnob, Knob(kParamVibratoDelay)),            // 33
    Row(4, 16, 66, 37, kCtlSelector, Knob(kParamOsc1Wave)),                 // 34
    Row(195, 16, 257, 37, kCtlSelector, Knob(kParamOsc2Wave)),              // 35
    Row(446, 16, 508, 37, kCtlSelector, Knob(kParamOsc3Wave)),              // 36
    Row(226, 68, 288, 89, kCtlSelector5, Knob(kParamFilterType)),           // 37
    Row(453, 68, 494, 89, kCtlSelector, Knob(kParamLfoDestination)),        // 38
    Row(498, 68, 539, 89, kCtlSelector, Knob(kParamLfoShape)),              // 39
    Row(4, 120, 66, 141, kCtlSelector, Knob(kParamUserEnvDestination)),     // 40
    Row(103, 19, 124, 30, kCtlToggle, Knob(kParamOsc1KeyTrack)),            // 41
    Row(324, 19, 345, 30, kCtlToggle, Knob(kParamOsc2KeyTrack)),            // 42
    Row(385, 16, 406, 27, kCtlToggle, Knob(kParamOscSync)),                 // 43
    Row(385, 28, 406, 38, kCtlToggle, Knob(kParamRingMod)),                 // 44
    Row(354, 123, 373, 142, kCtlKnob, Knob(kParamGateTime)),                // 45
    Row(383, 122, 404, 133, kCtlToggle, Knob(kParamLegato)),                // 46
    Row(194, 3, 439, 11, kCtlToggle, Knob(kParamOsc2On)),                   // 47
    Row(445, 3, 601, 11, kCtlToggle, Knob(kParamOsc3On)),                   // 48
    Row(3, 55, 153, 63, kCtlToggle, nullptr),                               // 49
    Row(159, 55, 446, 63, kCtlToggle, Knob(kParamFilterOn)),                // 50
    Row(452, 55, 601, 63, kCtlToggle, Knob(kParamLfoOn)),                   // 51
    Row(3, 107, 218, 115, kCtlToggle, Knob(kParamUserEnvOn)),               // 52
    Row(484, 120, 505, 131, kCtlStepUp, Knob(kParamChannel)),               // 53
    Row(484, 132, 505, 142, kCtlStepDown, Knob(kParamChannel)),             // 54
    Row(576, 120, 597, 131, kCtlStepUp, Word(&g_curSound)),                 // 55
    Row(576, 132, 597, 142, kCtlStepDown, Word(&g_curSound)),               // 56
    Row(268, 79, 288, 89, kCtlToggle, Knob(kParamFilterKeyTrack)),          // 57
    Row(160, 4, 170, 11, kCtlStepUp, Word(&g_tempoDisplay)),                // 58
    Row(160, 13, 170, 20, kCtlStepDown, Word(&g_tempoDisplay)),             // 59
    Row(512, 122, 531, 131, kCtlStore, Word(&g_storeButtonState)),          // 60
    Row(25, 1, 47, 23, kCtlTransport, Word(&g_playFlag)),                   // 61
    Row(47, 1, 68, 23, kCtlTransport, Word(&g_stopButtonState)),            // 62
    Row(318, 106, 601, 115, kCtlSoundName, nullptr),                        // 63
}};

constinit const std::array<PanelControl, kMixerControlRows> g_mixerControls = MixerRows();

bool PanelRowInViewCoordinates(int row) { return row == 58 || row == 59 || row == 61 || row == 62; }

int32_t MixerSpaceX(int32_t viewX) { return viewX + g_mixerShiftX; }
int32_t MixerSpaceY(int32_t viewY) { return viewY - g_lowerPanelY + kMixerSpaceTop; }

int32_t PanelRowViewLeft(int row) {
    return g_panelControls[row].left + (PanelRowInViewCoordinates(row) ? 0 : g_panelX);
}
int32_t PanelRowViewTop(int row) {
    return g_panelControls[row].top + (PanelRowInViewCoordinates(row) ? 0 : g_panelY);
}
