// The MIDI paths allocate nothing: from a message's arrival through the
// delivery thread and the handler (notes, controllers, clock sync) to the echo
// on the sender thread and the port.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <memory>

#include "tests/engine/allocation_count.h"
#include "tests/host/midi_fixture.h"

namespace {

TEST_F(MidiTest, ArrivalDeliveryHandlingAndEchoAllocateNothing) {
    CloseMidiIn();
    CloseMidiOut();
    auto b = std::make_unique<QuietMidiBackend>();
    QuietMidiBackend* quiet = b.get();
    InstallMidiBackend(std::move(b));
    EnumerateMidiDevices();
    ASSERT_TRUE(OpenMidiIn());
    ASSERT_TRUE(OpenMidiOut());
    g_channelPolyphony[0] = 8;
    g_midiSync = 1;
    g_songPlaying = 1;

    const std::array<std::array<uint8_t, 3>, 8> messages = {{
        {0x90, 60, 100}, {0xF8, 0, 0}, {0xB0, 13, 64}, {0xE0, 0, 0x50}, {0x80, 60, 0}, {0xB0, 70, 10}, {0xFE, 0, 0}, {0xC0, 5, 0},
    }};
    const long before = AllocationCount();
    for (int round = 0; round < 200; ++round) {
        for (const auto& m : messages) MidiBytesArrived(m.data(), MidiMessageLength(m[0]));
        if (round % 50 == 0) ClearEventQueues();
    }
    MidiInFlush();
    MidiOutFlush();
    EXPECT_EQ(AllocationCount(), before);
    EXPECT_EQ(quiet->sent.load(), 200u);  // every clock echoed
}

}  // namespace
