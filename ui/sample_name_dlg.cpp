#include "ui/sample_name_dlg.h"

#include "res/resource_ids.h"

CSampleNameDlg::CSampleNameDlg(CWnd* parent) : CDialog(IDD_SAMPLE_NAME, parent) {}

void CSampleNameDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Text(dx, IDC_SAMPLE_NAME, m_name);
    DDV_MaxChars(dx, m_name, 60);
}
