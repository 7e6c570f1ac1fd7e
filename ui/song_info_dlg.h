// The song information dialog: title, author, a multi-line comment and the
// "Show this screen on song open" box. The opener fills the members before the
// run and reads them back after it; the dialog never touches the song itself,
// but the user's edits set g_docModified.
//
// "Close" (the default button: Enter runs it, except in the comment, where
// it starts a new line) takes the fields into the members and ends the dialog;
// the OK command alone does nothing; Escape ends it without taking them.
// "Visit page" is enabled when the comment held "http://" at opening and opens
// its first link (up to the first space or CR) through the URL opener, as one
// argument, then closes as "Close" does. Opened after a load
// (g_songInfoFromLoad set), the check box is greyed, "Close" has the focus and
// nothing typed marks the song.
//
// The comment keeps CR LF line ends: each shows as a line break and comes
// back as CR LF; an unedited comment comes back byte for byte. It holds at
// most kSongCommentChars bytes (what a song file keeps): typing past that is
// refused.
#pragma once

#include <string>

#include "platform/dialog.h"

class CSongInfoDlg : public CDialog {
public:
    explicit CSongInfoDlg(CWnd* parent = nullptr);
    void DoDataExchange(CDataExchange* dx) override;
    bool OnInitDialog() override;
    void OnOK() override;

    void OnChangeField();
    void OnChangeComments();
    void OnShowOnOpen();
    void OnCloseButton();
    void OnVisitPage();

    std::string m_title;
    std::string m_author;
    std::string m_comment;
    int m_showOnOpen = 0;

private:
    std::string shownComment_;  // the comment's text in the field at opening
    std::string openedComment_; // ... and as it was given
    std::string acceptedText_;  // the field's last text within the limit
    bool fromLoad_ = false;
};

// The first web link of a comment: from "http://" up to, not including, the
// first space or CR after it (or the end); empty without "http://".
std::string FirstWebLink(const std::string& comment);
// CR LF -> line break for the field, and back.
std::string CommentToField(const std::string& comment);
std::string FieldToComment(const std::string& field);
