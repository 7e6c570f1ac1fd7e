#include "platform/key_layer.h"

#include <utility>

namespace {

uint16_t g_layoutLanguage = 0x09;
bool g_keyHeld[256];

// X keysyms of the Latin letters.
constexpr uint32_t kKeysymUpperA = 0x41, kKeysymUpperZ = 0x5A;
constexpr uint32_t kKeysymLowerA = 0x61, kKeysymLowerZ = 0x7A;

// Hardware keycodes (evdev + 8) of the main block of a 105-key keyboard.
constexpr uint32_t kDigitRowFirst = 10;  // '1' .. '9', then '0' at 19
constexpr uint32_t kDigitRowLast = 19;

struct PositionCode {
    uint8_t keycode;
    uint8_t vk;
};

// The punctuation keys by position, as Windows assigns them on each layout.
constexpr PositionCode kUsPunctuation[] = {
    {20, 0xBD}, {21, 0xBB}, {34, 0xDB}, {35, 0xDD}, {47, 0xBA}, {48, 0xDE},
    {49, 0xC0}, {51, 0xDC}, {59, 0xBC}, {60, 0xBE}, {61, 0xBF}, {94, 0xE2},
};
// QWERTZ: ß ´ ü + ö ä ^ # , . - <
constexpr PositionCode kGermanPunctuation[] = {
    {20, 0xDB}, {21, 0xDD}, {34, 0xBA}, {35, 0xBB}, {47, 0xC0}, {48, 0xDE},
    {49, 0xDC}, {51, 0xBF}, {59, 0xBC}, {60, 0xBE}, {61, 0xBD}, {94, 0xE2},
};
// AZERTY: ) = ^ $ ù ² * , ; : ! <  (the key right of L types the letter M)
constexpr PositionCode kFrenchPunctuation[] = {
    {20, 0xDB}, {21, 0xBB}, {34, 0xDD}, {35, 0xBA}, {48, 0xC0}, {49, 0xDE},
    {51, 0xDC}, {58, 0xBC}, {59, 0xBE}, {60, 0xBF}, {61, 0xDF}, {94, 0xE2},
};

// The US letters by position, for layouts whose letter keys type no Latin letter.
constexpr PositionCode kUsLetters[] = {
    {24, 'Q'}, {25, 'W'}, {26, 'E'}, {27, 'R'}, {28, 'T'}, {29, 'Y'}, {30, 'U'}, {31, 'I'}, {32, 'O'},
    {33, 'P'}, {38, 'A'}, {39, 'S'}, {40, 'D'}, {41, 'F'}, {42, 'G'}, {43, 'H'}, {44, 'J'}, {45, 'K'},
    {46, 'L'}, {52, 'Z'}, {53, 'X'}, {54, 'C'}, {55, 'V'}, {56, 'B'}, {57, 'N'}, {58, 'M'},
};

template <size_t N>
UINT Lookup(const PositionCode (&table)[N], uint32_t keycode) {
    for (const PositionCode& e : table)
        if (e.keycode == keycode) return e.vk;
    return 0;
}

}  // namespace

UINT VirtualKeyFromLayout(uint32_t keysym, uint32_t hardwareKeycode, uint16_t langId) {
    if (keysym >= kKeysymLowerA && keysym <= kKeysymLowerZ) return UINT(keysym - kKeysymLowerA + 'A');
    if (keysym >= kKeysymUpperA && keysym <= kKeysymUpperZ) return UINT(keysym);
    if (hardwareKeycode >= kDigitRowFirst && hardwareKeycode <= kDigitRowLast)
        return hardwareKeycode == kDigitRowLast ? UINT('0') : UINT('1' + (hardwareKeycode - kDigitRowFirst));
    UINT vk = 0;
    switch (langId & 0x3FF) {
        case 0x07: vk = Lookup(kGermanPunctuation, hardwareKeycode); break;
        case 0x0C: vk = Lookup(kFrenchPunctuation, hardwareKeycode); break;
        default: vk = Lookup(kUsPunctuation, hardwareKeycode); break;
    }
    if (vk) return vk;
    return Lookup(kUsLetters, hardwareKeycode);
}

void SetKeyLayoutLanguage(uint16_t langId) { g_layoutLanguage = langId; }
uint16_t KeyLayoutLanguage() { return g_layoutLanguage; }

void NoteKeyState(UINT vk, bool down) {
    if (vk < 256) g_keyHeld[vk] = down;
}

namespace {
std::function<short(UINT)> g_keyStateOverride;
}

void SetKeyStateOverride(std::function<short(UINT)> state) { g_keyStateOverride = std::move(state); }

short GetKeyState(UINT vk) {
    if (g_keyStateOverride) return g_keyStateOverride(vk);
    return vk < 256 && g_keyHeld[vk] ? short(0x8000) : short(0);
}

void KeyRepeatFilter::HoldRelease(uint32_t keycode, uint32_t time, Delivery deliver) {
    Flush();
    keycode_ = keycode;
    time_ = time;
    deliver_ = std::move(deliver);
}

bool KeyRepeatFilter::Press(uint32_t keycode, uint32_t time) {
    if (deliver_ && keycode == keycode_ && time == time_) {
        deliver_ = nullptr;
        return true;
    }
    Flush();
    return false;
}

void KeyRepeatFilter::Flush() {
    if (!deliver_) return;
    Delivery d = std::move(deliver_);
    deliver_ = nullptr;
    d();
}
