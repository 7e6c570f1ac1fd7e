// The pattern grid: the tracker display between the synthesizer panel and the
// mixer, rendered whole into the 8-bit surface g_gridBits (632 bytes a row,
// g_gridHeight rows) from the glyph sheet g_glyphData. The view copies the
// surface to the window; nothing here touches a window, so tests run it on
// the surface alone.
//
// Every call redraws everything from the song, the cursor words and the
// settings, in this order: steps per beat, tracks in use, follow song, the
// headers, row numbers and cells, then the edit cursor, the play rows, the
// selection and the beat marks. The last four only recolour background
// pixels, so the earlier of them wins where they overlap.
//
// The engine's play position and the shared cursor words are read as they
// stand and never trusted as indices: an order position of 200 or more shows
// no pattern, a value byte above 99 shows its last two digits, and follow
// song keeps the edit row inside the pattern.
#pragma once

#include <cstdint>

// Glyph sheet layout: 124 x 120 pixels, 15 bands of 8 rows.
inline constexpr int kGlyphSheetWidth = 124;
inline constexpr int kGlyphSheetHeight = 120;
inline constexpr int kGridSurfaceWidth = 632;

// Renders the grid surface and refreshes g_stepsPerBeat, g_tracksInUse,
// g_curPattern, g_curPatternPtr, g_patternShown and, with follow song while
// playing, g_editStep, g_orderTop and g_orderCursor. In sound-module mode only
// g_stepsPerBeat is written. GUI thread only.
void DrawPatternGridSurface();
