// The song-order list's keys, while it has the editor's keyboard focus: the
// cursor over the song positions, pattern numbers, transposes, jumps and the
// end marker, positions inserted and deleted together with the automation
// lanes, a new pattern put at the cursor, and the way back to the grid.
//
// The first entry above 100 (a jump, the end marker, or a value the editor
// never writes) ends the list: the cursor may stand on it but never passes it,
// nor position 199. The lanes hold positions 0 to 198: position 199 has none.
// Every edit that changes the song marks the document; none goes through the
// pattern undo ring.
#pragma once

#include "platform/afx.h"

class KeyView;

// One key-down while the order list has the focus.
void OrderListKey(UINT vk, KeyView& view);
