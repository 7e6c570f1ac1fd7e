// The clipboard on the toolkit: a custom data object of type "audio/wav".
#include "platform/clipboard.h"

#include <wx/clipbrd.h>
#include <wx/dataobj.h>

namespace {

const wxDataFormat& WaveFormat() {
    static const wxDataFormat format("audio/wav");
    return format;
}

class ToolkitClipboard : public ClipboardBackend {
public:
    bool Open() override { return wxTheClipboard->Open(); }
    void Close() override { wxTheClipboard->Close(); }
    bool Empty() override {
        wxTheClipboard->Clear();
        return true;
    }
    bool SetWave(std::vector<uint8_t> bytes) override {
        auto* data = new wxCustomDataObject(WaveFormat());
        data->SetData(bytes.size(), bytes.data());
        return wxTheClipboard->SetData(data);  // the clipboard owns it, also on failure
    }
    bool GetWave(std::vector<uint8_t>& bytes) override {
        if (!wxTheClipboard->IsSupported(WaveFormat())) return false;
        wxCustomDataObject data(WaveFormat());
        if (!wxTheClipboard->GetData(data)) return false;
        const auto* p = static_cast<const uint8_t*>(data.GetData());
        bytes.assign(p, p + data.GetSize());
        return true;
    }
    bool HasWave() override { return wxTheClipboard->IsSupported(WaveFormat()); }
};

ClipboardBackend*& Installed() {
    static ClipboardBackend* backend = nullptr;
    return backend;
}

ClipboardBackend& Backend() {
    static ToolkitClipboard toolkit;
    return Installed() ? *Installed() : toolkit;
}

bool g_open = false;

}  // namespace

void SetClipboardBackend(ClipboardBackend* backend) {
    if (g_open) Backend().Close();
    g_open = false;
    Installed() = backend;
}

bool OpenClipboard(CWnd*) {
    if (g_open || !Backend().Open()) return false;
    g_open = true;
    return true;
}

bool CloseClipboard() {
    if (!g_open) return false;
    Backend().Close();
    g_open = false;
    return true;
}

bool EmptyClipboard() { return g_open && Backend().Empty(); }

bool SetClipboardData(unsigned format, std::vector<uint8_t> bytes) {
    return g_open && format == CF_WAVE && Backend().SetWave(std::move(bytes));
}

bool GetClipboardData(unsigned format, std::vector<uint8_t>& bytes) {
    return g_open && format == CF_WAVE && Backend().GetWave(bytes);
}

bool IsClipboardFormatAvailable(unsigned format) { return g_open && format == CF_WAVE && Backend().HasWave(); }
