#include "ui/select_command_dlg.h"

#include <algorithm>

#include "res/resource_ids.h"
#include "shared/editor.h"
#include "ui/view_globals.h"

const char* const kCommandListTexts[kCommandListRows] = {
    " No command",
    " cmd. 'T' \t    Transpose Oscillator 2 & 3",
    " cmd. 'I' \t    Select instrument",
    " cmd. 'S' \t    Slide to note",
    " cmd. 'B' \t    Vibrato",
    " cmd. 'V' \t    Set volume on mixer",
    " cmd. '+' \t    Increase volume on mixer",
    " cmd. '-' \t    Decrease volume on mixer",
    " cmd. 'P' \t    Set pan on mixer",
    " cmd. 'F' \t    Set filter cutoff mod.value",
    " cmd. 'G' \t    Set filter envelope mod.value",
    " cmd. 'E' \t    Set amplifier envelope mod.value",
    " cmd. '1' \t    Set FX1 send on mixer",
    " cmd. '2' \t    Set FX2 send on mixer",
    " cmd. 'O' \t    Set sample offset",
    " cmd. 'X01'  Retrigger LFO",
    " cmd. 'X02'  Retrigger Filter",
    " cmd. 'X03'  Retrigger User Envelope",
};

int32_t g_curCommand = 0;

namespace {
constexpr int kExtendedCommandBase = 242;  // 257..259 -> rows 15..17
}  // namespace

CSelectCommandDlg::CSelectCommandDlg(CWnd* parent) : CDialog(IDD_SELECT_COMMAND, parent) {
    OnCommandEntry(IDC_COMMAND_LIST, [this] { OnSelChangeCommandList(); });
}

void CSelectCommandDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_COMMAND_LIST, m_commandList);
}

bool CSelectCommandDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    // Created at the owner's client origin; moved beside the cursor's column,
    // 286 x 160 pixels unless the template in the dialog font is larger (a
    // font wider than the one the list was laid out for would cut its rows).
    CRect r;
    GetWindowRect(&r);
    const int left = r.left + 16 + 7 * int(uint32_t(g_cursorColumn));
    const int top = r.top + (g_largeLayout ? 224 : 200);
    MoveWindow(left, top, std::max(286, r.Width()), std::max(160, r.Height()), false);

    for (const char* text : kCommandListTexts) m_commandList.AddString(text);
    if (g_curCommand > 15) g_curCommand -= kExtendedCommandBase;
    m_commandList.SetCurSel(g_curCommand);
    return true;
}

void CSelectCommandDlg::OnSelChangeCommandList() {
    const int row = m_commandList.GetCurSel();
    if (row >= 0) g_curCommand = row;
}
