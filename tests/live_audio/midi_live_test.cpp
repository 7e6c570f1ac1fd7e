// MIDI end to end on a sound server: an outside instrument (a JACK client made
// before the port lists are filled) plays into the program's input port and
// listens on its output port, while the program renders through a waveOut-style
// device on the same server. Checked: an external clock at 120 BPM moves the
// tracks row by row, clock and transport messages come back on the echo byte
// for byte, a song position pointer and Continue start at the pointer's row,
// and a note on sounds at its place in the next buffer and its note off
// releases it.
//
// A server without real-time scheduling on a busy machine fails to run some
// of its periods, and MIDI of such a period never arrives, in either
// direction, or arrives twice. What the program sends is therefore also logged where it leaves
// for the port: what it did is judged against what it received (as its echo
// shows), always; what it received and what came back against what the
// instrument sent, in a take during which the server lost no period (a take
// spoiled by lost periods is taken again). Needs a JACK server (skipped
// without one unless MC_REQUIRE_JACK is set).
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "data/pattern_store.h"
#include "data/song_reset.h"
#include "data/sound_bank_ops.h"
#include "engine/sequencing.h"
#include "engine/tables.h"
#include "host/audio_device.h"
#include "host/midi_ports.h"
#include "host/midi_state.h"
#include "host/render_paths.h"
#include "platform/audio_backend.h"
#include "platform/midi.h"
#include "shared/channel_map.h"
#include "shared/message_box.h"
#include "shared/render_call.h"
#include "shared/settings.h"
#include "shared/song.h"
#include "shared/sound_bank.h"
#include "shared/transport.h"
#include "shared/voice_state.h"
#include "tests/eventually.h"
#include "tests/live_audio/midi_peer.h"

namespace {

using namespace std::chrono_literals;

constexpr uint32_t kPeriodFrames = 2048;  // the waveOut "Buffer size"
constexpr uint32_t kRows = 64;
constexpr int32_t kKey = 60 - 12;          // of note 60
constexpr uint32_t kNoteOn = 0x7F3C90;     // note 60, velocity 127, channel 1
constexpr uint32_t kNoteOff = 0x403C80;

// Everything the render path hands to the capture file, in order: one whole
// block after another from the block in which the capture was armed.
constexpr size_t kCaptureBytes = size_t(44100) * 4 * 30;
uint8_t g_captured[kCaptureBytes];
std::atomic<size_t> g_capturedBytes{0};

bool TakeCapture(const uint8_t* data, uint32_t bytes) {
    const size_t at = g_capturedBytes.load(std::memory_order_relaxed);
    const size_t n = std::min<size_t>(bytes, kCaptureBytes - at);
    std::memcpy(g_captured + at, data, n);
    g_capturedBytes.store(at + n, std::memory_order_release);
    return true;
}

void StartCapture() {
    g_capturedBytes = 0;
    g_captureWriter = TakeCapture;
    g_captureFill = 0;
    g_captureTotal = 0;
    g_captureFileState = 0;
    g_captureOverrun = 0;
    g_captureArmed = 1;
    g_captureOn.store(1, std::memory_order_seq_cst);
}

// Stops the capture and returns its frames.
std::vector<uint32_t> StopCapture() {
    g_captureOn.store(0, std::memory_order_seq_cst);
    while (g_captureBusy.load(std::memory_order_seq_cst) != 0) std::this_thread::sleep_for(1ms);
    g_captureArmed = 0;
    EXPECT_EQ(g_captureOverrun, 0u);
    TakeCapture(g_captureBuffer, g_captureFill);
    const size_t bytes = g_capturedBytes.load(std::memory_order_acquire);
    std::vector<uint32_t> frames(bytes / 4);
    std::memcpy(frames.data(), g_captured, frames.size() * 4);
    return frames;
}

// More than the one step either side of 0 that the output stage leaves
// when a sound has ended.
bool Audible(uint32_t frame) {
    const int left = int16_t(frame & 0xFFFF);
    const int right = int16_t(frame >> 16);
    return left > 1 || left < -1 || right > 1 || right < -1;
}

// Frames captured so far (whole blocks).
uint32_t CapturedFrames() { return g_captureTotal / 4; }

// The program's own RtMidi back-end, with every message it sends logged on
// its way to the port (the sender thread writes, the test reads).
class LoggedBackend : public MidiBackend {
public:
    explicit LoggedBackend(std::unique_ptr<MidiBackend> inner) : inner_(std::move(inner)) {}
    MidiPortList ListInputs() override { return inner_->ListInputs(); }
    MidiPortList ListOutputs() override { return inner_->ListOutputs(); }
    MidiOpenResult OpenIn(const std::string& name) override { return inner_->OpenIn(name); }
    void CloseIn() override { inner_->CloseIn(); }
    MidiOpenResult OpenOut(const std::string& name) override { return inner_->OpenOut(name); }
    void CloseOut() override { inner_->CloseOut(); }
    void Send(const uint8_t* bytes, size_t count) override {
        uint32_t word = 0;
        for (size_t i = 0; i < count && i < 4; ++i) word |= uint32_t(bytes[i]) << (8 * i);
        const uint32_t n = sent_.load(std::memory_order_relaxed);
        if (n < log_.size()) {
            log_[n] = word;
            sent_.store(n + 1, std::memory_order_release);
        }
        inner_->Send(bytes, count);
    }
    std::vector<uint32_t> Sent(size_t from) const {
        const uint32_t n = sent_.load(std::memory_order_acquire);
        return std::vector<uint32_t>(log_.begin() + long(std::min<size_t>(from, n)), log_.begin() + n);
    }
    size_t SentCount() const { return sent_.load(std::memory_order_acquire); }

private:
    std::unique_ptr<MidiBackend> inner_;
    std::array<uint32_t, 8192> log_{};
    std::atomic<uint32_t> sent_{0};
};

class MidiLiveTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        const std::string pid = std::to_string(getpid());
        // The instrument's ports exist before the program lists its ports.
        peer_ = new MidiPeer(("mckeys" + pid).c_str());
        if (!peer_->Running()) return;
        auto backend = std::make_unique<LoggedBackend>(CreateRtMidiBackend());
        sent_ = backend.get();
        InstallMidiBackend(std::move(backend));
        SetAudioClientName("mcmidi" + pid);
        BuildEngineTables();
        if (g_hPollThread == nullptr) CreateRenderThreads();  // once a process
        EnumerateAudioDevices();
        EnumerateMidiDevices();
    }

    static void TearDownTestSuite() {
        if (sent_ != nullptr) InstallMidiBackend(nullptr);  // both ports are closed
        sent_ = nullptr;
        delete peer_;
        peer_ = nullptr;
    }

    void SetUp() override {
        if (!peer_->Running()) {
            if (std::getenv("MC_REQUIRE_JACK") != nullptr) FAIL() << "no JACK server";
            GTEST_SKIP() << "no JACK server running";
        }
        SetMessageBoxHandler([](const std::string& text, unsigned, unsigned) {
            ADD_FAILURE() << "message box: " << text;
            return 1;
        });
        MakeSong();
        g_midiSync = 1;

        const auto in = std::find(g_midiInNames.begin(), g_midiInNames.end(), peer_->OutputName());
        const auto out = std::find(g_midiOutNames.begin(), g_midiOutNames.end(), peer_->InputName());
        ASSERT_NE(in, g_midiInNames.end()) << "the instrument's port is not listed";
        ASSERT_NE(out, g_midiOutNames.end());
        g_midiInDevice = int32_t(in - g_midiInNames.begin());
        g_midiOutDevice = int32_t(out - g_midiOutNames.begin());
        ASSERT_TRUE(OpenMidiIn());
        ASSERT_TRUE(OpenMidiOut());

        g_waveOutDevice = DeviceEntry("system");
        ASSERT_GE(g_waveOutDevice, 1);
        g_responseTime = int32_t(kPeriodFrames);
        ASSERT_TRUE(OpenAudioDevice());
        // Messages are placed within the render period once one has begun.
        ASSERT_TRUE(Eventually([] { return g_bufferFrames == kPeriodFrames; }));
    }

    void TearDown() override {
        if (!peer_->Running()) return;
        CloseMidiIn();
        CloseMidiOut();
        CloseAudioDevice();
        g_midiSync = 0;
        SetMessageBoxHandler(nullptr);
    }

    static int32_t DeviceEntry(const std::string& name) {
        for (int i = 0; i < g_deviceCount; ++i)
            if (g_deviceNames[i] == name && g_deviceIsDirectSound[i] == 0) return i;
        return -1;
    }

    // A new song of 64-row patterns at 4 steps per beat, all 32 voices in
    // use: positions 0 and 1 play patterns 0 and 1, position 2 jumps back to 0.
    // The only note is on track 0 at row 8 of pattern 1, with sound 1.
    static void MakeSong() {
        g_patternLength = kRows;
        g_stepsPerBeat = 4;
        g_polyphony = 5;
        ResetSong();
        ResetSoundBank();
        ASSERT_TRUE(NewPattern());
        ASSERT_TRUE(NewPattern());
        g_songOrder[0] = 0;
        g_songOrder[1] = 1;
        g_songOrderJump[1] = kNoTranspose;
        g_songOrder[2] = kOrderJump;
        g_songOrderJump[2] = 0;
        uint8_t* p = g_patterns[1];
        p[PatternIndex(0, 0, 8, kRows)] = kCmdInstrument << 4;
        p[PatternIndex(0, 1, 8, kRows)] = 1;
        p[PatternIndex(0, 3, 8, kRows)] = 50;
    }

    // Sends the messages and waits until the program has handled them all.
    static void Play(const std::vector<uint32_t>& messages) {
        for (uint32_t m : messages) peer_->Send(m);
        Settle();
    }

    // Waits until the instrument has sent everything queued, the program's
    // input has had a few server periods to take it, and all of it is handled.
    static void Settle() {
        Eventually([] { return peer_->AllSent(); });
        std::this_thread::sleep_for(50ms);
        MidiInFlush();
    }

    // What the program sent in this take, once `count` messages have, and a
    // little longer, so that one too many shows.
    std::vector<uint32_t> Sent(size_t count) const {
        Eventually([this, count] { return sent_->SentCount() >= sentFrom_ + count; }, 3s);
        std::this_thread::sleep_for(100ms);
        MidiOutFlush();
        return sent_->Sent(sentFrom_);
    }

    // What reached the instrument in this take once it has `count` messages,
    // or after a while.
    std::vector<uint32_t> Echo(size_t count) const {
        Eventually([this, count] { return peer_->Received().size() >= echoFrom_ + count; }, 3s);
        const std::vector<uint32_t> all = peer_->Received();
        return std::vector<uint32_t>(all.begin() + long(echoFrom_), all.end());
    }

    // What one take found wrong: in what the program did with what it
    // received, and between the instrument and the program (a message that
    // did not arrive, either way). Empty when nothing.
    struct Faults {
        std::vector<std::string> program;
        std::vector<std::string> transport;
        void Program(const std::string& f, const char* when) {
            if (!f.empty()) program.push_back(std::string(when) + ": " + f);
        }
        void Transport(const std::string& f) { transport.push_back(f); }
    };

    // Runs `take` again, up to six times in all, while it finds messages lost
    // on their way and the server reported periods it failed to run. A fault
    // of the program fails at once, and so does a loss with no lost period.
    // When the server lost periods in every take, the last take's losses are
    // noted, not failed: what the program did with what it received was
    // judged in every take.
    template <typename Take>
    void Retake(Take take) {
        Faults faults;
        bool spoiled = false;
        for (int attempt = 0; attempt < 6; ++attempt) {
            Stopped();
            const int xruns = peer_->Xruns();
            faults = take();
            // The server tells of a lost period a little after it.
            std::this_thread::sleep_for(200ms);
            spoiled = peer_->Xruns() != xruns;
            if (!faults.program.empty() || faults.transport.empty() || !spoiled) break;
            std::fprintf(stderr, attempt < 5 ? "the server lost periods and messages with them, taking it again:\n"
                                             : "the server lost periods and messages with them in every take; "
                                               "what the program did with what it received was judged:\n");
            for (const std::string& f : faults.transport) std::fprintf(stderr, "  %s\n", f.c_str());
        }
        for (const std::string& f : faults.program) ADD_FAILURE() << f;
        if (!spoiled)
            for (const std::string& f : faults.transport) ADD_FAILURE() << f << " (the server lost no period)";
    }

    // Before a take: the song stopped (Stop sent while it plays), the key
    // not held (note off sent while a voice holds it), both ways quiet.
    void Stopped() {
        for (int i = 0; i < 5 && g_songPlaying != 0; ++i) {
            Play({0xFC});
            Eventually([] { return g_songPlaying == 0; }, 2s);
        }
        for (int i = 0; i < 5 && Holder() >= 0; ++i) Play({kNoteOff});
        g_songPosReceived = 0;  // a pointer of an earlier take does not carry over
        std::this_thread::sleep_for(300ms);
        MidiOutFlush();
        echoFrom_ = peer_->Received().size();
        sentFrom_ = sent_->SentCount();
    }

    // The voice that holds the key for channel 1, or -1.
    static int Holder() {
        for (int v = 0; v < kVoices; ++v)
            if (g_voiceMidiKey[v] == kKey && g_voiceMidiChannel[v] == 0) return v;
        return -1;
    }

    // "" when every track stands at the position, else what they show.
    static std::string TracksAt(uint32_t songPos, uint32_t row) {
        std::string wrong;
        for (int t = 0; t < kVoices; ++t) {
            if (g_trackSongPos[t] == songPos && g_trackRow[t] == row) continue;
            wrong += " track " + std::to_string(t) + " at " + std::to_string(g_trackSongPos[t]) + ":" +
                     std::to_string(g_trackRow[t]);
        }
        if (wrong.empty()) return wrong;
        return "expected every track at " + std::to_string(songPos) + ":" + std::to_string(row) + ";" + wrong;
    }

    // The messages with each run of one message repeated kept once.
    static std::vector<uint32_t> WithoutRepeats(std::vector<uint32_t> words) {
        words.erase(std::unique(words.begin(), words.end()), words.end());
        return words;
    }

    static std::string Describe(const std::vector<uint32_t>& words) {
        std::string text = std::to_string(words.size()) + " messages:";
        char hex[12];
        for (uint32_t w : words) {
            std::snprintf(hex, sizeof hex, " %X", w);
            text += hex;
        }
        return text;
    }

    static MidiPeer* peer_;
    static LoggedBackend* sent_;
    size_t echoFrom_ = 0;  // messages the instrument had received before this take
    size_t sentFrom_ = 0;  // messages the program had sent before this take
};

MidiPeer* MidiLiveTest::peer_ = nullptr;
LoggedBackend* MidiLiveTest::sent_ = nullptr;

// 24 clocks a beat at 120 BPM: one every 500 / 24 ms. At 4 steps a beat a
// row takes 24 / 4 = 6 clocks, so 240 clocks make 40 rows. The waveOut
// buffer (250 ms) lies outside the catch-up's 10 to 100 ms: no clock counts
// twice. Start plays the start row at once, so the tracks stand on row 1.
// Clocks before Start are neither echoed nor counted; Stop turns knob
// transmission off.
TEST_F(MidiLiveTest, ClocksAt120BpmMoveTheTracksFortyRowsAndComeBackOnTheEcho) {
    constexpr uint32_t kClocks = 240;
    constexpr uint32_t kClocksPerRow = 24 / 4;
    static_assert(kClocks / kClocksPerRow == 40);

    Retake([&] {
        Faults faults;
        g_transmitTweaks = 1;
        Play({0xF8, 0xF8, 0xF8});
        if (g_songPlaying != 0) faults.Program("the song plays", "after clocks while stopped");

        Play({0xFA});
        if (!Eventually([] { return g_songPlaying != 0; }, 3s)) {
            faults.Transport("Start did not start the song");
            return faults;
        }
        faults.Program(TracksAt(0, 1), "after Start");

        const auto first = std::chrono::steady_clock::now();
        for (uint32_t i = 0; i < kClocks; ++i) {
            std::this_thread::sleep_until(first + std::chrono::microseconds(i * 500000 / 24));
            peer_->Send(0xF8);
        }
        Settle();
        Eventually([&] { return g_trackRow[0] >= 1 + kClocks / kClocksPerRow; }, 5s);
        // Every clock step queued has been played two periods later.
        std::this_thread::sleep_for(std::chrono::milliseconds(3 * kPeriodFrames / 44));
        const uint32_t count = g_clockCount;
        const bool playing = g_songPlaying != 0;
        std::string rows = TracksAt(0, 1 + kClocks / kClocksPerRow);

        Play({0xFC});
        const bool stopped = Eventually([] { return g_songPlaying == 0; }, 3s);
        if (!stopped) faults.Transport("Stop did not stop the song");
        else if (g_transmitTweaks != 0) faults.Program("knob transmission on", "after Stop");

        // The program echoes what it acts on, before it acts: its echo shows
        // the clocks it received while playing.
        const std::vector<uint32_t> sent = Sent(kClocks + 2);
        const size_t clocks = size_t(std::count(sent.begin(), sent.end(), 0xF8u));
        std::vector<uint32_t> expected = {0xFA};
        expected.insert(expected.end(), clocks, 0xF8);
        if (stopped) expected.push_back(0xFC);
        if (sent != expected) faults.Program(Describe(sent), "echo");
        if (!playing) faults.Program("the song stopped", "during the clocks");
        if (clocks == kClocks) {
            faults.Program(rows, "after the clocks");
        } else {
            faults.Transport(std::to_string(clocks) + " of " + std::to_string(kClocks) + " clocks arrived");
            rows = TracksAt(0, 1 + uint32_t(clocks) / kClocksPerRow);
            faults.Program(rows, ("after " + std::to_string(clocks) + " clocks").c_str());
        }
        if (count != clocks % kClocksPerRow)
            faults.Program(std::to_string(count) + " clocks toward the next row", "after the clocks");

        const std::vector<uint32_t> echo = Echo(sent.size());
        if (echo != sent) faults.Transport("the instrument received " + Describe(echo));
        std::vector<uint32_t> all = {0xFA};
        all.insert(all.end(), kClocks, 0xF8);
        all.push_back(0xFC);
        if (sent != all && clocks == kClocks) faults.Transport("Start or Stop did not arrive");
        return faults;
    });
}

// The pointer counts sixteenth notes; at 4 steps a beat one is a row: 72 is
// 72 div 64 = song position 1, row 72 mod 64 = 8. Continue plays that row at
// once (its note sounds) and leaves the tracks on row 9.
TEST_F(MidiLiveTest, SongPositionPointerThenContinueStartsAtItsRow) {
    constexpr uint32_t kPointer = 72;
    const uint32_t pointer = 0xF2 | (kPointer & 0x7F) << 8 | (kPointer >> 7) << 16;
    Retake([&] {
        Faults faults;
        Play({pointer});
        MidiOutFlush();
        if (sent_->SentCount() == sentFrom_) {
            faults.Transport("the pointer did not arrive");
            return faults;
        }
        faults.Program(TracksAt(kPointer / kRows, kPointer % kRows), "after the pointer");
        if (g_songPlaying != 0) faults.Program("the song plays", "after the pointer");

        Play({0xFB});
        if (!Eventually([] { return g_songPlaying != 0; }, 3s)) {
            faults.Transport("Continue did not start the song");
            return faults;
        }
        faults.Program(TracksAt(1, 9), "after Continue");
        // The note of row 8, track 0, the only one in the song.
        if (!Eventually([] { return RelaxedLoad(g_voiceState[0].ampGate) != 0; }, 3s))
            faults.Program("row 8's note did not sound", "after Continue");

        Play({0xFC});
        const bool stopped = Eventually([] { return g_songPlaying == 0; }, 3s);
        if (!stopped) faults.Transport("Stop did not stop the song");
        std::vector<uint32_t> expected = {pointer, 0xFB};
        if (stopped) expected.push_back(0xFC);
        const std::vector<uint32_t> sent = Sent(expected.size());
        if (sent != expected) {
            // A late period hands the program its input port's last
            // messages again: echoed twice, they arrived twice.
            if (WithoutRepeats(sent) == expected) faults.Transport("a message arrived twice: " + Describe(sent));
            else faults.Program(Describe(sent), "echo");
        }
        const std::vector<uint32_t> echo = Echo(sent.size());
        if (echo != sent) faults.Transport("the instrument received " + Describe(echo));
        return faults;
    });
}

// A note on is placed at its arrival's offset in the playing buffer (ms x 44,
// at most the period's frames - 4) and taken by the voice when a render
// reaches that offset: in the block being rendered, or else the next one. The
// note starts 239 frames later. The capture holds whole blocks, so the first
// sound lies that far into a block (plus at most two of the voice's 4-frame
// chunks) that began at most one buffer after the note was handled. Sustain
// at full level holds it; the note off releases the voice and the sound ends.
TEST_F(MidiLiveTest, NoteOnSoundsWithinTwoBuffersAndNoteOffReleasesIt) {
    constexpr uint32_t kNoteStart = 239;
    constexpr uint32_t kPipeline = 8;
    g_midiSync = 0;
    g_soundBank[kParamAmpSustain][1] = 80;
    g_soundBank[kParamAmpRelease][1] = 10;
    Retake([&] {
        Faults faults;
        StartCapture();
        Eventually([] { return CapturedFrames() >= 2 * kPeriodFrames; });

        peer_->Send(kNoteOn);
        const bool handled = Eventually([&] {
            MidiInFlush();
            return Holder() >= 0;
        }, 3s);
        const uint32_t before = CapturedFrames();  // no later block had begun when it was handled
        const uint32_t offset = std::min<uint32_t>(g_midiMs * 44, kPeriodFrames - 4);
        if (!handled) {
            StopCapture();
            faults.Transport("the note on did not arrive");
            return faults;
        }
        const int v = Holder();
        if (!Eventually([v] { return RelaxedLoad(g_voiceState[v].ampGate) != 0; }, 3s))
            faults.Program("the voice did not open", "note on");
        std::this_thread::sleep_for(200ms);

        const uint32_t held = CapturedFrames();  // sounding at least this long
        peer_->Send(kNoteOff);
        if (!Eventually([&] { MidiInFlush(); return Holder() < 0; }, 3s)) {
            StopCapture();
            faults.Transport("the note off did not arrive");
            return faults;
        }
        if (!Eventually([v] {
                return RelaxedLoad(g_voiceState[v].ampGate) == 0 && RelaxedLoad(g_voiceState[v].ampStage) == 1;
            }, 3s))
            faults.Program("the voice was not released", "note off");
        std::this_thread::sleep_for(1s);
        const std::vector<uint32_t> out = StopCapture();

        const auto sound = std::find_if(out.begin(), out.end(), Audible);
        if (sound == out.end()) {
            faults.Program("nothing was heard", "note on");
            return faults;
        }
        const uint32_t onset = uint32_t(sound - out.begin());
        if (onset < offset + kNoteStart) {
            faults.Program("heard at frame " + std::to_string(onset), "before the note");
            return faults;
        }
        const uint32_t latest = onset - offset - kNoteStart;  // the event's block began here at the latest
        const uint32_t block = latest / kPeriodFrames * kPeriodFrames;
        if (latest - block > kPipeline)
            faults.Program("sounds " + std::to_string(latest - block) + " frames after its place", "note on");
        if (block > before + kPeriodFrames) faults.Program("sounds later than in the next buffer", "note on");

        const auto last = std::find_if(out.rbegin(), out.rend(), Audible);
        const uint32_t end = uint32_t(out.rend() - last);
        if (end < held) faults.Program("not held until the note off", "note off");
        if (end + 2 * kPeriodFrames > out.size()) faults.Program("still sounding after its release", "note off");
        return faults;
    });
}

}  // namespace
