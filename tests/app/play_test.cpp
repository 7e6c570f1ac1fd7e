// The real program plays its default song on the JACK dummy server from the
// File menu's "Play / Stop", opened by keyboard (the command has no
// accelerator): the LED readout of song position and row and the pattern grid's
// play row move on screen, and stand still while stopped.
#include "tests/app/program_fixture.h"

namespace {

// The view fills the frame's client area below the menu bar; on a 1280 x 1024
// display the frame takes the large layout, whose client area is 632 x 492.
constexpr int kClientHeight = 492;
struct Area {
    int x0, y0, x1, y1;  // view coordinates, end exclusive
};
constexpr Area kLedReadout{481, 4, 541, 21};
constexpr Area kGrid{0, 194, 630, 194 + 172};

int ChangedPixels(const ScreenShot& a, const ScreenShot& b, int viewX, int viewY, Area area) {
    return ChangedPixels(a, b, viewX + area.x0, viewY + area.y0, area.x1 - area.x0, area.y1 - area.y0);
}

}  // namespace

TEST_F(ProgramTest, PlayStopFromTheFileMenuMovesTheReadoutAndThePlayRow) {
    ASSERT_FALSE(jack_.Name().empty()) << "the test needs jackd";
    ASSERT_NE(std::getenv("MC_XVFB_FBDIR"), nullptr) << "run through scripts/xvfb-test.sh";
    Start(fs::path(MC_SOURCE_DIR) / "songs");
    std::string main;
    ASSERT_FALSE((main = MainWindow()).empty());
    ASSERT_TRUE(FirstRunHelpShown());
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    const WindowGeometry frame = GeometryOf(main);
    const int x = frame.x, y = frame.y, h = frame.height;
    ASSERT_GE(h, kClientHeight) << "frame " << frame.width << "x" << h;
    const int viewX = x, viewY = y + h - kClientHeight;

    // Stopped: nothing moves.
    ScreenShot before = ReadScreen();
    ASSERT_GT(before.width, viewX + 632) << "no frame buffer to read";
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    ScreenShot still = ReadScreen();
    EXPECT_EQ(ChangedPixels(before, still, viewX, viewY, kLedReadout), 0);
    EXPECT_EQ(ChangedPixels(before, still, viewX, viewY, kGrid), 0);

    // File menu, fifth row: "Play / Stop".
    ASSERT_TRUE(ChooseFromMenu(main, "alt+f", "Down Down Down Down Return"));
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    ScreenShot playing = ReadScreen();
    EXPECT_GT(ChangedPixels(still, playing, viewX, viewY, kGrid), 0) << "the grid did not show the play row";
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    ScreenShot later = ReadScreen();
    EXPECT_GT(ChangedPixels(playing, later, viewX, viewY, kLedReadout), 0) << "the readout stood still";
    EXPECT_GT(ChangedPixels(playing, later, viewX, viewY, kGrid), 0) << "the play row stood still";

    // Play / Stop again stops it.
    ASSERT_TRUE(ChooseFromMenu(main, "alt+f", "Down Down Down Down Return"));
    std::this_thread::sleep_for(std::chrono::milliseconds(800));
    ScreenShot stopped = ReadScreen();
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    EXPECT_EQ(ChangedPixels(stopped, ReadScreen(), viewX, viewY, kLedReadout), 0);

    Press(main, "ctrl+q");
    EXPECT_EQ(WaitExit(10000), 0);
}
