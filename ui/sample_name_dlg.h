// The small dialog that names a wave pasted from the clipboard: one edit field
// of at most 60 characters, "Unnamed wave" at first; Enter closes it with OK,
// Escape with Cancel.
#pragma once

#include <string>

#include "platform/dialog.h"

class CSampleNameDlg : public CDialog {
public:
    explicit CSampleNameDlg(CWnd* parent = nullptr);
    void DoDataExchange(CDataExchange* dx) override;

    std::string m_name = "Unnamed wave";
};
