// The select-command dialog on the virtual display: its rows with the tab
// columns lined up, the row selected on entry (the extended commands included),
// the row selected last returned however the dialog closes, and its place
// beside the grid cursor in both layouts.
#include <wx/listbox.h>
#include <wx/window.h>

#include "tests/gui/gui_fixture.h"

#include "platform/wx_bridge.h"
#include "res/resource_ids.h"
#include "ui/select_command_dlg.h"

namespace {

class SelectCommandTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        songFiles["_default_.mcs"] = DocIoResult::Ok;
        session_ = std::make_unique<Session>(ProfilePath());
        ASSERT_NE(session_->view, nullptr);
        g_cursorColumn = 0;
        g_largeLayout = 0;
    }
    void TearDown() override {
        g_largeLayout = 0;
        g_cursorColumn = 0;
        session_.reset();
        GuiTest::TearDown();
    }
    // Runs the dialog with one script; returns how it ended.
    int Run(std::function<void(CSelectCommandDlg&)> script) {
        dialogScripts.push_back([script](CDialog& d) { script(dynamic_cast<CSelectCommandDlg&>(d)); });
        CSelectCommandDlg dlg;
        return dlg.DoModal();
    }
    std::unique_ptr<Session> session_;
};

TEST_F(SelectCommandTest, RowsLineUpAtTheTabStop) {
    g_curCommand = 0;
    Run([](CSelectCommandDlg& d) {
        EXPECT_EQ(d.GetWindowText(), "Select command");
        ASSERT_EQ(d.m_commandList.GetCount(), kCommandListRows);
        EXPECT_EQ(d.m_commandList.GetText(0), " No command");
        EXPECT_EQ(d.m_commandList.GetText(9), " cmd. 'F'           Set filter cutoff mod.value");
        for (int row = 1; row <= 14; ++row) {
            SCOPED_TRACE(row);
            const std::string text = d.m_commandList.GetText(row);
            EXPECT_EQ(text.find('\t'), std::string::npos);
            EXPECT_EQ(text.find_first_not_of(' ', 10), 20u);  // every description in one column
        }
        EXPECT_EQ(d.m_commandList.GetText(17), " cmd. 'X03'  Retrigger User Envelope");
        d.PressEscape();
    });
    EXPECT_EQ(ExpandTabs("ab\tc\t\td", 4), "ab  c       d");
}

TEST_F(SelectCommandTest, TheRowSelectedLastIsReturnedHoweverItCloses) {
    const struct {
        const char* name;
        int32_t entry;
        int selectedOnEntry;
        int chosen;  // -1: none
        bool enter;
        int result;
        int32_t exit;
    } cases[] = {
        {"command F, Escape at once", 9, 9, -1, false, IDCANCEL, 9},
        {"X02 opens on row 16, row 3 chosen, Escape", 258, 16, 3, false, IDCANCEL, 3},
        {"X01 opens on row 15", 257, 15, -1, true, IDOK, 15},
        {"X03, row 12 chosen, Enter", 259, 17, 12, true, IDOK, 12},
        {"no command", 0, 0, -1, true, IDOK, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        g_curCommand = c.entry;
        const int result = Run([&](CSelectCommandDlg& d) {
            EXPECT_EQ(d.m_commandList.GetCurSel(), c.selectedOnEntry);
            if (c.chosen >= 0) d.ChooseListRow(IDC_COMMAND_LIST, c.chosen);
            if (c.enter) d.PressEnter();
            else d.PressEscape();
        });
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(g_curCommand, c.exit);
    }
}

TEST_F(SelectCommandTest, ItOpensBesideTheCursorColumn) {
    CRect view;
    session_->view->GetWindowRect(&view);  // the view fills the frame's client area from its origin
    const struct {
        uint32_t column;
        int32_t large;
        int dx, dy;
    } cases[] = {{0, 0, 16, 200}, {48, 0, 352, 200}, {0, 1, 16, 224}, {48, 1, 352, 224}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "column " << c.column << " large " << c.large);
        g_cursorColumn = c.column;
        g_largeLayout = c.large;
        g_curCommand = 1;
        Run([&](CSelectCommandDlg& d) {
            CRect r;
            d.GetWindowRect(&r);
            EXPECT_EQ(r.left - view.left, c.dx);
            EXPECT_EQ(r.top - view.top, c.dy);
            // At least 286 x 160 pixels, and never smaller than the template
            // in the dialog font, whose list shows every row whole.
            const CRect created = r;
            EXPECT_GE(r.right - r.left, 286);
            EXPECT_GE(r.bottom - r.top, 160);
            // The toolkit keeps that size when the window shows.
            ToolkitOf(&d)->Show();
            PumpMessages(40);
            d.GetWindowRect(&r);
            EXPECT_EQ(r.right - r.left, created.right - created.left);
            EXPECT_EQ(r.bottom - r.top, created.bottom - created.top);
            auto* list = dynamic_cast<wxListBox*>(ToolkitOf(d.GetDlgItem(IDC_COMMAND_LIST)));
            ASSERT_NE(list, nullptr);
            for (unsigned row = 0; row < list->GetCount(); ++row)
                EXPECT_LE(list->GetTextExtent(list->GetString(row)).x, list->GetClientSize().x - 16)
                    << "row " << row << " cut: " << list->GetString(row);
            d.PressEscape();
        });
    }
}

}  // namespace
