// The real program's up-down arrows under a real mouse: in File > New a click
// on the tempo's up arrow gives the song the tempo one above, and up then down
// the tempo it had, as typing them does; in the MIDI mapper a click up and one
// down show in the voice total and back; afterwards each dialog closes on
// Escape at once. (A click that made the arrows step each other for ever
// left the program spinning, deaf to Escape.)
#include <wx/window.h>

#include "tests/app/program_fixture.h"

#include "data/new_song_dlg.h"
#include "host/midi_mapper_dlg.h"
#include "platform/dialog.h"
#include "platform/wx_bridge.h"
#include "res/resource_ids.h"

namespace {

struct Box {
    int x = 0, y = 0, w = 0, h = 0;
};

Box WindowBox(const std::string& window) {
    const WindowGeometry g = GeometryOf(window);
    return {g.x, g.y, g.width, g.height};
}

// Where controls of a dialog lie in its client area: this process lays the
// dialog out from the same template with the same code as the program.
template <class Dialog>
std::vector<Box> ControlBoxes(std::vector<int> ids) {
    std::vector<Box> boxes;
    SetModalDialogHandler([&](CDialog& d) {
        for (int id : ids) {
            const wxWindow* w = ToolkitOf(d.GetDlgItem(id));
            const wxRect r = w ? w->GetRect() : wxRect();
            boxes.push_back({r.x, r.y, r.width, r.height});
        }
        d.PressEscape();
    });
    Dialog dlg;
    dlg.DoModal();
    SetModalDialogHandler([](CDialog& d) { ADD_FAILURE() << "unexpected dialog " << d.GetTemplateId(); });
    return boxes;
}

// The point of an up-down's up or down arrow: side by side (down, up) in a
// control wider than tall, else up above down.
std::string ArrowPoint(const Box& dialog, const Box& spin, bool up) {
    const bool across = spin.w > spin.h;
    const int x = dialog.x + spin.x + (across ? spin.w * (up ? 3 : 1) / 4 : spin.w / 2);
    const int y = dialog.y + spin.y + (across ? spin.h / 2 : spin.h * (up ? 1 : 3) / 4);
    return std::to_string(x) + " " + std::to_string(y);
}

std::vector<uint32_t> Pixels(const ScreenShot& s, const Box& b) {
    std::vector<uint32_t> out;
    for (int y = b.y; y < b.y + b.h; ++y)
        for (int x = b.x; x < b.x + b.w; ++x) out.push_back(s.At(x, y));
    return out;
}

class UpDownTest : public ProgramTest {
protected:
    // The program in the folder of its default song, its first-start help
    // already seen.
    std::string StartProgram() {
        fs::create_directories(Settings().parent_path());
        std::ofstream(Settings()) << "[Miscellaneous]\nFirst Run=0\n";
        Start(fs::path(MC_SOURCE_DIR) / "songs");
        const std::string main = MainWindow();
        EXPECT_FALSE(main.empty());
        std::this_thread::sleep_for(std::chrono::milliseconds(1000));
        return main;
    }
    std::string Open(const std::string& main, const std::string& keys, const std::string& caption) {
        Press(main, keys);
        std::string dialog;
        EXPECT_TRUE(WaitFor([&] { return !(dialog = FindWindow(caption)).empty(); }, 10000)) << caption;
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        return dialog;
    }
    static void Click(const std::string& point) {
        Shell("xdotool mousemove " + point + " click 1");
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
    }
    bool ClosesOn(const std::string& dialog, const std::string& key) {
        Press(dialog, key);
        return WaitFor([&] { return Shell("xdotool search --onlyvisible --name '.*' 2>/dev/null").find(dialog) ==
                                    std::string::npos; },
                       5000);
    }
};

}  // namespace

TEST_F(UpDownTest, TheTempoArrowsStepItOnceAClickAndTheDialogStillAnswers) {
    ASSERT_NE(std::getenv("MC_XVFB_FBDIR"), nullptr) << "run through scripts/xvfb-test.sh";
    const std::vector<Box> parts = ControlBoxes<CNewSongDlg>({IDC_NEW_TEMPO, IDC_NEW_TEMPO_SPIN});
    ASSERT_EQ(parts.size(), 2u);
    const Box field = parts[0], spin = parts[1];
    const std::string main = StartProgram();
    ASSERT_FALSE(main.empty());
    const std::string caption = "^MorvelCanopy I - New song$";

    // The main window after a new song whose tempo was typed, or set with clicks.
    auto newSong = [&](const std::function<void(const Box& dialog)>& act) {
        const std::string dialog = Open(main, "ctrl+n", caption);
        if (dialog.empty()) return std::vector<uint32_t>{};
        act(WindowBox(dialog));
        EXPECT_TRUE(ClosesOn(dialog, "Return")) << "the dialog does not answer";
        Shell("xdotool mousemove 1279 1023");  // the pointer (drawn in the frame buffer) out of the way
        std::this_thread::sleep_for(std::chrono::milliseconds(600));
        return Pixels(ReadScreen(), WindowBox(main));
    };
    auto typed = [&](const char* tempo) {
        return newSong([&](const Box& d) {
            Click(std::to_string(d.x + field.x + field.w / 2) + " " + std::to_string(d.y + field.y + field.h / 2));
            Shell(std::string("xdotool key --delay 30 ctrl+a type --delay 30 ") + tempo);
        });
    };
    const std::vector<uint32_t> at120 = typed("120"), at121 = typed("121");
    ASSERT_FALSE(at120.empty());
    ASSERT_NE(at120, at121) << "the tempo does not show";

    EXPECT_EQ(newSong([&](const Box& d) { Click(ArrowPoint(d, spin, true)); }), at121) << "up: not 121";
    EXPECT_EQ(newSong([&](const Box& d) {
                  Click(ArrowPoint(d, spin, true));
                  Click(ArrowPoint(d, spin, false));
              }),
              at120)
        << "up, down: not 120";

    // Clicked, and closed by Escape at once.
    const std::string dialog = Open(main, "ctrl+n", caption);
    ASSERT_FALSE(dialog.empty());
    Click(ArrowPoint(WindowBox(dialog), spin, true));
    Click(ArrowPoint(WindowBox(dialog), spin, false));
    EXPECT_TRUE(ClosesOn(dialog, "Escape"));
}

TEST_F(UpDownTest, AMapperArrowStepsTheVoicesOnceAClickAndTheDialogStillAnswers) {
    ASSERT_NE(std::getenv("MC_XVFB_FBDIR"), nullptr) << "run through scripts/xvfb-test.sh";
    const std::vector<Box> parts = ControlBoxes<CMidiMapperDlg>({IDC_MAPPER_TOTAL, IDC_MAPPER_SPIN_1});
    ASSERT_EQ(parts.size(), 2u);
    const Box total = parts[0], spin = parts[1];
    const std::string main = StartProgram();
    ASSERT_FALSE(main.empty());

    const std::string dialog = Open(main, "alt+m", "^MorvelCanopy I MIDI mapper$");
    ASSERT_FALSE(dialog.empty());
    const Box d = WindowBox(dialog);
    const Box shownTotal{d.x + total.x, d.y + total.y, total.w, total.h};
    const std::vector<uint32_t> before = Pixels(ReadScreen(), shownTotal);
    Click(ArrowPoint(d, spin, true));
    const std::vector<uint32_t> up = Pixels(ReadScreen(), shownTotal);
    Click(ArrowPoint(d, spin, false));
    const std::vector<uint32_t> down = Pixels(ReadScreen(), shownTotal);
    EXPECT_NE(up, before) << "the total did not change";
    EXPECT_EQ(down, before) << "the total did not come back";
    EXPECT_TRUE(ClosesOn(dialog, "Escape")) << "the dialog does not answer";
    // And the program goes on: the mapper opens again.
    const std::string again = Open(main, "alt+m", "^MorvelCanopy I MIDI mapper$");
    EXPECT_FALSE(again.empty());
}
