// The RtMidi back-end: the numbering of repeated port names, and, on a machine
// without an ALSA sequencer and without a JACK server, both lists empty without
// an error, an open that fails, and the missing sequencer not reported (the
// JACK side warns on its own that no server runs; skipped where a sequencer
// device exists).
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "platform/midi.h"

namespace {

// Only an earlier port of exactly the same name makes a name repeat, so a
// port's stable name does not depend on the other devices plugged in.
TEST(RtMidiBackend, RepeatedPortNamesAreNumberedByEarlierPortsOfTheSameName) {
    using Names = std::vector<std::string>;
    const struct {
        Names listed;
        Names stable;
    } cases[] = {
        {{"Synth", "Keys"}, {"Synth", "Keys"}},
        {{"Synth", "Synth", "Synth"}, {"Synth", "Synth (2)", "Synth (3)"}},
        {{"Synth (USB)", "Synth"}, {"Synth (USB)", "Synth"}},
        {{"Synth (USB)", "Synth", "Synth (USB)", "Synth"}, {"Synth (USB)", "Synth", "Synth (USB) (2)", "Synth (2)"}},
        {{"Synth 2", "Synth", "SynthX", "synth"}, {"Synth 2", "Synth", "SynthX", "synth"}},
        {{"Keys", "Synth", "Keys"}, {"Keys", "Synth", "Keys (2)"}},
        {{}, {}},
    };
    for (const auto& c : cases) EXPECT_EQ(NumberRepeatedPortNames(c.listed), c.stable) << ::testing::PrintToString(c.listed);
}

TEST(RtMidiBackend, WithoutASequencerOrAServerThereAreNoPortsAndNoMessage) {
    if (access("/dev/snd/seq", F_OK) == 0) GTEST_SKIP() << "this machine has an ALSA sequencer";
    const char* server = std::getenv("JACK_DEFAULT_SERVER");
    const std::string saved = server != nullptr ? server : "";
    setenv("JACK_DEFAULT_SERVER", "mc-no-such-server", 1);

    testing::internal::CaptureStderr();
    testing::internal::CaptureStdout();
    const auto backend = CreateRtMidiBackend();
    const MidiPortList ins = backend->ListInputs();
    const MidiPortList outs = backend->ListOutputs();
    const MidiOpenResult in = backend->OpenIn("Keys");
    const MidiOpenResult out = backend->OpenOut("Synth");
    const std::string printed = testing::internal::GetCapturedStdout() + testing::internal::GetCapturedStderr();

    if (server != nullptr) setenv("JACK_DEFAULT_SERVER", saved.c_str(), 1);
    else unsetenv("JACK_DEFAULT_SERVER");

    EXPECT_TRUE(ins.names.empty());
    EXPECT_EQ(ins.error, 0u);
    EXPECT_TRUE(outs.names.empty());
    EXPECT_EQ(outs.error, 0u);
    EXPECT_EQ(in, MidiOpenResult::Failed);
    EXPECT_EQ(out, MidiOpenResult::Failed);
    for (const char* word : {"ALSA", "alsa", "/dev/snd", "sequencer"})
        EXPECT_EQ(printed.find(word), std::string::npos) << word << " in: " << printed;
}

}  // namespace
