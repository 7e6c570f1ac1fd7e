// The key layer: which virtual-key code a key of the computer keyboard gives,
// the key state the program asks for, and the repair of auto-repeat on servers
// that report a held key as release-press pairs.
//
// Character keys are mapped by where they sit, not by the character they type,
// so that every layout gives the codes a Windows keyboard of the same language
// gives: a key whose symbol is a letter A to Z gives that letter wherever it
// sits (QWERTZ, AZERTY); the digit row gives '1' .. '9', '0' by position (also
// on AZERTY, where it types punctuation unshifted); the punctuation keys give
// the OEM codes of the US, German or French layout by position, dead keys
// included; a layout whose letter keys type no Latin letter (Cyrillic, Greek)
// gives the US letter of the position. The layout language is a primary
// language id: 0x07 German, 0x0C French, any other the US table.
//
// Pure code: no toolkit header; the toolkit bridge feeds it the X keysym and
// the hardware (evdev) keycode of each key event.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/afx.h"

// Virtual-key code of a character key by its keysym and hardware keycode, on
// the layout of langId; 0 when the key is none of the character keys above.
UINT VirtualKeyFromLayout(uint32_t keysym, uint32_t hardwareKeycode, uint16_t langId);

// The layout language the key layer maps for (primary id; 0x09 at start).
void SetKeyLayoutLanguage(uint16_t langId);
uint16_t KeyLayoutLanguage();

// Records a key as held or released. The layer does it before each key message
// reaches its handler, including the message's own key; a test may set keys too.
void NoteKeyState(UINT vk, bool down);
// Held state as the layer last recorded it: 0x8000 (negative) while held.
short GetKeyState(UINT vk);
// A test may answer GetKeyState itself (a null function removes it).
void SetKeyStateOverride(std::function<short(UINT)> state);

// Auto-repeat without detectable auto-repeat: the server sends a release and at
// once a press of the held key with the same time stamp. The layer holds each
// release back until the events queued with it are handled: a press of that key
// with the same time stamp cancels it, so that a held key arrives as repeated
// key-downs without key-ups. GUI thread only.
class KeyRepeatFilter {
public:
    using Delivery = std::function<void()>;
    // A release: held back until Flush or the next press. A release held back
    // before it is delivered first.
    void HoldRelease(uint32_t keycode, uint32_t time, Delivery deliver);
    // A press: true when it cancels the release held back for the same key and
    // time stamp (the key stayed down: this press is a repeat). Otherwise a
    // release held back is delivered first, and false.
    bool Press(uint32_t keycode, uint32_t time);
    // Delivers the release held back, if any.
    void Flush();
    bool Holding() const { return static_cast<bool>(deliver_); }

private:
    uint32_t keycode_ = 0;
    uint32_t time_ = 0;
    Delivery deliver_;
};
