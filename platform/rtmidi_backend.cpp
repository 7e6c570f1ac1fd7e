// The RtMidi back-end: ports of the ALSA sequencer (when the machine has one)
// and of JACK (while a server runs), in that order.
//
// Stable names: ALSA names end in the client and port numbers the sequencer
// hands out on each run ("Synth:Synth Port 1 128:0"); they are cut off. A name
// that comes twice in one list gets " (2)", " (3)"... in listing order, counting
// only the earlier ports of exactly that name, so a port's name does not hang
// on other devices ("Synth (USB)" leaves "Synth" as it is). The program's own
// ports (its client is "Morvel Canopy", which JACK may number "Morvel
// Canopy-01") are never listed, so the output can't loop into the input. A
// port is opened by looking its stable name up afresh.
//
// The library's JACK output frees its message ring before it stops the
// client's process thread, which may still be in a period begun before the
// port closed: destroying a JACK output that had a port open can crash. Closing
// its port alone (unregistering it while the client runs) can crash one of
// the client's threads as well. A JACK output is therefore never closed
// nor destroyed: once the program closes it, it stays, silent and still
// connected to the port it was opened on, for the life of the process, and is
// taken again when that port is opened again.
#include <unistd.h>

#include <algorithm>
#include <map>
#include <memory>
#include <regex>
#include <vector>

#include <RtMidi.h>

#include "platform/midi.h"

namespace {

constexpr const char* kClientName = "Morvel Canopy";
const RtMidi::Api kApis[] = {RtMidi::LINUX_ALSA, RtMidi::UNIX_JACK};

void QuietErrors(RtMidiError::Type, const std::string&, void*) {}

bool OwnPort(const std::string& name) {
    const std::string client = kClientName;
    if (name.compare(0, client.size(), client) != 0) return false;
    return name.size() > client.size() && (name[client.size()] == ':' || name[client.size()] == '-');
}

std::string StableName(RtMidi::Api api, const std::string& raw) {
    if (api != RtMidi::LINUX_ALSA) return raw;
    static const std::regex numbers(R"( \d+:\d+$)");
    return std::regex_replace(raw, numbers, "");
}

// One entry of a listing: the stable name, where the port is now, and its
// name as the library gives it (unique among a JACK server's ports).
struct Port {
    std::string name;
    RtMidi::Api api;
    unsigned index;
    std::string raw;
};

template <typename Midi>
std::unique_ptr<Midi> MakeClient(RtMidi::Api api) {
    // Without a sequencer device RtMidi would print its failure before throwing.
    if (api == RtMidi::LINUX_ALSA && access("/dev/snd/seq", R_OK | W_OK) != 0) return nullptr;
    try {
        auto m = std::make_unique<Midi>(api, kClientName);
        m->setErrorCallback(QuietErrors, nullptr);
        return m;
    } catch (const RtMidiError&) {
        return nullptr;  // no ALSA sequencer on this machine: no ports
    }
}

template <typename Midi>
std::vector<Port> ListPorts(uint32_t& error) {
    std::vector<Port> ports;
    error = 0;
    for (RtMidi::Api api : kApis) {
        auto m = MakeClient<Midi>(api);
        if (!m) continue;
        const unsigned n = m->getPortCount();
        for (unsigned i = 0; i < n; ++i) {
            std::string raw;
            try {
                raw = m->getPortName(i);
            } catch (const RtMidiError&) {
            }
            if (raw.empty()) {  // the port went away while listing
                error = kMidiListBadId;
                return ports;
            }
            if (OwnPort(raw)) continue;
            ports.push_back({StableName(api, raw), api, i, raw});
        }
    }
    std::vector<std::string> names;
    for (const Port& p : ports) names.push_back(p.name);
    names = NumberRepeatedPortNames(names);
    for (size_t k = 0; k < ports.size(); ++k) ports[k].name = names[k];
    return ports;
}

MidiPortList Names(const std::vector<Port>& ports, uint32_t error) {
    MidiPortList list;
    list.error = error;
    for (const Port& p : ports) list.names.push_back(p.name);
    return list;
}

// The closed JACK outputs by the port they stay connected to (never freed).
std::multimap<std::string, RtMidiOut*>* g_idleJackOutputs = new std::multimap<std::string, RtMidiOut*>;

void Arrived(double, std::vector<unsigned char>* message, void*) {
    if (message) MidiBytesArrived(message->data(), message->size());
}

class RtMidiBackend final : public MidiBackend {
public:
    MidiPortList ListInputs() override {
        uint32_t error;
        auto ports = ListPorts<RtMidiIn>(error);
        return Names(ports, error);
    }
    MidiPortList ListOutputs() override {
        uint32_t error;
        auto ports = ListPorts<RtMidiOut>(error);
        return Names(ports, error);
    }

    MidiOpenResult OpenIn(const std::string& name) override {
        uint32_t error;
        for (const Port& p : ListPorts<RtMidiIn>(error)) {
            if (p.name != name) continue;
            in_ = MakeClient<RtMidiIn>(p.api);
            if (!in_) return MidiOpenResult::Failed;
            try {
                in_->ignoreTypes(true, false, false);  // system exclusive off; clock and sensing pass
                in_->setCallback(Arrived, nullptr);
                in_->openPort(p.index, "MIDI IN");
                if (in_->isPortOpen()) return MidiOpenResult::Ok;
            } catch (const RtMidiError&) {
            }
            in_.reset();
            return MidiOpenResult::Failed;
        }
        return MidiOpenResult::Failed;
    }
    void CloseIn() override {
        if (!in_) return;
        try {
            in_->closePort();
            in_->cancelCallback();
        } catch (const RtMidiError&) {
        }
        in_.reset();  // the client's input thread or process callback has ended
    }

    MidiOpenResult OpenOut(const std::string& name) override {
        uint32_t error;
        for (const Port& p : ListPorts<RtMidiOut>(error)) {
            if (p.name != name) continue;
            outPort_ = p.raw;
            if (const auto idle = g_idleJackOutputs->find(p.raw);
                p.api == RtMidi::UNIX_JACK && idle != g_idleJackOutputs->end()) {
                // Its port is still registered: opening it again connects
                // it once more, should the other end have gone and come back.
                out_.reset(idle->second);
                g_idleJackOutputs->erase(idle);
            } else {
                out_ = MakeClient<RtMidiOut>(p.api);
            }
            if (!out_) return MidiOpenResult::Failed;
            try {
                out_->openPort(p.index, "MIDI OUT");
                if (out_->isPortOpen()) return MidiOpenResult::Ok;
            } catch (const RtMidiError&) {
            }
            ReleaseOut();
            return MidiOpenResult::Failed;
        }
        return MidiOpenResult::Failed;
    }
    void CloseOut() override {
        if (!out_) return;
        if (out_->getCurrentApi() != RtMidi::UNIX_JACK) {
            try {
                out_->closePort();
            } catch (const RtMidiError&) {
            }
        }
        ReleaseOut();
    }
    ~RtMidiBackend() override { CloseOut(); }

    void Send(const uint8_t* bytes, size_t count) override {
        if (!out_ || count == 0) return;
        try {
            out_->sendMessage(bytes, count);
        } catch (const RtMidiError&) {
        }
    }

private:
    // A JACK output goes to the idle ones, any other is destroyed.
    void ReleaseOut() {
        if (out_ && out_->getCurrentApi() == RtMidi::UNIX_JACK) g_idleJackOutputs->emplace(outPort_, out_.release());
        out_.reset();
    }

    std::unique_ptr<RtMidiIn> in_;
    std::unique_ptr<RtMidiOut> out_;
    std::string outPort_;  // the library's name of the port out_ was opened on
};

}  // namespace

std::vector<std::string> NumberRepeatedPortNames(const std::vector<std::string>& names) {
    std::vector<std::string> stable;
    for (size_t k = 0; k < names.size(); ++k) {
        const auto same = 1 + std::count(names.begin(), names.begin() + static_cast<std::ptrdiff_t>(k), names[k]);
        stable.push_back(same > 1 ? names[k] + " (" + std::to_string(same) + ")" : names[k]);
    }
    return stable;
}

std::unique_ptr<MidiBackend> CreateRtMidiBackend() { return std::make_unique<RtMidiBackend>(); }
