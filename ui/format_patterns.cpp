#include "ui/format_patterns.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "data/pattern_store.h"
#include "data/song_memory.h"
#include "res/resource_ids.h"
#include "shared/editor.h"
#include "shared/message_box.h"
#include "shared/mixer.h"
#include "shared/relaxed.h"
#include "shared/render_lock.h"
#include "shared/song.h"

namespace {

constexpr uint32_t kLengths[7] = {16, 32, 64, 128, 24, 48, 96};
constexpr uint32_t kMaxTempo = 400;  // the panel's tempo range
constexpr uint32_t kMinTempo = 60;
constexpr int32_t kMaxDelaySteps = 16;
constexpr int32_t kMinDelaySteps = 1;
constexpr uint32_t kPlanes = 4 * kVoices;

enum class Mode { kPlain, kStretch, kCopyTwice, kShrink };

bool Ask(const char* question) { return AfxMessageBox(question, MB_YESNO | MB_ICONQUESTION) == IDYES; }

// The first slider of every unit whose type is 0 to 4: Off, whose slider is
// scaled all the same, or one of the four delays, where it is the delay time
// in steps.
template <typename Scale>
void ScaleDelays(Scale scale) {
    for (int u = 0; u < 3; ++u) {
        const int32_t type = g_effectSettings.fxType[u];
        if (type >= 0 && type <= 4) g_effectSettings.fxParam[u][0] = scale(int32_t(g_effectSettings.fxParam[u][0]));
    }
}

Mode ChooseMode(uint32_t oldLength, uint32_t newLength) {
    if (newLength == 2 * oldLength) {
        if (Ask("Would you like to stretch the pattern data to fit to the new length by inserting a silent note "
                "into every second step?")) {
            g_tempo = std::min(2 * uint32_t(g_tempo), kMaxTempo);
            g_tempoDisplay = uint32_t(g_tempo);
            ScaleDelays([](int32_t d) { return std::min(2 * d, kMaxDelaySteps); });
            return Mode::kStretch;
        }
        return Ask("Or maybe would you like to copy the pattern data two times into the longer patterns?")
                   ? Mode::kCopyTwice
                   : Mode::kPlain;
    }
    if (oldLength == 2 * newLength) {
        if (Ask("Would you like to shrink the pattern data to fit to the new length by removing(!) every second "
                "step?")) {
            g_tempo = std::max(uint32_t(g_tempo) / 2, kMinTempo);
            g_tempoDisplay = uint32_t(g_tempo);
            ScaleDelays([](int32_t d) { return std::max(d / 2, kMinDelaySteps); });
            return Mode::kShrink;
        }
    }
    return Mode::kPlain;
}

// Fills the new rows of one plane from the old plane.
void FillPlane(uint8_t* to, const uint8_t* from, uint32_t plane, uint32_t oldLength, uint32_t newLength, Mode mode) {
    const uint8_t empty = plane % 4 == 3 ? kNoteEmpty : 0;
    for (uint32_t r = 0; r < newLength; ++r) {
        uint8_t v = empty;
        switch (mode) {
            case Mode::kPlain:
                if (r < oldLength) v = RelaxedLoad(from[r]);
                break;
            case Mode::kStretch:
                if (r % 2 == 0) v = RelaxedLoad(from[r / 2]);
                break;
            case Mode::kCopyTwice: v = RelaxedLoad(from[r % oldLength]); break;
            case Mode::kShrink: v = RelaxedLoad(from[2 * r]); break;
        }
        to[r] = v;
    }
}

}  // namespace

CPatternsFormatterDlg::CPatternsFormatterDlg(CWnd* parent) : CDialog(IDD_PATTERNS_FORMATTER, parent) {}

void CPatternsFormatterDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Radio(dx, IDC_FORMAT_16, m_nNewLength);
}

uint32_t PatternLengthOfIndex(int index) { return index >= 0 && index < 7 ? kLengths[index] : 0; }

int IndexOfPatternLength(uint32_t length) {
    for (int i = 0; i < 7; ++i)
        if (kLengths[i] == length) return i;
    return -1;
}

bool ReformatPatterns(uint32_t newLength) {
    const uint32_t oldLength = g_patternLength;
    const uint32_t count = std::min<uint32_t>(g_patternCount, kMaxPatterns);
    if (IndexOfPatternLength(newLength) < 0 || IndexOfPatternLength(oldLength) < 0) return false;

    std::unique_ptr<uint8_t[]> blocks[kMaxPatterns];
    for (uint32_t n = 0; n < count; ++n) {
        blocks[n] = AllocateZeroedBytes(size_t(newLength) * 128);
        if (!blocks[n]) {
            AfxMessageBox("Fatal Error! Couldn't allocate memory for the new patterns! Quit Morvel Canopy!", MB_OK);
            return false;  // the blocks made so far go with the array
        }
    }

    const Mode mode = ChooseMode(oldLength, newLength);
    for (uint32_t n = 0; n < count; ++n) {
        const uint8_t* old = g_patterns[n];
        if (old == nullptr) continue;  // never allocated: stays so
        for (uint32_t plane = 0; plane < kPlanes; ++plane)
            FillPlane(blocks[n].get() + plane * newLength, old + plane * oldLength, plane, oldLength, newLength, mode);
    }

    {
        // The render paths skip their blocks meanwhile: no render call sees a
        // new block with the old length or the other way round.
        RenderLockGuard lock;
        for (uint32_t n = 0; n < count; ++n) {
            if (g_patterns[n] == nullptr) continue;
            g_patterns[n].store(blocks[n].get(), std::memory_order_release);
            std::swap(g_patternHandles[n], blocks[n]);
            RetireBlock(std::move(blocks[n]));
        }
        g_patternLength = newLength;
    }

    g_editStep = 0;
    g_firstTrack = 0;
    g_cursorColumn = 0;
    g_patternUndoCount = 0;
    g_selFirstPart = 0;
    g_selLastPart = 0;
    g_selFirstStep = 0;
    g_selLastStep = 0;
    g_selPattern = 0;
    return true;
}
