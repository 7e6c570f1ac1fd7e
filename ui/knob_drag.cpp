#include "ui/knob_drag.h"

#include <algorithm>
#include <cstdio>

#include "shared/app_settings.h"
#include "ui/active_value.h"
#include "ui/knob_midi_out.h"
#include "ui/panel_controls.h"
#include "ui/panel_press.h"
#include "ui/panel_state.h"
#include "ui/view_globals.h"

//                                         0  1    2  3  4  5  6  7  8  9  10   11  12
const int32_t g_dragMin[kControlKinds] = {0, -40, 0, 0, 0, 0, 0, 0, 0, 0, -20, 0, 0};
const int32_t g_dragMax[kControlKinds] = {1, 40, 80, 0, 0, 0, 0, 0, 0, 0, 20, 40, 56};

int32_t g_valueTipMode = 0;

namespace {

// "%lu%%" of a product, truncated toward zero.
std::string Percent(bool negative, double product) {
    char text[80];
    std::snprintf(text, sizeof text, negative ? "-%lu%%" : "%lu%%", static_cast<unsigned long>(product));
    return text;
}

}  // namespace

std::string PercentText(int32_t mode, int32_t v) {
    switch (mode) {
    case 1: return v >= 0 ? Percent(false, v * 2.5) : Percent(true, -double(v) * 2.5);
    case 2: return Percent(false, v * 1.25);
    case 3: {
        const int64_t exact = int64_t(v) * 5;
        char text[80];
        if (exact >= 0) std::snprintf(text, sizeof text, "%lu%%", static_cast<unsigned long>(exact));
        else std::snprintf(text, sizeof text, "-%lu%%", static_cast<unsigned long>(-exact));
        return text;
    }
    case 4: return Percent(false, v * 2.5);
    case 5: return Percent(false, v * 1.801801801802);
    default: return {};
    }
}

void FormatPercentText(PanelView& view) {
    if (g_valueTipMode == 0) return;
    const std::string text = PercentText(g_valueTipMode, g_activeValue);
    if (view.ValueTipExists()) view.SetValueTipText(text);
}

void PanelMouseMove(PanelView& view, UINT flags, int32_t /*x: a drag goes by y alone*/, int32_t y) {
    if ((flags & MK_LBUTTON) == 0) {
        PanelButtonUp(view);
        return;
    }
    void* target = g_activeValuePtr;
    if (g_panelDragActive && target != nullptr) {
        const int32_t kind = g_panelDragKind;
        int32_t moved = 0;
        bool drags = true;
        switch (kind) {
        case kCtlBipolarKnob:
        case kCtlKnob: moved = g_panelDragStartY - y; break;
        case kCtlPanKnob:
        case kCtlSendKnob:
        case kCtlFader: moved = g_panelDragStartY - MixerSpaceY(y); break;
        default: drags = false; break;
        }
        if (drags) {
            const int32_t v = std::clamp(g_panelDragStartValue + moved, g_dragMin[kind], g_dragMax[kind]);
            const int32_t old = ReadActiveValue(target);
            g_activeValue = v;
            WriteActiveValue(target, v);
            TransmitControlTweak(kind, target, v, v != old);
            MarkPanelSound(view);
            view.UpdatePanel();
        }
    }
    FormatPercentText(view);
}
