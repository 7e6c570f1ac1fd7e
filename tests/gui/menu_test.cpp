// The main window's menu bar: the five menus with every row in order (texts,
// mnemonics, shortcuts and separators), the toggles as check items, rows of
// commands without a handler or not available greyed; the accelerators run their commands
// before the view sees the key, and a disabled command runs neither by key
// nor by row.
#include <wx/frame.h>
#include <wx/menu.h>

#include <cstdlib>

#include "tests/gui/gui_fixture.h"

#include "res/resource_ids.h"
#include "shared/app_settings.h"
#include "ui/panel_state.h"
#include "ui/sound_commands.h"

namespace {

class KeyRecordingView : public CSynthView {
public:
    static inline std::vector<UINT> keys;
    void OnKeyDown(UINT vk, UINT repeat, UINT flags) override {
        keys.push_back(vk);
        CSynthView::OnKeyDown(vk, repeat, flags);
    }
};

class MenuTest : public SessionTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        KeyRecordingView::keys.clear();
        ASSERT_TRUE(OpenSession([] { return new KeyRecordingView; }));
    }
    wxMenuBar* MenuBar() {
        for (wxWindow* w : wxTopLevelWindows)
            if (auto* f = dynamic_cast<wxFrame*>(w); f && f->GetMenuBar() && f->IsShown()) return f->GetMenuBar();
        return nullptr;
    }
    void Type(const std::string& keys) {
        session_->view->SetFocus();
        PumpMessages(50);
        ASSERT_EQ(std::system(("xdotool key --delay 20 " + keys).c_str()), 0);
        PumpMessages(150);
    }
};

struct Row {
    UINT id;
    const char* text;
};

const std::vector<std::pair<const char*, std::vector<Row>>> kMenus = {
    {"&File",
     {{57600, "&New\tCtrl+N"},
      {57601, "&Open...\tCtrl+O"},
      {57603, "&Save\tCtrl+S"},
      {57604, "Save &As..."},
      {32818, "Play / Stop"},
      {0, ""},
      {32771, "Song &information...\tCtrl+I"},
      {0, ""},
      {32772, "&Export song as wave file..."},
      {32815, "&Capture output to wave file..."},
      {32816, "S&tart capture\tF3"},
      {32817, "Stop and sa&ve capture\tF4"},
      {0, ""},
      {57616, "Recent File"},
      {0, ""},
      {57665, "E&xit\tCtrl+Q"}}},
    {"&Edit",
     {{57643, "&Undo\tCtrl+Z"},
      {0, ""},
      {57635, "Cu&t\tCtrl+X"},
      {57634, "&Copy\tCtrl+C"},
      {57637, "&Paste\tCtrl+V"},
      {32780, "&Duplicate\tCtrl+D"},
      {0, ""},
      {32799, "Select &All\tCtrl+A"},
      {32800, "Select T&rack\tCtrl+T"},
      {0, ""},
      {32806, "C&opy tweaking\tCtrl+1"},
      {32807, "Past&e tweaking\tCtrl+2"},
      {0, ""},
      {32804, "&Format patterns..."},
      {32810, "&Set steps per beat..."}}},
    {"&Sounds",
     {{32801, "&Copy sound"},
      {32802, "&Paste sound"},
      {32803, "&Undo changes"},
      {0, ""},
      {32785, "L&oad sound..."},
      {32786, "Sa&ve sound..."},
      {32787, "&Reset knobs (clear)"},
      {32788, "R&andomize sound"},
      {0, ""},
      {32791, "&Samples...\tAlt+S"},
      {32795, "Sample sp&lits...\tAlt+L"},
      {32794, "&Effects...\tAlt+E"}}},
    {"&Options",
     {{32773, "&Preferences...\tAlt+P"},
      {32793, "&MIDI mapper...\tAlt+M"},
      {0, ""},
      {32814, "&Sync to external MIDI clock"},
      {0, ""},
      {32813, "&Keep Morvel Canopy on top"},
      {32822, "M&IDI writes into sequencer"},
      {32819, "&Transmit knob tweakings"},
      {32797, "&Follow song position"},
      {32805, "&Automation"},
      {32809, "&Oscilloscope"}}},
    {"&Help",
     {{32789, "&Help Contents"},
      {0, ""},
      {32811, "Visit &www.tarrowbykinetic.example"},
      {0, ""},
      {57664, "&About Morvel Canopy..."}}},
};

}  // namespace

TEST_F(MenuTest, TheMenuBarHasItsFiveMenusWithEveryRowInOrder) {
    wxMenuBar* bar = MenuBar();
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(bar->GetMenuCount(), kMenus.size());
    for (size_t m = 0; m < kMenus.size(); ++m) {
        SCOPED_TRACE(kMenus[m].first);
        EXPECT_EQ(bar->GetMenuLabel(m).utf8_string(), kMenus[m].first);
        const auto rows = session_->frame->GetMenuState(int(m));
        ASSERT_EQ(rows.size(), kMenus[m].second.size());
        for (size_t r = 0; r < rows.size(); ++r) {
            EXPECT_EQ(rows[r].id, kMenus[m].second[r].id) << r;
            EXPECT_EQ(rows[r].text, kMenus[m].second[r].text) << r;
        }
    }
}

TEST_F(MenuTest, TogglesAreCheckItemsAndRowsWithoutAHandlerAreGreyed) {
    wxMenuBar* bar = MenuBar();
    ASSERT_NE(bar, nullptr);
    for (UINT id : {ID_OPTIONS_FOLLOW_SONG, ID_OPTIONS_AUTOMATION, ID_OPTIONS_OSCILLOSCOPE, ID_OPTIONS_TRANSMIT_TWEAKS}) {
        wxMenuItem* item = nullptr;
        for (size_t m = 0; m < bar->GetMenuCount() && !item; ++m)
            for (wxMenuItem* i : bar->GetMenu(m)->GetMenuItems())
                if (!i->IsSeparator() && i->GetItemLabel().utf8_string() ==
                                             [&] {
                                                 for (const auto& menu : kMenus)
                                                     for (const Row& r : menu.second)
                                                         if (r.id == id) return std::string(r.text);
                                                 return std::string();
                                             }())
                    item = i;
        ASSERT_NE(item, nullptr) << id;
        EXPECT_TRUE(item->IsCheckable()) << id;
    }
    // Paste waits for a copied sound, Undo changes for an edit; the other
    // sound commands are always there.
    g_soundClipboardFull = 0;
    g_soundEdited = 0;
    for (const auto& row : session_->frame->GetMenuState(2)) {
        if (row.id == ID_SOUNDS_PASTE || row.id == ID_SOUNDS_UNDO) {
            EXPECT_FALSE(row.enabled) << row.id;
        } else if (row.id != 0) {
            EXPECT_TRUE(row.enabled) << row.id;
        }
    }
    for (const auto& row : session_->frame->GetMenuState(4)) EXPECT_EQ(row.enabled, row.id != 0) << row.id;
}

TEST_F(MenuTest, AcceleratorsRunTheirCommandsBeforeTheViewSeesTheKey) {
    dialogScripts.push_back([](CDialog& d) { d.PressEscape(); });
    Type("ctrl+i");
    EXPECT_EQ(dialogs, std::vector<UINT>{IDD_SONG_INFO});
    for (UINT k : KeyRecordingView::keys) EXPECT_NE(k, UINT('I'));
}

TEST_F(MenuTest, ADisabledCommandRunsNeitherByKeyNorByRow) {
    // Steps per beat greyed in sound-module mode; Paste sound before a copy.
    g_soundModuleMode = 1;
    EXPECT_FALSE(session_->frame->ExecuteCommand(ID_EDIT_STEPS_PER_BEAT));
    g_soundModuleMode = 0;
    g_soundClipboardFull = 0;
    EXPECT_FALSE(session_->frame->GetMenuState(2)[1].enabled);
    EXPECT_FALSE(session_->frame->ExecuteCommand(ID_SOUNDS_PASTE));
    // A key of a command that cannot run (Undo with nothing to undo): the
    // view does not get it either.
    g_patternUndoCount = 0;
    ASSERT_FALSE(session_->frame->ExecuteCommand(ID_EDIT_UNDO));
    Type("ctrl+z");
    for (UINT k : KeyRecordingView::keys) EXPECT_NE(k, UINT('Z'));
    EXPECT_TRUE(dialogs.empty());
}

TEST_F(MenuTest, AltSOpensTheSampleOrganizerNotTheSoundsMenuAndAltPPreferences) {
    const struct {
        const char* keys;
        UINT dialog;
        UINT vk;
    } cases[] = {{"alt+s", IDD_SAMPLE_ORGANIZER, 'S'}, {"alt+p", IDD_PREFERENCES, 'P'}};
    for (const auto& c : cases) {
        dialogs.clear();
        KeyRecordingView::keys.clear();
        dialogScripts.push_back([](CDialog& d) { d.PressEscape(); });
        Type(c.keys);
        EXPECT_EQ(dialogs, std::vector<UINT>{c.dialog}) << c.keys;
        for (UINT k : KeyRecordingView::keys) EXPECT_NE(k, c.vk) << c.keys;
    }
}
