// Track sequencer: the step of track t in every frame of its voice. Keeps the
// track's clock (tempo countdown, or external clock steps), walks the song order
// list, decodes a pattern row per row tick (per-note reset, command A, command B,
// note byte) and runs the automation step after every tick.
#include <algorithm>

#include "engine/sequencing.h"
#include "engine/stages.h"
#include "shared/editor.h"
#include "shared/settings.h"
#include "shared/song.h"
#include "shared/sound_bank.h"
#include "shared/transport.h"
#include "shared/voice_state.h"

namespace {

// Tick constants: (K / tempo) >> 13 frames between ticks, two ticks a row. The
// 6-step constant is two thirds of the 4-step one.
constexpr uint32_t kTickConstant4Steps = 0xA16C1000;  // 2,708,213,760
constexpr uint32_t kTickConstant6Steps = 0x6B9D6000;  // 1,805,475,840
// A row decode follows at most two jumps or pattern ends; the third stops the track.
constexpr int kMaxOrderSteps = 3;
constexpr uint32_t kNewNoteFadeRate = 0x2200;
constexpr int32_t kNewNoteCountdown = 256;
constexpr int32_t kMaxTranspose = 24;
constexpr uint32_t kKeys = 108;  // note bytes 0..107

int32_t TickReload() {
    const uint32_t steps = g_stepsPerBeat;
    uint32_t k = (steps == 6 || steps == 12) ? kTickConstant6Steps : kTickConstant4Steps;
    if (g_doubleStepsPerBeat != 0) k >>= 1;
    // The call's entry turns a tempo of 0 into 1; one written meanwhile counts as 1 too.
    const uint32_t tempo = std::max<uint32_t>(g_tempo, 1);
    return static_cast<int32_t>((k / tempo) >> 13);
}

// Position transpose byte: signed semitones, 0x80 none, limited to +-24.
int32_t PositionTranspose(uint8_t b) {
    if (b == kNoTranspose) return 0;
    return std::clamp<int32_t>(static_cast<int8_t>(b), -kMaxTranspose, kMaxTranspose);
}

class TrackStep {
public:
    explicit TrackStep(int t) : t_(t), vs_(g_voiceState[t]), length_(g_patternLength) {}

    // Decodes the row at g_trackRow; false when the track stopped meanwhile.
    bool DecodeRow();

private:
    void Stop();
    void AdvanceAtPatternEnd(bool loop);
    const uint8_t* WalkOrderList();
    uint8_t Byte(const uint8_t* pattern, uint32_t plane, uint32_t row) const {
        return RelaxedLoad(pattern[PatternIndex(t_, plane, row, length_)]);
    }
    bool CountOrderStep() { return ++orderSteps_ < kMaxOrderSteps; }
    void PlayNote(const uint8_t* pattern, uint32_t row, uint8_t note);
    void NewNote();

    int t_;
    VoiceState& vs_;
    uint32_t length_;
    uint32_t row_ = 0;  // the row being decoded, below length_
    int orderSteps_ = 0;
};

// End of the song for this track: the gates close (each envelope releases when
// it reaches its sustain stage) and the sequencer switches off.
void TrackStep::Stop() {
    RelaxedStore(vs_.ampGate, 0);
    RelaxedStore(vs_.filterEnvGate, 0);
    RelaxedStore(vs_.userEnvGate, 0);
    g_trackPlaying[t_] = 0;
    g_playFlag = 0;
}

void TrackStep::AdvanceAtPatternEnd(bool loop) {
    if (loop) return;
    const bool cue = g_patternCue == 1;
    if (g_songMode != 0) {
        if (!cue) g_trackSongPos[t_] += 1;  // a cue holds the pattern in song mode
    } else if (cue) {
        g_trackSongPos[t_] += 1;  // a cue advances once in pattern mode
        g_patternCueDone = 1;
    }
}

// The pattern of the track's song position, following jumps; null when the
// track stopped (end of the song, a missing pattern, a position beyond the
// order list, or the third order step).
const uint8_t* TrackStep::WalkOrderList() {
    for (;;) {
        const uint32_t pos = g_trackSongPos[t_];
        if (pos >= static_cast<uint32_t>(kOrderPositions)) break;
        const uint8_t entry = RelaxedLoad(g_songOrder[pos]);
        if (entry < kMaxPatterns) {
            const uint8_t* pattern = g_patterns[entry];
            if (pattern != nullptr) return pattern;
            break;
        }
        if (entry != kOrderJump) break;
        g_trackSongPos[t_] = RelaxedLoad(g_songOrderJump[pos]);
        row_ = 0;
        g_trackRow[t_] = 0;
        if (!CountOrderStep()) break;
    }
    Stop();
    return nullptr;
}

void TrackStep::NewNote() {
    vs_.ampDecayRate = kNewNoteFadeRate;
    vs_.ampReleaseRate = kNewNoteFadeRate;
    RelaxedStore(vs_.ampGate, 0);
    const int32_t stage = RelaxedLoad(vs_.ampStage);
    if (stage == 0) vs_.ampSustainLevel = 0;
    if (stage != 1) RelaxedStore(vs_.ampStage, -1);
    RelaxedStore(vs_.noteOnCountdown, kNewNoteCountdown);
    vs_.resonanceHalved = 1;
    vs_.fading = 1;
}

void TrackStep::PlayNote(const uint8_t* pattern, uint32_t row, uint8_t note) {
    const int32_t key = note + vs_.positionTranspose;
    // A slide glides from this key to the next row's; the last row has no next
    // row inside the pattern, so it slides nowhere.
    uint32_t next = kKeys;
    if (vs_.slideSpeed != 0 && row + 1 < length_) next = Byte(pattern, 3, row + 1) & 0x7F;
    if (next < kKeys) {
        vs_.pendingKey = static_cast<int32_t>(next) + vs_.positionTranspose;
        vs_.pendingGlideFrom = key * 256;
    } else {
        vs_.pendingKey = key;
    }
    if (vs_.pendingSound == vs_.sound && BankByte(kParamLegato, static_cast<uint32_t>(vs_.sound)) != 0 &&
        RelaxedLoad(vs_.ampGate) != 0) {
        vs_.key = key;  // legato: the sounding note only changes its key
    } else {
        NewNote();
    }
}

bool TrackStep::DecodeRow() {
    // The pattern has ended at its length (a row beyond it, which only a change
    // of the length could leave, ends it as well).
    row_ = g_trackRow[t_];
    if (row_ >= length_) {
        row_ = 0;
        g_trackRow[t_] = 0;
        AdvanceAtPatternEnd(g_loopPattern != 0);
    }
    for (;;) {
        const uint8_t* pattern = WalkOrderList();
        if (pattern == nullptr) return false;
        const uint32_t row = row_;
        const uint32_t pos = g_trackSongPos[t_];
        if (row == 0 || g_midiSync != 0) vs_.positionTranspose = PositionTranspose(RelaxedLoad(g_songOrderJump[pos]));

        const uint8_t note = Byte(pattern, 3, row);
        if (note <= kNoteKeyChange) {
            vs_.pendingGlideFrom = 0;
            vs_.slideSpeed = 0;
            RelaxedStore(vs_.vibratoRateCmd, 0);
            RelaxedStore(vs_.vibratoDepthCmd, 0);
        }
        const uint8_t commands = Byte(pattern, 0, row);
        if (commands != 0) {
            if (commands >> 4) RunPatternCommand(t_, commands >> 4, Byte(pattern, 1, row));
            if (commands & 15) RunPatternCommand(t_, commands & 15, Byte(pattern, 2, row));
        }

        if (note < kKeys) {
            PlayNote(pattern, row, note);
        } else if (note >= kNoteKeyChange && note < kNoteKeyChange + kKeys) {
            vs_.key = note - kNoteKeyChange + vs_.positionTranspose;
        } else if (note == kNoteEnd) {
            // The next position's row 0 plays in this same tick.
            row_ = 0;
            g_trackRow[t_] = 0;
            AdvanceAtPatternEnd(g_patternFocus != 0);
            if (!CountOrderStep()) {
                Stop();
                return false;
            }
            continue;
        } else if (note == kNoteRelease) {
            RelaxedStore(vs_.ampGate, 0);
            RelaxedStore(vs_.userEnvGate, 0);
            RelaxedStore(vs_.filterEnvGate, 0);
            RelaxedStore(vs_.ampStage, 1);
            RelaxedStore(vs_.userEnvStage, 1);
            RelaxedStore(vs_.filterEnvStage, 1);
        } else if (note == kNoteKill) {
            vs_.sound = 0;
            vs_.osc1Wave = 0;
            vs_.osc2Wave = 0;
            vs_.osc3Wave = 0;
        }
        return true;
    }
}

}  // namespace

void StepTrack(int t) {
    if (g_trackPlaying[t] == 0) return;
    VoiceState& vs = g_voiceState[t];
    int32_t parity = 1;
    if (g_midiSync != 0) {
        const int32_t ticks = g_trackClockTicks[t];
        if (ticks == 0) return;
        g_trackClockTicks[t] = ticks - 1;
        RelaxedStore(vs.tickParity, 1);
        if (!TrackStep(t).DecodeRow()) return;
    } else {
        if (--vs.tickCountdown >= 0) return;
        vs.tickCountdown = TickReload();
        parity = (RelaxedLoad(vs.tickParity) + 1) & 1;
        RelaxedStore(vs.tickParity, parity);
        if (parity == 1 && !TrackStep(t).DecodeRow()) return;
    }
    PlayAutomation(t);
    if (parity == 1) g_trackRow[t] += 1;
}
