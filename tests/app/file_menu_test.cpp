// The File menu of the real program with recent files, as a user meets it:
// a song named on the command line is remembered with its full path, so that
// a later start in another folder opens it from the menu; the menu opened
// with a click on its title shows every row at once, from the first opening
// on (no scroll arrows), a click on a row runs that row's command, and a
// recent file that cannot be opened leaves the list with one row fewer.
#include <sstream>

#include "tests/app/program_fixture.h"

namespace {

// The rows of a menu on the screen: the bands of lines whose label column
// holds ink, dark or greyed text on the menu's light ground (the check boxes
// at the left and the scroll arrows in the middle lie outside that column).
std::vector<std::pair<int, int>> TextRows(const ScreenShot& s, const WindowGeometry& menu) {
    std::vector<std::pair<int, int>> rows;
    int start = -1;
    for (int y = menu.y; y <= menu.y + menu.height; ++y) {
        bool ink = false;
        for (int x = menu.x + 26; y < menu.y + menu.height && x < menu.x + std::min(menu.width, 130) && !ink; ++x) {
            const uint32_t c = s.At(x, y);
            ink = std::max({c >> 16 & 0xFF, c >> 8 & 0xFF, c & 0xFF}) < 0xB0;
        }
        if (ink && start < 0) start = y;
        if (!ink && start >= 0) {
            rows.push_back({start, y});
            start = -1;
        }
    }
    return rows;
}

void Click(int x, int y) { Shell("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) + " click 1"); }

}  // namespace

TEST_F(ProgramTest, TheFileMenuWithRecentFilesShowsEveryRowAndRunsTheRowClicked) {
    const fs::path first = root_ / "work" / "first", second = root_ / "work" / "second";
    const fs::path song = fs::path(MC_SOURCE_DIR) / "songs" / "_default_.mcs";
    fs::create_directories(first);
    fs::create_directories(second);
    for (const char* name : {"tune.mcs", "two.mcs", "three.mcs"}) fs::copy_file(song, first / name);
    fs::copy_file(song, second / "_default_.mcs");

    // A start in one folder with the song named relative to it.
    Start(first, {"tune.mcs"});
    std::string main;
    ASSERT_TRUE(WaitFor([&] { return !(main = FindWindow("^MorvelCanopy I - tune.mcs$")).empty(); }, 20000));
    Press(main, "ctrl+q");
    ASSERT_EQ(WaitExit(10000), 0);
    std::string ini;
    {
        std::ifstream in(Settings());
        ini.assign(std::istreambuf_iterator<char>(in), {});
    }
    const std::string stored = "File1=" + (first / "tune.mcs").string() + "\n";
    const size_t at = ini.find(stored);
    ASSERT_NE(at, std::string::npos) << ini;
    // Three more recent files, the last of them gone.
    ini.insert(at + stored.size(), "File2=" + (first / "two.mcs").string() + "\nFile3=" +
                                       (first / "three.mcs").string() + "\nFile4=" + (first / "gone.mcs").string() +
                                       "\n");
    std::ofstream(Settings()) << ini;

    // The next start in another folder, with its own default song.
    Start(second);
    ASSERT_FALSE((main = MainWindow()).empty());
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    ASSERT_EQ(FindWindow("^MorvelCanopy I$"), "") << "a message box is showing";
    const WindowGeometry frame = GeometryOf(main);

    // Opens the File menu with a click on its title; its rows once drawn.
    WindowGeometry menu;
    auto openFileMenu = [&] {
        Click(frame.x + 18, frame.y + 11);
        std::vector<std::pair<int, int>> rows;
        WaitFor(
            [&] {
                const std::string popup = Shell("xdotool search --onlyvisible --maxdepth 1 --name '^morvelcanopy$'");
                if (popup.empty() || popup.find('\n') != std::string::npos) return false;
                menu = GeometryOf(popup);
                const std::vector<std::pair<int, int>> now = TextRows(ReadScreen(), menu);
                const bool settled = !now.empty() && now == rows;
                rows = now;
                return settled;
            },
            5000);
        return rows;
    };
    // The row's command runs: the window it opens shows.
    auto clickRow = [&](const std::vector<std::pair<int, int>>& rows, size_t row) {
        ASSERT_LT(row, rows.size());
        Click(menu.x + 60, (rows[row].first + rows[row].second) / 2);
    };

    // Ten rows of commands, four recent files and Exit, all on the menu at
    // its first opening.
    std::vector<std::pair<int, int>> rows = openFileMenu();
    ASSERT_EQ(rows.size(), 15u);
    EXPECT_GT(rows.front().first, menu.y);
    EXPECT_LT(rows.back().second, menu.y + menu.height);
    // "Export song as wave file..." asks for the wave file's name.
    clickRow(rows, 6);
    std::string asked;
    EXPECT_TRUE(WaitFor([&] { return !(asked = FindWindow("^Save As$")).empty(); }, 10000));
    EXPECT_EQ(FindWindow("^MorvelCanopy I$"), "") << "another command ran";
    if (!asked.empty()) {
        Press(asked, "Escape");
        EXPECT_TRUE(WaitFor([] { return FindWindow("^Save As$").empty(); }, 10000));
    }

    // The first recent file opens from here.
    rows = openFileMenu();
    ASSERT_EQ(rows.size(), 15u);
    clickRow(rows, 10);
    EXPECT_TRUE(WaitFor([] { return !FindWindow("^MorvelCanopy I - tune.mcs$").empty(); }, 10000));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(FindWindow("^MorvelCanopy I$"), "") << "a message box is showing";
    main = FindWindow("^MorvelCanopy I - tune.mcs$");

    // The one that is gone is reported and leaves the list.
    rows = openFileMenu();
    ASSERT_EQ(rows.size(), 15u);
    clickRow(rows, 13);
    std::string box;
    ASSERT_TRUE(WaitFor([&] { return !(box = FindWindow("^MorvelCanopy I$")).empty(); }, 10000));
    ASSERT_TRUE(Dismiss(box));
    rows = openFileMenu();
    EXPECT_EQ(rows.size(), 14u);
    if (!rows.empty()) {
        EXPECT_LT(rows.back().second, menu.y + menu.height);
    }
    Shell("xdotool key Escape");
    Press(main, "ctrl+q");
    EXPECT_EQ(WaitExit(10000), 0);
}
