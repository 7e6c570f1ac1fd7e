// Format patterns: every pattern of the song gets one new common length. When
// the new length is twice the old one the music can be stretched (a silent step
// after every step, tempo and step delays doubled) or copied twice; when it is
// half, shrunk (every second step dropped, tempo and step delays halved);
// otherwise each pattern is cut or padded with empty steps.
//
// The new blocks are allocated and filled while the old ones still play; then,
// under the render lock, the pointers and the length change together and the
// old blocks go to the safe free. The editor's cursor, selection and undo ring
// are reset afterwards, since every pattern has new memory and a new length.
#pragma once

#include <cstdint>

#include "platform/dialog.h"

// The patterns formatter dialog: one radio group of the seven lengths.
class CPatternsFormatterDlg : public CDialog {
public:
    explicit CPatternsFormatterDlg(CWnd* parent = nullptr);
    void DoDataExchange(CDataExchange* dx) override;

    int m_nNewLength = -1;  // radio index: 16, 32, 64, 128, 24, 48, 96 steps
};

// The length of radio index 0..6, 0 for another index; and back, -1 for a
// length that is not one of the seven.
uint32_t PatternLengthOfIndex(int index);
int IndexOfPatternLength(uint32_t length);

// Gives every pattern the length newLength (one of the seven), asking the
// stretch, copy and shrink questions where they apply, and resets the editor.
// False, with every pattern, the length, the tempo, the effects and the editor
// as they were, when the memory for the new patterns is not there (after the
// fatal message).
bool ReformatPatterns(uint32_t newLength);
