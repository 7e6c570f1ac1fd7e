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
    int n = 0;
    for (int y = area.y0; y < area.y1; ++y)
        for (int x = area.x0; x < area.x1; ++x) n += a.At(viewX + x, viewY + y) != b.At(viewX + x, viewY + y);
    return n;
}

int Field(const std::string& shell, const std::string& name) {
    const size_t at = shell.find(name + "=");
    return at == std::string::npos ? -1 : std::atoi(shell.c_str() + at + name.size() + 1);
}

}  // namespace

TEST_F(ProgramTest, PlayStopFromTheFileMenuMovesTheReadoutAndThePlayRow) {
    ASSERT_FALSE(jack_.Name().empty()) << "the test needs jackd";
    ASSERT_NE(std::getenv("MC_XVFB_FBDIR"), nullptr) << "run through scripts/xvfb-test.sh";
    Start(fs::path(MC_SOURCE_DIR) / "songs");
    std::string main;
    ASSERT_TRUE(WaitFor([&] { return !(main = FindWindow("^MorvelCanopy I - Untitled$")).empty(); }, 20000));
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    const std::string geometry = Shell("xdotool getwindowgeometry --shell " + main);
    const int x = Field(geometry, "X"), y = Field(geometry, "Y"), h = Field(geometry, "HEIGHT");
    ASSERT_GE(h, kClientHeight) << geometry;
    const int viewX = x, viewY = y + h - kClientHeight;

    // Stopped: nothing moves.
    ScreenShot before = ReadScreen();
    ASSERT_GT(before.width, viewX + 632) << "no frame buffer to read";
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    ScreenShot still = ReadScreen();
    EXPECT_EQ(ChangedPixels(before, still, viewX, viewY, kLedReadout), 0);
    EXPECT_EQ(ChangedPixels(before, still, viewX, viewY, kGrid), 0);

    // File menu, fifth row: "Play / Stop".
    Press(main, "alt+f Down Down Down Down Return");
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    ScreenShot playing = ReadScreen();
    EXPECT_GT(ChangedPixels(still, playing, viewX, viewY, kGrid), 0) << "the grid did not show the play row";
    std::this_thread::sleep_for(std::chrono::milliseconds(1000));
    ScreenShot later = ReadScreen();
    EXPECT_GT(ChangedPixels(playing, later, viewX, viewY, kLedReadout), 0) << "the readout stood still";
    EXPECT_GT(ChangedPixels(playing, later, viewX, viewY, kGrid), 0) << "the play row stood still";

    // Play / Stop again stops it.
    Press(main, "alt+f Down Down Down Down Return");
    std::this_thread::sleep_for(std::chrono::milliseconds(800));
    ScreenShot stopped = ReadScreen();
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    EXPECT_EQ(ChangedPixels(stopped, ReadScreen(), viewX, viewY, kLedReadout), 0);

    Press(main, "ctrl+q");
    EXPECT_EQ(WaitExit(10000), 0);
}
