// Format patterns while the test audio device plays the song: the render
// thread reads the patterns through the reformat (new blocks and the new length
// change together under the render lock, the old blocks are freed only once
// the engine has left them). Meant for the sanitizer build.
#include <atomic>
#include <thread>

#include "data/pattern_store.h"
#include "data/song_memory.h"
#include "data/song_reset.h"
#include "shared/song.h"
#include "shared/transport.h"
#include "tests/eventually.h"
#include "tests/host/host_fixture.h"
#include "ui/format_patterns.h"

namespace {

class FormatWhilePlaying : public HostTest {};

TEST_F(FormatWhilePlaying, TheRenderThreadPlaysThroughEveryReformat) {
    g_testSignal = 0;
    g_patternLength = 64;
    ResetSong();
    for (uint8_t n = 0; n < 3; ++n) {
        ASSERT_TRUE(NewPattern());
        for (uint32_t r = 0; r < 64; r += 2) g_patterns[n].load()[PatternIndex(n, 3, r, 64)] = uint8_t(48 + r % 24);
        g_songOrder[n] = n;
    }
    g_songOrder[3] = kOrderJump;  // back to position 0: the song never ends
    g_songOrderJump[3] = 0;
    g_responseTime = 1024;
    ASSERT_TRUE(OpenAudioDevice());
    g_engineReset = kResetStart;

    std::atomic<bool> stop{false};
    std::atomic<int> pulls{0};
    std::thread device([&] {
        while (!stop) {
            backend->Pull(256);
            ++pulls;
        }
    });
    // Pulls only hand buffers back: the driver thread renders them meanwhile.
    // The song is under way before the first reformat.
    ASSERT_TRUE(Eventually([] { return g_songPlaying != 0; })) << "the song never started";
    for (uint32_t length : {128u, 16u, 24u, 48u, 96u, 32u, 64u, 128u, 16u, 64u}) {
        const int before = pulls;
        while (pulls < before + 3) std::this_thread::yield();  // the device plays between reformats
        ASSERT_TRUE(ReformatPatterns(length));  // the questions are answered OK: no
        EXPECT_EQ(g_patternLength, length);
    }
    // And it goes on after the last one: the rows move on, the song still plays.
    const uint32_t row = g_trackRow[3];
    const uint32_t songPos = g_trackSongPos[3];
    EXPECT_TRUE(Eventually([&] { return g_trackRow[3] != row || g_trackSongPos[3] != songPos; }));
    EXPECT_NE(g_songPlaying, 0u);
    stop = true;
    device.join();
    CloseAudioDevice();
    WaitForEngineOutside();
    EXPECT_EQ(RetiredBlockCount(), 0u);
    ResetSong();
}

}  // namespace
