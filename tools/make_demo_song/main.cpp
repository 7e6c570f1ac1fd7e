// make_demo_song: builds the demo song that the program greets its user with
// (songs/_default_.mcs) and writes it with the program's own song writer.
//
//   make_demo_song OUT.mcs
//
// Everything the song holds is made here, so the shipped file can always be
// made again: two runs give the same bytes apart from the random word that the
// writer puts at byte 8 of every song file. Exits 0 when written, 1 when the
// file cannot be written, 2 on a usage error.
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "data/pattern_store.h"
#include "data/song_file.h"
#include "data/song_reset.h"
#include "data/sound_bank_ops.h"
#include "data/value_limits.h"
#include "engine/sequencing.h"
#include "shared/app_settings.h"
#include "shared/file_io.h"
#include "shared/mixer.h"
#include "shared/settings.h"
#include "shared/song.h"
#include "shared/song_info.h"
#include "shared/sound_bank.h"
#include "shared/transport.h"

namespace {

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "make_demo_song: %s\n", what.c_str());
    std::exit(1);
}

// ---------------------------------------------------------------------------
// Sounds

using Knobs = std::initializer_list<std::pair<SoundParam, int>>;

// Knob value of a tune: 40 is the centre, each step 0.6 semitone, so an octave
// is 20 steps.
constexpr int Octaves(int n) { return 40 + 20 * n; }
// Fine tune: 40 is the centre, each step 1/64 semitone.
constexpr int Cents(int cents) { return 40 + cents * 64 / 100; }

// Sound s from the defaults of a fresh bank with the given knobs.
void DefineSound(int s, const char* name, Knobs knobs) {
    for (int p = 0; p < kSoundParams; ++p) g_soundBank[p][s] = g_soundParamDefaults[p];
    for (const auto& [p, v] : knobs) {
        if (v < 0 || v > 255 || ClampSoundParam(p, static_cast<uint8_t>(v)) != v)
            Fail("sound " + std::to_string(s) + ": parameter " + std::to_string(p) + " out of range");
        g_soundBank[p][s] = static_cast<uint8_t>(v);
    }
    // The panel draws capitals, digits and blanks only, as the name box keeps.
    if (std::string(name).find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 ") != std::string::npos)
        Fail(std::string("sound name \"") + name + "\" holds a character the panel cannot draw");
    g_soundNames[s] = name;
}

// Sound numbers and the mixer buses (1..8) they play on.
enum Sound : int { kLead = 1, kPad = 2, kBass = 3, kArp = 4, kKick = 10, kSnare = 11, kHat = 12, kOpenHat = 13 };
enum Bus : int { kBusKick = 1, kBusDrums = 2, kBusBass = 3, kBusPad = 4, kBusLead = 5, kBusArp = 6 };

void DefineSounds() {
    // A pulse lead with a slowly sweeping width, a detuned sawtooth beside it,
    // a filter that closes a little after the attack, and delayed vibrato.
    DefineSound(kLead, "PULSE LEAD",
                {{kParamOsc1Wave, 4}, {kParamOsc1PulseWidth, 30}, {kParamOsc1Pwm, 6},
                 {kParamOsc2On, 1}, {kParamOsc2Wave, 3}, {kParamOsc2FineTune, Cents(9)}, {kParamOsc2Volume, 45},
                 {kParamAmpAttack, 8}, {kParamAmpDecay, 45}, {kParamAmpSustain, 62}, {kParamAmpRelease, 34},
                 {kParamAmpGain, 60},
                 {kParamFilterOn, 1}, {kParamFilterType, 1}, {kParamFilterCutoff, 44}, {kParamFilterResonance, 28},
                 {kParamFilterDecay, 40}, {kParamFilterSustain, 35}, {kParamFilterRelease, 30},
                 {kParamFilterGain, 34}, {kParamFilterKeyTrack, 1},
                 {kParamVibratoDelay, 6}, {kParamVibratoDepth, 5}, {kParamVibratoRate, 32},
                 {kParamChannel, kBusLead}});
    // Three sawtooths (one an octave up) through the 24 dB low pass, whose
    // cutoff the LFO moves slowly; a soft attack and a long release.
    DefineSound(kPad, "WARM PAD",
                {{kParamOsc1Wave, 3},
                 {kParamOsc2On, 1}, {kParamOsc2Wave, 3}, {kParamOsc2FineTune, Cents(12)}, {kParamOsc2Volume, 70},
                 {kParamOsc3On, 1}, {kParamOsc3Wave, 3}, {kParamOsc3Tune, Octaves(1)},
                 {kParamOsc3FineTune, Cents(-7)}, {kParamOsc3Volume, 30},
                 {kParamAmpAttack, 52}, {kParamAmpDecay, 55}, {kParamAmpSustain, 70}, {kParamAmpRelease, 52},
                 {kParamAmpGain, 38},
                 {kParamFilterOn, 1}, {kParamFilterType, 2}, {kParamFilterCutoff, 42}, {kParamFilterResonance, 16},
                 {kParamFilterAttack, 50}, {kParamFilterDecay, 60}, {kParamFilterSustain, 40},
                 {kParamFilterRelease, 50}, {kParamFilterGain, 20}, {kParamFilterKeyTrack, 1},
                 {kParamLfoOn, 1}, {kParamLfoDestination, 4}, {kParamLfoShape, 1}, {kParamLfoRate, 12},
                 {kParamLfoDepth, 5},
                 {kParamChannel, kBusPad}});
    // A sawtooth with a detuned pulse, a resonant 24 dB low pass with a
    // short filter envelope, a little drive; the gate time makes it staccato.
    DefineSound(kBass, "ROUND BASS",
                {{kParamOsc1Wave, 3},
                 {kParamOsc2On, 1}, {kParamOsc2Wave, 4}, {kParamOsc2FineTune, Cents(-8)}, {kParamOsc2Volume, 55},
                 {kParamAmpAttack, 0}, {kParamAmpDecay, 38}, {kParamAmpSustain, 55}, {kParamAmpRelease, 14},
                 {kParamAmpGain, 66},
                 {kParamFilterOn, 1}, {kParamFilterType, 2}, {kParamFilterCutoff, 22}, {kParamFilterResonance, 46},
                 {kParamFilterDecay, 28}, {kParamFilterSustain, 8}, {kParamFilterRelease, 14},
                 {kParamFilterGain, 44}, {kParamFilterKeyTrack, 1},
                 {kParamGateTime, 24}, {kParamDistortion, 12},
                 {kParamChannel, kBusBass}});
    // A plucked sawtooth: the filter and the amplifier both fall to nothing.
    DefineSound(kArp, "GLASS PLUCK",
                {{kParamOsc1Wave, 3},
                 {kParamOsc2On, 1}, {kParamOsc2Wave, 2}, {kParamOsc2Tune, Octaves(1)}, {kParamOsc2Volume, 40},
                 {kParamAmpAttack, 0}, {kParamAmpDecay, 30}, {kParamAmpSustain, 0}, {kParamAmpRelease, 26},
                 {kParamAmpGain, 52},
                 {kParamFilterOn, 1}, {kParamFilterType, 1}, {kParamFilterCutoff, 12}, {kParamFilterResonance, 48},
                 {kParamFilterDecay, 22}, {kParamFilterSustain, 0}, {kParamFilterRelease, 20},
                 {kParamFilterGain, 24}, {kParamFilterKeyTrack, 1},
                 {kParamChannel, kBusArp}});
    // Drums made of synthesizer sounds. The kick: a sine whose pitch the user
    // envelope throws down by about three octaves at the start.
    DefineSound(kKick, "SINE KICK",
                {{kParamOsc1Wave, 1},
                 {kParamAmpAttack, 0}, {kParamAmpDecay, 34}, {kParamAmpSustain, 0}, {kParamAmpRelease, 20},
                 {kParamAmpGain, 80},
                 {kParamUserEnvOn, 1}, {kParamUserEnvDestination, 3}, {kParamUserEnvAttack, 0},
                 {kParamUserEnvDecay, 4}, {kParamUserEnvSustain, 0}, {kParamUserEnvRelease, 4},
                 {kParamUserEnvGain, 28},
                 {kParamChannel, kBusKick}});
    // The snare: bright noise over a sine body of about 185 Hz whatever the
    // key (oscillator 2 without key tracking), whose pitch falls a little.
    DefineSound(kSnare, "NOISE SNARE",
                {{kParamOsc1Wave, 5}, {kParamOsc1Tune, Octaves(2)},
                 {kParamOsc2On, 1}, {kParamOsc2Wave, 1}, {kParamOsc2KeyTrack, 0}, {kParamOsc2Tune, 37},
                 {kParamOsc2Volume, 60},
                 {kParamAmpAttack, 0}, {kParamAmpDecay, 20}, {kParamAmpSustain, 0}, {kParamAmpRelease, 16},
                 {kParamAmpGain, 62},
                 {kParamUserEnvOn, 1}, {kParamUserEnvDestination, 4}, {kParamUserEnvDecay, 8},
                 {kParamUserEnvSustain, 0}, {kParamUserEnvGain, 10},
                 {kParamChannel, kBusDrums}});
    // Hats: the same noise higher, through a high pass, short and longer.
    DefineSound(kHat, "CLOSED HAT",
                {{kParamOsc1Wave, 5}, {kParamOsc1Tune, Octaves(2)},
                 {kParamAmpAttack, 0}, {kParamAmpDecay, 6}, {kParamAmpSustain, 0}, {kParamAmpRelease, 6},
                 {kParamAmpGain, 30},
                 {kParamFilterOn, 1}, {kParamFilterType, 3}, {kParamFilterCutoff, 55}, {kParamFilterResonance, 12},
                 {kParamChannel, kBusDrums}});
    DefineSound(kOpenHat, "OPEN HAT",
                {{kParamOsc1Wave, 5}, {kParamOsc1Tune, Octaves(2)},
                 {kParamAmpAttack, 0}, {kParamAmpDecay, 24}, {kParamAmpSustain, 0}, {kParamAmpRelease, 20},
                 {kParamAmpGain, 30},
                 {kParamFilterOn, 1}, {kParamFilterType, 3}, {kParamFilterCutoff, 52}, {kParamFilterResonance, 14},
                 {kParamChannel, kBusDrums}});
}

// ---------------------------------------------------------------------------
// Effects and mixer

void SetEffects() {
    EffectSettings& fx = g_effectSettings;
    // Unit 1 (send 1): the ping-pong delay, three steps, 40 % feedback.
    fx.fxType[0] = 4;
    fx.fxParam[0][0] = 3;
    fx.fxParam[0][1] = 40;
    fx.fxParam[0][2] = 0;
    // Unit 2 (send 2): stereo chorus, 16 ms, depth 30, rate 12; unit 3 (send 2
    // and unit 2's output): the hall reverb.
    fx.fxType[1] = 7;
    fx.fxParam[1][0] = 16;
    fx.fxParam[1][1] = 30;
    fx.fxParam[1][2] = 12;
    fx.fxType[2] = 6;
    fx.fxParam[2][0] = 18;
    fx.fxParam[2][1] = 150;
    fx.fxParam[2][2] = 0;
    fx.fxSerial = 0;
    fx.fxSerialAmount = 0;
}

struct BusMix {
    int bus, volume, pan, send1, send2;
};

void SetMixer() {
    const BusMix buses[] = {
        {kBusKick, 56, 0, 0, 0},   {kBusDrums, 36, 0, 0, 10}, {kBusBass, 38, 0, 0, 0},
        {kBusPad, 34, 0, 4, 24},   {kBusLead, 30, 3, 16, 12}, {kBusArp, 32, -7, 22, 10},
    };
    for (const BusMix& b : buses) {
        g_mixerSettings.volume[b.bus - 1] = b.volume;
        g_mixerSettings.pan[b.bus - 1] = b.pan;
        g_mixerSettings.send1[b.bus - 1] = b.send1;
        g_mixerSettings.send2[b.bus - 1] = b.send2;
    }
    g_mixerSettings.master = 44;
}

// ---------------------------------------------------------------------------
// Patterns

constexpr uint32_t kRows = 64;  // four bars of sixteen steps

enum Track : int { kTrackKick, kTrackSnare, kTrackHat, kTrackOpenHat, kTrackBass, kTrackPad1, kTrackPad2,
                   kTrackPad3, kTrackLead, kTrackArp, kTracks };
const int kTrackSound[kTracks] = {kKick, kSnare, kHat, kOpenHat, kBass, kPad, kPad, kPad, kLead, kArp};

// A key by its name as the pattern editor shows it: "C-4", "F#2".
int Key(const std::string& name) {
    static const char* const kNames[12] = {"C-", "C#", "D-", "D#", "E-", "F-", "F#", "G-", "G#", "A-", "A#", "B-"};
    for (int semitone = 0; semitone < 12; ++semitone) {
        if (name.size() == 3 && name.compare(0, 2, kNames[semitone]) == 0 && name[2] >= '0' && name[2] <= '8')
            return (name[2] - '0') * 12 + semitone;
    }
    Fail("no such note: " + name);
}

class PatternWriter {
public:
    PatternWriter() {
        if (!NewPattern()) Fail("no memory for a pattern");
        number_ = g_patternCount - 1;
        data_ = g_patterns[number_];
        // Every track starts with its sound, so play can start at any pattern.
        for (int t = 0; t < kTracks; ++t) Command(t, 0, kCmdInstrument, kTrackSound[t]);
    }
    uint8_t Number() const { return static_cast<uint8_t>(number_); }

    // Steps of one track from row `row` on: "C-4" a note, "===" a release,
    // "..." nothing, separated by blanks.
    PatternWriter& Steps(int track, uint32_t row, const std::string& steps) {
        std::istringstream in(steps);
        for (std::string step; in >> step; ++row) {
            if (row >= kRows) Fail("steps beyond the pattern");
            if (step == "...") continue;
            Note(track, row, step == "===" ? kNoteRelease : Key(step));
        }
        return *this;
    }
    // The same steps in each of the four bars.
    PatternWriter& EveryBar(int track, const std::string& steps) {
        for (uint32_t bar = 0; bar < 4; ++bar) Steps(track, bar * 16, steps);
        return *this;
    }
    PatternWriter& Note(int track, uint32_t row, int note) {
        data_[PatternIndex(track, 3, row, kRows)] = static_cast<uint8_t>(note);
        return *this;
    }
    // Command A of the cell when it is free, else command B.
    PatternWriter& Command(int track, uint32_t row, int code, int value) {
        uint8_t& codes = data_[PatternIndex(track, 0, row, kRows)];
        if ((codes & 0xF0) == 0) {
            codes = static_cast<uint8_t>(codes | code << 4);
            data_[PatternIndex(track, 1, row, kRows)] = static_cast<uint8_t>(value);
        } else if ((codes & 0x0F) == 0) {
            codes = static_cast<uint8_t>(codes | code);
            data_[PatternIndex(track, 2, row, kRows)] = static_cast<uint8_t>(value);
        } else {
            Fail("a cell holds two commands already");
        }
        return *this;
    }

private:
    uint32_t number_ = 0;
    uint8_t* data_ = nullptr;
};

// The harmony, one chord a bar: A minor, F, C, G.
const char* const kChords[4][3] = {{"A-3", "C-4", "E-4"}, {"A-3", "C-4", "F-4"}, {"G-3", "C-4", "E-4"},
                                   {"G-3", "B-3", "D-4"}};
const char* const kRoots[4] = {"A-1", "F-1", "C-2", "G-1"};
const char* const kArpeggios[4] = {
    "A-4 C-5 E-5 A-5 E-5 C-5 A-4 E-4 A-4 C-5 E-5 A-5 C-6 A-5 E-5 C-5",
    "F-4 A-4 C-5 F-5 C-5 A-4 F-4 C-4 F-4 A-4 C-5 F-5 A-5 F-5 C-5 A-4",
    "C-5 E-5 G-5 C-6 G-5 E-5 C-5 G-4 C-5 E-5 G-5 C-6 E-6 C-6 G-5 E-5",
    "G-4 B-4 D-5 G-5 D-5 B-4 G-4 D-4 G-4 B-4 D-5 G-5 B-5 G-5 D-5 B-4",
};

void Pads(PatternWriter& p) {
    for (int bar = 0; bar < 4; ++bar) {
        for (int v = 0; v < 3; ++v) p.Note(kTrackPad1 + v, bar * 16, Key(kChords[bar][v]));
    }
}

// The bass: a syncopated figure on the root, with the octave above.
void Bass(PatternWriter& p) {
    for (int bar = 0; bar < 4; ++bar) {
        const int r = Key(kRoots[bar]);
        const int steps[16] = {r, -1, r, r + 12, -1, r, -1, r + 12, r, -1, r, r + 12, -1, r, r + 7, -1};
        for (int s = 0; s < 16; ++s)
            if (steps[s] >= 0) p.Note(kTrackBass, bar * 16 + s, steps[s]);
    }
}

void Arpeggio(PatternWriter& p) {
    for (int bar = 0; bar < 4; ++bar) p.Steps(kTrackArp, bar * 16, kArpeggios[bar]);
}

// Closed hats on every step, the off-beats accented with the amplifier
// envelope command; the open hat at the end of every second bar.
void Hats(PatternWriter& p) {
    for (uint32_t row = 0; row < kRows; ++row) {
        p.Note(kTrackHat, row, Key("C-8"));
        if (row % 2 == 0) p.Command(kTrackHat, row, kCmdAmpEnvMod, row % 4 == 2 ? 45 : 15);
    }
    p.Steps(kTrackOpenHat, 16, "... ... ... ... ... ... ... ... ... ... ... ... ... ... C-8 ===");
    p.Steps(kTrackOpenHat, 48, "... ... ... ... ... ... ... ... ... ... ... ... ... ... C-8 ===");
}

void FourOnTheFloor(PatternWriter& p) { p.EveryBar(kTrackKick, "A-1 ... ... ... A-1 ... ... ... A-1 ... ... ... A-1 ... ... ..."); }
void BackBeat(PatternWriter& p) { p.EveryBar(kTrackSnare, "... ... ... ... C-7 ... ... ... ... ... ... ... C-7 ... ... ..."); }

// The tune, first and second half.
const char* const kTuneA[4] = {
    "E-5 ... ... ... ... ... D-5 ... C-5 ... ... ... D-5 ... E-5 ...",
    "F-5 ... ... ... E-5 ... C-5 ... ... ... ... ... A-4 ... ... ===",
    "G-4 ... C-5 ... E-5 ... ... ... G-5 ... ... ... ... ... E-5 ...",
    "D-5 ... ... ... ... ... ... ... B-4 ... D-5 ... G-5 ... ... ===",
};
const char* const kTuneB[4] = {
    "A-5 ... ... ... G-5 ... E-5 ... ... ... D-5 ... E-5 ... ... ...",
    "C-5 ... ... ... ... ... A-4 ... C-5 ... F-5 ... ... ... ... ===",
    "E-5 ... ... ... G-5 ... ... ... C-6 ... ... ... ... ... ... ...",
    "B-5 ... ... ... A-5 ... G-5 ... D-5 ... ... ... ... ... ... ===",
};

void Tune(PatternWriter& p, const char* const (&bars)[4]) {
    for (int bar = 0; bar < 4; ++bar) p.Steps(kTrackLead, bar * 16, bars[bar]);
}

struct Song {
    std::vector<uint8_t> order;
};

void BuildPatterns(Song& song) {
    // 0: the pad alone, the arpeggio's filter opening bar by bar.
    PatternWriter intro;
    Pads(intro);
    Arpeggio(intro);
    for (uint32_t row = 0; row < kRows; row += 2) intro.Command(kTrackArp, row, kCmdCutoffMod, row * 80 / kRows);
    intro.Steps(kTrackHat, 48, "... ... C-8 ... ... ... C-8 ... ... ... C-8 ... C-8 ... C-8 C-8");

    // 1: kick, hats and bass come in.
    PatternWriter groove;
    Pads(groove);
    Arpeggio(groove);
    groove.Command(kTrackArp, 0, kCmdCutoffMod, 60);
    FourOnTheFloor(groove);
    Hats(groove);
    Bass(groove);

    // 2 and 3: everything, with the tune.
    PatternWriter themeA;
    Pads(themeA);
    FourOnTheFloor(themeA);
    BackBeat(themeA);
    Hats(themeA);
    Bass(themeA);
    Tune(themeA, kTuneA);
    themeA.Command(kTrackLead, 48, kCmdVibrato, 34);

    PatternWriter themeB;
    Pads(themeB);
    FourOnTheFloor(themeB);
    BackBeat(themeB);
    Hats(themeB);
    Bass(themeB);
    Arpeggio(themeB);
    themeB.Command(kTrackArp, 0, kCmdCutoffMod, 40);
    Tune(themeB, kTuneB);
    themeB.Command(kTrackLead, 32, kCmdVibrato, 35);

    // 4: the break: no kick, the lead slides between its notes.
    PatternWriter breakdown;
    Pads(breakdown);
    Arpeggio(breakdown);
    breakdown.Command(kTrackArp, 0, kCmdCutoffMod, 20);
    BackBeat(breakdown);
    breakdown.Steps(kTrackLead, 0, "A-4 ... ... ... ... ... ... ... C-5 ... ... ... ... ... ... ...");
    breakdown.Steps(kTrackLead, 16, "F-5 ... ... ... ... ... ... ... E-5 ... ... ... ... ... ... ...");
    breakdown.Steps(kTrackLead, 32, "G-5 ... ... ... ... ... ... ... E-5 ... ... ... ... ... ... ...");
    breakdown.Steps(kTrackLead, 48, "D-5 ... ... ... ... ... ... ... B-4 ... ... ... ... ... ... ===");
    for (uint32_t row : {8u, 24u, 40u}) breakdown.Command(kTrackLead, row, kCmdSlide, 60);

    // 5: the end: the kick and bass stop on the last chord, which rings out.
    PatternWriter outro;
    FourOnTheFloor(outro);
    BackBeat(outro);
    Hats(outro);
    Bass(outro);
    for (int bar = 0; bar < 3; ++bar)
        for (int v = 0; v < 3; ++v) outro.Note(kTrackPad1 + v, bar * 16, Key(kChords[bar][v]));
    for (int v = 0; v < 3; ++v) outro.Note(kTrackPad1 + v, 48, Key(kChords[0][v]));
    for (int t : {kTrackKick, kTrackSnare, kTrackHat, kTrackBass}) outro.Note(t, 48, kNoteRelease);
    for (uint32_t row = 49; row < kRows; ++row) {
        for (int t : {kTrackKick, kTrackSnare, kTrackHat, kTrackBass}) outro.Note(t, row, kNoteEmpty);
    }
    outro.Steps(kTrackLead, 48, "A-5 ... ... ... ... ... ... ... ... ... ... ... ... ... ... ===");
    for (int v = 0; v < 3; ++v) outro.Note(kTrackPad1 + v, 63, kNoteRelease);

    song.order = {intro.Number(),  groove.Number(), themeA.Number(),    themeB.Number(),
                  breakdown.Number(), themeA.Number(), themeB.Number(), outro.Number()};
}

void BuildDemoSong() {
    g_polyphony = 5;  // the channel map's voices follow it
    g_patternLength = kRows;
    ResetSong();
    ResetSoundBank();
    g_tempo = 124;
    g_tempoDisplay = 124;
    g_stepsPerBeat = 4;
    g_doubleStepsPerBeat = 0;
    g_songMode = 1;
    g_patternCue = 0;

    DefineSounds();
    SetEffects();
    SetMixer();

    Song song;
    BuildPatterns(song);
    for (size_t pos = 0; pos < song.order.size(); ++pos) {
        g_songOrder[pos] = song.order[pos];
        g_songOrderJump[pos] = 0;
    }
    g_songOrder[song.order.size()] = kOrderEnd;

    g_songTitle = "First Light";
    g_songAuthor = "Morvel Canopy";
    g_songComment =
        "The demo song: drums made of synthesizer sounds (a sine kick thrown down by its user envelope, "
        "noise snare and hats), a resonant bass, a pad of three sawtooths with the LFO on its filter, "
        "a pulse lead with vibrato and slides, and a plucked arpeggio whose filter opens in the intro. "
        "Effects: ping-pong delay on send 1, chorus and hall reverb on send 2.";
    g_showInfoOnOpen = 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_demo_song OUT.mcs\n");
        return 2;
    }
    BuildDemoSong();

    CFile file;
    CFileException error;
    if (!file.Open(argv[1], CFile::modeCreate | CFile::modeWrite, &error)) Fail(std::string("cannot create ") + argv[1]);
    try {
        CArchive ar(&file, CArchive::store);
        StoreSong(ar);
        file.Close();
    } catch (const CFileException&) {
        Fail(std::string("cannot write ") + argv[1]);
    }
    return 0;
}
