// Note start: the loading of a sound's parameters into the voice when its
// note-on countdown has reached 1 (the control counter and the countdown itself
// are counted inline, voice_control.h).
//
// Numeric contract (P, K, C as in engine/sound_params.h; RA, RD, RS the attack,
// decay/release and sustain tables by knob value):
// - A note starts when the countdown, counted down once per frame, is 1 (240
//   from an event: 239 frames later; 256 from the sequencer: 255 frames later),
//   unless Amplifier - Gain + its offset + ampGainOffset is 0: then it retries
//   in every frame.
// - Amplifier: a = min(80, C(gain) + ampGainOffset), level a x 16 / 41 (0..31);
//   rates RA/RD by C; sustain = RS[C] x level (low 32 bits).
// - Filter (only with Filter - On): cutoff index (K(cutoff) + cutoffOffset) x 93,
//   plus max(0, key - 24) x 64 with key tracking, at most 0x1FFE; envelope level
//   from min(80, K(gain) + filterEnvGainOffset).
// - User envelope (only with User envelope - On; else only its target 0).
// - Pulse width K x 0x1966666 + 0x1000020 (wraps); volumes C x 0x1999999 (Q31);
//   tunes K x 0x999999 >> 16 (+ (fine - 40) x 4); drive C << 18; vibrato delay
//   x 16 and gate time x 2 control ticks; bus = Channel - 1.
// - Sample choice for each oscillator whose bank wave is 6: split set n (1..32)
//   gives sample and transpose (x 256) of key (minus the position transpose for
//   oscillators 1 and 2 without key tracking); n = 0 the direct sample number.
//   A start percent places the position at (length / 100) x percent.
//
// Guards for song data: Channel outside 1..8 plays on bus 0; a split set above
// 32 counts as none; a split key outside 0..127 is held at the nearest end of
// the set; a split entry outside 0..255 counts as no sample (255); a sound number
// of 104 or more reads as an empty sound.
#include <algorithm>

#include "engine/oscillators.h"
#include "engine/sound_params.h"
#include "engine/stages.h"
#include "engine/tables.h"
#include "engine/voice_lanes.h"
#include "engine/voice_control.h"
#include "shared/relaxed.h"
#include "shared/samples.h"
#include "shared/voice_state.h"

namespace {

constexpr uint32_t kStartGain = 0x7E000000;
constexpr int32_t kSampleWave = kWaveSample;  // Wave knob value that selects a sample

// Sample field and split transpose of one oscillator for the played key.
struct SampleChoice {
    SoundParam splitSet;
    SoundParam sample;
    bool subtractTranspose;  // oscillators 1 and 2 without key tracking
};

void ChooseSample(const VoiceState& vs, const SoundReader& snd, const SampleChoice& c,
                  uint32_t& sample, int32_t& splitTranspose, int32_t& pos) {
    const uint32_t set = static_cast<uint32_t>(snd.P(c.splitSet));
    if (set != 0 && set <= kSplitSets) {
        int32_t key = vs.key;
        if (c.subtractTranspose) key -= vs.positionTranspose;
        key = std::clamp(key, 0, kSplitKeys - 1);
        const int i = static_cast<int>(set - 1) * kSplitKeys + key;
        splitTranspose = RelaxedLoad(g_splitTranspose[i]) * 256;
        const uint32_t n = static_cast<uint32_t>(RelaxedLoad(g_splitSample[i]));
        sample = n < kSampleSlots ? n : kNoSample;
    } else {
        sample = static_cast<uint32_t>(snd.P(c.sample));
    }
    const int32_t percent = vs.sampleStartPercent;
    if (percent != 0) {
        const uint32_t length = g_sampleLength[sample];
        if (length != 0) pos = static_cast<int32_t>((length / 100) * static_cast<uint32_t>(percent));
    }
}

// Clears what a new note starts from.
void ClearForNote(VoiceState& vs) {
    vs.osc1Phase = vs.osc1Phase2 = 0;
    std::fill(std::begin(vs.osc1History), std::end(vs.osc1History), 0);
    std::fill(std::begin(vs.osc1History2), std::end(vs.osc1History2), 0);
    std::fill(std::begin(vs.osc1Out), std::end(vs.osc1Out), 0);
    vs.osc1SamplePos = 0;
    vs.osc1SampleFrac = 0;
    vs.osc2Phase = 0;
    std::fill(std::begin(vs.osc2History), std::end(vs.osc2History), 0);
    std::fill(std::begin(vs.osc2Out), std::end(vs.osc2Out), 0);
    vs.osc2SamplePos = 0;
    vs.osc2SampleFrac = 0;
    vs.osc3Phase = 0;
    std::fill(std::begin(vs.osc3History), std::end(vs.osc3History), 0);
    std::fill(std::begin(vs.osc3Out), std::end(vs.osc3Out), 0);
    vs.osc3SamplePos = 0;
    vs.osc3SampleFrac = 0;

    RelaxedStore(vs.ampStage, 0);
    vs.ampAttackPhase = vs.ampDecayPhase = vs.ampReleasePhase = 0;
    RelaxedStore(vs.filterEnvStage, 0);
    vs.filterEnvAttackPhase = vs.filterEnvDecayPhase = vs.filterEnvReleasePhase = 0;
    RelaxedStore(vs.userEnvStage, 0);
    vs.userEnvAttackPhase = vs.userEnvDecayPhase = vs.userEnvReleasePhase = 0;

    vs.filterMem1Y1 = vs.filterMem1Y2 = 0;
    vs.filterMem2Y1 = vs.filterMem2Y2 = 0;
    vs.filterMem3Y1 = vs.filterMem3Y2 = 0;
    vs.resonanceHalved = 0;
    vs.vibratoPhase = 0;
    vs.controlCounter = 0;
    vs.osc1SplitTranspose = vs.osc2SplitTranspose = vs.osc3SplitTranspose = 0;
    vs.fading = 0;
}

void LoadNote(VoiceState& vs, const SoundReader& snd) {
    // Chunks of the old note still waiting for their signal part run first.
    FlushVoiceSignal(vs);
    ClearForNote(vs);
    RelaxedStore(vs.ampGate, 1);
    RelaxedStore(vs.filterEnvGate, 1);
    RelaxedStore(vs.userEnvGate, 1);
    vs.ampEnv = 2;
    vs.voiceGain = kStartGain;

    // Amplifier.
    const int32_t amp = std::min(SoundReader::kKnobMax, snd.C(kModAmpGain) + vs.ampGainOffset);
    vs.ampLevel = EnvLevel(amp);
    vs.ampAttackRate = g_attackRateTable[snd.C(kModAmpAttack)];
    vs.ampDecayRate = g_decayRateTable[snd.C(kModAmpDecay)];
    vs.ampSustainLevel = g_sustainLevelTable[snd.C(kModAmpSustain)] * static_cast<uint32_t>(vs.ampLevel);
    vs.ampReleaseRate = g_decayRateTable[snd.C(kModAmpRelease)];

    // Filter.
    if (snd.P(kParamFilterOn) != 0) {
        const int32_t c = CutoffUnits(snd.K(kModFilterCutoff) + vs.cutoffOffset,
                                      snd.P(kParamFilterKeyTrack) != 0, vs.key);
        vs.cutoffSmooth = vs.cutoffBase = c;
        const int32_t f = std::min(SoundReader::kKnobMax, snd.K(kModFilterGain) + vs.filterEnvGainOffset);
        vs.filterEnvLevel = EnvLevel(f);
        vs.filterEnvAttackRate = g_attackRateTable[snd.C(kModFilterAttack)];
        vs.filterEnvDecayRate = g_decayRateTable[snd.C(kModFilterDecay)];
        vs.filterEnvSustainLevel =
            g_sustainLevelTable[snd.C(kModFilterSustain)] * static_cast<uint32_t>(vs.filterEnvLevel);
        vs.filterEnvReleaseRate = g_decayRateTable[snd.C(kModFilterRelease)];
    }

    // User envelope.
    if (snd.P(kParamUserEnvOn) != 0) {
        vs.userEnvLevel = EnvLevel(snd.C(kModUserEnvGain));
        vs.userEnvAttackRate = g_attackRateTable[snd.C(kModUserEnvAttack)];
        vs.userEnvDecayRate = g_decayRateTable[snd.C(kModUserEnvDecay)];
        vs.userEnvSustainLevel =
            g_sustainLevelTable[snd.C(kModUserEnvSustain)] * static_cast<uint32_t>(vs.userEnvLevel);
        vs.userEnvReleaseRate = g_decayRateTable[snd.C(kModUserEnvRelease)];
        vs.userEnvTarget = snd.P(kParamUserEnvDestination);
    } else {
        vs.userEnvTarget = 0;
    }

    // Pulse width and volumes.
    vs.osc1PulseWidth = vs.pulseWidthSmooth = PulseWidthUnits(snd.K(kModOsc1PulseWidth));
    vs.osc2VolumeSmooth = vs.osc2VolumeBase = VolumeUnits(snd.C(kModOsc2Volume));
    vs.osc3VolumeSmooth = VolumeUnits(snd.C(kModOsc3Volume));
    vs.osc3Volume = static_cast<uint32_t>(vs.osc3VolumeSmooth);

    // Bus, vibrato delay, gate time.
    const int32_t channel = snd.P(kParamChannel);
    vs.bus = (channel >= 1 && channel <= kBuses) ? static_cast<uint32_t>(channel - 1) : 0;
    vs.vibratoDelay = snd.P(kParamVibratoDelay) * 16;
    vs.gateTimer = snd.P(kParamGateTime) * 2;

    // Tunes.
    vs.osc1Tune = TuneUnits(snd.K(kModOsc1Tune));
    vs.osc2Tune = TuneUnits(snd.K(kModOsc2Tune)) + FineTuneUnits(snd.P(kParamOsc2FineTune));
    vs.osc3Tune = TuneUnits(snd.K(kModOsc3Tune)) + FineTuneUnits(snd.P(kParamOsc3FineTune));

    // Samples, for the oscillators whose wave in the bank is the sample.
    if (snd.P(kParamOsc1Wave) == kSampleWave) {
        ChooseSample(vs, snd, {kParamOsc1SplitSet, kParamOsc1Sample, snd.P(kParamOsc1KeyTrack) == 0},
                     vs.osc1Sample, vs.osc1SplitTranspose, vs.osc1SamplePos);
    }
    if (snd.P(kParamOsc2Wave) == kSampleWave) {
        ChooseSample(vs, snd, {kParamOsc2SplitSet, kParamOsc2Sample, snd.P(kParamOsc2KeyTrack) == 0},
                     vs.osc2Sample, vs.osc2SplitTranspose, vs.osc2SamplePos);
    }
    if (snd.P(kParamOsc3Wave) == kSampleWave) {
        ChooseSample(vs, snd, {kParamOsc3SplitSet, kParamOsc3Sample, false}, vs.osc3Sample,
                     vs.osc3SplitTranspose, vs.osc3SamplePos);
    }

    vs.drive = static_cast<uint32_t>(snd.C(kModDistortion)) << 18;
}

}  // namespace

void StartPendingNote(VoiceState& vs) {
    vs.sound = vs.pendingSound;
    vs.key = vs.pendingKey;
    if (vs.pendingGlideFrom != 0) vs.glidePitch = vs.pendingGlideFrom;
    const SoundReader snd(vs.sound);
    if (snd.P(kParamAmpGain) + snd.Offset(kModAmpGain) + vs.ampGainOffset == 0) return;

    LoadNote(vs, snd);
    RelaxedStore(vs.noteOnCountdown, 0);
}
