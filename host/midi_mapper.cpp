#include "host/midi_mapper.h"

#include <algorithm>

#include "shared/channel_map.h"
#include "shared/editor.h"
#include "shared/settings.h"

int32_t ParseVoicesField(const std::string& text) {
    int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') break;
        value = std::min<int64_t>(value * 10 + (c - '0'), kVoicesFieldMax);
    }
    return static_cast<int32_t>(value);
}

void ClampChannelVoices() {
    for (auto& voices : g_channelPolyphony)
        if (static_cast<uint32_t>(int32_t(voices)) > uint32_t(kMaxChannelVoices)) voices = kMaxChannelVoices;
}

int64_t MappedVoices() {
    int64_t total = 0;
    for (const auto& voices : g_channelPolyphony) total += int32_t(voices);
    return total;
}

std::string VoicesWarning(int64_t total, int32_t polyphonyChoice) {
    const int32_t choice = polyphonyChoice >= 0 && polyphonyChoice < 6 ? polyphonyChoice : 5;
    return total > g_polyphonyVoices[choice] ? "WARNING!!! Not ehough available voices!!!" : " ";
}

void SetChannelVoices(int channel, int32_t voices) {
    if (channel < 0 || channel >= kMidiChannels) return;
    if (int32_t(g_channelPolyphony[channel]) == voices) return;
    g_channelPolyphony[channel] = voices;
    g_docModified = 1;
}

void SetChannelSound(int channel, int32_t sound) {
    if (channel < 0 || channel >= kMidiChannels) return;
    if (int32_t(g_channelSound[channel]) == sound) return;
    g_channelSound[channel] = sound;
    g_docModified = 1;
}
