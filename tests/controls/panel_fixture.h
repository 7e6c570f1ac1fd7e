// Shared set-up of the panel mouse tests: a fresh song and sound bank (from the
// editor tests' fixture), a view that records what the press asks of it, the
// three layouts, and the press and release state cleared.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "host/audio_device.h"
#include "host/synth_app.h"
#include "platform/gdi.h"
#include "shared/app_settings.h"
#include "shared/mixer.h"
#include "shared/samples.h"
#include "shared/settings.h"
#include "shared/transport.h"
#include "tests/editor/editor_fixture.h"
#include "ui/active_value.h"
#include "ui/knob_drag.h"
#include "ui/knob_midi_out.h"
#include "ui/panel_controls.h"
#include "ui/panel_press.h"
#include "ui/panel_state.h"
#include "ui/view_globals.h"

// A view that notes every call; the tip is a window only when `tipExists`.
class RecordingPanel final : public PanelView {
public:
    void UpdatePanel() override { Note("panel"); }
    void UpdateTopBar() override { Note("topbar"); }
    void ShowPatternGrid() override { Note("grid"); }
    void ShowSongOrderList() override { Note("order"); }
    void SetModifiedFlag(bool modified) override {
        Note(modified ? "modified on" : "modified off");
        ++marks;
    }
    void SetCapture() override {
        Note("capture");
        captured = true;
    }
    void ReleaseCapture() override {
        Note("release capture");
        captured = false;
    }
    void OnFileSongInfo() override { Note("song info"); }
    void OnSoundsSamples() override {
        Note("samples");
        if (onSamples) onSamples();
    }
    void OnSoundsSampleSplits() override { Note("splits"); }
    void OnSoundsEffects() override { Note("effects"); }
    void OnOptionsPreferences() override { Note("preferences"); }
    void OnOptionsMidiMapper() override { Note("midi mapper"); }
    void OnOptionsAutomation() override { Note("automation"); }
    void OnOptionsOscilloscope() override { Note("oscilloscope"); }
    void OnOptionsTransmitTweaks() override { Note("transmit tweaks"); }
    void EditSoundName() override { Note("sound name"); }
    void RunSelectSampleDialog() override {
        Note("select sample");
        if (onSelectSample) onSelectSample();
    }
    bool ValueTipExists() override { return tipExists; }
    void ShowValueTip(int x, int y) override {
        Note("show tip");
        tipShown = true;
        tipX = x;
        tipY = y;
    }
    void HideValueTip() override {
        Note("hide tip");
        tipShown = false;
    }
    void SetValueTipText(const std::string& text) override { tipText = text; }

    void Note(const std::string& what) { calls.push_back(what); }
    int Count(const std::string& what) const {
        int n = 0;
        for (const auto& c : calls) n += c == what;
        return n;
    }
    bool Called(const std::string& what) const { return Count(what) != 0; }

    std::vector<std::string> calls;
    int marks = 0;
    bool captured = false;
    bool tipExists = true;
    bool tipShown = false;
    int tipX = 0, tipY = 0;
    std::string tipText;
    std::function<void()> onSamples, onSelectSample;
};

enum class Layout { kNormal, kLarge, kSoundModule };

inline const char* LayoutName(Layout l) {
    return l == Layout::kNormal ? "normal" : l == Layout::kLarge ? "large" : "sound module";
}

class PanelTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        UseLayout(Layout::kNormal);
        g_storeAutomatically = 1;
        g_saveChanges = 1;
        g_freeAudioDevWhenStopped = 0;
        g_playFlag = 0;
        g_songPlaying = 0;
        g_engineReset = 0;
        g_releaseDevicePending = 0;
        g_masterMute = 0;
        g_tempoDisplay = 120;
        g_sampleCount = 0;
        g_soundEdited = 0;
        g_keepSoundEdits = 0;
        g_lastTweakData = 0;
        GetAppServices().openAudioDevice = [] { return true; };
        for (auto& b : g_topBarButtons) b = 0;
        for (auto* s : {&g_stopButtonState, &g_tempoButtonState, &g_channelButtonState, &g_soundButtonState,
                        &g_storeButtonState})
            *s = 0;
        for (int c = 0; c < kBuses; ++c) {
            g_mixerSettings.volume[c] = 40;
            g_mixerSettings.pan[c] = 0;
            g_mixerSettings.send1[c] = 0;
            g_mixerSettings.send2[c] = 0;
            g_volumeOverrides.bus[c] = 0;
        }
        g_mixerSettings.master = 40;
        g_volumeOverrides.master = 0;
        g_songMode = 1;
        g_patternCue = 0;
        ClearPress();
    }
    void TearDown() override {
        ClearPress();
        g_soundModuleMode = 0;
        UseLayout(Layout::kNormal);
        GetAppServices().openAudioDevice = nullptr;
        EditorTest::TearDown();
    }

    static void ClearPress() {
        g_activeValuePtr = nullptr;
        g_panelDragActive = 0;
        g_panelDragKind = 0;
        g_repeatActive = 0;
        g_valueTipMode = 0;
    }

    // The layout values the view's constructor sets.
    static void UseLayout(Layout l) {
        g_soundModuleMode = l == Layout::kSoundModule ? 1 : 0;
        g_panelX = l == Layout::kSoundModule ? 8 : 12;
        g_panelY = 27;
        g_mixerShiftX = l == Layout::kSoundModule ? 56 : 0;
        g_lowerPanelY = l == Layout::kNormal ? 336 : l == Layout::kLarge ? 368 : 185;
    }

    // View points of a row's centre (synthesizer rows in the section unless in
    // view coordinates; mixer rows from mixer space).
    static CPoint SynthCentre(int row) {
        const PanelControl& c = g_panelControls[size_t(row)];
        const bool view = PanelRowInViewCoordinates(row);
        return {(c.left + c.right) / 2 + (view ? 0 : g_panelX), (c.top + c.bottom) / 2 + (view ? 0 : g_panelY)};
    }
    static CPoint SynthPoint(int row, int dx, int dy) {
        const PanelControl& c = g_panelControls[size_t(row)];
        const bool view = PanelRowInViewCoordinates(row);
        return {c.left + dx + (view ? 0 : g_panelX), c.top + dy + (view ? 0 : g_panelY)};
    }
    static CPoint MixerToView(int mx, int my) { return {mx - g_mixerShiftX, my - kMixerSpaceTop + g_lowerPanelY}; }
    static CPoint MixerCentre(int row) {
        const PanelControl& c = g_mixerControls[size_t(row)];
        return MixerToView((c.left + c.right) / 2, (c.top + c.bottom) / 2);
    }

public:
    void Press(CPoint p) { PanelButtonDown(view, p.x, p.y); }
    void Move(CPoint p, UINT flags = MK_LBUTTON) { PanelMouseMove(view, flags, p.x, p.y); }
    void Release() { PanelButtonUp(view); }
    void Click(CPoint p) {
        Press(p);
        Release();
    }

protected:
    static int32_t Live(SoundParam p) { return g_liveKnobs[p]; }

    RecordingPanel view;
};
