#include "host/midi_controllers_dlg.h"

#include <cerrno>
#include <cstdlib>

#include "host/midi_controllers.h"
#include "host/synth_app.h"
#include "platform/services.h"
#include "res/resource_ids.h"

Relaxed<int32_t> g_controllerEditsReady{0};

namespace {
constexpr uintptr_t kHelpContext = 10;
constexpr int kHeadings = 6;
}  // namespace

CMidiControllersDlg::CMidiControllersDlg(CWnd* parent) : CDialog(IDD_MIDI_CONTROLLERS, parent) {
    OnCommandEntry(IDC_MIDI_CTL_FACTORY, [this] { OnUseFactoryDefaults(); });
    OnCommandEntry(IDC_MIDI_CTL_CUSTOM, [this] { OnUseCustomSet(); });
    OnCommandEntry(IDC_MIDI_CTL_HELP, [this] { OnHelp(); });
    for (int r = 0; r < kCustomControllers; ++r) OnControlEntry(EN_CHANGE, IDC_MIDI_CTL_EDIT + r, [this, r] { OnChangeController(r); });
}

void CMidiControllersDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_MIDI_CTL_FACTORY, m_factoryRadio);
    DDX_Control(dx, IDC_MIDI_CTL_CUSTOM, m_customRadio);
    for (int r = 0; r < kCustomControllers; ++r) {
        DDX_Control(dx, IDC_MIDI_CTL_SPIN + r, m_spins[r]);
        DDX_Text(dx, IDC_MIDI_CTL_EDIT + r, m_controllers[r]);
        DDV_MinMaxInt(dx, m_controllers[r], 0, 127);
    }
}

bool CMidiControllersDlg::OnInitDialog() {
    g_controllerEditsReady = 0;
    CDialog::OnInitDialog();
    for (int r = 0; r < kCustomControllers; ++r) {
        SetDlgItemText(IDC_MIDI_CTL_LABEL + r, g_customControllerNames[r]);
        m_spins[r].SetRange(0, 127);
    }
    const bool custom = g_useCustomControllers != 0;
    m_factoryRadio.SetCheck(custom ? 0 : 1);
    m_customRadio.SetCheck(custom ? 1 : 0);
    EnableCustomRows(custom, false);
    // Filling the edits reports no change: the set stays as it is.
    for (int r = 0; r < kCustomControllers; ++r)
        SetDlgItemText(IDC_MIDI_CTL_EDIT + r, std::to_string(g_customControllerSet[r].load()));
    g_controllerEditsReady = 1;
    return true;
}

bool CMidiControllersDlg::ReadRow(int row, int32_t& value) const {
    const std::string text = GetDlgItemText(IDC_MIDI_CTL_EDIT + row);
    const char* begin = text.c_str();
    while (*begin == ' ') ++begin;
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(begin, &end, 10);
    if (end == begin || errno != 0 || v < INT32_MIN || v > INT32_MAX) return false;
    while (*end == ' ') ++end;
    if (*end != '\0') return false;
    value = int32_t(v);
    return true;
}

void CMidiControllersDlg::OnChangeController(int row) {
    if (g_controllerEditsReady == 1) {
        int32_t v;
        if (ReadRow(row, v)) g_customControllerSet[row] = v;
    }
    ApplyMidiControllerMap();
}

void CMidiControllersDlg::EnableCustomRows(bool enable, bool withGroup) {
    for (int r = 0; r < kCustomControllers; ++r)
        for (int id : {IDC_MIDI_CTL_LABEL + r, IDC_MIDI_CTL_EDIT + r, IDC_MIDI_CTL_SPIN + r})
            if (CWnd* w = GetDlgItem(id)) w->EnableWindow(enable);
    for (int h = 0; h < kHeadings; ++h)
        if (CWnd* w = GetDlgItem(IDC_MIDI_CTL_HEADING + h)) w->EnableWindow(enable);
    if (withGroup)
        if (CWnd* w = GetDlgItem(IDC_MIDI_CTL_GROUP)) w->EnableWindow(enable);
}

void CMidiControllersDlg::OnUseFactoryDefaults() {
    g_useCustomControllers = 0;
    m_factoryRadio.SetCheck(1);
    m_customRadio.SetCheck(0);
    EnableCustomRows(false, true);
    ApplyMidiControllerMap();
}

void CMidiControllersDlg::OnUseCustomSet() {
    g_useCustomControllers = 1;
    m_factoryRadio.SetCheck(0);
    m_customRadio.SetCheck(1);
    EnableCustomRows(true, true);
    ApplyMidiControllerMap();
}

void CMidiControllersDlg::OnOK() {
    for (int r = 0; r < kCustomControllers; ++r) {
        int32_t v;
        if (ReadRow(r, v)) g_customControllerSet[r] = v;
    }
    g_controllerEditsReady = 0;
    ApplyMidiControllerMap();
    CDialog::OnOK();
    // A number the check refused keeps the dialog open; typing goes on acting.
    if (!HasEnded()) g_controllerEditsReady = 1;
}

void CMidiControllersDlg::OnHelp() { WinHelp(g_hMainWnd, g_helpFile, HELP_CONTEXT, kHelpContext); }
