#include "ui/panel_paint.h"

#include <cstdint>
#include <iterator>
#include <string>

#include "data/sound_bank_ops.h"
#include "shared/app_settings.h"
#include "shared/automation.h"
#include "shared/editor.h"
#include "shared/mixer.h"
#include "shared/song.h"
#include "shared/sound_bank.h"
#include "shared/transport.h"
#include "ui/panel_state.h"

namespace {

// ---- the elements of the synthesizer section (section coordinates) -------

struct KnobElement {
    int strip;  // skin bitmap; the bipolar strip shows 40 - value, the others 80 - value
    int param;
    int x, y;
};

// In the order UpdatePanel visits them: strips 200, 196, 197, 198.
constexpr KnobElement kKnobs[] = {
    {kSkinKnobLevel, kParamOsc2Volume, 410, 12},
    {kSkinKnobLevel, kParamOsc3Volume, 571, 12},
    {kSkinKnobLevel, kParamDistortion, 409, 116},
    {kSkinKnob, kParamOsc1PulseWidth, 129, 12},
    {kSkinKnob, kParamAmpAttack, 3, 64},
    {kSkinKnob, kParamAmpDecay, 33, 64},
    {kSkinKnob, kParamAmpSustain, 63, 64},
    {kSkinKnob, kParamAmpRelease, 93, 64},
    {kSkinKnob, kParamAmpGain, 123, 64},
    {kSkinKnob, kParamFilterCutoff, 159, 64},
    {kSkinKnob, kParamFilterAttack, 297, 64},
    {kSkinKnob, kParamFilterDecay, 327, 64},
    {kSkinKnob, kParamFilterSustain, 357, 64},
    {kSkinKnob, kParamFilterRelease, 387, 64},
    {kSkinKnob, kParamFilterGain, 417, 64},
    {kSkinKnob, kParamUserEnvAttack, 69, 116},
    {kSkinKnob, kParamUserEnvDecay, 99, 116},
    {kSkinKnob, kParamUserEnvSustain, 129, 116},
    {kSkinKnob, kParamUserEnvRelease, 159, 116},
    {kSkinKnob, kParamUserEnvGain, 189, 116},
    {kSkinKnob, kParamVibratoDelay, 224, 116},
    {kSkinKnob, kParamGateTime, 349, 116},
    {kSkinKnobBipolar, kParamOsc1Tune, 69, 12},
    {kSkinKnobBipolar, kParamOsc2Tune, 260, 12},
    {kSkinKnobBipolar, kParamOsc2FineTune, 290, 12},
    {kSkinKnobBipolar, kParamOsc3Tune, 511, 12},
    {kSkinKnobBipolar, kParamOsc3FineTune, 541, 12},
    {kSkinKnobModulation, kParamOsc1Pwm, 159, 12},
    {kSkinKnobModulation, kParamOsc2FmAmount, 350, 12},
    {kSkinKnobModulation, kParamFilterResonance, 189, 64},
    {kSkinKnobModulation, kParamLfoDepth, 542, 64},
    {kSkinKnobModulation, kParamLfoRate, 572, 64},
    {kSkinKnobModulation, kParamVibratoDepth, 254, 116},
    {kSkinKnobModulation, kParamVibratoRate, 284, 116},
    {kSkinKnobModulation, kParamPortamento, 319, 116},
};
static_assert(std::size(kKnobs) == 35);

struct SelectorElement {
    int param;
    int cells;
    int x, y;
    int sprite[6];  // sprite column of cells 1..n in bitmap 199
};

constexpr SelectorElement kSelectors[] = {
    {kParamOsc1Wave, 6, 4, 16, {0, 23, 46, 69, 115, 138}},
    {kParamOsc2Wave, 6, 195, 16, {0, 23, 46, 92, 115, 138}},
    {kParamOsc3Wave, 6, 446, 16, {0, 23, 46, 92, 115, 138}},
    {kParamFilterType, 5, 226, 68, {207, 276, 230, 253, 299, 0}},
    {kParamUserEnvDestination, 6, 4, 120, {414, 322, 345, 368, 437, 391}},
    {kParamLfoDestination, 4, 453, 68, {345, 368, 322, 391, 0, 0}},
    {kParamLfoShape, 4, 498, 68, {0, 46, 92, 115, 0, 0}},
};

struct ToggleElement {
    int param;
    int x, y;
    int sprite;
};

constexpr ToggleElement kToggles[] = {
    {kParamOsc1KeyTrack, 103, 19, 506}, {kParamOsc2KeyTrack, 324, 19, 506}, {kParamOscSync, 385, 16, 184},
    {kParamRingMod, 385, 27, 161},      {kParamFilterKeyTrack, 268, 79, 506}, {kParamLegato, 383, 122, 506},
};

struct LampElement {
    int param;
    int x, y;
};

constexpr LampElement kLamps[] = {
    {kParamOsc2On, 429, 3}, {kParamOsc3On, 591, 3}, {kParamFilterOn, 436, 55},
    {kParamLfoOn, 591, 55}, {kParamUserEnvOn, 208, 107},
};

int32_t Live(int param) { return RelaxedLoad(g_liveKnobs[param]); }
int32_t Flag(int32_t v) { return v != 0 ? 1 : 0; }

// ---- drawing helpers -------------------------------------------------------

class Painter {
public:
    Painter(SkinBlitter& out, const PanelGeometry& g) : out_(out), g_(g) {}

    // Synthesizer-section coordinates.
    void Synth(int bitmap, int x, int y, int w, int h, int sx, int sy) {
        out_.Blit(bitmap, g_.panelX + x, g_.panelY + y, w, h, sx, sy);
    }
    // Mixer-table coordinates: (x, y) is view (x - shift, lowerPanelY + y).
    void Mixer(int bitmap, int x, int y, int w, int h, int sx, int sy) {
        out_.Blit(bitmap, x - g_.mixerShiftX, g_.lowerPanelY + y, w, h, sx, sy);
    }
    void View(int bitmap, int x, int y, int w, int h, int sx, int sy) { out_.Blit(bitmap, x, y, w, h, sx, sy); }

    void Knob(const KnobElement& k, int32_t value) {
        int frame = k.strip == kSkinKnobBipolar ? 40 - value : 80 - value;
        if (frame < 0) frame = 0;  // a value outside the knob's range shows its nearest end
        if (frame > 80) frame = 80;
        Synth(k.strip, k.x, k.y, 30, 30, 0, 30 * frame);
    }
    void Selector(const SelectorElement& s, int32_t value) {
        for (int v = 1; v <= s.cells; ++v)
            Synth(kSkinButtons, s.x + ((v - 1) / 2) * 21, s.y + ((v - 1) % 2) * 11, 22, 12, s.sprite[v - 1],
                  value == v ? 12 : 0);
    }
    void Toggle(int x, int y, int sprite, int32_t value) { Synth(kSkinButtons, x, y, 22, 12, sprite, 12 * Flag(value)); }
    void Lamp(const LampElement& l, int32_t value) { Synth(kSkinLamp, l.x, l.y, 11, 9, 0, 10 * Flag(value)); }
    void StepButtons(int x, int32_t state) {
        Synth(kSkinButtons, x, 120, 22, 12, 460, state == 1 ? 12 : 0);
        Synth(kSkinButtons, x, 131, 22, 12, 483, state == 2 ? 12 : 0);
    }
    void LargeDigits(int x, uint32_t value) {
        Synth(kSkinDigits, x, 120, 13, 21, 13 * int((value / 10) % 10), 0);
        Synth(kSkinDigits, x + 13, 120, 13, 21, 13 * int(value % 10), 0);
    }
    void SmallDigits3(int x, uint32_t value) {
        View(kSkinDigits, x, 4, 11, 17, 11 * int((value / 100) % 10), 21);
        View(kSkinDigits, x + 12, 4, 11, 17, 11 * int((value % 100) / 10), 21);
        View(kSkinDigits, x + 24, 4, 11, 17, 11 * int(value % 10), 21);
    }
    void TempoButtons(int32_t state) {
        View(kSkinFrame, 160, 4, 11, 8, 250, state == 1 ? 36 : 27);
        View(kSkinFrame, 160, 13, 11, 8, 262, state == 2 ? 36 : 27);
    }
    void TopBarButton(int i, int32_t state) {
        View(kSkinFrame, 213 + 23 * i, 2, 22, 21, 12 + 21 * i, 104 + 20 * Flag(state));
    }
    void PlayButton(int32_t playFlag, int32_t stopHeld) {
        int sy = stopHeld ? 53 : (playFlag ? 79 : 27);
        View(kSkinFrame, 10, 0, 61, 25, 12, sy);
    }
    void SongModeButton(int32_t v) { View(kSkinFrame, 38, g_.lowerPanelY + 82, 28, 11, 192, 27 + 12 * Flag(v)); }
    void PatternCueButton(int32_t v) { View(kSkinFrame, 67, g_.lowerPanelY + 82, 28, 11, 221, 27 + 12 * Flag(v)); }
    void MidiInLamp(int32_t active) {
        if (g_.soundModule)
            View(kSkinFrame, 427, 0, 43, 11, 427, active ? 256 : 228);
        else
            View(kSkinFrame, 560, 0, 55, 12, 560, active ? 28 : 0);
    }
    void MidiOutLamp(int32_t active, bool update) {
        if (g_.soundModule)
            View(kSkinFrame, 427, 11, 43, 16, 427, active ? 267 : 239);
        else if (update)
            View(kSkinFrame, 560, 13, 55, 12, 560, active ? 41 : 13);
        else
            View(kSkinFrame, 560, 12, 55, 13, 560, active ? 40 : 12);
    }

    // Mixer strip i (0..7 buses, 8 the master).
    void ChannelButton(int i, uint32_t override) {
        Mixer(kSkinMixer, 103 + 60 * i, 0, i < 8 ? 60 : 47, 10, 13 + 60 * i, 100 + 11 * Flag(int32_t(override)));
    }
    void Fader(int i, int32_t v) {
        if (v < 0) v = 0;  // the track and cap stay inside the fader's 0..56
        if (v > 56) v = 56;
        int x = i < 8 ? 109 + 60 * i : 600;
        if (56 - v > 0) Mixer(kSkinMixer, x, 12, 12, 56 - v, 109, 14);
        Mixer(kSkinMixer, x, 68 - v, 12, 23, 0, 100);
        if (v > 0) Mixer(kSkinMixer, x, 91 - v, 12, v, 109, 93 - v);
    }
    // Meter m in g_meterLevels order (0 master right, 1 master left, 9 - b bus b).
    void Meter(int m, int32_t level) {
        if (level < 0) level = 0;
        if (level > 16) level = 16;
        int x = m == 0 ? 617 : (m == 1 ? 586 : 150 + 60 * (9 - m));
        Mixer(kSkinMixer, x, 16, 9, 65, level * 10, 124);
    }
    void Pan(int i, int32_t pan) {
        int frame = 20 - pan;
        if (frame < 0) frame = 0;
        if (frame > 40) frame = 40;
        Mixer(kSkinPanKnob, 125 + 60 * i, 10, 24, 22, 0, 24 * frame + 1);
    }
    void Send(int i, int y, int32_t send) {
        int frame = 40 - send;
        if (frame < 0) frame = 0;
        if (frame > 40) frame = 40;
        Mixer(kSkinSendKnob, 125 + 60 * i, y, 24, 22, 0, 24 * frame + 1);
    }

    void SoundName(const std::string& name) {
        int pen = 601;
        for (auto it = name.rbegin(); it != name.rend(); ++it) {
            char c = *it;
            if (c >= 'A' && c <= 'Z') {
                int w = SoundNameCharWidth(c);
                pen -= w;
                Synth(kSkinNameFont, pen, 108, w, 8, (c - 'A') * 8, 0);
            } else if (c >= '0' && c <= '9') {
                int w = SoundNameCharWidth(c);
                pen -= w;
                Synth(kSkinNameFont, pen, 108, w, 8, 208 + (c - '0') * 8, 0);
            } else if (c == ' ') {
                pen -= 4;
                Synth(kSkinNameFont, pen, 108, 4, 8, 288, 0);
            }
        }
        // Blank the rest, so a shorter name leaves nothing of a longer one.
        if (pen > 377) Synth(kSkinNameFont, 377, 108, pen - 377, 8, 288, 0);
    }

    void SongPositionAndRow() {
        const bool playing = g_songPlaying != 0;
        uint32_t pos = playing ? uint32_t(g_trackSongPos[0]) : uint32_t(g_orderTop) + uint32_t(g_orderCursor);
        SmallDigits3(481, pos);
        uint32_t row = playing ? uint32_t(g_trackRow[0]) - 1u : uint32_t(g_editStep);
        if (row < 1000) SmallDigits3(521, row);
        const uint32_t spb = g_stepsPerBeat;
        bool mark = spb != 0 && row % spb == 0;
        View(kSkinDigits, 516, 4, 5, 17, mark ? 111 : 116, 21);
    }

    const PanelGeometry& Geometry() const { return g_; }

private:
    SkinBlitter& out_;
    const PanelGeometry& g_;
};

int32_t VolumeOf(int i) { return i < 8 ? int32_t(g_mixerSettings.volume[i]) : int32_t(g_mixerSettings.master); }
uint32_t OverrideOf(int i) { return i < 8 ? uint32_t(g_volumeOverrides.bus[i]) : uint32_t(g_volumeOverrides.master); }

void SetSharedTopBarButtons(bool soundModule) {
    g_topBarButtons[6] = soundModule ? int32_t(g_transmitTweaks) : int32_t(g_automationOn);
    g_topBarButtons[7] = int32_t(g_scopeOn);
}

}  // namespace

int SoundNameCharWidth(char c) {
    static constexpr int kLetters[26] = {7, 7, 7, 7, 6, 6, 7, 8, 5, 6, 7, 6, 8, 8, 7, 7, 8, 6, 7, 6, 7, 7, 8, 7, 7, 7};
    static constexpr int kDigits[10] = {7, 6, 7, 7, 8, 6, 7, 6, 6, 7};
    if (c >= 'A' && c <= 'Z') return kLetters[c - 'A'];
    if (c >= '0' && c <= '9') return kDigits[c - '0'];
    if (c == ' ') return 4;
    return 0;
}

void PaintPanelWith(SkinBlitter& out, const PanelGeometry& g) {
    Painter p(out, g);
    const bool sm = g.soundModule;

    // 1. Top bar and the frame around the synthesizer section.
    SetSharedTopBarButtons(sm);
    if (!sm) {
        p.View(kSkinFrame, 0, 0, 630, 27, 0, 0);
        p.MidiInLamp(g_midiActivity);
        p.MidiOutLamp(g_midiOutActivity, false);
        for (int i = 0; i < kTopBarButtons; ++i) p.TopBarButton(i, g_topBarButtons[i]);
        p.View(kSkinFrame, 0, 27, 12, 157, 0, 27);
        p.View(kSkinFrame, 617, 27, 13, 157, 617, 27);
        p.View(kSkinFrame, 0, 184, 630, 10, 0, 184);
        p.SongModeButton(int32_t(g_songMode));
        p.PatternCueButton(int32_t(g_patternCue));
        p.TempoButtons(g_tempoButtonState);
        p.PlayButton(int32_t(g_playFlag), g_stopButtonState);
        p.View(kSkinFrame, 0, 464, 632, 28, 0, 197);
    } else {
        p.View(kSkinFrame, 0, 0, 621, 27, 0, 228);
        p.MidiInLamp(g_midiActivity);
        p.MidiOutLamp(g_midiOutActivity, false);
        p.View(kSkinFrame, 0, 27, 8, 157, 0, 255);
        p.View(kSkinFrame, 613, 27, 8, 157, 613, 255);
        p.View(kSkinFrame, 0, 184, 46, 97, 0, 412);
        p.View(kSkinFrame, 574, 184, 47, 97, 574, 412);
        p.View(kSkinFrame, 0, 281, 621, 24, 0, 509);
        p.TempoButtons(g_tempoButtonState);
        for (int i = 0; i < kTopBarButtons; ++i) p.TopBarButton(i, g_topBarButtons[i]);
    }

    // 2. The synthesizer section.
    p.Synth(kSkinSynth, 0, 0, 605, 157, 0, 0);
    for (const LampElement& l : kLamps) p.Lamp(l, Live(l.param));
    for (const SelectorElement& s : kSelectors) p.Selector(s, Live(s.param));
    for (const ToggleElement& t : kToggles) p.Toggle(t.x, t.y, t.sprite, Live(t.param));
    for (const KnobElement& k : kKnobs) p.Knob(k, Live(k.param));
    p.LargeDigits(449, uint32_t(Live(kParamChannel)));
    p.LargeDigits(541, g_curSound);

    // 3. Tempo, song position, row and beat mark.
    p.SmallDigits3(120, g_tempoDisplay);
    if (!sm) p.SongPositionAndRow();

    // 4. The mixer section.
    if (!sm) {
        p.Mixer(kSkinMixer, 0, -2, 103, 98, 0, 0);  // the order-list box with its title
    } else {
        p.Mixer(kSkinMixer, 102, -2, 1, 98, 102, 0);  // the strips' left edge
    }
    for (int i = 0; i < 8; ++i) p.Mixer(kSkinMixer, 103 + 60 * i, -2, 60, 98, 103, 0);
    p.Mixer(kSkinMixer, 583, -2, 47, 98, 583, 0);
    for (int i = 0; i < 9; ++i) p.ChannelButton(i, OverrideOf(i));
    for (int i = 0; i < 9; ++i) p.Fader(i, VolumeOf(i));
    for (int m = 0; m < 10; ++m) p.Meter(m, g_meterLevels[m]);
    for (int i = 0; i < 8; ++i) p.Pan(i, g_mixerSettings.pan[i]);
    for (int i = 0; i < 8; ++i) {
        p.Send(i, 39, g_mixerSettings.send1[i]);
        p.Send(i, 61, g_mixerSettings.send2[i]);
    }

    // 5. The sound name.
    p.SoundName(g_curSoundName);
}

void PaintSongPositionWith(SkinBlitter& out, const PanelGeometry& g) {
    Painter p(out, g);
    p.SongPositionAndRow();
}

void UpdatePanelWith(SkinBlitter& out, const PanelGeometry& g) {
    Painter p(out, g);
    int32_t* kept = g_panelCache;
    auto changed = [&](int slot, int32_t value) {
        if (kept[slot] == value) return false;
        kept[slot] = value;
        return true;
    };

    // 1. The live knobs go into the current sound at every tick.
    StoreKnobsToSound(g_curSound);

    // 2. Tempo step buttons.
    if (changed(kCacheTempoButtons, g_tempoButtonState)) p.TempoButtons(g_tempoButtonState);

    // 3. Oscillator 3 cannot be on while oscillator 2 is off.
    if (Live(kParamOsc2On) == 0 && Live(kParamOsc3On) != 0) RelaxedStore(g_liveKnobs[kParamOsc3On], int32_t(0));

    // 4. Lamps, selectors, toggles, step buttons, the store button, the knobs.
    for (int i = 0; i < int(std::size(kLamps)); ++i)
        if (changed(kCacheLamps + i, Live(kLamps[i].param))) p.Lamp(kLamps[i], Live(kLamps[i].param));
    for (int i = 0; i < int(std::size(kSelectors)); ++i)
        if (changed(kCacheSelectors + i, Live(kSelectors[i].param))) p.Selector(kSelectors[i], Live(kSelectors[i].param));
    for (int i = 0; i < int(std::size(kToggles)); ++i) {
        const ToggleElement& t = kToggles[i];
        if (changed(kCacheToggles + i, Live(t.param))) p.Toggle(t.x, t.y, t.sprite, Live(t.param));
    }
    if (changed(kCacheChannelButtons, g_channelButtonState)) p.StepButtons(484, g_channelButtonState);
    if (changed(kCacheSoundButtons, g_soundButtonState)) p.StepButtons(576, g_soundButtonState);
    if (changed(kCacheStoreButton, g_storeButtonState)) p.Toggle(512, 122, 506, g_storeButtonState);
    for (int i = 0; i < int(std::size(kKnobs)); ++i)
        if (changed(kCacheKnobs + i, Live(kKnobs[i].param))) p.Knob(kKnobs[i], Live(kKnobs[i].param));

    // 5. Output channel and sound number.
    if (changed(kCacheOutputChannel, Live(kParamChannel))) p.LargeDigits(449, uint32_t(Live(kParamChannel)));
    const uint32_t sound = g_curSound;
    const bool soundChanged = kept[kCacheSoundNumber] != int32_t(sound);
    if (soundChanged) p.LargeDigits(541, sound);

    // 6. The one place where the panel's tempo reaches the engine.
    const uint32_t tempo = g_tempoDisplay;
    if (changed(kCacheTempo, int32_t(tempo))) {
        p.SmallDigits3(120, tempo);
        g_tempo = tempo;
    }

    // 7.-10. The mixer.
    for (int i = 0; i < 9; ++i) {
        int32_t o = int32_t(OverrideOf(i));
        if (g_shownChannelButtons[i] != o) {
            g_shownChannelButtons[i] = o;
            p.ChannelButton(i, uint32_t(o));
        }
    }
    for (int i = 0; i < 9; ++i)
        if (changed(kCacheFaders + i, VolumeOf(i))) p.Fader(i, VolumeOf(i));
    for (int m = 0; m < 10; ++m) {
        if (g_meterLevels[m] > 16) g_meterLevels[m] = 16;
        int32_t level = g_meterLevels[m];
        if (changed(kCacheMeters + m, level)) p.Meter(m, level);
    }
    for (int i = 0; i < 8; ++i) {
        if (changed(kCachePans + i, g_mixerSettings.pan[i])) p.Pan(i, g_mixerSettings.pan[i]);
        if (changed(kCacheSends1 + i, g_mixerSettings.send1[i])) p.Send(i, 39, g_mixerSettings.send1[i]);
        if (changed(kCacheSends2 + i, g_mixerSettings.send2[i])) p.Send(i, 61, g_mixerSettings.send2[i]);
    }

    // 11. The sound name, when the sound number changed (or its kept value was
    // forced) or the name is not the text last drawn; then both count as shown.
    if (soundChanged || g_curSoundName != g_shownSoundName) {
        p.SoundName(g_curSoundName);
        g_shownSoundName = g_curSoundName;
    }
    kept[kCacheSoundNumber] = int32_t(sound);
}

void UpdateTopBarWith(SkinBlitter& out, const PanelGeometry& g) {
    Painter p(out, g);
    const bool sm = g.soundModule;
    // The two MIDI activity lamps: drawn before the shared buttons in the full
    // layouts and after them in the sound-module layout.
    auto midiLamps = [&p] {
        const int32_t in = g_midiActivity, outAct = g_midiOutActivity;
        if (in != g_shownMidiActivity) {
            p.MidiInLamp(in);
            g_shownMidiActivity = in;
        }
        if (outAct != g_shownMidiOutActivity) {
            p.MidiOutLamp(outAct, true);
            g_shownMidiOutActivity = outAct;
        }
    };
    if (!sm) {
        const int32_t play = int32_t(g_playFlag), stop = g_stopButtonState;
        if (play != g_shownPlayFlag || stop != g_shownStopButton) {
            p.PlayButton(play, stop);
            g_shownPlayFlag = play;
            g_shownStopButton = stop;
        }
        const int32_t songMode = int32_t(g_songMode), cue = int32_t(g_patternCue);
        if (songMode != g_shownSongMode) {
            p.SongModeButton(songMode);
            g_shownSongMode = songMode;
        }
        if (cue != g_shownPatternCue) {
            p.PatternCueButton(cue);
            g_shownPatternCue = cue;
        }
        midiLamps();
    }
    SetSharedTopBarButtons(sm);
    for (int i = 0; i < kTopBarButtons; ++i) {
        const int32_t s = g_topBarButtons[i];
        if (s != g_shownTopBarButtons[i]) {
            p.TopBarButton(i, s);
            g_shownTopBarButtons[i] = s;
        }
    }
    if (sm) midiLamps();
}
