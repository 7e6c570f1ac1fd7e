// The real program's Help menu on its own virtual display: the help viewer
// opens on a first start and from Help Contents without a complaint of the
// toolkit, and the About box's credits move on screen.
#include "tests/app/program_fixture.h"

namespace {

// The About box: the visible window without a title and of the picture's size.
// Its screen position, or false.
bool FindAboutBox(int& x, int& y) {
    std::istringstream ids(Shell("xdotool search --onlyvisible --name '^$' 2>/dev/null"));
    std::string id;
    while (std::getline(ids, id)) {
        const WindowGeometry g = GeometryOf(id);
        if (g.width == 300 && g.height == 300) {
            x = g.x;
            y = g.y;
            return true;
        }
    }
    return false;
}

}  // namespace

// A first start opens the viewer at the first-run page, rendered (its title is
// the page's own); a second start opens none, and Help Contents opens it. None
// of this prints a warning or critical message of the toolkit.
TEST_F(ProgramTest, StartsAndTheHelpViewerPrintNoToolkitComplaints) {
    const fs::path songs = fs::path(MC_SOURCE_DIR) / "songs";
    Start(songs);
    std::string main;
    ASSERT_FALSE((main = MainWindow()).empty());
    EXPECT_TRUE(FirstRunHelpShown()) << "the first-run page is not showing as a rendered page";
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    Press(main, "ctrl+q");
    ASSERT_EQ(WaitExit(10000), 0);
    EXPECT_EQ(ToolkitComplaints(), "") << "first start with the help viewer";

    Start(songs);
    ASSERT_FALSE((main = MainWindow()).empty());
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    EXPECT_EQ(FindWindow("^Morvel Canopy Help"), "") << "the help opened on a second start";
    EXPECT_EQ(ToolkitComplaints(), "") << "second start";
    ASSERT_TRUE(ChooseFromMenu(main, "alt+h", "Return"));  // Help Contents
    EXPECT_TRUE(WaitFor([] { return !FindWindow("^Morvel Canopy Help - Morvel Canopy Help$").empty(); }, 20000))
        << "Help Contents shows no rendered contents page";
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    Press(main, "ctrl+q");
    EXPECT_EQ(WaitExit(10000), 0);
    EXPECT_EQ(ToolkitComplaints(), "") << "Help Contents";
}

// Help > About: the credits scroll through their window at (32, 64) of the
// box, as the screen shows it; a click closes the box.
TEST_F(ProgramTest, TheAboutBoxsCreditsMoveOnScreen) {
    ASSERT_NE(std::getenv("MC_XVFB_FBDIR"), nullptr) << "run through scripts/xvfb-test.sh";
    Start(fs::path(MC_SOURCE_DIR) / "songs");
    std::string main;
    ASSERT_FALSE((main = MainWindow()).empty());
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    ASSERT_TRUE(FirstRunHelpShown());
    ASSERT_TRUE(ChooseFromMenu(main, "alt+h", "Up Return"));  // the menu's last command: About
    int x = 0, y = 0;
    ASSERT_TRUE(WaitFor([&] { return FindAboutBox(x, y); }, 10000)) << "no About box";
    // The strip's first 224 rows are empty: its text rises into the window
    // after about two seconds.
    std::this_thread::sleep_for(std::chrono::milliseconds(3000));
    const ScreenShot first = ReadScreen();
    ASSERT_GE(first.width, x + 300) << "no frame buffer to read";
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    const ScreenShot second = ReadScreen();
    EXPECT_GT(ChangedPixels(first, second, x + 32, y + 64, 230, 224), 0) << "the credits stood still";
    EXPECT_EQ(ChangedPixels(first, second, x, y, 300, 64), 0) << "the picture above the credits changed";

    Shell("xdotool mousemove " + std::to_string(x + 150) + " " + std::to_string(y + 20) + " click 1");
    EXPECT_TRUE(WaitFor([&] { return !FindAboutBox(x, y); }, 5000)) << "a click did not close the About box";
    Press(main, "ctrl+q");
    EXPECT_EQ(WaitExit(10000), 0);
}
