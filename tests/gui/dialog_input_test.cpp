// Dialogs under real input on the virtual display: a click on an up-down
// arrow, or an arrow key in its buddy, is one step (told to the dialog before
// it happens, refusable), and Enter, whatever control has the focus, runs a
// focused push button, else the default button, or ends the dialog as OK
// where there is none, unless the focused control takes the key itself (a
// multi-line edit).
#include <wx/window.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/gui/gui_fixture.h"

#include "data/new_song_dlg.h"
#include "host/midi_mapper_dlg.h"
#include "platform/controls.h"
#include "platform/wx_bridge.h"
#include "res/resource_ids.h"
#include "ui/select_command_dlg.h"

namespace {

// The new-song dialog with its tempo up-down's notifications and its field's
// changes counted; a refusing one turns every step down.
class CountingNewSongDlg : public CNewSongDlg {
public:
    explicit CountingNewSongDlg(bool refuse) {
        OnNotifyEntry(UDN_DELTAPOS, IDC_NEW_TEMPO_SPIN, [this, refuse](NMHDR* hdr) -> LRESULT {
            const auto* nm = reinterpret_cast<NMUPDOWN*>(hdr);
            steps += nm->iDelta > 0 ? "+" : "-";
            seenPos.push_back(nm->iPos);
            // Refusing ends a runaway of steps, so that the test fails
            // instead of spinning for ever.
            return refuse || steps.size() > 20 ? 1 : 0;
        });
        OnControlEntry(EN_CHANGE, IDC_NEW_TEMPO, [this] { ++changes; });
    }
    std::string steps;
    std::vector<int> seenPos;
    int changes = 0;
};

class DialogInputTest : public SessionTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        ASSERT_TRUE(OpenSession());
    }
    // Shows a dialog that a script holds and gives it the keyboard.
    static void ShowForInput(CDialog& d) {
        d.ShowWindow(SW_SHOW);
        d.BringWindowToTop();
        PumpMessages(100);
        const std::string cmd = "xdotool search --sync --onlyvisible --name '^" + d.GetWindowText() +
                                "$' windowfocus --sync %1 >/dev/null 2>&1";
        EXPECT_EQ(std::system(cmd.c_str()), 0) << cmd;
        PumpMessages(100);
    }
    static void Keys(const std::string& keys) {
        ASSERT_EQ(std::system(("xdotool key --delay 40 " + keys).c_str()), 0);
        PumpMessages(200);
    }
    // A click on an up-down's up or down arrow: the toolkit draws them side
    // by side (down, up) in a control wider than tall, else up above down.
    static void ClickArrow(CDialog& d, int id, bool up) {
        wxWindow* w = ToolkitOf(d.GetDlgItem(id));
        ASSERT_NE(w, nullptr);
        const wxRect r = w->GetScreenRect();
        const bool across = r.width > r.height;
        const int x = r.x + (across ? r.width * (up ? 3 : 1) / 4 : r.width / 2);
        const int y = r.y + (across ? r.height / 2 : r.height * (up ? 1 : 3) / 4);
        const std::string cmd = "xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) + " click 1";
        ASSERT_EQ(std::system(cmd.c_str()), 0);
        PumpMessages(300);
    }
};

}  // namespace

// Each input is one step: the field shows the tempo after each, the dialog
// heard one notification per input with the position before it, and the
// field changed once per step taken. A refused step leaves the field as it
// was; at the top of the range a step up is still told, and changes nothing.
TEST_F(DialogInputTest, EachClickOrArrowKeyIsOneStep) {
    struct Case {
        const char* name;
        bool refuse;
        const char* start;  // typed into the field first; empty: as it opens (120)
        const char* inputs;  // u, d: a click on the up or down arrow; U, D: the Up or Down key in the field
        std::vector<std::string> shown;
        std::vector<int> seenPos;
        int changes;
    } cases[] = {
        {"clicks up, down", false, "", "ud", {"121", "120"}, {120, 121}, 2},
        {"refused clicks", true, "", "ud", {"120", "120"}, {120, 120}, 0},
        {"clicks at the top", false, "400", "uud", {"400", "400", "399"}, {400, 400, 400}, 3},
        {"arrow keys in the field", false, "", "UUD", {"121", "122", "121"}, {120, 121, 122}, 3},
        {"refused arrow keys", true, "", "DU", {"120", "120"}, {120, 120}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CountingNewSongDlg dlg(c.refuse);
        std::vector<std::string> shown;
        dialogScripts.push_back([&](CDialog& d) {
            ShowForInput(d);
            if (*c.start) d.SetDlgItemText(IDC_NEW_TEMPO, c.start);
            if (std::string(c.inputs).find_first_of("UD") != std::string::npos) d.FocusControl(IDC_NEW_TEMPO);
            for (const char* in = c.inputs; *in; ++in) {
                if (*in == 'u' || *in == 'd') ClickArrow(d, IDC_NEW_TEMPO_SPIN, *in == 'u');
                else Keys(*in == 'U' ? "Up" : "Down");
                shown.push_back(d.GetDlgItemText(IDC_NEW_TEMPO));
            }
            d.PressEscape();
        });
        dlg.DoModal();
        EXPECT_EQ(shown, c.shown);
        std::string steps;
        for (const char* in = c.inputs; *in; ++in) steps += *in == 'u' || *in == 'U' ? "+" : "-";
        EXPECT_EQ(dlg.steps, steps);
        EXPECT_EQ(dlg.seenPos, c.seenPos);
        EXPECT_EQ(dlg.changes, c.changes);
    }
}

TEST_F(DialogInputTest, EnterInTheCommandListEndsItAsOkWithTheRow) {
    for (const char* key : {"Return", "KP_Enter"}) {
        SCOPED_TRACE(key);
        g_curCommand = 3;
        dialogScripts.push_back([&](CDialog& d) {
            ShowForInput(d);
            d.FocusControl(IDC_COMMAND_LIST);
            Keys("Down Down");
            Keys(key);
            EXPECT_TRUE(d.HasEnded());
            if (!d.HasEnded()) d.PressEscape();
        });
        CSelectCommandDlg dlg;
        EXPECT_EQ(dlg.DoModal(), IDOK);
        EXPECT_EQ(g_curCommand, 5);
    }
}

// Space in a list only selects the row under the cursor: a list that ends
// its dialog on a double click (as Select sample's does) stays open. A real
// double click still reaches the dialog.
TEST_F(DialogInputTest, SpaceInAListIsNoDoubleClick) {
    class CountingDlg : public CSelectCommandDlg {
    public:
        CountingDlg() {
            OnControlEntry(LBN_DBLCLK, IDC_COMMAND_LIST, [this] { ++doubleClicks; });
        }
        int doubleClicks = 0;
    };
    g_curCommand = 3;
    int afterSpace = -1;
    bool openAfterSpace = false;
    CountingDlg dlg;
    dialogScripts.push_back([&](CDialog& d) {
        ShowForInput(d);
        d.FocusControl(IDC_COMMAND_LIST);
        Keys("Down space");
        openAfterSpace = !d.HasEnded();
        afterSpace = dlg.doubleClicks;
        const wxRect r = ToolkitOf(d.GetDlgItem(IDC_COMMAND_LIST))->GetScreenRect();
        const std::string cmd = "xdotool mousemove " + std::to_string(r.x + r.width / 2) + " " +
                                std::to_string(r.y + 10) + " click --repeat 2 --delay 60 1";
        ASSERT_EQ(std::system(cmd.c_str()), 0);
        PumpMessages(300);
        if (!d.HasEnded()) d.PressEscape();
    });
    dlg.DoModal();
    EXPECT_TRUE(openAfterSpace);
    EXPECT_EQ(afterSpace, 0);
    EXPECT_EQ(dlg.doubleClicks, 1);
}

// Song information: Enter in the title runs "Close" (the edit taken); in the
// comment it starts a new line and the dialog stays open.
TEST_F(DialogInputTest, EnterInTheSongTitleClosesAndInTheCommentAddsALine) {
    g_songTitle = "Dawn";
    g_songComment = "N/A";
    bool openAfterEnterInComment = false;
    std::string comment;
    dialogScripts.push_back([&](CDialog& d) {
        ShowForInput(d);
        d.FocusControl(IDC_SONG_COMMENT);
        Keys("ctrl+End Return x");
        openAfterEnterInComment = !d.HasEnded();
        comment = d.GetDlgItemText(IDC_SONG_COMMENT);
        d.FocusControl(IDC_SONG_TITLE);
        Keys("End s Return");
        EXPECT_TRUE(d.HasEnded());
        if (!d.HasEnded()) d.PressEscape();
        else EXPECT_EQ(d.GetResult(), IDOK);
    });
    EXPECT_TRUE(session_->frame->ExecuteCommand(ID_FILE_SONG_INFO));
    EXPECT_TRUE(openAfterEnterInComment);
    EXPECT_EQ(comment, "N/A\nx");
    EXPECT_EQ(g_songTitle, "Dawns");
    EXPECT_EQ(g_songComment, "N/A\r\nx");
}

// Enter in the MIDI mapper by the control with the focus: from a field or a
// drop-down list it runs "Close", the default button; a push button with the
// focus is clicked itself.
TEST_F(DialogInputTest, EnterRunsTheFocusedPushButtonOrElseTheDefaultOne) {
    const struct {
        const char* name;
        int focus;
        bool ends;
        std::vector<std::string> helps;
    } cases[] = {
        {"voices field", IDC_MAPPER_VOICES_1, true, {}},
        {"sound list", IDC_MAPPER_SOUND_1, true, {}},
        {"Help", IDC_MAPPER_HELP, false, {"help 5"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        trace.clear();
        bool ended = false;
        dialogScripts.push_back([&](CDialog& d) {
            ShowForInput(d);
            d.FocusControl(c.focus);
            PumpMessages(50);
            Keys("Return");
            ended = d.HasEnded();
            if (!ended) d.PressEscape();
            else EXPECT_EQ(d.GetResult(), IDOK);
        });
        EXPECT_TRUE(session_->frame->ExecuteCommand(ID_OPTIONS_MIDI_MAPPER));
        EXPECT_EQ(ended, c.ends);
        std::vector<std::string> helps;
        for (const std::string& t : trace)
            if (t.rfind("help ", 0) == 0) helps.push_back(t);
        EXPECT_EQ(helps, c.helps);
    }
}
