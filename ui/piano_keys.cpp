#include "ui/piano_keys.h"

#include <cstring>

#include "engine/event_queue.h"
#include "host/synth_app.h"
#include "shared/app_settings.h"
#include "shared/editor.h"
#include "shared/song.h"
#include "shared/sound_bank.h"
#include "ui/pattern_cells.h"
#include "ui/pattern_undo.h"
#include "ui/view_keys.h"

namespace {

constexpr uint8_t kComma = VK_OEM_COMMA, kPeriod = VK_OEM_PERIOD, kSemicolon = VK_OEM_1, kSlash = VK_OEM_2,
                  kQuote = VK_OEM_7, kOpenBracket = VK_OEM_4, kCloseBracket = VK_OEM_6;

enum Layout { kOneRow = 0, kTrackerLower = 3, kTrackerUpper = 6 };

// German 0x07 and French 0x0C by the system language's primary id; else English.
int LanguageIndex() {
    switch (g_langId & 0x3FF) {
    case 0x07: return 1;
    case 0x0C: return 2;
    default: return 0;
    }
}

uint32_t LowerEntries() {
    return g_octave >= 8 ? 12u : g_noteKeyCount;
}
uint32_t UpperEntries() {
    const uint32_t octave = g_octave;
    return octave >= 8 ? 0u : octave == 7 ? 12u : 20u;
}

// One note key: n is the note it plays in the current octave.
void PlayNoteKey(uint32_t n, KeyView& view) {
    const bool shift = g_shiftDown != 0;
    if (PatternWritable()) {
        PushPatternUndo();
        MarkDocument(view);
        if (shift) {
            SetCursorDigit(static_cast<uint8_t>(kNoteKeyChange + n));
        } else {
            SetCursorDigit(static_cast<uint8_t>(n));
            const int32_t sound = RecordSoundChange();
            QueueNoteOn(static_cast<uint8_t>(sound != 0 ? sound : int32_t(g_curSound)), n);
        }
        StepDown();
    } else if (!shift) {
        // Only heard: the same choice of sound, nothing written.
        const int32_t sound = RecordSoundChange();
        QueueNoteOn(static_cast<uint8_t>(sound != 0 ? sound : int32_t(g_curSound)), n);
    }
    g_selExtending = 0;
    view.ShowPatternGrid();
}

// The octave a key chooses, or -1: main-keyboard digits 0..8 outside tracker
// style (its digit row holds note keys), keypad digits 0..8 always.
int OctaveOfKey(UINT vk) {
    if (vk >= '0' && vk <= '8' && g_trackerStyle == 0) return int(vk - '0');
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD0 + 8) return int(vk - VK_NUMPAD0);
    return -1;
}

void OctaveKey(uint32_t octave, KeyView& view) {
    g_octave = octave;
    if (PatternWritable()) {
        const uint8_t note = GetCursorDigit();
        if ((note & 127) <= 108) {
            PushPatternUndo();
            MarkDocument(view);
            SetCursorDigit(static_cast<uint8_t>((note & 127) % 12 + 12 * octave + (note & 128)));
            StepDown();
        }
    }
    g_selExtending = 0;
    view.ShowPatternGrid();
}

}  // namespace

// clang-format off
const uint8_t g_noteKeyLayouts[kNoteKeyLayouts][kNoteKeyEntries] = {
    {'A', 'W', 'S', 'E', 'D', 'F', 'T', 'G', 'Y', 'H', 'U', 'J', 'K', 'O', 'L', 'P', kSemicolon, kQuote},
    {'A', 'W', 'S', 'E', 'D', 'F', 'T', 'G', 'Z', 'H', 'U', 'J', 'K', 'O', 'L', 'P', kSemicolon, kQuote},
    {'Q', 'Z', 'S', 'E', 'D', 'F', 'T', 'G', 'Y', 'H', 'U', 'J', 'K', 'O', 'L', 'P', kSemicolon, kQuote},
    {'Z', 'S', 'X', 'D', 'C', 'V', 'G', 'B', 'H', 'N', 'J', 'M', kComma, 'L', kPeriod, kSemicolon, kSlash},
    {'Y', 'S', 'X', 'D', 'C', 'V', 'G', 'B', 'H', 'N', 'J', 'M', kComma, 'L', kPeriod, kSemicolon, kSlash},
    {'W', 'S', 'X', 'D', 'C', 'V', 'G', 'B', 'H', 'N', 'J', 'M', kComma, 'L', kPeriod, kSemicolon, kSlash},
    {'Q', '2', 'W', '3', 'E', 'R', '5', 'T', '6', 'Y', '7', 'U', 'I', '9', 'O', '0', 'P', kOpenBracket, 0, kCloseBracket},
    {'Q', '2', 'W', '3', 'E', 'R', '5', 'T', '6', 'Z', '7', 'U', 'I', '9', 'O', '0', 'P', kOpenBracket, 0, kCloseBracket},
    {'A', '2', 'Z', '3', 'E', 'R', '5', 'T', '6', 'Y', '7', 'U', 'I', '9', 'O', '0', 'P', kOpenBracket, 0, kCloseBracket},
};
// clang-format on

uint8_t g_noteKeys[18];
uint32_t g_noteKeyCount = 18;
uint8_t g_noteKeysUpper[20];
Relaxed<uint32_t> g_octave{4};

void BuildNoteKeyMap() {
    const int language = LanguageIndex();
    if (g_trackerStyle != 0) {
        std::memcpy(g_noteKeys, g_noteKeyLayouts[kTrackerLower + language], 17);
        std::memcpy(g_noteKeysUpper, g_noteKeyLayouts[kTrackerUpper + language], 20);
        g_noteKeyCount = 17;
    } else {
        std::memcpy(g_noteKeys, g_noteKeyLayouts[kOneRow + language], 18);
        g_noteKeyCount = 18;
    }
}

bool PianoKeyDown(UINT vk, KeyView& view) {
    if (vk == 0) return false;
    bool handled = false;
    const uint32_t octave = g_octave;
    const uint32_t lower = LowerEntries();
    for (uint32_t i = 0; i < lower; ++i)
        if (g_noteKeys[i] == vk) {
            PlayNoteKey(i + 12 * octave, view);
            handled = true;
        }
    if (g_trackerStyle != 0) {
        const uint32_t upper = UpperEntries();
        for (uint32_t i = 0; i < upper; ++i)
            if (g_noteKeysUpper[i] == vk) {
                PlayNoteKey(12 + i + 12 * octave, view);
                handled = true;
            }
    }
    if (handled) return true;
    if (const int o = OctaveOfKey(vk); o >= 0) {
        OctaveKey(uint32_t(o), view);
        return true;
    }
    return false;
}

void PianoKeyUp(UINT vk) {
    if (vk == 0) return;
    const uint32_t lower = LowerEntries();
    for (uint32_t i = 0; i < lower; ++i)
        if (g_noteKeys[i] == vk) QueueNoteOff();
    if (g_trackerStyle != 0) {
        const uint32_t upper = g_octave >= 8 ? 12u : 20u;
        for (uint32_t i = 0; i < upper; ++i)
            if (g_noteKeysUpper[i] == vk) QueueNoteOff();
    }
}
