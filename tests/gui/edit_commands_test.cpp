// The Edit menu's pattern commands on the real frame and view, run the way the
// menu and the accelerators run them (through ExecuteCommand, which asks the
// update handler first): the menu's rows, what each command enables, and the
// document marks of the commands that change the song.
#include "tests/gui/gui_fixture.h"

#include "data/pattern_store.h"
#include "data/song_reset.h"
#include "res/resource_ids.h"
#include "ui/pattern_undo.h"

namespace {

class EditCommandsTest : public GuiTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        songFiles["_default_.mcs"] = DocIoResult::Ok;
        session_ = std::make_unique<Session>(ProfilePath());
        ASSERT_NE(session_->view, nullptr);
        g_firstNewDone = 1;
        g_saveChanges = 1;
        // A song of 64-row patterns 0 and 1, the grid focused on position 0.
        g_patternLength = 64;
        ResetSong();
        ASSERT_TRUE(NewPattern());
        ASSERT_TRUE(NewPattern());
        g_songOrder[1] = 1;
        g_patternFocus = 1;
        g_patternShown = 1;
        session_->doc->SetModifiedFlag(false);
    }
    void TearDown() override {
        session_.reset();
        ResetSong();
        GuiTest::TearDown();
    }
    CFrameWnd* Frame() { return session_->frame; }
    CSynthView* View() { return static_cast<CSynthView*>(session_->view); }
    bool Enabled(UINT id) {
        CCmdUI ui;
        ui.m_nID = id;
        return Frame()->OnCmdMsg(id, &ui) && ui.m_bEnabled;
    }
    static uint8_t& Cell(uint32_t pattern, uint32_t track, uint32_t plane, uint32_t row) {
        return g_patterns[pattern].load()[PatternIndex(track, plane, row, g_patternLength)];
    }
    std::unique_ptr<Session> session_;
};

TEST_F(EditCommandsTest, TheEditMenuRows) {
    const std::vector<std::pair<UINT, std::string>> want = {
        {57643, "&Undo\tCtrl+Z"},       {0, ""},
        {57635, "Cu&t\tCtrl+X"},        {57634, "&Copy\tCtrl+C"},
        {57637, "&Paste\tCtrl+V"},      {32780, "&Duplicate\tCtrl+D"},
        {0, ""},                        {32799, "Select &All\tCtrl+A"},
        {32800, "Select T&rack\tCtrl+T"}, {0, ""},
        {32806, "C&opy tweaking\tCtrl+1"}, {32807, "Past&e tweaking\tCtrl+2"},
        {0, ""},                        {32804, "&Format patterns..."},
    };
    std::vector<std::pair<UINT, std::string>> got;
    for (auto& item : Frame()->GetMenuState(1)) got.push_back({item.id, item.text});
    EXPECT_EQ(got, want);
}

TEST_F(EditCommandsTest, UndoRunsOnlyWithSnapshotsAndMarksWhatItChanged) {
    EXPECT_FALSE(Frame()->ExecuteCommand(ID_EDIT_UNDO));
    Cell(0, 2, 3, 5) = 60;
    PushPatternUndo();
    Cell(0, 2, 3, 5) = 61;
    g_orderCursor = 1;  // the song position moved on to pattern 1
    EXPECT_TRUE(Enabled(ID_EDIT_UNDO));
    EXPECT_TRUE(Frame()->ExecuteCommand(ID_EDIT_UNDO));
    EXPECT_EQ(Cell(0, 2, 3, 5), 60);
    EXPECT_TRUE(session_->doc->IsModified());
    EXPECT_FALSE(Enabled(ID_EDIT_UNDO));

    // With "Save changes" off the mark clears the flag; an undo that changes
    // nothing leaves it alone.
    g_saveChanges = 0;
    PushPatternUndo();
    Cell(1, 0, 0, 0) = 0x30;
    EXPECT_TRUE(Frame()->ExecuteCommand(ID_EDIT_UNDO));
    EXPECT_FALSE(session_->doc->IsModified());
    g_saveChanges = 1;
    PushPatternUndo();
    EXPECT_TRUE(Frame()->ExecuteCommand(ID_EDIT_UNDO));
    EXPECT_FALSE(session_->doc->IsModified());
}

TEST_F(EditCommandsTest, UndoIsDisabledAfterFileNewAndLeavingTheGrid) {
    PushPatternUndo();
    dialogScripts.push_back([](CDialog& d) { d.PressEscape(); });
    EXPECT_TRUE(Frame()->ExecuteCommand(ID_FILE_NEW));
    EXPECT_FALSE(Enabled(ID_EDIT_UNDO));

    ASSERT_GT(uint32_t(g_patternCount), 0u);
    g_patternFocus = 1;
    PushPatternUndo();
    EXPECT_TRUE(Enabled(ID_EDIT_UNDO));
    View()->FocusSongOrderList();
    EXPECT_FALSE(Enabled(ID_EDIT_UNDO));
    EXPECT_EQ(uint32_t(g_patternFocus), 0u);
}

}  // namespace
