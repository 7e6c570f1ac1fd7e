// The real program's Help menu on its own virtual display: the help viewer
// opens on a first start and from Help Contents without a complaint of the
// toolkit.
#include "tests/app/program_fixture.h"

// A first start opens the viewer at the first-run page, rendered (its title is
// the page's own); a second start opens none, and Help Contents opens it. None
// of this prints a warning or critical message of the toolkit.
TEST_F(ProgramTest, StartsAndTheHelpViewerPrintNoToolkitComplaints) {
    const fs::path songs = fs::path(MC_SOURCE_DIR) / "songs";
    Start(songs);
    std::string main;
    ASSERT_TRUE(WaitFor([&] { return !(main = FindWindow("^MorvelCanopy I - Untitled$")).empty(); }, 20000));
    EXPECT_TRUE(WaitFor([] { return !FindWindow("^Morvel Canopy Help - Getting started$").empty(); }, 20000))
        << "the first-run page is not showing as a rendered page";
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    Press(main, "ctrl+q");
    ASSERT_EQ(WaitExit(10000), 0);
    EXPECT_EQ(ToolkitComplaints(), "") << "first start with the help viewer";

    Start(songs);
    ASSERT_TRUE(WaitFor([&] { return !(main = FindWindow("^MorvelCanopy I - Untitled$")).empty(); }, 20000));
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    EXPECT_EQ(FindWindow("^Morvel Canopy Help"), "") << "the help opened on a second start";
    EXPECT_EQ(ToolkitComplaints(), "") << "second start";
    Press(main, "alt+h Return");  // Help Contents
    EXPECT_TRUE(WaitFor([] { return !FindWindow("^Morvel Canopy Help - Morvel Canopy Help$").empty(); }, 20000))
        << "Help Contents shows no rendered contents page";
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    Press(main, "ctrl+q");
    EXPECT_EQ(WaitExit(10000), 0);
    EXPECT_EQ(ToolkitComplaints(), "") << "Help Contents";
}
