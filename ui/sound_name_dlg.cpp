#include "ui/sound_name_dlg.h"

#include "platform/framework.h"
#include "res/resource_ids.h"
#include "shared/app_settings.h"
#include "shared/sound_bank.h"
#include "ui/panel_state.h"

namespace {

bool SameIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto up = [](char c) { return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c; };
        if (up(a[i]) != up(b[i])) return false;
    }
    return true;
}

}  // namespace

CSoundNameDlg::CSoundNameDlg(CWnd* parent) : CDialog(IDD_SOUND_NAME, parent) {}

void CSoundNameDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Text(dx, IDC_SOUND_NAME, m_name);
    DDV_MaxChars(dx, m_name, kSoundNameMaxChars);
}

bool CSoundNameDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    // From the main window's client origin, where the template puts it, to
    // the PROGRAM header of the panel, at its own size (the window layer
    // keeps it large enough for the field in the dialog font).
    CRect r;
    GetWindowRect(&r);
    MoveWindow(r.left + kSoundNameDlgX, r.top + kSoundNameDlgY, kSoundNameDlgWidth, kSoundNameDlgHeight, false);
    if (CWnd* edit = GetDlgItem(IDC_SOUND_NAME)) edit->SetFocus();
    return true;
}

std::string SoundNameAllowedPrefix(const std::string& name) {
    static const std::string kAllowed = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 ";
    const size_t end = name.find_first_not_of(kAllowed);
    return end == std::string::npos ? name : name.substr(0, end);
}

void EditSoundName(CDocument* doc) {
    CSoundNameDlg dlg;
    dlg.m_name = g_curSoundName;
    dlg.DoModal();
    // A name given back as it went in (Esc, or Enter on the untouched field,
    // which shows it in capitals) stays whole: cutting it would lose the part
    // after a character the field could not have typed.
    if (!SameIgnoringCase(dlg.m_name, g_curSoundName)) g_curSoundName = SoundNameAllowedPrefix(dlg.m_name);
    g_panelCache[kCacheSoundNumber] = 255;
    g_soundEdited = 1;
    if (doc) doc->SetModifiedFlag(g_saveChanges != 0);
}
