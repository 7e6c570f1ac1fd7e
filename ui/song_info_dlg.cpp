#include "ui/song_info_dlg.h"

#include "platform/services.h"
#include "res/resource_ids.h"
#include "shared/editor.h"
#include "shared/song_info.h"
#include "ui/view_globals.h"

std::string FirstWebLink(const std::string& comment) {
    const size_t start = comment.find("http://");
    if (start == std::string::npos) return {};
    const size_t end = comment.find_first_of(" \r", start);
    return comment.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

std::string CommentToField(const std::string& comment) {
    std::string out;
    out.reserve(comment.size());
    for (size_t i = 0; i < comment.size(); ++i) {
        if (comment[i] == '\r' && i + 1 < comment.size() && comment[i + 1] == '\n') continue;
        out += comment[i];
    }
    return out;
}

std::string FieldToComment(const std::string& field) {
    std::string out;
    out.reserve(field.size() + 16);
    for (char c : field) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

CSongInfoDlg::CSongInfoDlg(CWnd* parent) : CDialog(IDD_SONG_INFO, parent) {
    OnControlEntry(EN_CHANGE, IDC_SONG_TITLE, [this] { OnChangeField(); });
    OnControlEntry(EN_CHANGE, IDC_SONG_AUTHOR, [this] { OnChangeField(); });
    OnControlEntry(EN_CHANGE, IDC_SONG_COMMENT, [this] { OnChangeComments(); });
    OnCommandEntry(IDC_SHOW_ON_OPEN, [this] { OnShowOnOpen(); });
    OnCommandEntry(IDC_SONG_INFO_CLOSE, [this] { OnCloseButton(); });
    OnCommandEntry(IDC_VISIT_PAGE, [this] { OnVisitPage(); });
}

void CSongInfoDlg::DoDataExchange(CDataExchange* dx) {
    CDialog::DoDataExchange(dx);
    DDX_Text(dx, IDC_SONG_TITLE, m_title);
    DDX_Text(dx, IDC_SONG_AUTHOR, m_author);
    if (dx->m_bSaveAndValidate) {
        const std::string field = GetDlgItemText(IDC_SONG_COMMENT);
        m_comment = field == shownComment_ ? openedComment_ : FieldToComment(field);
        if (m_comment.size() > size_t(kSongCommentChars)) m_comment.resize(size_t(kSongCommentChars));
    } else {
        openedComment_ = m_comment;
        shownComment_ = CommentToField(m_comment);
        acceptedText_ = shownComment_;
        SetDlgItemText(IDC_SONG_COMMENT, shownComment_);
    }
    DDX_Check(dx, IDC_SHOW_ON_OPEN, m_showOnOpen);
}

bool CSongInfoDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    if (CWnd* visit = GetDlgItem(IDC_VISIT_PAGE)) visit->EnableWindow(m_comment.find("http://") != std::string::npos);
    if (g_songInfoFromLoad == 1) {
        g_songInfoFromLoad = 0;
        fromLoad_ = true;
        if (CWnd* box = GetDlgItem(IDC_SHOW_ON_OPEN)) box->EnableWindow(false);
        if (CWnd* close = GetDlgItem(IDC_SONG_INFO_CLOSE)) GotoDlgCtrl(close);
        return false;
    }
    return true;
}

void CSongInfoDlg::OnOK() {}  // the OK command does not end the dialog ("Close" does)

void CSongInfoDlg::OnChangeField() {
    if (!fromLoad_) g_docModified = 1;
}

void CSongInfoDlg::OnChangeComments() {
    const std::string field = GetDlgItemText(IDC_SONG_COMMENT);
    if (FieldToComment(field).size() > size_t(kSongCommentChars)) {
        SetDlgItemText(IDC_SONG_COMMENT, acceptedText_);  // the song file keeps no more
        return;
    }
    acceptedText_ = field;
    OnChangeField();
}

void CSongInfoDlg::OnShowOnOpen() {
    if (!fromLoad_) g_docModified = 1;
}

void CSongInfoDlg::OnCloseButton() { CDialog::OnOK(); }

void CSongInfoDlg::OnVisitPage() {
    if (CWnd* visit = GetDlgItem(IDC_VISIT_PAGE)) visit->EnableWindow(false);
    const std::string link = FirstWebLink(m_comment);
    if (!link.empty()) OpenUrl(link);
    CDialog::OnOK();
}
