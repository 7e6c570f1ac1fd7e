// The song-order display: a window of seven song positions onto the song order
// list, each with its position number and its entry (a pattern number with its
// transpose, a jump with its target, or the end of the song), the order-list
// cursor while the order list has the editor's focus, and the mark of the
// position the song is playing. It is rendered whole, in software, into the
// 88 x 60 8-bit order surface from the glyph sheet; the view copies the surface
// to the window.
//
// It keeps no state: every call redraws from the order list, the order-list
// cursor words, the view's focus word and the first track's song position as
// they stand. Those words are shared with other threads and the order list comes
// from song files, so nothing in them is trusted: no position at 200 or beyond is
// read, and every number is shown by its last two digits (a position also by its
// hundreds digit), so every glyph comes from its own family's bands of the sheet.
#pragma once

#include <cstdint>

inline constexpr int kOrderSurfaceWidth = 88;
inline constexpr int kOrderSurfaceHeight = 60;

// Renders the order surface (88 x 60 bytes, top row first) from the glyph sheet
// (124 x 120 bytes). Does nothing in sound-module mode or without either.
void RenderSongOrderList(uint8_t* surface, const uint8_t* glyphs);
