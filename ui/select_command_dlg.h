// The select-command dialog: a small modal list of the pattern commands shown
// beside the grid cursor. It only carries a row number in and out of
// g_curCommand: on entry the row to select (0..17, or 257..259 for the extended
// command X with value 1..3), on exit the row selected last, 0..17, however the
// dialog was closed (Enter ends it as OK, Escape and the close box as Cancel).
// The grid's Enter key prepares the number from the cell and writes the result.
#pragma once

#include <cstdint>

#include "platform/dialog.h"

inline constexpr int kCommandListRows = 18;
// The rows in list order: rows 0..14 stand for command codes 0..14, rows 15..17
// for code 15 with the values 1..3.
extern const char* const kCommandListTexts[kCommandListRows];

extern int32_t g_curCommand;

class CSelectCommandDlg : public CDialog {
public:
    explicit CSelectCommandDlg(CWnd* parent = nullptr);
    void DoDataExchange(CDataExchange* dx) override;
    // Places the dialog by the cursor, fills the list and selects g_curCommand.
    bool OnInitDialog() override;
    void OnSelChangeCommandList();

    CListBox m_commandList;
};
