// Message boxes. Until a windowed back-end is installed a box is written to
// standard error and answered with IDOK; tests install a handler that records
// the text and gives the answer they choose.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

inline constexpr uint32_t MB_OK = 0x00;
inline constexpr uint32_t MB_ICONSTOP = 0x10;
inline constexpr uint32_t MB_ICONEXCLAMATION = 0x30;
inline constexpr uint32_t MB_ICONINFORMATION = 0x40;
inline constexpr int IDOK = 1;

using MessageBoxHandler = std::function<int(const std::string& text, uint32_t style)>;

// Shows `text` with `style` (buttons and icon; without an icon the box has the
// exclamation mark); returns the button chosen.
int AfxMessageBox(const std::string& text, uint32_t style = MB_OK);
// Replaces how boxes are shown; an empty handler restores the default.
void SetMessageBoxHandler(MessageBoxHandler handler);
