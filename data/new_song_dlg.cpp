#include "data/new_song_dlg.h"

#include "res/resource_ids.h"

CNewSongDlg::CNewSongDlg(CWnd* parent) : CDialog(IDD_NEW_SONG, parent) {}

void CNewSongDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_NEW_TEMPO_SPIN, m_tempoSpin);
    DDX_Text(dx, IDC_NEW_TEMPO, m_tempo);
    DDV_MinMaxInt(dx, m_tempo, 40, 400);
    DDX_Radio(dx, IDC_NEW_LENGTH_16, m_patternLengthChoice);
}

bool CNewSongDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_tempoSpin.SetRange(40, 400);
    m_tempoSpin.SetPos(120);
    return true;
}

bool PatternTimingOfChoice(int choice, uint32_t& length, uint32_t& stepsPerBeat) {
    static const uint32_t lengths[7] = {16, 32, 64, 128, 24, 48, 96};
    if (choice < 0 || choice > 6) return false;
    length = lengths[choice];
    stepsPerBeat = choice >= 4 ? 6 : 4;
    return true;
}
