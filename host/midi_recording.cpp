#include "host/midi_recording.h"

#include <algorithm>
#include <atomic>

#include "shared/editor.h"
#include "shared/settings.h"
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

bool PlayStep(const MidiRecordStep& s) {
    if (g_cursorColumn % 7 != kNoteColumn || g_previewOnly != 0) return false;
    if (!s.on) {
        const uint8_t cell = GetCursorDigit();
        if (cell != kEmptyNote && cell != kReleaseNote) return false;
    }
    PushPatternUndo();
    g_docModified = 1;
    const uint32_t firstTrack = g_firstTrack;
    bool written = false;
    if (!s.ctrl || ChordWalk()) {
        if (s.on) {
            SetCursorDigit(uint8_t(s.key + (s.shift ? 128 : 0)));
            RecordSoundChange();
        } else {
            SetCursorDigit(kReleaseNote);
        }
        written = true;
    }
    g_firstTrack = firstTrack;
    return written;
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
