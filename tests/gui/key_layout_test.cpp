// The keyboard on a real (virtual) display under the US, German and French
// layouts: every key of the note tables plays from its place, the AZERTY digit
// row chooses octaves and mutes with Shift, accelerators and Alt combinations
// never reach the view's key-down, Tab and Esc do, Shift alone is seen, and a
// held key sounds once while it writes on.
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/gui/gui_fixture.h"

#include "engine/event_queue.h"
#include "platform/key_layer.h"
#include "shared/events.h"
#include "shared/mixer.h"
#include "ui/pattern_clipboard.h"
#include "ui/piano_keys.h"

namespace {

// The panel view with the key-downs that reach it recorded.
class KeyRecordingView : public CSynthView {
public:
    static inline std::vector<UINT> keys;
    static inline std::vector<UINT> sysKeys;
    void OnKeyDown(UINT vk, UINT repeat, UINT flags) override {
        keys.push_back(vk);
        CSynthView::OnKeyDown(vk, repeat, flags);
    }
    void OnSysKeyDown(UINT vk, UINT repeat, UINT flags) override {
        sysKeys.push_back(vk);
        CSynthView::OnSysKeyDown(vk, repeat, flags);
    }
};

struct Layout {
    const char* xkb;
    uint16_t lang;
};
// French in its "oss" variant: its basic variant also puts the dollar sign on
// the 4 key (level 4), where xdotool would type it, not on the key right of P.
constexpr Layout kUs{"us", 0x09}, kGerman{"de", 0x07}, kFrench{"fr oss", 0x0C};

// The keysym name xdotool types for a virtual-key code on a layout: the symbol
// the layout puts on the key that gives the code.
std::string KeysymFor(UINT vk, const Layout& layout) {
    if (vk >= 'A' && vk <= 'Z') return std::string(1, char(vk - 'A' + 'a'));
    if (vk >= '0' && vk <= '9') {
        if (layout.lang != 0x0C) return std::string(1, char(vk));
        static const char* const kFrenchDigits[10] = {"agrave",    "ampersand", "eacute", "quotedbl",
                                                      "apostrophe", "parenleft", "minus",  "egrave",
                                                      "underscore", "ccedilla"};
        return kFrenchDigits[vk - '0'];
    }
    struct Row {
        UINT vk;
        const char *us, *de, *fr;
    };
    static const Row kRows[] = {
        {0xBA, "semicolon", "udiaeresis", "dollar"},     {0xDE, "apostrophe", "adiaeresis", "twosuperior"},
        {0xBC, "comma", "comma", "comma"},               {0xBE, "period", "period", "semicolon"},
        {0xBF, "slash", "numbersign", "colon"},          {0xDB, "bracketleft", "ssharp", "parenright"},
        {0xDD, "bracketright", "dead_acute", "dead_circumflex"},
    };
    for (const Row& r : kRows)
        if (r.vk == vk) return layout.lang == 0x07 ? r.de : layout.lang == 0x0C ? r.fr : r.us;
    ADD_FAILURE() << "no keysym for " << vk;
    return "space";
}

class KeyLayoutTest : public SessionTest {
protected:
    void SetUp() override {
        GuiTest::SetUp();
        KeyRecordingView::keys.clear();
        KeyRecordingView::sysKeys.clear();
        ASSERT_TRUE(OpenSession([] { return new KeyRecordingView; }));
        g_previewNote = 1;
        g_octave = 4;
        g_patternFocus = 1;
        g_orderTop = g_orderCursor = 0;
        ASSERT_GT(g_patternCount, 0u);
        ASSERT_EQ(g_patternLength, 64u);
    }
    void TearDown() override {
        QueueNoteOff();
        ClearEventQueues();
        ChooseLayout(kUs, 0);
        for (auto& b : g_volumeOverrides.bus) b = 0;
        SessionTest::TearDown();
    }
    void ChooseLayout(const Layout& layout, int tracker) {
        ASSERT_EQ(std::system((std::string("setxkbmap ") + layout.xkb).c_str()), 0);
        g_langId = layout.lang;
        SetKeyLayoutLanguage(layout.lang);
        g_trackerStyle = tracker;
        BuildNoteKeyMap();
    }
    void Cursor(uint32_t track, uint32_t sub, uint32_t step) {
        g_firstTrack = 0;
        g_cursorColumn = track * 7 + sub;
        g_editStep = step;
    }
    void Type(const std::string& keys) {
        session_->view->SetFocus();
        PumpMessages(50);
        const std::string cmd = "xdotool key --delay 15 " + keys;
        ASSERT_EQ(std::system(cmd.c_str()), 0);
        PumpMessages(150);
    }
    static uint8_t Note(uint32_t track, uint32_t step) {
        return g_patterns[g_curPattern][PatternIndex(track, 3, step, g_patternLength)];
    }
    static int NoteOnsQueued() {
        int n = 0;
        for (auto& lane : g_voiceEvents.code)
            n += int(std::count(std::begin(lane), std::end(lane), uint8_t{1}));
        return n;
    }
    bool Reached(UINT vk) const {
        return std::find(KeyRecordingView::keys.begin(), KeyRecordingView::keys.end(), vk) !=
               KeyRecordingView::keys.end();
    }
};

// Every entry of the language's tables, typed on its layout, writes its note.
TEST_F(KeyLayoutTest, EveryNoteKeyPlaysFromItsPlaceOnItsLayout) {
    for (const Layout& layout : {kUs, kGerman, kFrench})
        for (int tracker : {0, 1}) {
            SCOPED_TRACE(std::string(layout.xkb) + (tracker ? " tracker" : " one-row"));
            ChooseLayout(layout, tracker);
            std::string keys;
            std::vector<int> expected;
            for (uint32_t i = 0; i < g_noteKeyCount; ++i) {
                keys += " " + KeysymFor(g_noteKeys[i], layout);
                expected.push_back(48 + int(i));
            }
            if (tracker)
                for (uint32_t i = 0; i < 20; ++i)
                    if (g_noteKeysUpper[i]) {
                        keys += " " + KeysymFor(g_noteKeysUpper[i], layout);
                        expected.push_back(60 + int(i));
                    }
            for (uint32_t s = 0; s < 64; ++s)
                g_patterns[0][PatternIndex(0, 3, s, 64)] = kNoteEmpty;
            Cursor(0, 6, 0);
            Type(keys);
            std::vector<int> written;
            for (uint32_t s = 0; s < expected.size(); ++s) written.push_back(Note(0, s));
            EXPECT_EQ(written, expected);
            EXPECT_EQ(g_editStep, expected.size());
        }
}

TEST_F(KeyLayoutTest, TheAzertyDigitRowChoosesOctavesAndMutes) {
    ChooseLayout(kFrench, 0);
    Cursor(1, 6, 0);
    Type("parenleft");  // the 5 key
    EXPECT_EQ(g_octave, 5u);
    Type("quotedbl");  // the 3 key
    EXPECT_EQ(g_octave, 3u);
    Type("shift+parenleft");
    EXPECT_EQ(g_volumeOverrides.bus[4], 1u);
    EXPECT_EQ(g_octave, 3u);
}

TEST_F(KeyLayoutTest, AcceleratorsAndAltNeverReachTheKeyDown) {
    ChooseLayout(kFrench, 0);
    g_patternFocus = 0;
    g_automationOn = 1;
    g_tweakClipboardFilled = 0;
    Type("ctrl+ampersand");  // Ctrl+1: "C&opy tweaking"
    EXPECT_EQ(g_tweakClipboardFilled, 1);
    EXPECT_FALSE(Reached('1'));
    Type("alt+q");
    EXPECT_FALSE(Reached('Q'));
    EXPECT_TRUE(std::find(KeyRecordingView::sysKeys.begin(), KeyRecordingView::sysKeys.end(), UINT('Q')) !=
                KeyRecordingView::sysKeys.end());
    Type("Tab Escape");
    EXPECT_TRUE(Reached(VK_TAB));
    EXPECT_TRUE(Reached(VK_ESCAPE));
    g_automationOn = 0;
}

TEST_F(KeyLayoutTest, EnterOnACommandRunsTheSelectCommandDialog) {
    g_patterns[0][PatternIndex(0, 0, 0, 64)] = 0x80;
    Cursor(0, 0, 0);
    dialogScripts.push_back([](CDialog& d) { d.PressEscape(); });
    Type("Return");
    EXPECT_EQ(dialogs, std::vector<UINT>{209});
    EXPECT_EQ(g_patterns[0][PatternIndex(0, 0, 0, 64)], 0x80);
}

TEST_F(KeyLayoutTest, ShiftAloneIsSeen) {
    session_->view->SetFocus();
    PumpMessages(50);
    ASSERT_EQ(std::system("xdotool keydown shift"), 0);
    PumpMessages(100);
    EXPECT_NE(g_shiftDown, 0);
    ASSERT_EQ(std::system("xdotool keyup shift"), 0);
    PumpMessages(100);
    EXPECT_EQ(g_shiftDown, 0);
}

TEST_F(KeyLayoutTest, AHeldKeySoundsOnceAndWritesOn) {
    ChooseLayout(kUs, 0);
    Cursor(2, 6, 0);
    ClearEventQueues();
    session_->view->SetFocus();
    PumpMessages(50);
    ASSERT_EQ(std::system("xdotool keydown a"), 0);
    for (int i = 0; i < 10; ++i) PumpMessages(100);
    EXPECT_EQ(NoteOnsQueued(), 1);
    EXPECT_NE(g_previewPending, 0u);
    ASSERT_EQ(std::system("xdotool keyup a"), 0);
    PumpMessages(100);
    EXPECT_EQ(g_previewPending, 0u);
    const size_t downs = std::count(KeyRecordingView::keys.begin(), KeyRecordingView::keys.end(), UINT('A'));
    ASSERT_GT(downs, 1u) << "the server did not repeat the key";
    // Each repeat writes on the next step; the last step keeps the cursor.
    for (uint32_t s = 0; s < std::min<size_t>(downs, 64); ++s) EXPECT_EQ(Note(2, s), 48) << s;
    EXPECT_EQ(g_editStep, std::min<size_t>(downs, 63));
}

}  // namespace
