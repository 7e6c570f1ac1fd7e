// The Edit menu's pattern commands on the real frame and view, run the way the
// menu and the accelerators run them (through ExecuteCommand, which asks the
// update handler first): the menu's rows, what each command enables, and the
// document marks of the commands that change the song.
#include "tests/gui/gui_fixture.h"

#include "data/pattern_store.h"
#include "data/song_reset.h"
#include "res/resource_ids.h"
#include "shared/automation.h"
#include "ui/format_patterns.h"
#include "ui/pattern_clipboard.h"
#include "ui/pattern_undo.h"

namespace {

class EditCommandsTest : public SessionTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        ASSERT_TRUE(OpenSession());
        g_saveChanges = 1;
        // A song of 64-row patterns 0 and 1, the grid focused on position 0.
        g_patternLength = 64;
        ResetSong();
        ASSERT_TRUE(NewPattern());
        ASSERT_TRUE(NewPattern());
        g_songOrder[1] = 1;
        g_patternFocus = 1;
        g_patternShown = 1;
        g_patternUndoCount = 0;
        g_patternClipboardFilled = 0;
        g_tweakClipboardFilled = 0;
        g_automationOn = 0;
        g_cursorColumn = 0;
        g_firstTrack = 0;
        g_editStep = 0;
        g_selPattern = 0;
        g_selFirstPart = g_selLastPart = g_selFirstStep = g_selLastStep = 0;
        SetBeepHandler([this](UINT) { ++beeps; });
        session_->doc->SetModifiedFlag(false);
    }
    void TearDown() override {
        SetBeepHandler(nullptr);
        g_soundModuleMode = 0;
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
    int beeps = 0;
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
        {32810, "&Set steps per beat..."},
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

TEST_F(EditCommandsTest, EnableRulesAndDocumentMarks) {
    const auto select = [](uint32_t first, uint32_t last) {
        g_selFirstPart = first;
        g_selLastPart = last;
        g_selFirstStep = 0;
        g_selLastStep = 8;
        g_selPattern = 0;
    };
    const auto copyCommandA = [&] {
        Cell(0, 0, 0, 0) = 0x50;
        Cell(0, 0, 1, 0) = 12;
        select(0, 1);
        CopySelectionToClipboard();
        select(0, 0);
    };
    const struct {
        const char* name;
        UINT id;
        std::function<void()> setUp;
        bool enabled;
        bool marked;
    } cases[] = {
        {"Cut without a selection", ID_EDIT_CUT, [] {}, false, false},
        {"Cut of notes", ID_EDIT_CUT, [&] { Cell(0, 0, 3, 2) = 60; select(0, 3); }, true, true},
        {"Cut of empty cells", ID_EDIT_CUT, [&] { select(0, 3); }, true, false},
        {"Cut of a selection in another pattern", ID_EDIT_CUT, [&] { select(0, 3); g_selPattern = 1; }, false, false},
        {"Copy", ID_EDIT_COPY, [&] { Cell(0, 0, 3, 2) = 60; select(0, 3); }, true, false},
        {"Copy without a selection", ID_EDIT_COPY, [] {}, false, false},
        {"Paste", ID_EDIT_PASTE, [&] { copyCommandA(); g_editStep = 20; }, true, true},
        {"Paste with an empty clipboard", ID_EDIT_PASTE, [] {}, false, false},
        {"Paste in the order list", ID_EDIT_PASTE, [&] { copyCommandA(); g_patternFocus = 0; }, false, false},
        {"Paste of a command on a note", ID_EDIT_PASTE, [&] { copyCommandA(); g_cursorColumn = 6; }, true, false},
        {"Duplicate", ID_EDIT_DUPLICATE, [&] { answers = {IDYES}; }, true, true},
        {"Duplicate declined", ID_EDIT_DUPLICATE, [&] { answers = {IDNO}; }, true, false},
        {"Duplicate without a pattern shown", ID_EDIT_DUPLICATE, [] { g_patternShown = 0; }, false, false},
        {"Duplicate on entry 100", ID_EDIT_DUPLICATE, [] { g_songOrder[0] = 100; }, false, false},
        {"Duplicate on a pattern not allocated", ID_EDIT_DUPLICATE, [] { g_songOrder[0] = 50; }, false, false},
        {"Select All", ID_EDIT_SELECT_ALL_PARTS, [] {}, true, false},
        {"Select All in the order list", ID_EDIT_SELECT_ALL_PARTS, [] { g_patternFocus = 0; }, false, false},
        {"Select All on entry 100", ID_EDIT_SELECT_ALL_PARTS, [] { g_songOrder[0] = 100; }, false, false},
        {"Select Track", ID_EDIT_SELECT_TRACK, [] {}, true, false},
        {"Select Track in the order list", ID_EDIT_SELECT_TRACK, [] { g_patternFocus = 0; }, false, false},
        {"Copy tweaking", ID_EDIT_COPY_TWEAKING, [] { g_patternFocus = 0; g_automationOn = 1; }, true, false},
        {"Copy tweaking in the grid", ID_EDIT_COPY_TWEAKING, [] { g_automationOn = 1; }, false, false},
        {"Copy tweaking, automation off", ID_EDIT_COPY_TWEAKING, [] { g_patternFocus = 0; }, false, false},
        {"Paste tweaking", ID_EDIT_PASTE_TWEAKING,
         [] {
             g_patternFocus = 0;
             g_automationOn = 1;
             g_tweakClipboard[300] = 40;
             g_tweakClipboardFilled = 1;
         },
         true, true},
        {"Paste tweaking with nothing copied", ID_EDIT_PASTE_TWEAKING,
         [] { g_patternFocus = 0; g_automationOn = 1; }, false, false},
        {"Paste tweaking in the grid", ID_EDIT_PASTE_TWEAKING,
         [] { g_automationOn = 1; g_tweakClipboardFilled = 1; }, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        c.setUp();
        EXPECT_EQ(Enabled(c.id), c.enabled);
        EXPECT_EQ(Frame()->ExecuteCommand(c.id), c.enabled);
        EXPECT_EQ(session_->doc->IsModified(), c.marked);
        EXPECT_TRUE(answers.empty());
        TearDown();
    }
}

TEST_F(EditCommandsTest, ARefusedPasteBeepsAndLeavesUndoAvailable) {
    Cell(0, 0, 0, 0) = 0x50;
    g_selFirstPart = 0, g_selLastPart = 1, g_selFirstStep = 0, g_selLastStep = 1, g_selPattern = 0;
    EXPECT_TRUE(Frame()->ExecuteCommand(ID_EDIT_COPY));
    g_cursorColumn = 6;
    EXPECT_TRUE(Frame()->ExecuteCommand(ID_EDIT_PASTE));
    EXPECT_EQ(beeps, 1);
    EXPECT_TRUE(Enabled(ID_EDIT_UNDO));
    EXPECT_TRUE(Frame()->ExecuteCommand(ID_EDIT_UNDO));
    EXPECT_FALSE(session_->doc->IsModified());
}

TEST_F(EditCommandsTest, FormatPatternsStopsFirstAndMarksOnlyAFormattedSong) {
    const struct {
        const char* name;
        std::function<void(CDialog&)> script;
        uint32_t length;
        bool marked;
    } cases[] = {
        {"Cancel", [](CDialog& d) { d.ClickButton(IDC_FORMAT_24); d.ClickButton(IDCANCEL); }, 64, false},
        {"Escape", [](CDialog& d) { d.PressEscape(); }, 64, false},
        {"the same length", [](CDialog& d) { d.ClickButton(IDOK); }, 64, false},
        {"24 steps", [](CDialog& d) { d.ClickButton(IDC_FORMAT_24); d.ClickButton(IDOK); }, 24, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        g_songPlaying = 1;
        g_playFlag = 1;
        g_engineReset = 0;
        PushPatternUndo();
        g_editStep = 7;
        dialogScripts.push_back([&](CDialog& d) {
            EXPECT_EQ(d.GetWindowText(), "MorvelCanopy I patterns formatter");
            EXPECT_EQ(d.IsDlgButtonChecked(IDC_FORMAT_64), 1u);  // the current length
            EXPECT_EQ(g_engineReset, kResetStop);                 // stopped before the dialog
            c.script(d);
        });
        EXPECT_TRUE(Frame()->ExecuteCommand(ID_EDIT_FORMAT_PATTERNS));
        EXPECT_TRUE(dialogScripts.empty());
        EXPECT_EQ(g_engineReset, kResetStop);
        EXPECT_EQ(uint32_t(g_playFlag), 0u);
        EXPECT_EQ(uint32_t(g_patternLength), c.length);
        EXPECT_EQ(session_->doc->IsModified(), c.marked);
        EXPECT_EQ(Enabled(ID_EDIT_UNDO), !c.marked);
        EXPECT_EQ(uint32_t(g_editStep), c.marked ? 0u : 7u);
        if (c.marked) {
            EXPECT_EQ(uint32_t(g_stepsPerBeat), 6u);  // the grid drawn at once sets it
        }
        TearDown();
    }
    g_songPlaying = 0;
    g_playFlag = 0;
    g_engineReset = 0;
}

TEST_F(EditCommandsTest, FormatPatternsNeedsPatternsAndThePatternEditor) {
    EXPECT_TRUE(Enabled(ID_EDIT_FORMAT_PATTERNS));
    g_soundModuleMode = 1;
    EXPECT_FALSE(Enabled(ID_EDIT_FORMAT_PATTERNS));
    g_soundModuleMode = 0;
    ReleaseAllPatterns();
    EXPECT_FALSE(Enabled(ID_EDIT_FORMAT_PATTERNS));
}

TEST_F(EditCommandsTest, SoundModuleModeDisablesOnlyTheExportOfTheFileCommands) {
    g_soundModuleMode = 1;
    EXPECT_FALSE(Enabled(ID_FILE_EXPORT_WAVE));
    EXPECT_TRUE(Enabled(ID_FILE_SAVE));
    EXPECT_TRUE(Enabled(ID_FILE_SAVE_AS));
}

}  // namespace
