// The MIDI layer on the test back-end: sizes by status byte, delivery in order
// on the layer's own thread with arrival stamps, what passes the input, the
// close, and the two producers of the output.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "platform/midi.h"
#include "platform/test_midi_backend.h"
#include "shared/clock.h"

namespace {

struct Delivered {
    uint32_t message;
    uint32_t stamp;
    std::thread::id thread;
};
std::vector<Delivered> g_got;  // written by the delivery thread, read after MidiInFlush

void Collect(uint32_t message, uint32_t stamp) { g_got.push_back({message, stamp, std::this_thread::get_id()}); }

class MidiLayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto b = std::make_unique<TestMidiBackend>(std::vector<std::string>{"In A", "In B"},
                                                   std::vector<std::string>{"Out A"});
        backend = b.get();
        InstallMidiBackend(std::move(b));
        g_got.clear();
        SetClockForTest([this] { return now.load(); });
    }
    void TearDown() override {
        MidiInClose();
        MidiOutClose();
        SetClockForTest({});
    }
    TestMidiBackend* backend = nullptr;
    std::atomic<uint32_t> now{1000};
};

TEST(MidiLength, ByStatusByte) {
    const struct {
        uint8_t status;
        size_t length;
    } cases[] = {{0x00, 0}, {0x7F, 0}, {0x80, 3}, {0x9F, 3}, {0xA0, 3}, {0xB5, 3}, {0xC0, 2}, {0xCF, 2},
                 {0xD3, 2}, {0xE0, 3}, {0xF0, 0}, {0xF1, 2}, {0xF2, 3}, {0xF3, 2}, {0xF4, 0}, {0xF5, 0},
                 {0xF6, 1}, {0xF7, 0}, {0xF8, 1}, {0xF9, 0}, {0xFA, 1}, {0xFB, 1}, {0xFC, 1}, {0xFD, 0},
                 {0xFE, 1}, {0xFF, 1}};
    for (const auto& c : cases) EXPECT_EQ(MidiMessageLength(c.status), c.length) << int(c.status);
}

TEST_F(MidiLayerTest, DeliversInOrderOnItsOwnThreadWithArrivalStamps) {
    uint32_t started = 0;
    ASSERT_EQ(MidiInOpen("In B", Collect, started), MidiOpenResult::Ok);
    EXPECT_EQ(started, 1000u);
    EXPECT_TRUE(MidiInIsOpen());
    EXPECT_EQ(backend->OpenInput(), "In B");
    for (uint32_t i = 0; i < 6000; ++i) {  // more than fit the ring at once would wait, none lost
        now = 1000 + i / 10;
        backend->InjectWord(0x90 | (i % 128) << 8 | 0x40 << 16);
    }
    MidiInFlush();
    ASSERT_EQ(g_got.size(), 6000u);
    for (uint32_t i = 0; i < 6000; ++i) {
        EXPECT_EQ(g_got[i].message, 0x90u | (i % 128) << 8 | 0x40u << 16);
        EXPECT_EQ(g_got[i].stamp, i / 10);
        EXPECT_NE(g_got[i].thread, std::this_thread::get_id());
    }
}

TEST_F(MidiLayerTest, ClockAndSensingPassSystemExclusiveAndStrayBytesDoNot) {
    uint32_t started;
    ASSERT_EQ(MidiInOpen("In A", Collect, started), MidiOpenResult::Ok);
    backend->Inject({0xF8});
    backend->Inject({0xF0, 0x7E, 0x01, 0xF7});
    backend->Inject({0xF0, 0x01, 0xF7});
    backend->Inject({0xFE});
    backend->Inject({0x40, 0x40});  // running status leftovers
    backend->Inject({0xB0, 0xFF, 0x85});  // data bytes with their top bit set are cut to 7 bits
    backend->Inject({0xC3, 0x05});
    MidiInFlush();
    std::vector<uint32_t> got;
    for (const auto& d : g_got) got.push_back(d.message);
    EXPECT_EQ(got, (std::vector<uint32_t>{0xF8, 0xFE, 0x057FB0, 0x05C3}));
}

TEST_F(MidiLayerTest, NothingIsDeliveredAfterTheClose) {
    uint32_t started;
    ASSERT_EQ(MidiInOpen("In A", Collect, started), MidiOpenResult::Ok);
    std::atomic<bool> run{true};
    std::thread sender([&] {
        while (run) backend->InjectWord(0x403C90);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    MidiInClose();
    const size_t atClose = g_got.size();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    run = false;
    sender.join();
    EXPECT_EQ(g_got.size(), atClose);
    EXPECT_FALSE(MidiInIsOpen());
}

TEST_F(MidiLayerTest, OpenResultsAndUnknownPorts) {
    uint32_t started;
    backend->ForceOpen("In A", MidiOpenResult::Allocated);
    EXPECT_EQ(MidiInOpen("In A", Collect, started), MidiOpenResult::Allocated);
    EXPECT_FALSE(MidiInIsOpen());
    EXPECT_EQ(MidiInOpen("In C", Collect, started), MidiOpenResult::Failed);
    EXPECT_EQ(MidiOutOpen("Out B"), MidiOpenResult::Failed);
    EXPECT_FALSE(MidiOutShortMsg(0xF8, MidiProducer::GuiThread));  // nothing open: nothing queued
    backend->Inject({0x90, 1, 2});  // no input open: nowhere to go
    EXPECT_TRUE(g_got.empty());
}

TEST_F(MidiLayerTest, ListingErrorsEndTheList) {
    backend->FailInputListing(1, kMidiListNoDriver);
    const MidiPortList in = MidiListInputs();
    EXPECT_EQ(in.names, std::vector<std::string>{"In A"});
    EXPECT_EQ(in.error, kMidiListNoDriver);
    const MidiPortList out = MidiListOutputs();
    EXPECT_EQ(out.names, std::vector<std::string>{"Out A"});
    EXPECT_EQ(out.error, 0u);
}

TEST_F(MidiLayerTest, SenderSizesMessagesAndServesBothProducers) {
    ASSERT_EQ(MidiOutOpen("Out A"), MidiOpenResult::Ok);
    EXPECT_TRUE(MidiOutShortMsg(0xF8, MidiProducer::MidiThread));
    EXPECT_TRUE(MidiOutShortMsg(0x12345C2, MidiProducer::GuiThread));  // program change: 2 bytes
    EXPECT_TRUE(MidiOutShortMsg(0x00FF80B0, MidiProducer::GuiThread));  // data bytes cut to 7 bits
    EXPECT_FALSE(MidiOutShortMsg(0x7F, MidiProducer::GuiThread));  // a data byte is no status
    EXPECT_FALSE(MidiOutShortMsg(0xF0, MidiProducer::GuiThread));  // system exclusive is never sent
    MidiOutFlush();
    const auto sent = backend->Sent();
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[0], 0xF8u);
    EXPECT_EQ(sent[1], 0x45C2u);
    EXPECT_EQ(sent[2], 0x7F00B0u);

    // Two producers at once: each one's messages arrive whole and in its order.
    backend->ClearSent();
    std::thread midi([] {
        for (uint32_t i = 0; i < 500; ++i)
            while (!MidiOutShortMsg(0x90 | (i % 128) << 8 | 1 << 16, MidiProducer::MidiThread)) std::this_thread::yield();
    });
    for (uint32_t i = 0; i < 500; ++i)
        while (!MidiOutShortMsg(0xB0 | (i % 128) << 8 | 2 << 16, MidiProducer::GuiThread)) std::this_thread::yield();
    midi.join();
    MidiOutFlush();
    uint32_t notes = 0, controls = 0;
    for (uint32_t m : backend->Sent()) {
        if ((m & 0xFF) == 0x90) {
            EXPECT_EQ(m, 0x90u | (notes % 128) << 8 | 1 << 16);
            ++notes;
        } else {
            EXPECT_EQ(m, 0xB0u | (controls % 128) << 8 | 2 << 16);
            ++controls;
        }
    }
    EXPECT_EQ(notes, 500u);
    EXPECT_EQ(controls, 500u);
    MidiOutClose();
    EXPECT_FALSE(MidiOutIsOpen());
    EXPECT_EQ(backend->OpenOutput(), "");
}

}  // namespace
