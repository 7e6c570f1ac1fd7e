#include "host/midi_ports.h"

#include <algorithm>

#include "engine/event_queue.h"
#include "host/midi_controllers.h"
#include "host/midi_handler.h"
#include "host/midi_state.h"
#include "platform/midi.h"
#include "shared/clock.h"
#include "shared/events.h"
#include "shared/message_box.h"
#include "shared/settings.h"
#include "shared/song.h"
#include "shared/transport.h"

std::vector<std::string> g_midiInNames;
std::vector<std::string> g_midiOutNames;
Relaxed<int32_t> g_midiInDevice{0};
Relaxed<int32_t> g_midiOutDevice{0};

namespace {

constexpr const char* kOwnOutputPort = "Morvel Canopy MIDI OUT";  // listed among the inputs
constexpr const char* kOwnInputPort = "Morvel Canopy MIDI IN";    // listed among the outputs

const char* ListingError(uint32_t code) {
    switch (code) {
    case kMidiListBadId: return "Specified device identifier is out of range.";
    case kMidiListInvalid: return "The specified pointer or structure is invalid.";
    case kMidiListNoDriver: return "Driver is not installed.";
    case kMidiListNoMemory: return "Unable to allocate or lock memory.";
    default: return nullptr;
    }
}

// At most 16 ports; the program's own port skipped; a listing error is shown
// and ends the list.
void FillList(const MidiPortList& list, const char* own, const char* call, std::vector<std::string>& names) {
    names.clear();
    const size_t n = std::min<size_t>(list.names.size(), kMaxMidiPorts);
    for (size_t i = 0; i < n; ++i)
        if (list.names[i] != own) names.push_back(list.names[i]);
    if (list.error != 0 && list.names.size() < size_t(kMaxMidiPorts))
        if (const char* text = ListingError(list.error)) AfxMessageBox(std::string("Error! ") + call + "\n" + text);
}

void Echo(uint32_t message) { MidiOutShortMsg(message, MidiProducer::MidiThread); }

// MIDI clocks per pattern row: 24 per beat.
uint32_t ClocksPerRow() {
    const uint32_t spb = g_stepsPerBeat;
    uint32_t clocks = spb == 6 || spb == 12 ? 4 : 6;
    if (g_doubleStepsPerBeat != 0) clocks /= 2;
    return clocks;
}

// Queues one clock step into every voice at the first position from the
// clock's time that is free in all the voices the engine renders (late
// clocks kept inside the period like notes); lost when the period holds no
// such position. Voices above the polyphony setting never take their events,
// so the steps they keep hold no position.
void QueueClockStep() {
    const uint32_t frames = std::min<uint32_t>(g_bufferFrames, kPeriodPositions);
    if (frames == 0) return;
    uint32_t pos = uint32_t(uint64_t(g_midiMs) * 441 / 10);
    if (pos >= frames) pos = frames >= 4 ? frames - 4 : 0;
    g_clockPos = pos;
    const uint32_t setting = g_polyphony;
    const int rendered = g_polyphonyVoices[setting < 6 ? setting : 5];
    for (; pos < frames; ++pos) {
        bool free = true;
        for (int v = 0; v < rendered && free; ++v) free = AcquireLoad(g_voiceEvents.code[v][pos]) == 0;
        if (!free) continue;
        for (int v = 0; v < kVoices; ++v) ReleaseStore(g_voiceEvents.code[v][pos], kVoiceEventClock);
        return;
    }
}

void SyncedClock(uint32_t message, uint32_t stamp) {
    Echo(message);
    g_clockInterval = stamp - g_lastClockTime;
    g_lastClockTime = stamp;
    const uint32_t bufferMs = g_bufferMs;
    if (g_clockCatchUp != 0 && bufferMs >= 10 && bufferMs <= 100) {
        g_clockCount += 1;  // counts twice while catching up
        g_clockCatchUpTime += g_clockInterval / 2;
        const double f = bufferMs <= 15 ? 0.3 : bufferMs <= 25 ? 0.6 : bufferMs <= 40 ? 0.8 : 1.0;
        if (double(g_clockCatchUpTime) >= f * double(bufferMs)) g_clockCatchUp = 0;
    } else {
        g_clockCatchUp = 0;
    }
    g_clockCount += 1;
    if (g_clockCount < ClocksPerRow()) return;
    g_clockCount = 0;
    QueueClockStep();
}

void SongPositionPointer(uint32_t message) {
    Echo(message);
    const uint32_t pointer = ((message >> 16) & 0x7F) * 128 + ((message >> 8) & 0x7F);
    g_songPosPointer = pointer;
    g_midiStartPending = 0;
    uint32_t order = 199;
    for (uint32_t i = 0; i < 199; ++i) {
        const uint8_t e = RelaxedLoad(g_songOrder[i]);
        if (e == kOrderEnd || e == kOrderJump) {
            order = i;
            break;
        }
    }
    uint32_t songPos = 0, row = 0;
    const uint32_t length = g_patternLength;
    if (order != 0 && pointer != 0 && length != 0) {
        uint32_t q = pointer;
        const uint32_t spb = g_stepsPerBeat;
        if (spb == 6 || spb == 12) q += q / 2;
        if (g_doubleStepsPerBeat != 0) q *= 2;
        songPos = q / length;
        row = q % length;
        if (songPos >= order) songPos = row = 0;
    }
    for (int t = 0; t < kVoices; ++t) {
        g_trackSongPos[t] = songPos;
        g_trackRow[t] = row;
    }
    g_songPosReceived = 1;
    g_midiActivity = 5;
}

void StartOrContinue(uint32_t message, bool start) {
    Echo(message);
    if (start) {
        if (g_songPosReceived == 0)
            for (int t = 0; t < kVoices; ++t) {
                g_trackSongPos[t] = 0;
                g_trackRow[t] = 0;
            }
    }
    g_engineReset = kResetStart;
    g_playFlag = 1;
    if (start) g_songPosReceived = 0;
    g_midiStartPending = 1;
    g_clockCatchUp = 1;
    g_clockCatchUpTime = 0;
    g_songMode = 1;
    g_patternCue = 0;
    g_loopPattern = 0;
    g_midiActivity = 5;
}

}  // namespace

void EnumerateMidiDevices() {
    FillList(MidiListInputs(), kOwnOutputPort, "midiInGetDevCaps", g_midiInNames);
    FillList(MidiListOutputs(), kOwnInputPort, "midiOutGetDevCaps", g_midiOutNames);
}

bool OpenMidiIn() {
    const int32_t i = g_midiInDevice;
    if (i < 0 || size_t(i) >= g_midiInNames.size()) return false;  // nothing to open
    // Ready before the first message can arrive.
    for (int v = 0; v < kVoices; ++v) {
        g_voiceMidiKey[v] = -1;
        g_voiceMidiChannel[v] = -1;
    }
    ApplyMidiControllerMap();
    g_midiInStartTime = timeGetTime();
    uint32_t started = 0;
    const MidiOpenResult r = MidiInOpen(g_midiInNames[size_t(i)], MidiInCallback, started);
    if (r == MidiOpenResult::Allocated) AfxMessageBox("MIDI device/keyboard is already allocated!");
    if (r != MidiOpenResult::Ok) return false;
    g_midiInStartTime = started;
    g_midiInOpen = 1;
    return true;
}

bool OpenMidiOut() {
    const int32_t i = g_midiOutDevice;
    if (i < 0 || size_t(i) >= g_midiOutNames.size()) return false;
    const MidiOpenResult r = MidiOutOpen(g_midiOutNames[size_t(i)]);
    if (r == MidiOpenResult::Allocated) AfxMessageBox("MIDI device is already allocated!");
    return r == MidiOpenResult::Ok;
}

void CloseMidiIn() {
    if (g_midiInOpen == 0) return;
    MidiInClose();  // no callback runs after this
    g_midiInOpen = 0;
}

void CloseMidiOut() { MidiOutClose(); }

void MidiInCallback(uint32_t message, uint32_t stamp) {
    // Time within the playing buffer; earlier messages at its start, later
    // ones at its last millisecond.
    const uint32_t bufferMs = g_bufferMs;
    uint32_t ms = g_midiInStartTime + stamp - g_bufferStartTime;
    if (ms > 0x1000000) ms = 0;
    if (ms >= bufferMs) ms = bufferMs > 0 ? bufferMs - 1 : 0;
    g_midiMs = ms;

    const uint32_t status = message & 0xFF;
    if (g_midiSync != 0) {
        switch (status) {
        case 0xF8:
            if (g_songPlaying != 0) {
                SyncedClock(message, stamp);
                return;
            }
            break;
        case 0xF2: SongPositionPointer(message); return;
        case 0xFA: StartOrContinue(message, true); return;
        case 0xFB: StartOrContinue(message, false); return;
        case 0xFC:
            Echo(message);
            g_engineReset = kResetStop;
            g_playFlag = 0;
            g_transmitTweaks = 0;
            g_midiActivity = 5;
            break;
        default: break;
        }
    }
    if (status == 0xF8) {
        g_clockInterval = stamp - g_lastClockTime;
        g_lastClockTime = stamp;
    } else if (status != 0xFE) {
        g_midiActivity = 5;
    }
    // Messages come one at a time, in order: none is dropped.
    HandleMidiMessage(message, int32_t(ms));
}
