#include "ui/steps_per_beat_dlg.h"

#include "res/resource_ids.h"

CStepsPerBeatDlg::CStepsPerBeatDlg(CWnd* parent) : CDialog(IDD_STEPS_PER_BEAT, parent) {}

void CStepsPerBeatDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Radio(dx, IDC_STEPS_4_6, m_nStepsChoice);
}
