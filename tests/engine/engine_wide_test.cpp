// Checks over the whole engine: a song renders the same in calls of any size
// and at every polyphony that covers its tracks, every call leaves the mix
// buffer clear and the output pointer just behind its frames, silence is exact
// zeros, one sine note comes out as its formulas say, and random song data
// renders without a fault.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <random>
#include <vector>

#include "engine/tables.h"
#include "engine/voice_lanes.h"
#include "shared/fixed.h"
#include "tests/engine/allocation_count.h"
#include "tests/engine/song_presets.h"
#include "tests/engine/voice_fixture.h"

namespace {

using namespace song_fixture;
using namespace song_presets;

class EngineWideTest : public VoiceTest {
protected:
    void SetUp() override {
        VoiceTest::SetUp();
        MixerDefaults();
    }

    static bool RowsAreZero(uint32_t first, uint32_t count) {
        for (uint32_t r = first; r < first + count; ++r)
            for (int32_t w : g_mixBuffer.row[r])
                if (w != 0) return false;
        return true;
    }

    // Renders `frames` frames in calls of at most `callSize` frames whose period
    // positions advance through a period of 11,025 positions, as a host's calls
    // do. After every call the rows of the call are zero again (the whole mix
    // buffer every 16th call and at the end); Render checks the output pointer.
    static std::vector<uint32_t> RenderInCalls(uint32_t frames, uint32_t callSize) {
        std::vector<uint32_t> out;
        out.reserve(frames);
        uint32_t pos = 0;
        for (uint32_t call = 0; out.size() < frames; ++call) {
            const uint32_t n = std::min<uint32_t>(callSize, frames - static_cast<uint32_t>(out.size()));
            if (pos + n > static_cast<uint32_t>(kPeriodPositions)) pos = 0;
            const std::vector<uint32_t> words = Render(n, pos);
            out.insert(out.end(), words.begin(), words.end());
            EXPECT_TRUE(RowsAreZero(pos, n)) << "call " << call;
            if (call % 16 == 0) {
                EXPECT_TRUE(MixBufferIsZero()) << "call " << call;
            }
            pos += n;
        }
        EXPECT_TRUE(MixBufferIsZero());
        return out;
    }

    // Six tracks, six sounds that between them use every wave, every filter type,
    // the filter-off paths with and without drive, a sample, releases, a key
    // change and the automatic release; two patterns of 16 rows, then the end.
    void CallSizeSong() {
        HeavySound(1, 1);
        PlainSound(2, 2);
        DefineSound(3, {{kParamOsc1Wave, 1}, {kParamOsc1KeyTrack, 1}, {kParamOsc2On, 1}, {kParamOsc2Wave, 5},
                        {kParamOsc2KeyTrack, 1}, {kParamOsc2Volume, 30}, {kParamAmpGain, 60},
                        {kParamAmpSustain, 40}, {kParamAmpDecay, 30}, {kParamChannel, 3}});
        std::vector<int16_t> wave(2000);
        for (size_t n = 0; n < wave.size(); ++n)
            wave[n] = static_cast<int16_t>(std::lround(20000 * std::sin(n * 0.05)));
        Sample(0, wave, 500);
        DefineSound(4, {{kParamOsc1Wave, 6}, {kParamOsc1Sample, 0}, {kParamOsc1KeyTrack, 1},
                        {kParamAmpGain, 70}, {kParamAmpSustain, 60}, {kParamGateTime, 3},
                        {kParamFilterOn, 1}, {kParamFilterType, 4}, {kParamFilterCutoff, 55},
                        {kParamFilterResonance, 50}, {kParamChannel, 4}});
        DefineSound(5, {{kParamOsc1Wave, 2}, {kParamOsc1KeyTrack, 1}, {kParamAmpGain, 80},
                        {kParamAmpSustain, 70}, {kParamPortamento, 40}, {kParamDistortion, 80},
                        {kParamChannel, 5}});
        DefineSound(6, {{kParamOsc1Wave, 3}, {kParamOsc1KeyTrack, 1}, {kParamAmpGain, 80},
                        {kParamAmpSustain, 50}, {kParamFilterOn, 1}, {kParamFilterType, 5},
                        {kParamFilterCutoff, 40}, {kParamFilterResonance, 30}, {kParamFilterGain, 30},
                        {kParamFilterAttack, 10}, {kParamFilterType, 5}, {kParamChannel, 6}});
        HeavySound(7, 7);
        g_soundBank[kParamFilterType][7] = 3;  // the same voice, 12 dB high pass
        g_soundBank[kParamDistortion][7] = 0;

        g_patternLength = 16;
        g_tempo = 200;
        NewPattern(0);
        NewPattern(1);
        for (int t = 0; t < 6; ++t) SetCommands(0, t, 0, kCmdInstrument, static_cast<uint8_t>(t + 1));
        for (int t = 0; t < 6; ++t) {
            for (int r = t % 3; r < 16; r += 5) SetNote(0, t, r, static_cast<uint8_t>(30 + 4 * t + r));
            SetNote(0, t, 13, kNoteRelease);
            SetNote(1, t, 1, static_cast<uint8_t>(50 + t));
            SetNote(1, t, 6, static_cast<uint8_t>(kNoteKeyChange + 53 + t));
            SetNote(1, t, 11, kNoteRelease);
        }
        SetCommands(1, 0, 4, kCmdInstrument, 7);
        SetNote(1, 0, 4, 45);
        OrderPattern(0, 0);
        OrderPattern(1, 1);
        OrderEnd(2);
    }

    std::vector<uint32_t> RenderRandomSong(uint32_t seed, bool lanes, int64_t& heard);

    static int32_t Mul31(int32_t a, int32_t b) { return static_cast<int32_t>((int64_t{a} * b) >> 31); }
    static int32_t Clip16(int32_t v) { return std::clamp(v, -32768, 32767); }
};

// The same song in calls of 8,192, 4,096, 88 and 1 frames, up to the song's end
// (the call sizes then place the stop request differently).
TEST_F(EngineWideTest, OutputDoesNotDependOnTheCallSize) {
    const uint32_t songEnd = 32 * FramesPerRow(200);  // 32 rows of 3,306 frames
    std::vector<uint32_t> reference;
    for (uint32_t callSize : {8192u, 4096u, 88u, 1u}) {
        SetUp();
        CallSizeSong();
        g_polyphony = 2;  // 8 voices
        RequestStart();
        const std::vector<uint32_t> out = RenderInCalls(songEnd, callSize);
        if (reference.empty()) {
            reference = out;
            const auto loud = std::count_if(out.begin(), out.end(), [](uint32_t w) { return w != 0; });
            EXPECT_GT(loud, static_cast<long>(songEnd / 2)) << "the song must be heard";
            continue;
        }
        const auto diff = std::mismatch(out.begin(), out.end(), reference.begin());
        EXPECT_EQ(diff.first, out.end()) << "call size " << callSize << " differs from frame "
                                         << (diff.first - out.begin());
    }
}

// A render call gives what its frames give when run one by one through the named
// steps in their order (each voice for all frames: event intake, sequencer, note
// start, control part, chunk; then the master: meters and mixer smoothing every
// 32 frames, bus mixer every 4, effect units and output stage every frame): the
// call may take runs of frames together, but not differently. A looping song of
// every kind of voice, queued events, the heaviest effects, calls of many sizes.
TEST_F(EngineWideTest, CallMatchesItsFramesStepByStep) {
    auto stepByStep = [](uint32_t frames, uint32_t pos, uint32_t* out) {
        MasterState& ms = g_masterState;
        for (int v = 0; v < kVoices; ++v) {
            VoiceState& vs = g_voiceState[v];
            vs.chunkPhase = ms.chunkPhase;
            for (uint32_t f = 0; f < frames; ++f) {
                vs.chunkPhase = (vs.chunkPhase + 1) & 3;
                if (vs.chunkPhase == 0) vs.chunkCount = (vs.chunkCount + 1) & 3;
                ReadVoiceEvents(v, pos + f);
                if (g_trackPlaying[v] != 0) StepTrack(v);
                if (StartNote(v) && UpdateModulation(v)) RenderVoiceChunk(v, pos + f);
            }
        }
        for (uint32_t f = 0; f < frames; ++f) {
            ms.chunkPhase = (ms.chunkPhase + 1) & 3;
            if (ms.chunkPhase == 0) {
                ms.meterPhase = (ms.meterPhase + 1) & 7;
                if (ms.meterPhase == 0) {
                    UpdateMeters();
                    SmoothMixer();
                }
                MixBuses(pos + f);
            }
            RunEffectUnits();
            out[f] = OutputStage();
        }
    };
    constexpr uint32_t kCallSizes[] = {1, 3, 88, 5, 1024, 2, 7, 256, 4, 4096};
    std::vector<uint32_t> outputs[2];
    std::vector<VoiceState> voices[2];
    for (int run = 0; run < 2; ++run) {
        SetUp();
        CallSizeSong();
        OrderJump(2, 0);
        for (int b = 0; b < kBuses; ++b) g_mixerSettings.send1[b] = g_mixerSettings.send2[b] = 20;
        const int32_t types[3] = {11, 6, 7};
        for (int u = 0; u < 3; ++u) g_effectSettings.fxType[u] = types[u];
        g_effectSettings.fxSerial = 1;
        g_effectSettings.fxSerialAmount = 30;
        UpdateEffectUnits();
        g_trebleLimiter = 1;
        RequestStart();
        Render(64);  // serves the start request

        std::mt19937 rng(7);
        uint32_t pos = 64;
        for (int call = 0; call < 120; ++call) {
            const uint32_t n = kCallSizes[call % std::size(kCallSizes)];
            if (pos + n > static_cast<uint32_t>(kPeriodPositions)) pos = 0;
            // Events now and then: note-ons, note-offs and releases in any lane.
            for (uint32_t e = rng() % 4; e != 0; --e) {
                const uint32_t lane = rng() % kVoices;
                const uint32_t at = pos + rng() % n;
                g_voiceEvents.key[lane][at] = static_cast<uint8_t>(30 + rng() % 40);
                g_voiceEvents.sound[lane][at] = static_cast<uint8_t>(1 + rng() % 7);
                g_voiceEvents.value[lane][at] = 0;
                g_voiceEvents.offset[lane][at] = 0;
                g_voiceEvents.code[lane][at] = static_cast<uint8_t>(kVoiceEventNoteOn + rng() % 3);
            }
            std::vector<uint32_t> out(n);
            if (run == 0) {
                out = Render(n, pos);
            } else {
                stepByStep(n, pos, out.data());
            }
            outputs[run].insert(outputs[run].end(), out.begin(), out.end());
            pos += n;
        }
        voices[run].assign(std::begin(g_voiceState), std::end(g_voiceState));
    }
    const auto heard = std::count_if(outputs[0].begin(), outputs[0].end(), [](uint32_t w) { return w != 0; });
    EXPECT_GT(heard, static_cast<long>(outputs[0].size() / 2)) << "the song must be heard";
    const auto diff = std::mismatch(outputs[0].begin(), outputs[0].end(), outputs[1].begin());
    EXPECT_EQ(diff.first, outputs[0].end()) << "output differs from frame " << (diff.first - outputs[0].begin());
    for (int v = 0; v < kVoices; ++v) {
        EXPECT_EQ(std::memcmp(&voices[0][v], &voices[1][v], sizeof(VoiceState)), 0) << "voice " << v;
    }
}

// Track 0 alone: every polyphony setting renders it identically.
TEST_F(EngineWideTest, OneTrackSongIgnoresThePolyphony) {
    std::vector<uint32_t> reference;
    for (uint32_t polyphony : {0u, 1u, 2u, 3u, 4u, 5u, 9u}) {
        SetUp();
        HeavySound(1);
        MovingNotesSong(1, 1);
        g_polyphony = polyphony;
        RequestStart();
        const std::vector<uint32_t> out = RenderInCalls(60000, 4096);
        if (reference.empty()) {
            reference = out;
            ASSERT_NE(std::count(out.begin(), out.end(), 0u), static_cast<long>(out.size()));
        } else {
            EXPECT_EQ(out, reference) << "polyphony " << polyphony;
        }
    }
}

TEST_F(EngineWideTest, SilenceIsExactZeros) {
    HeavySound(1);
    PlainSound(2);
    g_bassTrebleEq = 1;
    g_trebleLimiter = 1;
    // An idle engine, then a playing song without notes.
    for (uint32_t w : RenderInCalls(20000, 8192)) ASSERT_EQ(w, 0u);
    NewPattern(0);
    SetCommands(0, 0, 0, kCmdInstrument, 1);
    SetCommands(0, 1, 3, kCmdInstrument, 2);
    RequestStart();
    for (uint32_t w : RenderInCalls(50000, 4096)) ASSERT_EQ(w, 0u);
    EXPECT_EQ(g_songPlaying, 1u);
}

// One sine note on voice 0, filter off, worked out from the formulas.
//
// Sound: oscillator 1 sine at centre tune with key tracking; Amplifier - Gain 80
// (level 80 x 16 / 41 = 31), Attack 0 (28,021 per chunk), Decay 0 (3,392),
// Sustain 80 (S = 80 x 1,599,078 x 31 = 3,965,713,440); filter off, no drive,
// bus 0. Mixer: bus 0 volume 56, pan 0, master 56; equaliser and limiter off.
// Key 57 on row 0 of track 0.
TEST_F(EngineWideTest, GoldenSineNote) {
    DefineSound(1, {{kParamOsc1Wave, 1}, {kParamOsc1KeyTrack, 1}, {kParamAmpGain, 80}, {kParamAmpSustain, 80}});
    g_mixerSettings.volume[0] = 56;
    g_mixerSettings.master = 56;
    g_bassTrebleEq = 0;
    g_trebleLimiter = 0;
    g_polyphony = 0;
    NewPattern(0);
    SetCommands(0, 0, 0, kCmdInstrument, 1);
    SetNote(0, 0, 0, 57);
    RequestStart();
    const std::vector<uint32_t> out = RenderInCalls(30000, 4096);

    // Pitch index 57 x 256 + 6,143 = 20,735: built entry 14,591 of the phase step
    // table, row 56 entry 255. Row 56 starts at trunc(1,592,507.452321 x
    // 1.059463094359^56) and each further entry is trunc(previous x 1.000225659305).
    double base = 1592507.452321;
    for (int r = 0; r < 56; ++r) base *= 1.059463094359;
    uint32_t step = static_cast<uint32_t>(base);
    for (int j = 1; j < 256; ++j) step = static_cast<uint32_t>(step * 1.000225659305);
    EXPECT_EQ(step, g_phaseStepTable[20735]);
    const double hz = step * 44100.0 / 4294967296.0;
    EXPECT_NEAR(hz, 440.0 * std::pow(2.0, -1.0 / 3072), 0.01) << "A-4, 1/256 semitone low";

    // Gains, snapped at the play start: bus volume 56^2 x 684,784 / 96 = 22,369,610;
    // pan centre 0x10000000 + 20 x 0x2666666 = 0x3FFFFFF8; master, equaliser page:
    // trunc(0.6 x 56^2 x 684,784) = 1,288,489,574.
    const int32_t busVolume = 22369610;
    const int32_t pan = 0x3FFFFFF8;
    const int32_t master = 1288489574;
    // One output frame from the voice's envelope factor e and its oscillator value:
    // voiceOut = hi(osc, e); the bus gets voiceOut >> 6 (filter off: no voice gain);
    // v = hi(x, volume); right = 2 hi(v, pan), left = v - right; each channel
    // mul31(.., master), clipped.
    auto frame = [&](int32_t osc, int32_t e) {
        const int32_t v = hi(hi(osc, e) >> 6, busVolume);
        const int32_t right = 2 * hi(v, pan);
        const int32_t left = v - right;
        return static_cast<uint32_t>(static_cast<uint16_t>(Clip16(Mul31(left, master)))) |
               static_cast<uint32_t>(static_cast<uint16_t>(Clip16(Mul31(right, master)))) << 16;
    };
    // Frame j of the note reads the sine at phase j x step (the phase starts at 0).
    auto sine = [&](uint32_t j) { return g_sineTable[(j * step) >> 19]; };

    // Onset. The row-0 note starts 255 frames after the tick of frame 0; frame 255
    // is also a chunk frame ((255 + 1) mod 4 = 0). Its envelope is attack entry 0:
    // 4 >> 1 = 2 after the 2 of the note start, so e = 2 and hi(sine, 2) = 0: the
    // first chunk (frames 255..258) is silent, as is everything before it. (The
    // voice gain and its ramp take no part on this path; the ramp of a filtered
    // note's first chunk, held at 0x7FFFFFFF, is shown in the bus mix tests.)
    constexpr uint32_t kStart = 255;
    for (uint32_t f = 0; f < kStart + 4; ++f) ASSERT_EQ(out[f], 0u) << f;
    // Second chunk: attack entry 28,021 >> 8 = 109, E = rise[31][109] >> 1; the ramp
    // from 2 goes on past it: e_i = E + i x ((E - 2) >> 2).
    const int32_t e1 = static_cast<int32_t>(g_shapeRiseCurve[31][109] >> 1);
    for (uint32_t i = 0; i < 4; ++i) {
        const int32_t e = e1 + static_cast<int32_t>(i) * ((e1 - 2) >> 2);
        EXPECT_EQ(out[kStart + 4 + i], frame(sine(4 + i), e)) << "frame " << kStart + 4 + i;
    }
    EXPECT_NE(out[kStart + 4 + 1], 0u) << "the note is heard from its second chunk";

    // Steady state: the attack lasts ceil(0x80000 / 28,021) = 19 chunks and the
    // decay ceil(0x80000 / 3,392) = 155; chunk 174 gives the held sustain
    // hiu(S, 2^32 - 1) = S - 1, so ampEnv = (S - 1) >> 1 = 1,982,856,719, and from
    // chunk 175 on the ramp is flat.
    const int32_t sustainEnv = 1982856719;
    EXPECT_EQ(static_cast<uint32_t>(sustainEnv), (3965713440u - 1) >> 1);
    const uint32_t steady = kStart + 4 * 175;
    for (uint32_t f = steady; f < out.size(); ++f) ASSERT_EQ(out[f], frame(sine(f - kStart), sustainEnv)) << f;

    // Steady peak: at the sine's top (2^30) hi(2^30, 1,982,856,719) = 495,714,179;
    // >> 6 = 7,745,534; hi(., 22,369,610) = 40,341; right = 2 hi(40,341, pan) =
    // 2 x 10,085 = 20,170, left = 20,171; times master / 2^31 (0.59999971): left
    // 12,102, right 12,101. At the bottom: -7,745,535, -40,342, right -20,172, left
    // -20,170: left -12,102, right -12,104.
    const uint32_t top = frame(1 << 30, sustainEnv);
    const uint32_t bottom = frame(-(1 << 30), sustainEnv);
    EXPECT_EQ(Left(top), 12102);
    EXPECT_EQ(Right(top), 12101);
    EXPECT_EQ(Left(bottom), -12102);
    EXPECT_EQ(Right(bottom), -12104);
    int16_t peak[2] = {0, 0}, trough[2] = {0, 0};
    int crossings = 0;
    for (uint32_t f = steady; f < out.size(); ++f) {
        const int16_t s[2] = {Left(out[f]), Right(out[f])};
        for (int c = 0; c < 2; ++c) {
            peak[c] = std::max(peak[c], s[c]);
            trough[c] = std::min(trough[c], s[c]);
        }
        if (f > steady && (Left(out[f - 1]) < 0) != (s[0] < 0)) ++crossings;
    }
    // The sine is read at steps of about 82 entries, so the largest value read lies
    // within 41 entries of the top: within 1 - cos(2 pi 41 / 8192) (0.05 %, 7
    // units). The right channel follows v; the left takes v - right, which the
    // rounding of the pan puts up to 2 above v / 2, so near the top it can read
    // one unit more than at the top itself.
    EXPECT_LE(peak[0], 12103);
    EXPECT_GE(peak[0], 12102 - 7);
    EXPECT_LE(peak[1], 12101);
    EXPECT_GE(peak[1], 12101 - 7);
    EXPECT_GE(trough[0], -12103);
    EXPECT_LE(trough[0], -12102 + 7);
    EXPECT_GE(trough[1], -12104);
    EXPECT_LE(trough[1], -12104 + 7);
    // Two sign changes per cycle at 439.87 Hz.
    const double seconds = (out.size() - steady) / 44100.0;
    EXPECT_NEAR(crossings, 2 * hz * seconds, 2.0);
}

// All 32 tracks of the heavy sound: no call allocates.
TEST_F(EngineWideTest, RenderCallsAllocateNothing) {
    for (int s = 1; s <= 8; ++s) HeavySound(s, s);
    HeldNotesSong(kVoices, 1);
    g_trebleLimiter = 1;
    RequestStart();
    std::vector<uint32_t> out(4096);
    {
        // Kept in a volatile pointer, so that no compiler may leave the
        // allocation out.
        static std::vector<int>* volatile kept = nullptr;
        const long before = AllocationCount();
        kept = new std::vector<int>(3);
        const long after = AllocationCount();
        delete kept;
        ASSERT_GT(after, before) << "the counter must see allocations";
    }
    for (int call = 0; call < 24; ++call) {
        g_renderOut = out.data();
        g_renderFrames = 4096;
        g_renderPeriodPos = call % 2 == 0 ? 0 : 4096;
        const long before = AllocationCount();
        RenderBlock();
        EXPECT_EQ(AllocationCount(), before) << "call " << call;
    }
    EXPECT_NE(std::count(out.begin(), out.end(), 0u), 4096);
}

// Random song data within the types' ranges (valid structure: patterns of the set
// length, samples within their data, calls within the contract) for `seed`, then
// four seconds of it in calls of random sizes within the period, restarting the
// song at random places now and then, with the voice lanes on or off. Returns
// the output; `heard` counts its non-zero words.
std::vector<uint32_t> EngineWideTest::RenderRandomSong(uint32_t seed, bool lanes, int64_t& heard) {
    constexpr uint32_t kPatternLengths[] = {16, 24, 32, 48, 64, 96, 128};
    std::vector<uint32_t> out;
    {
        SetUp();
        UseVoiceLanes(lanes);
        std::mt19937 rng(seed);
        auto byte = [&] { return static_cast<uint8_t>(rng()); };
        auto word = [&] { return static_cast<uint32_t>(rng()); };

        g_patternLength = kPatternLengths[rng() % 7];
        for (int p = 0; p < kMaxPatterns; ++p) {
            if (rng() % 8 == 0) {
                g_patterns[p] = nullptr;
                continue;
            }
            uint8_t* block = NewPattern(p);
            for (uint32_t i = 0; i < 4 * kVoices * g_patternLength; ++i) block[i] = byte();
        }
        // Mostly pattern numbers, so that the songs play for a while.
        for (int i = 0; i < kOrderPositions; ++i) {
            g_songOrder[i] = rng() % 4 == 0 ? byte() : static_cast<uint8_t>(rng() % kMaxPatterns);
            g_songOrderJump[i] = byte();
        }
        for (auto& param : g_soundBank)
            for (uint8_t& v : param) v = byte();
        for (auto& target : g_modulationBank)
            for (uint8_t& v : target) v = byte();
        for (int i = 0; i < kSplitSets * kSplitKeys; ++i) {
            g_splitSample[i] = static_cast<int32_t>(rng() % 4 == 0 ? word() : rng() % 8);
            g_splitTranspose[i] = static_cast<int32_t>(rng() % 4 == 0 ? word() : rng() % 49) - 24;
        }
        for (int n = 0; n < 6; ++n) {
            std::vector<int16_t> frames(1 + rng() % 3000);
            for (int16_t& s : frames) s = static_cast<int16_t>(rng());
            const uint32_t length = static_cast<uint32_t>(frames.size());
            Sample(n, frames, static_cast<uint32_t>(rng() % (length + 1)));
        }
        for (auto& lane : g_tweakLaneData)
            for (uint8_t& v : lane) v = byte();
        for (int k = 0; k < kAutomationKnobs; ++k) {
            g_knobParam[k] = rng() % 2 ? word() : word() % 31;
            g_knobSound[k] = rng() % 2 ? word() : word() % 100;
            g_knobEnabled[k] = word();
        }
        g_automationOn = word() % 2;
        // Settings anywhere in their types now and then, mostly within their ranges
        // (so that the buses are heard).
        auto setting = [&](int32_t lo, int32_t hi) {
            return rng() % 4 == 0 ? static_cast<int32_t>(word()) : lo + static_cast<int32_t>(word() % (hi - lo + 1));
        };
        for (int b = 0; b < kBuses; ++b) {
            g_mixerSettings.volume[b] = setting(0, 56);
            g_mixerSettings.pan[b] = setting(-20, 20);
            g_mixerSettings.send1[b] = setting(0, 40);
            g_mixerSettings.send2[b] = setting(0, 40);
            g_volumeOverrides.bus[b] = rng() % 4 == 0 ? word() : 0;
        }
        g_mixerSettings.master = setting(0, 56);
        g_tempo = rng() % 4 == 0 ? word() : 40 + word() % 361;
        g_stepsPerBeat = word() % 16;
        g_doubleStepsPerBeat = word() % 2;
        g_bassTrebleEq = word();
        g_trebleLimiter = word();

        // Four seconds in calls of random sizes within the period, restarting the
        // song at random places now and then.
        uint32_t pos = 0;
        for (uint64_t frames = 0; frames < 4 * 44100;) {
            if (rng() % 6 == 0) {
                g_polyphony = word() % 8;
                RequestStart(word() % kOrderPositions, word() % 128);
            }
            if (pos >= static_cast<uint32_t>(kPeriodPositions) || rng() % 4 == 0) pos = 0;
            const uint32_t n = 1 + word() % std::min<uint32_t>(4096, kPeriodPositions - pos);
            const std::vector<uint32_t> words = Render(n, pos);
            heard += std::count_if(words.begin(), words.end(), [](uint32_t w) { return w != 0; });
            out.insert(out.end(), words.begin(), words.end());
            EXPECT_TRUE(RowsAreZero(pos, n)) << "seed " << seed;
            pos += n;
            frames += n;
        }
        EXPECT_TRUE(MixBufferIsZero()) << "seed " << seed;
    }
    UseVoiceLanes(true);
    return out;
}

// Random bytes in patterns, order list, banks, samples and settings render
// without a fault (the sanitizer build checks every access), and the voice lanes
// give exactly what the voices give one by one.
TEST_F(EngineWideTest, RandomSongDataRendersWithoutFault) {
    int64_t heard = 0;
    for (uint32_t seed = 1; seed <= 6; ++seed) {
        const std::vector<uint32_t> withLanes = RenderRandomSong(seed, true, heard);
        int64_t heardAlone = 0;
        const std::vector<uint32_t> alone = RenderRandomSong(seed, false, heardAlone);
        ASSERT_EQ(withLanes.size(), alone.size());
        const auto diff = std::mismatch(withLanes.begin(), withLanes.end(), alone.begin());
        EXPECT_EQ(diff.first, withLanes.end())
            << "seed " << seed << ": the lanes differ from frame " << (diff.first - withLanes.begin());
    }
    EXPECT_GT(heard, 3 * 44100) << "the random songs must be heard for a while";
}

}  // namespace
