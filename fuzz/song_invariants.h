// What must hold of the song in memory after any load, accepted or refused:
// the counts within their limits, every counted pattern and sample with its
// memory, loop points within their samples, and every value the engine or the
// editors index with inside its range. SongFingerprint sums up the song so that
// a refused load can be shown to have changed nothing.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "data/value_limits.h"
#include "shared/automation.h"
#include "shared/channel_map.h"
#include "shared/mixer.h"
#include "shared/samples.h"
#include "shared/song.h"
#include "shared/song_info.h"
#include "shared/sound_bank.h"

namespace song_invariants {

// Empty when everything holds; otherwise what does not.
inline std::string Violation() {
    if (g_patternCount > static_cast<uint32_t>(kMaxPatterns)) return "pattern count";
    if (!IsPatternLength(g_patternLength)) return "pattern length";
    for (uint32_t p = 0; p < g_patternCount; ++p) {
        if (g_patterns[p] == nullptr) return "counted pattern without memory";
    }
    if (g_sampleCount > static_cast<uint32_t>(kSampleSlots - 1)) return "sample count";
    for (uint32_t s = 0; s < g_sampleCount; ++s) {
        const int16_t* d = g_sampleData[s];
        if (d == nullptr) return "counted sample without memory";
        if (g_sampleLoopPoint[s] > g_sampleLength[s]) return "loop point beyond the sample";
        if (d[g_sampleLength[s]] != 0) return "guard frame not 0";
        if (g_sampleRootKey[s] > kMaxRootKey) return "root key";
    }
    if (g_sampleData[kSampleSlots - 1] != nullptr) return "slot 255 holds a sample";
    if (g_tempoDisplay < static_cast<uint32_t>(kMinTempo) || g_tempoDisplay > static_cast<uint32_t>(kMaxTempo))
        return "tempo";
    for (int b = 0; b < kBuses; ++b) {
        if (g_mixerSettings.volume[b] < 0 || g_mixerSettings.volume[b] > kMaxBusVolume) return "bus volume";
        if (g_mixerSettings.pan[b] < -kMaxPan || g_mixerSettings.pan[b] > kMaxPan) return "pan";
        if (g_mixerSettings.send1[b] < 0 || g_mixerSettings.send1[b] > kMaxSendLevel) return "send 1";
        if (g_mixerSettings.send2[b] < 0 || g_mixerSettings.send2[b] > kMaxSendLevel) return "send 2";
    }
    if (g_mixerSettings.master < 0 || g_mixerSettings.master > kMaxBusVolume) return "master volume";
    int32_t fx[14] = {g_effectSettings.fxType[0], g_effectSettings.fxType[1], g_effectSettings.fxType[2],
                      g_effectSettings.fxSerial,  g_effectSettings.fxSerialAmount};
    for (int u = 0; u < 3; ++u)
        for (int s = 0; s < 3; ++s) fx[5 + 3 * u + s] = g_effectSettings.fxParam[u][s];
    int32_t clamped[14];
    std::copy(fx, fx + 14, clamped);
    ClampEffectWords(clamped);
    if (!std::equal(fx, fx + 14, clamped)) return "effect settings";
    for (int c = 0; c < kMidiChannels; ++c) {
        if (g_channelSound[c] < 0 || g_channelSound[c] >= kSounds) return "channel sound";
        if (g_channelPolyphony[c] < 0 || g_channelPolyphony[c] > kMaxChannelVoices) return "channel voices";
    }
    for (int k = 0; k < kAutomationKnobs; ++k) {
        if (g_knobSound[k] >= static_cast<uint32_t>(kSounds)) return "knob sound";
        if (g_knobParam[k] >= static_cast<uint32_t>(kModTargets)) return "knob target";
    }
    for (int pos = 0; pos < kOrderPositions; ++pos) {
        if (g_songOrder[pos] == kOrderJump && g_songOrderJump[pos] >= kOrderPositions) return "jump target";
    }
    for (int p = 0; p < kSoundParams; ++p) {
        for (int s = 0; s < kSounds; ++s) {
            if (ClampSoundParam(p, g_soundBank[p][s]) != g_soundBank[p][s]) return "sound parameter " + std::to_string(p);
        }
    }
    for (int i = 0; i < kSplitSets * kSplitKeys; ++i) {
        if (g_splitSample[i] < 0 || g_splitSample[i] > 255) return "split sample";
    }
    return {};
}

// A hash in the manner of FNV-1a, eight bytes a step, over the song's counts,
// lists, bank, names, sample slots (with their guard frames), split tables,
// settings, effect settings and information (the automation lanes left out):
// everything Violation looks at, so that a song with the fingerprint of one that
// keeps the invariants keeps them too.
inline uint64_t SongFingerprint() {
    uint64_t h = 1469598103934665603ull;
    const auto mix = [&h](const void* p, size_t n) {
        const auto* b = static_cast<const uint8_t*>(p);
        size_t i = 0;
        for (; i + 8 <= n; i += 8) {
            uint64_t w;
            std::memcpy(&w, b + i, 8);
            h = (h ^ w) * 1099511628211ull;
            h ^= h >> 29;
        }
        for (; i < n; ++i) h = (h ^ b[i]) * 1099511628211ull;
    };
    const auto word = [&mix](uint64_t v) { mix(&v, sizeof(v)); };
    const auto text = [&mix, &word](const std::string& s) {
        word(s.size());
        mix(s.data(), s.size());
    };
    word(g_patternCount);
    word(g_patternLength);
    for (uint32_t p = 0; p < g_patternCount && p < static_cast<uint32_t>(kMaxPatterns); ++p)
        word(reinterpret_cast<uintptr_t>(g_patterns[p].load()));
    mix(g_songOrder, sizeof(g_songOrder));
    mix(g_songOrderJump, sizeof(g_songOrderJump));
    mix(g_soundBank, sizeof(g_soundBank));
    for (const std::string& name : g_soundNames) text(name);
    word(g_sampleCount);
    for (int s = 0; s < kSampleSlots; ++s) {
        const int16_t* frames = g_sampleData[s].load();
        word(reinterpret_cast<uintptr_t>(frames));
        if (frames != nullptr) word(static_cast<uint16_t>(frames[g_sampleLength[s]]));
        word(g_sampleLength[s]);
        word(g_sampleLoopPoint[s]);
        word(g_sampleRootKey[s]);
        text(g_sampleName[s]);
    }
    mix(g_splitSample, sizeof(g_splitSample));
    mix(g_splitTranspose, sizeof(g_splitTranspose));
    word(g_tempoDisplay);
    for (int b = 0; b < kBuses; ++b) {
        word(static_cast<uint32_t>(g_mixerSettings.volume[b].load()));
        word(static_cast<uint32_t>(g_mixerSettings.pan[b].load()));
        word(static_cast<uint32_t>(g_mixerSettings.send1[b].load()));
        word(static_cast<uint32_t>(g_mixerSettings.send2[b].load()));
        word(g_volumeOverrides.bus[b]);
    }
    word(static_cast<uint32_t>(g_mixerSettings.master.load()));
    for (int u = 0; u < 3; ++u) {
        word(static_cast<uint32_t>(g_effectSettings.fxType[u].load()));
        for (int p = 0; p < 3; ++p) word(static_cast<uint32_t>(g_effectSettings.fxParam[u][p].load()));
    }
    word(static_cast<uint32_t>(g_effectSettings.fxSerial.load()));
    word(static_cast<uint32_t>(g_effectSettings.fxSerialAmount.load()));
    for (int c = 0; c < kMidiChannels; ++c) {
        word(static_cast<uint32_t>(g_channelSound[c].load()));
        word(static_cast<uint32_t>(g_channelPolyphony[c].load()));
    }
    for (int k = 0; k < kAutomationKnobs; ++k) {
        word(g_knobEnabled[k]);
        word(g_knobSound[k]);
        word(g_knobParam[k]);
    }
    word(g_songHeaderWords[0]);
    word(g_songHeaderWords[1]);
    text(g_songTitle);
    text(g_songAuthor);
    text(g_songComment);
    return h;
}

}  // namespace song_invariants
