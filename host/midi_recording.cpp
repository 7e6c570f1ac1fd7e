#include "host/midi_recording.h"

#include <algorithm>
#include <atomic>
#include <optional>

#include "shared/editor.h"
#include "shared/relaxed.h"
#include "shared/settings.h"
#include "shared/song.h"
#include "ui/pattern_cells.h"
#include "ui/pattern_undo.h"
#include "ui/view_globals.h"

namespace {

constexpr uint8_t kEmptyNote = 0xFE;
constexpr uint8_t kReleaseNote = 0xFD;
constexpr uint32_t kNoteColumn = 6;

// One producer (the MIDI thread), one consumer (the GUI thread).
constexpr uint32_t kSteps = 256;
MidiRecordStep g_steps[kSteps];
std::atomic<uint32_t> g_stepHead{0};
std::atomic<uint32_t> g_stepTail{0};

bool PopStep(MidiRecordStep& s) {
    const uint32_t t = g_stepTail.load(std::memory_order_relaxed);
    if (t == g_stepHead.load(std::memory_order_acquire)) return false;
    s = g_steps[t % kSteps];
    g_stepTail.store(t + 1, std::memory_order_release);
    return true;
}

// With Ctrl held, moves the cursor right (by the first visible track) until
// its note cell is empty, staying within the voices in use. False when it
// would leave them.
bool ChordWalk() {
    const uint32_t voices = uint32_t(g_polyphonyVoices[std::min<uint32_t>(g_polyphony, 5)]);
    while (GetCursorDigit() != kEmptyNote) {
        const uint32_t track = g_firstTrack + g_cursorColumn / 7;
        if (track + 1 >= voices) return false;
        g_firstTrack += 1;
    }
    return true;
}

// The four bytes of the cursor's row in the cursor's track (commands, values
// and note), packed; nothing when the song position holds no pattern or the
// cursor lies outside it.
std::optional<uint32_t> CursorRowBytes() {
    const uint8_t* pattern = EditedPatternData();
    const uint32_t track = g_firstTrack + g_cursorColumn / 7;
    const uint32_t step = g_editStep;
    const uint32_t length = g_patternLength;
    if (pattern == nullptr || track >= uint32_t(kVoices) || step >= length) return std::nullopt;
    uint32_t bytes = 0;
    for (uint32_t plane = 0; plane < 4; ++plane)
        bytes |= uint32_t(RelaxedLoad(pattern[PatternIndex(track, plane, step, length)])) << (8 * plane);
    return bytes;
}

// Writes one step. True when it changed a byte of the pattern: only then is
// the song marked. A snapshot goes onto the undo ring before every write, with
// the cursor as the user left it; nothing is written (and nothing pushed) when
// the song position holds no pattern or a Ctrl chord finds no empty cell.
bool PlayStep(const MidiRecordStep& s) {
    if (g_cursorColumn % 7 != kNoteColumn || g_previewOnly != 0) return false;
    if (!CursorRowBytes()) return false;
    if (!s.on) {
        const uint8_t cell = GetCursorDigit();
        if (cell != kEmptyNote && cell != kReleaseNote) return false;
    }
    const uint32_t firstTrack = g_firstTrack;
    if (s.ctrl && !ChordWalk()) {
        g_firstTrack = firstTrack;
        return false;
    }
    const uint32_t walkedTrack = g_firstTrack;
    g_firstTrack = firstTrack;
    PushPatternUndo();
    g_firstTrack = walkedTrack;

    const std::optional<uint32_t> before = CursorRowBytes();
    if (s.on) {
        SetCursorDigit(uint8_t(s.key + (s.shift ? 128 : 0)));
        RecordSoundChange();
    } else {
        SetCursorDigit(kReleaseNote);
    }
    const bool changed = CursorRowBytes() != before;
    g_firstTrack = firstTrack;
    if (changed) g_docModified = 1;
    return changed;
}

}  // namespace

void QueueMidiRecordStep(const MidiRecordStep& step) {
    const uint32_t h = g_stepHead.load(std::memory_order_relaxed);
    if (h - g_stepTail.load(std::memory_order_acquire) >= kSteps) return;
    g_steps[h % kSteps] = step;
    g_stepHead.store(h + 1, std::memory_order_release);
    RequestDeferredRedraw();
}

bool PlayMidiRecording() {
    bool changed = false;
    MidiRecordStep s;
    while (PopStep(s)) changed |= PlayStep(s);
    return changed;
}
