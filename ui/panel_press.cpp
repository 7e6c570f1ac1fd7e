#include "ui/panel_press.h"

#include "data/sound_bank_ops.h"
#include "shared/app_settings.h"
#include "shared/editor.h"
#include "shared/samples.h"
#include "shared/settings.h"
#include "shared/song.h"
#include "shared/sound_bank.h"
#include "shared/transport.h"
#include "ui/active_value.h"
#include "ui/knob_drag.h"
#include "ui/knob_midi_out.h"
#include "ui/panel_controls.h"
#include "ui/panel_state.h"
#include "ui/pattern_undo.h"
#include "ui/sample_organizer_dlg.h"
#include "ui/select_sample_dlg.h"
#include "ui/transport.h"
#include "ui/view_globals.h"

int32_t g_panelDragKind = 0;
uint8_t g_panelDragActive = 0;
int32_t g_panelDragStartX = 0;
int32_t g_panelDragStartY = 0;
int32_t g_panelDragStartValue = 0;
Relaxed<uint8_t> g_keepSoundEdits{0};

namespace {

// Top bar: nine buttons 23 pixels apart, strict bounds.
constexpr int kTopBarFirstLeft = 214;
constexpr int kTopBarPitch = 23;
constexpr int kTopBarStopButton = 8;
constexpr int kTopBarAutomationButton = 6;

// The fader's handle: 23 pixels tall, its top 56 - v pixels below the fader's top.
constexpr int32_t kFaderTravel = 56;
constexpr int32_t kFaderHandle = 23;

// The cell of a selector display pressed at (x, y): 21 x 11 cells numbered
// down each column first, from 1.
int32_t SelectorCell(int32_t x, int32_t y, int32_t left, int32_t top) {
    return ((x - left) / 21) * 2 + (y - top) / 11 + 1;
}

bool SoundModuleLayout() { return g_soundModuleMode != 0; }

void RepaintTopBar(PanelView& view) { view.UpdateTopBar(); }

bool TopBarButton(PanelView& view, int32_t x, int32_t y) {
    if (!(3 < y && y < 22)) return false;
    for (int i = 0; i < kTopBarButtons; ++i) {
        const int left = kTopBarFirstLeft + kTopBarPitch * i;
        if (!(left < x && x < left + 20)) continue;
        if (i == kTopBarStopButton) {
            g_topBarButtons[i] = 1;
            RunTransport(TransportCommand::kStopButton, [&view] { RepaintTopBar(view); });
        } else if (i == kTopBarAutomationButton && SoundModuleLayout()) {
            view.OnOptionsTransmitTweaks();
            view.UpdatePanel();
        } else {
            g_topBarButtons[i] = 1;
            view.UpdatePanel();
            switch (i) {
            case 0: view.OnFileSongInfo(); break;
            case 1: view.OnSoundsSamples(); break;
            case 2: view.OnSoundsSampleSplits(); break;
            case 3: view.OnSoundsEffects(); break;
            case 4: view.OnOptionsPreferences(); break;
            case 5: view.OnOptionsMidiMapper(); break;
            case 6:
                view.OnOptionsAutomation();
                view.UpdateTopBar();
                break;
            default: view.OnOptionsOscilloscope(); break;
            }
        }
        return true;
    }
    return false;
}

int32_t Live(SoundParam p) { return RelaxedLoad(g_liveKnobs[p]); }
void SetLive(SoundParam p, int32_t v) { RelaxedStore(g_liveKnobs[p], v); }

// Waveform 6 of an oscillator: the sample it plays, or a key-split set.
void ChooseSample(PanelView& view, int osc) {
    const auto sample = SoundParam(kParamOsc1Sample + osc);
    const auto split = SoundParam(kParamOsc1SplitSet + osc);
    const auto wave = SoundParam(osc == 0 ? kParamOsc1Wave : osc == 1 ? kParamOsc2Wave : kParamOsc3Wave);
    if (g_sampleCount == 0) {
        g_organizerQuickLoad = 1;
        view.OnSoundsSamples();
    }
    if (g_sampleCount != 0) {
        g_selectedSampleOrSplit = Live(split) != 0 ? Live(split) + kSplitChoiceBase : Live(sample);
        static constexpr int32_t kOffsets[3] = {20, 211, 410};
        g_selectSampleOffsetX = kOffsets[osc];
        view.RunSelectSampleDialog();
        const int32_t choice = g_selectedSampleOrSplit;
        if (choice >= kSplitChoiceBase) {
            SetLive(sample, 255);
            SetLive(split, choice - kSplitChoiceBase);
        } else {
            SetLive(sample, choice);
            SetLive(split, 0);
        }
    } else {
        SetLive(wave, 1);
    }
}

// A knob or fader pressed: the press point, the value at the press, and the
// tip at (tipX, tipY) of the view showing it in tip mode `tipMode`.
void HoldValue(PanelView& view, const PanelControl& c, int32_t px, int32_t py, int tipX, int tipY,
               int32_t tipMode) {
    g_panelDragStartX = px;
    g_panelDragStartY = py;
    if (c.target) {
        g_panelDragStartValue = ReadActiveValue(c.target);
        g_activeValue = g_panelDragStartValue;
    }
    if (view.ValueTipExists()) {
        view.ShowValueTip(tipX, tipY);
        g_valueTipMode = tipMode;
        FormatPercentText(view);
    }
}

// The view's left and top of a mixer control.
int32_t MixerViewLeft(const PanelControl& c) { return c.left - g_mixerShiftX; }
int32_t MixerViewTop(const PanelControl& c) { return c.top - kMixerSpaceTop + g_lowerPanelY; }

void PressKnob(PanelView& view, const PanelControl& c, int row, int32_t x, int32_t y) {
    g_panelDragActive = 1;
    HoldValue(view, c, x, y, PanelRowViewLeft(row) - 5, PanelRowViewTop(row) - 19, c.kind == kCtlBipolarKnob ? 1 : 2);
}

void PressSelector(PanelView& view, const PanelControl& c, int row, int32_t x, int32_t y) {
    const int32_t value = SelectorCell(x, y, PanelRowViewLeft(row), PanelRowViewTop(row));
    if (c.kind == kCtlSelector) {
        MarkPanelDocument(view);
    } else if (value == 6) {  // FILTER mode: the cell of the FILTER kbd switch
        view.UpdatePanel();
        return;
    }
    const int32_t old = ReadActiveValue(c.target);
    WriteActiveValue(c.target, value);
    TransmitControlTweak(c.kind, c.target, value, value != old);
    MarkPanelSound(view);
    view.UpdatePanel();
    if (c.kind == kCtlSelector && value == 6 && row >= kRowOsc1Wave && row < kRowOsc1Wave + 3)
        ChooseSample(view, row - kRowOsc1Wave);
}

void PressToggle(PanelView& view, const PanelControl& c, int row) {
    if (c.target == nullptr) return;
    const int32_t old = ReadActiveValue(c.target);
    int32_t value = old == 0 ? 1 : 0;
    if (row == kRowOsc2Strip) {
        if (value == 0) WriteActiveValue(g_panelControls[kRowOsc3Strip].target, 0);
    } else if (row == kRowOsc3Strip && ReadActiveValue(g_panelControls[kRowOsc2Strip].target) == 0) {
        value = old;
    }
    WriteActiveValue(c.target, value);
    TransmitControlTweak(c.kind, c.target, value, value != old);
    MarkPanelSound(view);
    view.UpdatePanel();
}

void PressStep(PanelView& view, const PanelControl& c) {
    if (c.target == nullptr) return;
    const bool up = c.kind == kCtlStepUp;
    g_repeatDelay = 6;
    g_repeatActive = 1;
    g_repeatDirection = up ? 1 : 2;
    if (!up) g_repeatMin = 1;
    const int32_t state = up ? 1 : 2;
    if (c.target == &g_liveKnobs[kParamChannel]) {
        g_channelButtonState = state;
        if (up) g_repeatMax = 8;
        MarkPanelSound(view);
    } else if (ActiveValueIsCurrentSound(c.target)) {
        g_soundEdited = 0;
        g_soundButtonState = state;
        if (up) g_repeatMax = 99;
        if (g_storeAutomatically == 0) {
            if (g_keepSoundEdits == 0) {
                StoreUndoKnobsToSound(g_curSound);
            } else {
                g_keepSoundEdits = 0;
                MarkPanelDocument(view);
            }
        }
    } else if (c.target == &g_tempoDisplay) {
        g_tempoButtonState = state;
        if (up) g_repeatMax = 400;
        else g_repeatMin = 60;
    }
    const int32_t old = ReadActiveValue(c.target);
    int32_t value = old;
    if (up) {
        if (value < g_repeatMax) ++value;
    } else if (value > g_repeatMin) {
        --value;
    }
    WriteActiveValue(c.target, value);
    if (ActiveValueIsCurrentSound(c.target)) LoadSoundToKnobs(g_curSound);
    // The tempo is saved with the song.
    if (c.target == &g_tempoDisplay && value != old) MarkPanelDocument(view);
    view.UpdatePanel();
}

void PressStore(PanelView& view, const PanelControl& c) {
    if (c.target == nullptr) return;
    g_storeButtonState = 1;
    g_keepSoundEdits = 1;
    view.UpdatePanel();
    MarkPanelDocument(view);
}

void PressTransport(PanelView& view, const PanelControl& c) {
    if (SoundModuleLayout()) return;
    if (c.target == &g_playFlag) {
        RunTransport(TransportCommand::kPlayButton, [&view] { RepaintTopBar(view); });
    } else if (c.target == &g_stopButtonState) {
        g_stopButtonState = 1;
        RunTransport(TransportCommand::kStopButton, [&view] { RepaintTopBar(view); });
    }
}

void PressSynthRow(PanelView& view, int row, int32_t x, int32_t y) {
    const PanelControl& c = g_panelControls[size_t(row)];
    g_panelDragKind = c.kind;
    g_activeValuePtr = c.target;
    switch (c.kind) {
    case kCtlTransport: PressTransport(view, c); break;
    case kCtlBipolarKnob:
    case kCtlKnob: PressKnob(view, c, row, x, y); break;
    case kCtlSelector:
    case kCtlSelector5: PressSelector(view, c, row, x, y); break;
    case kCtlToggle: PressToggle(view, c, row); break;
    case kCtlStepUp:
    case kCtlStepDown: PressStep(view, c); break;
    case kCtlStore: PressStore(view, c); break;
    case kCtlSoundName: view.EditSoundName(); break;
    default: break;
    }
}

// The pattern grid: the note sub-column of the visible track under x, within
// the tracks the polyphony lets sound; the boundary pixels hit nothing.
void PressPatternGrid(PanelView& view, int32_t x) {
    if (g_songOrder[(g_orderTop + g_orderCursor) % kOrderPositions] > 100) return;
    int32_t column = -1;
    const uint32_t poly = g_polyphony;
    if (x < 111) column = 6;
    else if (poly > 0 && 111 < x && x < 193) column = 13;
    else if (poly > 0 && 193 < x && x < 275) column = 20;
    else if (poly > 0 && 275 < x && x < 357) column = 27;
    else if (poly > 1 && 357 < x && x < 439) column = 34;
    else if (poly > 1 && 439 < x && x < 521) column = 41;
    else if (poly > 1 && x > 521) column = 48;
    if (column < 0) return;
    g_cursorColumn = uint32_t(column);
    g_editStep = 0;
    g_selExtending = 0;
    g_patternFocus = 1;
    view.ShowPatternGrid();
    view.ShowSongOrderList();
}

void PressMixerKnob(PanelView& view, const PanelControl& c, int32_t mx, int32_t my) {
    g_panelDragActive = 1;
    HoldValue(view, c, mx, my, MixerViewLeft(c) - 7, MixerViewTop(c) - 19, c.kind == kCtlPanKnob ? 3 : 4);
}

void PressFader(PanelView& view, const PanelControl& c, int32_t mx, int32_t my) {
    HoldValue(view, c, mx, my, MixerViewLeft(c) - 7, MixerViewTop(c) - 16, 5);
    const int32_t v = ReadActiveValue(c.target);
    const int32_t d = my - c.top;
    int32_t stepped;
    if (d < kFaderTravel - v) {
        stepped = v + 1;
    } else if (d > kFaderTravel - v + kFaderHandle) {
        stepped = v - 1;
    } else {
        g_panelDragActive = 1;
        return;
    }
    g_panelDragStartValue = stepped;
    MarkPanelDocument(view);
    WriteActiveValue(c.target, stepped);
    TransmitControlTweak(c.kind, c.target, stepped, true);
    g_activeValue = stepped;
    FormatPercentText(view);
}

void PressMixerRow(PanelView& view, const PanelControl& c, int32_t mx, int32_t my) {
    g_panelDragKind = c.kind;
    g_activeValuePtr = c.target;
    switch (c.kind) {
    case kCtlPanKnob:
    case kCtlSendKnob: PressMixerKnob(view, c, mx, my); break;
    case kCtlFader: PressFader(view, c, mx, my); break;
    case kCtlMixerToggle:
        if (c.target == nullptr) break;
        WriteActiveValue(c.target, ReadActiveValue(c.target) == 0 ? 1 : 0);
        MarkPanelDocument(view);
        view.UpdatePanel();
        view.UpdateTopBar();
        break;
    default: break;
    }
}

}  // namespace

void MarkPanelDocument(PanelView& view) { view.SetModifiedFlag(g_saveChanges != 0); }

void MarkPanelSound(PanelView& view) {
    g_soundEdited = 1;
    if (g_storeAutomatically != 0) MarkPanelDocument(view);
}

void PanelButtonDown(PanelView& view, int32_t x, int32_t y) {
    view.SetCapture();
    if (TopBarButton(view, x, y)) return;

    for (int row = 0; row < kPanelControlRows; ++row) {
        const PanelControl& c = g_panelControls[size_t(row)];
        const int32_t dx = PanelRowInViewCoordinates(row) ? 0 : g_panelX;
        const int32_t dy = PanelRowInViewCoordinates(row) ? 0 : g_panelY;
        if (c.Contains(x - dx, y - dy)) PressSynthRow(view, row, x, y);
    }

    if (!SoundModuleLayout() && 194 < y && y < g_lowerPanelY) {
        PressPatternGrid(view, x);
        return;
    }

    const int32_t mx = MixerSpaceX(x);
    const int32_t my = MixerSpaceY(y);
    if (!SoundModuleLayout() && 7 < mx && mx < 95 && 354 < my && my < 414) {
        LeavePatternGrid();
        view.ShowPatternGrid();
        view.ShowSongOrderList();
        return;
    }
    for (const PanelControl& c : g_mixerControls)
        if (c.Contains(mx, my)) PressMixerRow(view, c, mx, my);
}

void PanelButtonUp(PanelView& view) {
    view.ReleaseCapture();
    g_valueTipMode = 0;
    if (view.ValueTipExists()) view.HideValueTip();
    g_lastTweakData = -1;
    g_panelDragActive = 0;
    g_repeatActive = 0;
    g_activeValuePtr = nullptr;
    g_channelButtonState = 0;
    g_soundButtonState = 0;
    g_tempoButtonState = 0;
    g_storeButtonState = 0;
    g_stopButtonState = 0;
    g_topBarButtons[kTopBarStopButton] = 0;
    view.UpdatePanel();
    view.UpdateTopBar();
}
