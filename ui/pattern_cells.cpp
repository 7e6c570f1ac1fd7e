#include "ui/pattern_cells.h"

#include "shared/app_settings.h"
#include "shared/editor.h"
#include "shared/song.h"
#include "shared/sound_bank.h"

namespace {

constexpr uint8_t kSoundChange = 2;

// The byte of one track, plane and row, or null when the row or track lies
// outside the pattern (the cursor words are shared with the MIDI thread, so
// they are checked here rather than trusted).
uint8_t* CellByte(uint8_t* pattern, uint32_t track, uint32_t plane, uint32_t step) {
    const uint32_t length = g_patternLength;
    if (pattern == nullptr || track >= static_cast<uint32_t>(kVoices) || step >= length) return nullptr;
    return pattern + PatternIndex(track, plane, step, length);
}

uint8_t Read(const uint8_t* b) { return RelaxedLoad(*b); }
void Write(uint8_t* b, uint8_t v) { RelaxedStore(*b, v); }

uint8_t DigitOf(uint8_t byte, uint32_t sub) {
    switch (sub) {
    case 0: return byte >> 4;
    case 3: return byte & 0x0F;
    case 1:
    case 4: return byte / 10;
    case 2:
    case 5: return byte % 10;
    default: return byte;
    }
}

uint8_t WithDigit(uint8_t byte, uint32_t sub, uint8_t v) {
    switch (sub) {
    case 0: return static_cast<uint8_t>((byte & 0x0F) | (v << 4));
    case 3: return static_cast<uint8_t>((byte & 0xF0) | (v & 0x0F));
    case 1:
    case 4: return static_cast<uint8_t>(v * 10 + byte % 10);
    case 2:
    case 5: return static_cast<uint8_t>(byte / 10 * 10 + v);
    default: return v;
    }
}

// The byte under the cursor and its sub-column, or null.
uint8_t* CursorByte(uint32_t& sub) {
    uint8_t* pattern = EditedPatternData();
    const uint32_t column = g_cursorColumn;
    sub = column % 7;
    return CellByte(pattern, g_firstTrack + column / 7, kSubColumnPlane[sub], g_editStep);
}

}  // namespace

uint8_t* EditedPatternData() {
    const uint32_t position = g_orderTop + g_orderCursor;
    if (position >= static_cast<uint32_t>(kOrderPositions)) return nullptr;
    const uint8_t entry = RelaxedLoad(g_songOrder[position]);
    if (entry >= kMaxPatterns) return nullptr;
    uint8_t* data = g_patterns[entry];
    g_curPattern = entry;
    g_curPatternPtr = data;
    return data;
}

uint8_t GetCursorDigit() {
    uint32_t sub = 0;
    const uint8_t* b = CursorByte(sub);
    return b ? DigitOf(Read(b), sub) : 0;
}

void SetCursorDigit(uint8_t v) {
    uint32_t sub = 0;
    if (uint8_t* b = CursorByte(sub)) Write(b, WithDigit(Read(b), sub, v));
}

int32_t RecordSoundChange() {
    uint8_t* pattern = EditedPatternData();
    const uint32_t track = g_firstTrack + g_cursorColumn / 7;
    const uint32_t cursorStep = g_editStep;
    if (CellByte(pattern, track, 0, cursorStep) == nullptr) return 0;

    int32_t found = 0;
    for (uint32_t s = 0; s <= cursorStep; ++s) {
        const uint8_t commands = Read(CellByte(pattern, track, 0, s));
        if ((commands >> 4) == kSoundChange) found = Read(CellByte(pattern, track, 1, s));
        if ((commands & 0x0F) == kSoundChange) found = Read(CellByte(pattern, track, 2, s));
    }

    const uint32_t sound = g_curSound;
    if (g_setInstruments != 0 && g_previewOnly == 0 && static_cast<uint32_t>(found) != sound) {
        uint8_t* commands = CellByte(pattern, track, 0, cursorStep);
        const uint8_t a = Read(commands) >> 4;
        const uint32_t sub = (a == 0 || a == kSoundChange) ? 0 : 3;
        uint8_t* value = CellByte(pattern, track, sub == 0 ? 1 : 2, cursorStep);
        Write(commands, WithDigit(Read(commands), sub, kSoundChange));
        // Tens then units, as typed: the value becomes the sound number.
        Write(value, WithDigit(Read(value), sub + 1, static_cast<uint8_t>(sound / 10)));
        Write(value, WithDigit(Read(value), sub + 2, static_cast<uint8_t>(sound % 10)));
    }
    return found;
}
