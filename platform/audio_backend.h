// Where the emulated audio devices get their sound out: a back-end lists the
// output devices and opens output streams on them. The PortAudio back-end is
// used unless a test installs another one before the first audio call.
//
// A stream asks its source for frames (16-bit stereo, 44,100 Hz) on its own
// thread; the source copies finished audio and never blocks.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Consumer side of an output stream.
class AudioSource {
public:
    virtual ~AudioSource() = default;
    // Fills `frames` stereo frames (left, right interleaved) at `out`.
    virtual void Pull(int16_t* out, uint32_t frames) = 0;
};

class AudioStream {
public:
    virtual ~AudioStream() = default;
    virtual bool Start() = 0;
    // Returns once the source is no longer being pulled.
    virtual void Stop() = 0;
    // True when the stream pulls on its own clock (a real device); false when a
    // test pulls it step by step.
    virtual bool Paced() const = 0;
    // Periods in which the device itself reported running dry.
    virtual uint64_t DeviceUnderflows() const { return 0; }
};

// One output device as the back-end reports it.
struct AudioOutputInfo {
    std::string name;
    uint16_t channels = 2;        // channels the device opens with
    uint32_t formats = 0x800;     // format bits (0x800: 44.1 kHz 16-bit stereo)
    uint32_t support = 0;         // capability bits (0x10: synchronous)
    uint32_t capsResult = 0;      // result of asking for the capabilities (0 = success)
};

enum class AudioOpenError : uint32_t { None, BadDevice, Busy, NoMemory, BadFormat, NoDriver, Other };

// Calls whose result a test back-end can force.
enum class AudioCall : int {
    WaveOutOpen,
    WaveOutWrite,
    AllocateBuffer,
    DirectSoundEnumerate,
    DirectSoundCreate,
    SetCooperativeLevel,
    CreatePrimaryBuffer,
    SetFormat,
    CreateSoundBuffer,
    QueryNotify,
    SetNotificationPositions,
    Count
};

class AudioBackend {
public:
    virtual ~AudioBackend() = default;
    // The output devices; asked once, the answer is kept.
    virtual std::vector<AudioOutputInfo> EnumerateOutputs() = 0;
    // Index of the default output in that list, -1 when there is none.
    virtual int DefaultOutput() = 0;
    virtual std::unique_ptr<AudioStream> Open(int output, AudioSource* source, AudioOpenError& error) = 0;
    // A result forced for the next such call, 0 for none.
    virtual uint32_t ForcedResult(AudioCall) { return 0; }
};

// Installs `backend` in place of the current one (tests; before any audio call
// of the test). The device list is asked from the new back-end.
void InstallAudioBackend(std::unique_ptr<AudioBackend> backend);
AudioBackend& ActiveAudioBackend();
// The cached device list of the active back-end and its default entry.
const std::vector<AudioOutputInfo>& AudioOutputs();
int DefaultAudioOutput();
// The output a device id names: the default for -1, else the id itself; -1 when
// there is no such output.
int ResolveAudioOutput(int id);
// The forced result for `call`, 0 when none.
uint32_t ForcedAudioResult(AudioCall call);

// Zeroed memory for audio buffers (movable-memory style allocation); null when
// it cannot be had. Free with FreeAudioBuffer.
void* AllocateAudioBuffer(uint32_t bytes);
void FreeAudioBuffer(void* block);

// PortAudio back-end options, set before the first audio call: the client name
// under which the process appears on a sound server, and a function called with
// that name after each stream is opened and before it starts (tests connect
// their recorder there).
void SetAudioClientName(const std::string& name);
void SetAudioStreamOpenedHook(void (*hook)(const std::string& clientName));
std::unique_ptr<AudioBackend> MakePortAudioBackend();
