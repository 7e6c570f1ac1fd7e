// The system clipboard as the program uses it: wave data only, as a block of
// WAV file bytes under the type "audio/wav" (the standard wave format). The
// calls follow the classic sequence: open, then empty and set, or get and
// look at the formats, then close. A test may put its own clipboard in place
// (a plain buffer, or one that refuses to open).
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

class CWnd;

inline constexpr unsigned CF_WAVE = 12;

class ClipboardBackend {
public:
    virtual ~ClipboardBackend() = default;
    virtual bool Open() = 0;
    virtual void Close() = 0;
    virtual bool Empty() = 0;
    // Hands the bytes to the clipboard; false when it does not take them.
    virtual bool SetWave(std::vector<uint8_t> bytes) = 0;
    // The wave bytes held; false when there are none.
    virtual bool GetWave(std::vector<uint8_t>& bytes) = 0;
    virtual bool HasWave() = 0;
};

// Installs a back-end (not owned); null restores the toolkit's clipboard.
void SetClipboardBackend(ClipboardBackend* backend);

// Each call but OpenClipboard needs the clipboard open.
bool OpenClipboard(CWnd* owner);
bool CloseClipboard();
bool EmptyClipboard();
bool SetClipboardData(unsigned format, std::vector<uint8_t> bytes);
bool GetClipboardData(unsigned format, std::vector<uint8_t>& bytes);
bool IsClipboardFormatAvailable(unsigned format);
