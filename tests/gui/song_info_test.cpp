// The song information: from the File menu (fields filled from the song,
// edits taken back and marking the song, the top-bar button held while it
// runs), after a load (shown, nothing taken back, nothing marked), the
// comment's line ends and its limit, and "Visit page" with its link.
#include <wx/window.h>

#include "tests/gui/gui_fixture.h"

#include "res/resource_ids.h"
#include "shared/app_settings.h"
#include "shared/editor.h"
#include "ui/panel_state.h"
#include "platform/wx_bridge.h"
#include "ui/song_info_dlg.h"

namespace {

class SongInfoTest : public SessionTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        ASSERT_TRUE(OpenSession());
        g_saveChanges = 1;
        g_songTitle = "Dawn";
        g_songAuthor = "K. Moll";
        g_songComment = "N/A";
        g_showInfoOnOpen = 0;
        SetUrlOpener([this](const std::string& url) { urls.push_back(url); });
        session_->doc->SetModifiedFlag(false);
        g_docModified = 0;
    }
    void TearDown() override {
        SetUrlOpener(nullptr);
        SessionTest::TearDown();
    }
    bool Run() { return session_->frame->ExecuteCommand(ID_FILE_SONG_INFO); }
    bool Modified() const { return session_->doc->IsModified(); }
    std::vector<std::string> urls;
};

}  // namespace

TEST_F(SongInfoTest, TheMenuCommandFillsTheFieldsTakesTheEditsBackAndMarks) {
    int topBarDuring = -1;
    dialogScripts.push_back([&](CDialog& d) {
        topBarDuring = g_topBarButtons[0];
        EXPECT_EQ(d.GetDlgItemText(IDC_SONG_TITLE), "Dawn");
        EXPECT_EQ(d.GetDlgItemText(IDC_SONG_AUTHOR), "K. Moll");
        EXPECT_EQ(d.GetDlgItemText(IDC_SONG_COMMENT), "N/A");
        EXPECT_EQ(g_docModified, 0);  // filling the fields is no edit
        d.TypeText(IDC_SONG_TITLE, "Dusk");
        d.ClickButton(IDC_SHOW_ON_OPEN);
        d.ClickButton(IDC_SONG_INFO_CLOSE);
    });
    EXPECT_TRUE(Run());
    EXPECT_EQ(topBarDuring, 1);
    EXPECT_EQ(g_topBarButtons[0], 0);
    EXPECT_EQ(g_songTitle, "Dusk");
    EXPECT_EQ(g_showInfoOnOpen, 1);
    EXPECT_TRUE(Modified());
}

TEST_F(SongInfoTest, CancelAfterTypingKeepsTheTextsButMarksAndCloseWithoutEditsMarksNothing) {
    dialogScripts.push_back([](CDialog& d) {
        d.TypeText(IDC_SONG_AUTHOR, "Someone else");
        d.PressEscape();
    });
    EXPECT_TRUE(Run());
    EXPECT_EQ(g_songAuthor, "K. Moll");
    EXPECT_TRUE(Modified());

    session_->doc->SetModifiedFlag(false);
    dialogScripts.push_back([](CDialog& d) { d.ClickButton(IDC_SONG_INFO_CLOSE); });
    EXPECT_TRUE(Run());
    EXPECT_FALSE(Modified());
    // Without "Save changes" an edit leaves the framework's flag clear.
    g_saveChanges = 0;
    dialogScripts.push_back([](CDialog& d) {
        d.TypeText(IDC_SONG_TITLE, "x");
        d.ClickButton(IDC_SONG_INFO_CLOSE);
    });
    EXPECT_TRUE(Run());
    EXPECT_FALSE(Modified());
}

// Enter runs "Close", the default button; the OK command alone does not end
// the dialog. (Real keys in the fields: tests/gui/dialog_input_test.cpp.)
TEST_F(SongInfoTest, EnterRunsCloseButTheOkCommandAloneDoesNothing) {
    bool openAfterOk = false;
    dialogScripts.push_back([&](CDialog& d) {
        d.TypeText(IDC_SONG_TITLE, "Dusk");
        d.OnOK();
        openAfterOk = !d.HasEnded();
        d.PressEnter();
        EXPECT_TRUE(d.HasEnded());
        EXPECT_EQ(d.GetResult(), IDOK);
    });
    EXPECT_TRUE(Run());
    EXPECT_TRUE(openAfterOk);
    EXPECT_EQ(g_songTitle, "Dusk");
}

TEST_F(SongInfoTest, TheCommentsLineEndsComeBackAsTheyWere) {
    struct Case {
        const char* name;
        std::string comment;
        std::string typed;  // empty: left as it is
        std::string shown;
        std::string after;
    } cases[] = {
        {"CR LF unedited", "line one\r\nline two\r\n", "", "line one\nline two\n", "line one\r\nline two\r\n"},
        {"a lone LF unedited", "a\nb\r\nc", "", "a\nb\nc", "a\nb\r\nc"},
        {"typed line breaks", "N/A", "x\ny", "N/A", "x\r\ny"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_songComment = c.comment;
        std::string shown;
        dialogScripts.push_back([&](CDialog& d) {
            shown = d.GetDlgItemText(IDC_SONG_COMMENT);
            if (!c.typed.empty()) d.TypeText(IDC_SONG_COMMENT, c.typed);
            d.ClickButton(IDC_SONG_INFO_CLOSE);
        });
        EXPECT_TRUE(Run());
        EXPECT_EQ(shown, c.shown);
        EXPECT_EQ(g_songComment, c.after);
    }
}

TEST_F(SongInfoTest, TheCommentRefusesA513thCharacter) {
    g_songComment = "";
    std::string kept;
    dialogScripts.push_back([&](CDialog& d) {
        d.TypeText(IDC_SONG_COMMENT, std::string(512, 'a'));
        d.TypeText(IDC_SONG_COMMENT, std::string(513, 'a'));
        kept = d.GetDlgItemText(IDC_SONG_COMMENT);
        // A line break counts as the two bytes the song file keeps.
        d.TypeText(IDC_SONG_COMMENT, std::string(511, 'a') + "\n");
        d.ClickButton(IDC_SONG_INFO_CLOSE);
    });
    EXPECT_TRUE(Run());
    EXPECT_EQ(kept, std::string(512, 'a'));
    EXPECT_EQ(g_songComment, std::string(512, 'a'));
}

TEST_F(SongInfoTest, VisitPageOpensTheFirstLinkWholeAndCloses) {
    struct Case {
        const char* name;
        std::string comment;
        bool enabled;
        std::string link;
    } cases[] = {
        {"no link", "see you", false, ""},
        {"capitals do not count", "HTTP://x.example/", false, ""},
        {"ends before a space", "at http://a.example/p more words", true, "http://a.example/p"},
        {"runs to the end", "at http://a.example/end", true, "http://a.example/end"},
        {"ends before CR", "http://a.example/x\r\nnext", true, "http://a.example/x"},
        {"only the first of two", "http://one.example/ http://two.example/", true, "http://one.example/"},
        {"shell characters stay in", "http://a.example/\"q\";rm\t-rf\n$(x)`y`|z&w", true,
         "http://a.example/\"q\";rm\t-rf\n$(x)`y`|z&w"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_songComment = c.comment;
        urls.clear();
        bool enabled = false;
        dialogScripts.push_back([&](CDialog& d) {
            enabled = d.GetDlgItem(IDC_VISIT_PAGE)->IsWindowEnabled();
            d.TypeText(IDC_SONG_COMMENT, "http://typed.example/ later");  // not seen by the button
            if (enabled) d.ClickButton(IDC_VISIT_PAGE);
            else d.ClickButton(IDC_SONG_INFO_CLOSE);
            EXPECT_TRUE(d.HasEnded());
            EXPECT_EQ(d.GetResult(), IDOK);
        });
        EXPECT_TRUE(Run());
        EXPECT_EQ(enabled, c.enabled);
        EXPECT_EQ(urls, c.link.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.link});
        EXPECT_EQ(g_songComment, "http://typed.example/ later");
    }
    EXPECT_EQ(FirstWebLink("x http://a.example/q;w"), "http://a.example/q;w");
}

TEST_F(SongInfoTest, AfterALoadItShowsTheInformationTakesNothingBackAndMarksNothing) {
    g_showInfoOnOpen = 1;
    g_songInfoOnLoad = 1;
    bool boxEnabled = true;
    int fromLoadDuring = -1;
    dialogScripts.push_back([&](CDialog& d) {
        fromLoadDuring = g_songInfoFromLoad;
        boxEnabled = d.GetDlgItem(IDC_SHOW_ON_OPEN)->IsWindowEnabled();
        d.TypeText(IDC_SONG_TITLE, "Changed");
        d.TypeText(IDC_SONG_COMMENT, "Changed too");
        EXPECT_EQ(g_docModified, 0);
        d.ClickButton(IDC_SONG_INFO_CLOSE);
    });
    static_cast<CSynthView*>(session_->view)->RunPostLoadChecks();
    EXPECT_EQ(dialogs, std::vector<UINT>{IDD_SONG_INFO});
    EXPECT_EQ(fromLoadDuring, 0);  // the dialog cleared it at opening
    EXPECT_FALSE(boxEnabled);
    EXPECT_EQ(g_songTitle, "Dawn");
    EXPECT_EQ(g_songComment, "N/A");
    EXPECT_EQ(g_docModified, 0);
    EXPECT_EQ(g_songInfoFromLoad, 0);
    session_->view->OnTimer(kViewTimerId);
    EXPECT_FALSE(Modified());
}

// After a load "Close" has the focus, so that Enter or Space dismisses the
// information at once; from the menu the first field has it.
TEST_F(SongInfoTest, AfterALoadCloseHasTheFocus) {
    for (bool afterLoad : {true, false}) {
        bool closeFocused = !afterLoad;
        dialogScripts.push_back([&](CDialog& d) {
            d.ShowWindow(SW_SHOW);
            d.BringWindowToTop();  // active without a window manager too
            PumpMessages(50);
            closeFocused = wxWindow::FindFocus() == ToolkitOf(d.GetDlgItem(IDC_SONG_INFO_CLOSE));
            d.ClickButton(IDC_SONG_INFO_CLOSE);
        });
        if (afterLoad) {
            g_showInfoOnOpen = 1;
            g_songInfoOnLoad = 1;
            static_cast<CSynthView*>(session_->view)->RunPostLoadChecks();
        } else {
            Run();
        }
        EXPECT_EQ(closeFocused, afterLoad) << afterLoad;
    }
}
