// The real program, started as a user starts it, on this test program's own
// virtual display: it comes up in the folder of its default song, greets with
// its window and no message box, quits with Ctrl+Q and leaves its settings
// behind; a refused song on the command line ends it; without a display it
// says so.
#include "tests/app/program_fixture.h"

// As the run command starts it: in the folder of the shipped default song, with
// no settings yet. The default song opens at the first File New without a word,
// the help book greets a first start,
// the document keeps its title "Untitled", and nothing is written beside the song.
TEST_F(ProgramTest, InTheDefaultSongsFolderItGreetsWithoutABoxAndQuitsWithCtrlQ) {
    const fs::path songs = fs::path(MC_SOURCE_DIR) / "songs";
    ASSERT_TRUE(fs::exists(songs / "_default_.mcs"));
    const std::vector<std::string> before = Listing(songs);
    Start(songs);
    std::string main, box;
    ASSERT_TRUE(WaitFor([&] { return !(main = FindWindow("^MorvelCanopy I - Untitled$")).empty() ||
                                      !(box = FindWindow("^MorvelCanopy I$")).empty(); },
                        20000));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_EQ(FindWindow("^MorvelCanopy I$"), "") << "a message box is showing";
    ASSERT_FALSE(main.empty());
    // The first start opens the help book at its first-run page, whose title
    // the viewer shows; the exit closes it.
    EXPECT_TRUE(WaitFor([] { return !FindWindow("^Morvel Canopy Help - Getting started$").empty(); }, 20000))
        << "the help book's first-run page is not showing";
    Press(main, "ctrl+q");
    EXPECT_EQ(WaitExit(10000), 0);
    EXPECT_EQ(StoredValues(), 66);
    EXPECT_EQ(Listing(songs), before);
}

TEST_F(ProgramTest, ARefusedSongOnTheCommandLineEndsItWithSettingsWritten) {
    Start(root_ / "work", {"piano.mci"});
    std::string box;
    ASSERT_TRUE(WaitFor([&] { return !(box = FindWindow("^MorvelCanopy I$")).empty(); }, 20000));
    ASSERT_TRUE(Dismiss(box));
    EXPECT_EQ(WaitExit(10000), 1);
    EXPECT_EQ(StoredValues(), 66);
}

TEST_F(ProgramTest, WithoutADisplayItSaysSo) {
    std::string out = Shell("env -u DISPLAY -u WAYLAND_DISPLAY " + std::string(MC_PROGRAM) + " 2>&1; echo \"rc=$?\"");
    EXPECT_NE(out.find("needs a graphical display"), std::string::npos) << out;
    EXPECT_NE(out.find("rc=1"), std::string::npos) << out;
}
