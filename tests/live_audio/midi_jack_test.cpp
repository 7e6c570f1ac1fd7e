// The RtMidi back-end on a JACK server: the program's ports found by their
// names, clock and system real-time messages passing both ways, system
// exclusive kept out, the program's own ports never listed. Needs a JACK
// server (skipped without one unless MC_REQUIRE_JACK is set).
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "platform/midi.h"
#include "tests/eventually.h"
#include "tests/live_audio/midi_peer.h"

namespace {

using namespace std::chrono_literals;

std::vector<uint32_t> g_in;  // delivery thread writes, read after MidiInFlush
void Collect(uint32_t message, uint32_t) { g_in.push_back(message); }

bool Has(const std::vector<std::string>& names, const std::string& n) {
    return std::find(names.begin(), names.end(), n) != names.end();
}

TEST(MidiJack, PortsByNameMessagesBothWaysOwnPortsHidden) {
    MidiPeer peer("mc_midi_peer");
    if (!peer.Running()) {
        if (std::getenv("MC_REQUIRE_JACK")) FAIL() << "no JACK server";
        GTEST_SKIP() << "no JACK server";
    }
    const MidiPortList ins = MidiListInputs();
    const MidiPortList outs = MidiListOutputs();
    EXPECT_EQ(ins.error, 0u);
    ASSERT_TRUE(Has(ins.names, peer.OutputName()));
    ASSERT_TRUE(Has(outs.names, peer.InputName()));

    uint32_t started;
    ASSERT_EQ(MidiInOpen(peer.OutputName(), Collect, started), MidiOpenResult::Ok);
    ASSERT_EQ(MidiOutOpen(peer.InputName()), MidiOpenResult::Ok);
    // The program's own ports exist now and are still not listed.
    for (const auto& n : MidiListInputs().names) EXPECT_EQ(n.find("Morvel Canopy"), std::string::npos) << n;
    for (const auto& n : MidiListOutputs().names) EXPECT_EQ(n.find("Morvel Canopy"), std::string::npos) << n;

    const std::vector<uint32_t> sent = {0xF8, 0x00F0, 0xFE, 0x407F90, 0x1040F2, 0xFA, 0xF8, 0xFC, 0x05C1, 0x3C80};
    std::vector<uint32_t> expected = sent;
    expected.erase(expected.begin() + 1);  // the system exclusive
    // A server that fails to run a period on a busy machine loses its MIDI:
    // a take during which it reported such a period is taken again.
    std::vector<uint32_t> in, back;
    for (int take = 0; take < 6; ++take) {
        const int xruns = peer.Xruns();
        MidiInFlush();
        g_in.clear();
        const size_t from = peer.Received().size();
        for (uint32_t m : sent) peer.Send(m);
        ASSERT_TRUE(Eventually([&] { return peer.AllSent(); }, 2s));
        Eventually([&] {
            MidiInFlush();
            return g_in.size() >= expected.size();
        }, 2s);
        std::this_thread::sleep_for(20ms);
        MidiInFlush();
        in = g_in;

        for (uint32_t m : expected) MidiOutShortMsg(m, MidiProducer::MidiThread);
        MidiOutFlush();
        Eventually([&] { return peer.Received().size() >= from + expected.size(); }, 2s);
        std::this_thread::sleep_for(20ms);
        const std::vector<uint32_t> all = peer.Received();
        back.assign(all.begin() + long(from), all.end());
        if ((in == expected && back == expected) || peer.Xruns() == xruns) break;
    }
    EXPECT_EQ(in, expected);
    EXPECT_EQ(back, expected);

    MidiInClose();
    MidiOutClose();
    const size_t after = g_in.size();
    peer.Send(0x403C90);
    std::this_thread::sleep_for(30ms);
    EXPECT_EQ(g_in.size(), after);
}

// An output on JACK opened, used and closed a hundred times: no close may
// free what the client's process thread still uses, and the output works
// after the last reopening.
TEST(MidiJack, AnOutputClosedAndOpenedAgainAndAgainKeepsWorking) {
    MidiPeer peer("mc_midi_reopen");
    if (!peer.Running()) {
        if (std::getenv("MC_REQUIRE_JACK")) FAIL() << "no JACK server";
        GTEST_SKIP() << "no JACK server";
    }
    for (int round = 0; round < 100; ++round) {
        ASSERT_EQ(MidiOutOpen(peer.InputName()), MidiOpenResult::Ok) << round;
        MidiOutShortMsg(0xF8, MidiProducer::GuiThread);
        MidiOutFlush();
        MidiOutClose();
    }
    ASSERT_EQ(MidiOutOpen(peer.InputName()), MidiOpenResult::Ok);
    // The server may lose a period on a busy machine: sent again until heard.
    const uint32_t note = 0x403C90;
    const auto heard = [&] {
        const std::vector<uint32_t> got = peer.Received();
        return std::find(got.begin(), got.end(), note) != got.end();
    };
    for (int i = 0; i < 5 && !heard(); ++i) {
        MidiOutShortMsg(note, MidiProducer::GuiThread);
        MidiOutFlush();
        Eventually(heard, 2s);
    }
    EXPECT_TRUE(heard());
    MidiOutClose();
}

// How many times a peer has received a message.
long TimesReceived(const MidiPeer& p, uint32_t m) {
    const std::vector<uint32_t> got = p.Received();
    return std::count(got.begin(), got.end(), m);
}

// Closing an output and opening another sends to the new one alone; the
// first, opened again, hears the program again, and the second no more.
TEST(MidiJack, AnOutputSwitchedBetweenTwoPortsSendsToTheOpenOneAlone) {
    MidiPeer a("mc_midi_switch_a"), b("mc_midi_switch_b");
    if (!a.Running() || !b.Running()) {
        if (std::getenv("MC_REQUIRE_JACK")) FAIL() << "no JACK server";
        GTEST_SKIP() << "no JACK server";
    }
    // Opens the output on to's port and sends m until to hears it (the server
    // may lose a period on a busy machine), then waits a little for anything
    // that also reached the other peer, and closes.
    const auto sendTo = [&](const MidiPeer& to, uint32_t m) {
        ASSERT_EQ(MidiOutOpen(to.InputName()), MidiOpenResult::Ok);
        for (int i = 0; i < 5 && TimesReceived(to, m) == 0; ++i) {
            MidiOutShortMsg(m, MidiProducer::GuiThread);
            MidiOutFlush();
            Eventually([&] { return TimesReceived(to, m) > 0; }, 2s);
        }
        std::this_thread::sleep_for(50ms);
        MidiOutClose();
    };
    sendTo(a, 0x403C90);
    sendTo(b, 0x403D90);
    sendTo(a, 0x403E90);
    EXPECT_EQ(TimesReceived(a, 0x403C90), 1);
    EXPECT_EQ(TimesReceived(a, 0x403D90), 0);
    EXPECT_EQ(TimesReceived(a, 0x403E90), 1);
    EXPECT_EQ(TimesReceived(b, 0x403C90), 0);
    EXPECT_EQ(TimesReceived(b, 0x403D90), 1);
    EXPECT_EQ(TimesReceived(b, 0x403E90), 0);
}

}  // namespace
