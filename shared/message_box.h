// Message boxes. Every message to the user goes through AfxMessageBox, which hands
// it to the installed handler: the windowed one of the user interface, a scripted
// one in tests, or by default a line on stderr answered with the box's default
// button (the first one). A style without an icon gets the exclamation mark.
#pragma once

#include <functional>
#include <string>

// Buttons (low four bits) and icon (next four bits) of a box.
inline constexpr unsigned MB_OK = 0x00;
inline constexpr unsigned MB_OKCANCEL = 0x01;
inline constexpr unsigned MB_YESNOCANCEL = 0x03;
inline constexpr unsigned MB_YESNO = 0x04;
inline constexpr unsigned MB_ICONSTOP = 0x10;
inline constexpr unsigned MB_ICONQUESTION = 0x20;
inline constexpr unsigned MB_ICONEXCLAMATION = 0x30;
inline constexpr unsigned MB_ICONINFORMATION = 0x40;
// With MB_OKCANCEL: a choice box whose buttons read "Left" (the default, IDOK)
// and "Right" (IDCANCEL, also given by Escape and by closing the box).
inline constexpr unsigned MB_LEFTRIGHT = 0x100;
inline constexpr unsigned MB_TYPEMASK = 0x0F;
inline constexpr unsigned MB_ICONMASK = 0xF0;

// The button that closed the box.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

using MessageBoxHandler = std::function<int(const std::string& text, unsigned type, unsigned helpId)>;

// Installs a handler; an empty one restores the default.
void SetMessageBoxHandler(MessageBoxHandler handler);

// Shows text in a box of the given style; returns the button chosen.
int AfxMessageBox(const std::string& text, unsigned type = MB_OK, unsigned helpId = 0);
