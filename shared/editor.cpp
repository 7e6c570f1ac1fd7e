#include "shared/editor.h"

Relaxed<uint32_t> g_orderTop{0};
Relaxed<uint32_t> g_orderCursor{0};
Relaxed<uint32_t> g_editStep{0};
Relaxed<uint8_t> g_patternFocus{0};
Relaxed<uint32_t> g_cursorColumn{0};
Relaxed<uint32_t> g_firstTrack{0};
Relaxed<uint32_t> g_curPattern{0};
Relaxed<uint8_t*> g_curPatternPtr{nullptr};
Relaxed<uint32_t> g_patternShown{0};
Relaxed<uint32_t> g_tracksInUse{32};
Relaxed<uint8_t> g_docModified{0};
Relaxed<uint32_t> g_orderColumn{0};
Relaxed<uint8_t> g_previewOnly{0};
Relaxed<uint32_t> g_patternUndoCount{0};
Relaxed<uint8_t> g_songInfoOnLoad{0};

Relaxed<uint32_t> g_selFirstPart{0};
Relaxed<uint32_t> g_selLastPart{0};
Relaxed<uint32_t> g_selFirstStep{0};
Relaxed<uint32_t> g_selLastStep{0};
Relaxed<uint32_t> g_selPattern{0};
Relaxed<uint32_t> g_selExtending{0};

Relaxed<int16_t> g_ctrlDown{0};
Relaxed<int16_t> g_shiftDown{0};
