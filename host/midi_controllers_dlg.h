// The MIDI controllers dialog (template 241): the 36 custom controller numbers
// with their knobs' names, and the choice between the factory map and the
// custom set. A number the user types, or steps with its up-down, takes
// effect at once; choosing a mode too. Opening the dialog changes nothing.
// "Close" stores every number and then checks each is 0 to 127 (the dialog
// stays open on a bad one); Esc keeps what was already stored.
#pragma once

#include "platform/dialog.h"
#include "shared/app_settings.h"

// 1 while numbers typed into the dialog are stored at once.
extern Relaxed<int32_t> g_controllerEditsReady;

class CMidiControllersDlg : public CDialog {
public:
    explicit CMidiControllersDlg(CWnd* parent = nullptr);
    void DoDataExchange(CDataExchange* dx) override;
    bool OnInitDialog() override;
    void OnOK() override;

    void OnUseFactoryDefaults();
    void OnUseCustomSet();
    void OnChangeController(int row);
    void OnHelp();

    CButton m_factoryRadio;
    CButton m_customRadio;
    CSpinButtonCtrl m_spins[kCustomControllers];
    int m_controllers[kCustomControllers] = {};

private:
    void EnableCustomRows(bool enable, bool withGroup);
    // The edit's text as a number; false for text that is none.
    bool ReadRow(int row, int32_t& value) const;
};
