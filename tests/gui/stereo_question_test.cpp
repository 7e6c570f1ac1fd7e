// The channel question of a stereo WAV file as the toolkit shows it: a box
// with the buttons "Left" (the default) and "Right", answered with real
// clicks and keys. Left imports the first value of each frame, Right, Escape
// and the close box the second.
#include <cstdio>
#include <cstdlib>

#include "tests/gui/native_windows.h"
#include "tests/gui/sample_fixture.h"

namespace {

using native::Dialog;

void Click(const Dialog& d, const std::string& label) {
    for (const auto& b : d.buttons)
        if (b.label == label) {
            const std::string cmd = "xdotool mousemove " + std::to_string(b.CentreX()) + " " +
                                    std::to_string(b.CentreY()) + " click 1";
            EXPECT_EQ(std::system(cmd.c_str()), 0);
            return;
        }
    ADD_FAILURE() << "no button " << label;
    native::Close(d);  // answered all the same, so that the load ends
}

// "X Y" of the mouse pointer.
std::string Pointer() {
    int x = 0, y = 0;
    if (FILE* p = ::popen("xdotool getmouselocation", "r")) {
        if (std::fscanf(p, "x:%d y:%d", &x, &y) != 2) x = y = 0;
        ::pclose(p);
    }
    return std::to_string(x) + " " + std::to_string(y);
}

void Press(const Dialog& d, const std::string& key) {
    const std::string cmd = "xdotool windowfocus --sync " + std::to_string(d.xid) + " key " + key;
    EXPECT_EQ(std::system(cmd.c_str()), 0);
}

TEST_F(SampleDialogTest, TheStereoQuestionAsksLeftOrRightAndImportsThatChannel) {
    ASSERT_TRUE(native::Available());
    file_fixture::WaveParams w;
    w.channels = 2;
    for (int i = 0; i < 8; ++i) w.values.insert(w.values.end(), {int16_t(i + 1), int16_t(-(i + 1))});
    const std::string path = WriteBytes("Pad.wav", file_fixture::WaveBytes(w));
    UseWindowedMessageBoxes();
    const std::string pointerWas = Pointer();

    const struct {
        const char* answer;
        std::function<void(const Dialog&)> give;
        const char* name;
        int16_t firstFrame;
    } cases[] = {
        {"a click on Left", [](const Dialog& d) { Click(d, "Left"); }, "Pad-L.wav", 1},
        {"a click on Right", [](const Dialog& d) { Click(d, "Right"); }, "Pad-R.wav", -1},
        {"Enter", [](const Dialog& d) { Press(d, "Return"); }, "Pad-L.wav", 1},
        {"Escape", [](const Dialog& d) { Press(d, "Escape"); }, "Pad-R.wav", -1},
        {"the close box", [](const Dialog& d) { native::Close(d); }, "Pad-R.wav", -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        ResetSong();
        std::optional<Dialog> seen;
        int sightings = 0;
        native::Prober prober([&] {
            seen = native::Find("MorvelCanopy I");
            if (!seen || ++sightings < 2) return false;  // answered once it is on the screen
            c.give(*seen);
            return true;
        });
        g_sampleLoadSlot = 0;
        ASSERT_TRUE(LoadWaveSample(path, "Pad.wav", false));
        ASSERT_TRUE(prober.Done());
        EXPECT_EQ(seen->Labels(), (std::vector<std::string>{"Left", "Right"}));  // left to right
        for (const auto& b : seen->buttons) EXPECT_EQ(b.isDefault, b.label == "Left") << b.label;
        ASSERT_EQ(g_sampleCount, 1u);
        EXPECT_EQ(g_sampleName[0], c.name);
        EXPECT_EQ(g_sampleData[0].load()[0], c.firstFrame);
    }
    std::system(("xdotool mousemove " + pointerWas).c_str());  // out of the way of later tests
}

}  // namespace
