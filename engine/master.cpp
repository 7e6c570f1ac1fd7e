// Master bus mixer, mixer-gain smoothing and meters. See master.h.
#include "engine/master.h"

#include "engine/stages.h"
#include "engine/tables.h"
#include "shared/fixed.h"
#include "shared/master_state.h"
#include "shared/mix_buffer.h"
#include "shared/mixer.h"
#include "shared/relaxed.h"
#include "shared/settings.h"
#include "shared/transport.h"

int32_t g_busMeterSample[kBuses] = {};

const int32_t g_meterThresholds[kMeterThresholds] = {
    32,   48,   64,   96,   128,  192,  256,  384,  512,  640,  768,  896,  1024, 1280, 1536, 1792,
    1792, 1792, 1792, 1792, 1792, 1792, 1792, 1792, 1792, 1792, 1792, 1792, 1792, 1792, 1792, 1792,
};

namespace {

constexpr int32_t kVolumeGlide = 0x6000000;  // 3/128 of the distance per step
constexpr int32_t kPanSendGlide = 0x4000000; // 1/64 of the distance per step

constexpr int kMaxVolumeSetting = kVolumeSettings - 1;  // 56
constexpr int kMaxSendSetting = kSendSettings - 1;      // 40
constexpr int kPanCentre = (kPanSettings - 1) / 2;      // 20

// Settings come from song files, MIDI and pattern commands: clamp before indexing.
int32_t Clamp(int32_t v, int32_t lo, int32_t hi) { return v < lo ? lo : (v > hi ? hi : v); }

int32_t BusVolumeTarget(int b) {
    const uint32_t over = g_volumeOverrides.bus[b];
    if (over != 0) return static_cast<int32_t>(over);
    return g_busVolumeTable[Clamp(g_mixerSettings.volume[b], 0, kMaxVolumeSetting)];
}

int32_t MasterVolumeTarget() {
    const uint32_t over = g_volumeOverrides.master;
    if (over != 0) return static_cast<int32_t>(over);
    const uint32_t mute = g_masterMute;
    if (mute != 0) return static_cast<int32_t>(mute);
    // Any non-zero equaliser switch means "on" (page 1), as in the output stage.
    const int page = g_bassTrebleEq != 0 ? 1 : 0;
    return g_masterVolumeTable[page * kMasterVolumePageEntries +
                               Clamp(g_mixerSettings.master, 0, kMaxVolumeSetting)];
}

int32_t PanTarget(int b) {
    return g_panTable[Clamp(g_mixerSettings.pan[b], -kPanCentre, kPanCentre) + kPanCentre];
}

int32_t SendTarget(int32_t setting) { return g_sendLevelTable[Clamp(setting, 0, kMaxSendSetting)]; }

// One smoothing step of a gain toward its target.
int32_t Glide(int32_t current, int32_t target, int32_t k) {
    if (current == target) return current;
    int32_t step = hi(wrapSub(target, current), k);
    if (step == 0) step = 1;
    return wrapAdd(current, step);
}

// |v| >> shift, with |INT32_MIN| taken as 2^31.
int32_t Amplitude(int32_t v, int shift) {
    const uint32_t mag = v < 0 ? 0u - static_cast<uint32_t>(v) : static_cast<uint32_t>(v);
    return static_cast<int32_t>(mag >> shift);
}

// Raises one meter: looks the amplitude up only when it exceeds the threshold of
// the current level (thresholdIndex); amplitudes beyond the table read its last
// entry.
void RaiseMeter(Relaxed<int32_t>& meter, int32_t amplitude, int thresholdIndex) {
    if (amplitude > g_meterThresholds[thresholdIndex]) {
        meter = g_meterLevelTable[amplitude < kMeterEntries ? amplitude : kMeterEntries - 1];
    }
}

}  // namespace

void UpdateMeters() {
    for (int b = 0; b < kBuses; ++b) {
        Relaxed<int32_t>& meter = g_meterLevels[MeterOfBus(b)];
        RaiseMeter(meter, Amplitude(g_busMeterSample[b], 5), meter & (kMeterThresholds - 1));
    }
    // The master levels index the thresholds as they are; a level outside 0..31
    // (written by another thread) is held to the nearest entry.
    Relaxed<int32_t>& left = g_meterLevels[kMeterMasterLeft];
    RaiseMeter(left, Amplitude(g_lastOutLeft, 4), Clamp(left, 0, kMeterThresholds - 1));
    Relaxed<int32_t>& right = g_meterLevels[kMeterMasterRight];
    RaiseMeter(right, Amplitude(g_lastOutRight, 4), Clamp(right, 0, kMeterThresholds - 1));
}

void SmoothMixer() {
    MasterState& ms = g_masterState;
    for (int b = 0; b < kBuses; ++b) ms.busVolume[b] = Glide(ms.busVolume[b], BusVolumeTarget(b), kVolumeGlide);
    RelaxedStore(ms.masterVolume, Glide(ms.masterVolume, MasterVolumeTarget(), kVolumeGlide));
    for (int b = 0; b < kBuses; ++b) {
        ms.busPan[b] = Glide(ms.busPan[b], PanTarget(b), kPanSendGlide);
        ms.busSend1[b] = Glide(ms.busSend1[b], SendTarget(g_mixerSettings.send1[b]), kPanSendGlide);
        ms.busSend2[b] = Glide(ms.busSend2[b], SendTarget(g_mixerSettings.send2[b]), kPanSendGlide);
    }
}

void SnapMixerGains() {
    MasterState& ms = g_masterState;
    for (int b = 0; b < kBuses; ++b) ms.busVolume[b] = BusVolumeTarget(b);
    RelaxedStore(ms.masterVolume, MasterVolumeTarget());
    for (int b = 0; b < kBuses; ++b) {
        ms.busPan[b] = PanTarget(b);
        ms.busSend1[b] = SendTarget(g_mixerSettings.send1[b]);
        ms.busSend2[b] = SendTarget(g_mixerSettings.send2[b]);
    }
}

void MixBuses(uint32_t pos) {
    MasterState& ms = g_masterState;
    int32_t dryLeft[4] = {}, dryRight[4] = {};
    int32_t fx1Left[4] = {}, fx1Right[4] = {};
    int32_t fx2Left[4] = {}, fx2Right[4] = {};
    int32_t* row = g_mixBuffer.row[pos];
    for (int b = 0; b < kBuses; ++b) {
        int32_t* in = row + 4 * b;
        const int32_t x[4] = {in[0], in[1], in[2], in[3]};
        if ((x[0] | x[1] | x[2] | x[3]) == 0) {
            g_busMeterSample[b] = 0;
            continue;
        }
        in[0] = in[1] = in[2] = in[3] = 0;
        const int32_t volume = ms.busVolume[b];
        const int32_t pan = ms.busPan[b];
        const int32_t send1 = ms.busSend1[b];
        const int32_t send2 = ms.busSend2[b];
        int32_t left[4], right[4];
#pragma GCC unroll 4
        for (int k = 0; k < 4; ++k) {
            const int32_t v = hi(x[k], volume);
            if (k == 0) g_busMeterSample[b] = v;
            const int32_t halfRight = hi(v, pan);
            right[k] = wrapAdd(halfRight, halfRight);
            left[k] = wrapSub(v, right[k]);
            dryLeft[k] = wrapAdd(dryLeft[k], left[k]);
            dryRight[k] = wrapAdd(dryRight[k], right[k]);
        }
        if (send1 != 0) {
#pragma GCC unroll 4
            for (int k = 0; k < 4; ++k) {
                fx1Left[k] = wrapAdd(fx1Left[k], wrapMul(2, hi(left[k], send1)));
                fx1Right[k] = wrapAdd(fx1Right[k], wrapMul(2, hi(right[k], send1)));
            }
        }
        if (send2 != 0) {
#pragma GCC unroll 4
            for (int k = 0; k < 4; ++k) {
                fx2Left[k] = wrapAdd(fx2Left[k], wrapMul(2, hi(left[k], send2)));
                fx2Right[k] = wrapAdd(fx2Right[k], wrapMul(2, hi(right[k], send2)));
            }
        }
    }
#pragma GCC unroll 4
    for (int k = 0; k < 4; ++k) {
        ms.dryLeft[k] = dryLeft[k];
        ms.dryRight[k] = dryRight[k];
        ms.fx1InLeft[k] = fx1Left[k];
        ms.fx1InRight[k] = fx1Right[k];
        ms.fx2InLeft[k] = fx2Left[k];
        ms.fx2InRight[k] = fx2Right[k];
    }
}
