#include "ui/transport.h"

#include "host/audio_device.h"
#include "host/synth_app.h"
#include "platform/wnd.h"
#include "shared/transport.h"
#include "tests/editor/editor_fixture.h"
#include "ui/view_globals.h"

namespace {

class TransportTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        opens = 0;
        openResult = true;
        ctrlState = 0;
        repaints = 0;
        GetAppServices().openAudioDevice = [this] {
            ++opens;
            return openResult;
        };
        SetKeyStateOverride([this](UINT vk) { return vk == VK_CONTROL ? ctrlState : short(0); });
        g_songPlaying = 0;
        g_engineReset = 0;
        g_playFlag = 0;
        g_playFromCursor = 0;
        g_loopPattern = 0;
        g_freeAudioDevWhenStopped = 0;
        g_masterMute = 0;
        g_releaseDevicePending = 0;
        g_deviceOpen = 1;
        g_refreshPending = 0;
        g_patternFocus = 1;
        g_orderTop = 5;
        g_orderCursor = 3;
    }
    void TearDown() override {
        SetKeyStateOverride(nullptr);
        ResetAppServices();
        g_deviceOpen = 0;
        g_engineReset = 0;
        g_releaseDevicePending = 0;
        g_freeAudioDevWhenStopped = 0;
        EditorTest::TearDown();
    }
    void Run(TransportCommand c) {
        RunTransport(c, [this] { ++repaints; });
    }

    int opens = 0;
    bool openResult = true;
    short ctrlState = 0;
    int repaints = 0;
};

TEST_F(TransportTest, StartsFollowTheirVariant) {
    const struct {
        const char* name;
        TransportCommand command;
        uint8_t focus;
        short ctrl;
        uint32_t orderTop, orderCursor, loop, fromCursor;
    } cases[] = {
        {"menu moves to position 0 without loop", TransportCommand::kMenuPlayStop, 1, 0, 0, 0, 0, 0},
        {"menu ignores Ctrl", TransportCommand::kMenuPlayStop, 1, short(0x8000), 0, 0, 0, 0},
        {"Space in the grid loops", TransportCommand::kSpace, 1, 0, 5, 3, 1, 0},
        {"Space in the order list plays the song", TransportCommand::kSpace, 0, 0, 5, 3, 0, 0},
        {"Ctrl+Space plays from the cursor row", TransportCommand::kSpace, 0, short(0x8000), 5, 3, 0, 1},
        {"the toggle bit alone is not Ctrl", TransportCommand::kSpace, 0, 1, 5, 3, 0, 0},
        {"tool window Space", TransportCommand::kToolWindowSpace, 1, short(0x8000), 5, 3, 1, 1},
        {"play button ignores Ctrl", TransportCommand::kPlayButton, 1, short(0x8000), 5, 3, 1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        g_patternFocus = c.focus;
        ctrlState = c.ctrl;
        Run(c.command);
        EXPECT_EQ(g_engineReset, kResetStart);
        EXPECT_EQ(g_playFlag, 1u);
        EXPECT_EQ(g_orderTop, c.orderTop);
        EXPECT_EQ(g_orderCursor, c.orderCursor);
        EXPECT_EQ(g_loopPattern, c.loop);
        EXPECT_EQ(g_playFromCursor, c.fromCursor);
        EXPECT_EQ(opens, 0);  // the device is open and not freed when stopped
        const bool tool = c.command == TransportCommand::kToolWindowSpace;
        EXPECT_EQ(repaints, tool ? 0 : 1);
        EXPECT_EQ(g_refreshPending, tool ? 1u : 0u);
        TearDown();
    }
}

TEST_F(TransportTest, StopsAndTheFreeDeviceFade) {
    g_songPlaying = 1;
    g_playFlag = 1;
    Run(TransportCommand::kSpace);
    EXPECT_EQ(g_engineReset, kResetStop);
    EXPECT_EQ(g_playFlag, 0u);
    EXPECT_EQ(g_masterMute, 0u);
    EXPECT_EQ(repaints, 1);

    g_freeAudioDevWhenStopped = 1;
    g_playFlag = 1;
    Run(TransportCommand::kMenuPlayStop);
    EXPECT_EQ(g_masterMute, 1u);
    EXPECT_EQ(g_releaseDevicePending, 1u);
    EXPECT_EQ(g_orderTop, 5u);  // a stop leaves the cursor

    // While the release is pending a start does nothing at all.
    g_songPlaying = 0;
    g_engineReset = 0;
    for (auto c : {TransportCommand::kMenuPlayStop, TransportCommand::kSpace, TransportCommand::kPlayButton}) {
        Run(c);
        EXPECT_EQ(g_engineReset, 0);
        EXPECT_EQ(g_playFlag, 0u);
    }
    EXPECT_EQ(opens, 0);
}

TEST_F(TransportTest, ButtonsDecideByTheirOwnRule) {
    // The stop button stops even when no track plays.
    g_playFlag = 1;
    Run(TransportCommand::kStopButton);
    EXPECT_EQ(g_engineReset, kResetStop);
    EXPECT_EQ(g_playFlag, 0u);
    // The play button never stops, and does nothing while the play flag is up.
    g_songPlaying = 1;
    g_playFlag = 1;
    g_engineReset = 0;
    Run(TransportCommand::kPlayButton);
    EXPECT_EQ(g_engineReset, 0);
    g_playFlag = 0;
    Run(TransportCommand::kPlayButton);
    EXPECT_EQ(g_engineReset, kResetStart);
}

TEST_F(TransportTest, AFailedOpenTakesThePlayStateBackAndStillRequestsTheStart) {
    const struct {
        TransportCommand command;
        uint32_t fromCursorAfter;
    } cases[] = {{TransportCommand::kSpace, 0}, {TransportCommand::kPlayButton, 1}};
    for (const auto& c : cases) {
        SetUp();
        g_deviceOpen = 0;
        openResult = false;
        g_playFromCursor = 1;  // Ctrl+Space would set it; the button keeps it
        ctrlState = short(0x8000);
        Run(c.command);
        EXPECT_EQ(opens, 1);
        EXPECT_EQ(g_playFlag, 0u);
        EXPECT_EQ(g_playFromCursor, c.fromCursorAfter);
        EXPECT_EQ(g_engineReset, kResetStart);
        EXPECT_EQ(repaints, 2);
        TearDown();
    }
    // In free-device mode the device is opened at every start.
    SetUp();
    g_freeAudioDevWhenStopped = 1;
    Run(TransportCommand::kMenuPlayStop);
    EXPECT_EQ(opens, 1);
    EXPECT_EQ(g_playFlag, 1u);
}

}  // namespace
