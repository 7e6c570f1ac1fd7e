// The RtMidi back-end on a machine without an ALSA sequencer and without a
// JACK server: both lists are empty without an error, an open fails, and the
// missing sequencer is not reported (the JACK side warns on its own that no
// server runs). Skipped where a sequencer device exists.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/midi.h"

namespace {

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
