// MIDI ports: one input and one output at a time, on a back-end that lists
// and opens the system's ports (RtMidi on the ALSA sequencer and JACK unless a
// test installs its own).
//
// Ports are named by stable names: the back-end's name without the numbers a
// port system hands out afresh on every run, so a stored name finds its port
// again. Short messages travel as packed words: status in bits 0-7, first data
// byte in bits 8-15, second in bits 16-23.
//
// Input: every arriving short message (clock and active sensing included,
// system exclusive never) is stamped with timeGetTime at arrival and queued
// in a fixed lock-free ring; one delivery thread of this layer hands the
// messages to the input handler one at a time, in order. The handler never
// runs after MidiInClose has returned. Nothing is dropped: only when the ring
// is full does a clock or active sensing message give way; any other message
// waits for room.
//
// Output: MidiOutShortMsg queues a message into the ring of its producer (the
// MIDI thread and the GUI thread each own one) and one sender thread hands
// them to the port, so no two threads ever call into the port at once. The
// delivery and send paths allocate nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// A port list: the stable names in order. When listing failed part-way,
// `error` is the failure's code and the list ends before the failing port.
inline constexpr uint32_t kMidiListBadId = 2;      // "identifier out of range"
inline constexpr uint32_t kMidiListNoDriver = 6;   // "driver is not installed"
inline constexpr uint32_t kMidiListNoMemory = 7;   // "unable to allocate memory"
inline constexpr uint32_t kMidiListInvalid = 11;   // "invalid pointer or structure"
struct MidiPortList {
    std::vector<std::string> names;
    uint32_t error = 0;
};

enum class MidiOpenResult { Ok, Allocated, Failed };

// The stable names of a listing, in order: a name that earlier ports of
// exactly the same name already carry gets " (2)", " (3)"... by their count.
std::vector<std::string> NumberRepeatedPortNames(const std::vector<std::string>& names);

// Where a back-end's input thread hands arriving bytes (one whole message).
void MidiBytesArrived(const uint8_t* bytes, size_t count);

class MidiBackend {
public:
    virtual ~MidiBackend() = default;
    virtual MidiPortList ListInputs() = 0;
    virtual MidiPortList ListOutputs() = 0;
    // Opens the input port of that stable name; from then on its messages go
    // to MidiBytesArrived. CloseIn returns once no more arrive.
    virtual MidiOpenResult OpenIn(const std::string& name) = 0;
    virtual void CloseIn() = 0;
    virtual MidiOpenResult OpenOut(const std::string& name) = 0;
    virtual void CloseOut() = 0;
    // Sends one whole message; called by the sender thread only.
    virtual void Send(const uint8_t* bytes, size_t count) = 0;
};

// Installs a back-end in place of the current one (tests; with both ports
// closed). Without one, the RtMidi back-end is made at the first call.
void InstallMidiBackend(std::unique_ptr<MidiBackend> backend);
std::unique_ptr<MidiBackend> CreateRtMidiBackend();
MidiBackend& ActiveMidiBackend();

MidiPortList MidiListInputs();
MidiPortList MidiListOutputs();

// Receives each input message and its time stamp (milliseconds since
// MidiInOpen started the input), on the delivery thread.
using MidiInHandler = void (*)(uint32_t message, uint32_t stamp);

// Opens and starts the input; `started` receives timeGetTime at the start,
// from which the stamps count.
MidiOpenResult MidiInOpen(const std::string& name, MidiInHandler handler, uint32_t& started);
void MidiInClose();
bool MidiInIsOpen();
// Returns once every message that arrived before the call has been handled.
void MidiInFlush();

MidiOpenResult MidiOutOpen(const std::string& name);
void MidiOutClose();
bool MidiOutIsOpen();

// Producers of outgoing messages, each with its own ring.
enum class MidiProducer { MidiThread = 0, GuiThread = 1 };
// Bytes a message takes by its status byte; 0 for a status that is no short
// message (a data byte, system exclusive and its end, undefined 0xF4/0xF5/0xF9/0xFD).
size_t MidiMessageLength(uint8_t status);
// Queues a short message for the output: false when no output is open, the
// status byte is no short message's, or the producer's ring is full. Data
// bytes are sent with their top bit cleared.
bool MidiOutShortMsg(uint32_t message, MidiProducer producer);
// Returns once everything queued before the call has been handed to the port
// (tests and the close).
void MidiOutFlush();
