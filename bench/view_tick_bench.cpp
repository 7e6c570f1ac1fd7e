// The view timer's tick as the program runs it 25 times a second, drawn
// through the real device contexts into a view picture from the real skin
// bitmaps, with no display: the window's part is a picture that counts what
// it is told changed.
//
// BM_QuietViewTick: nothing moved since the last tick. The counters
// "changes/tick" (parts of the picture reported for presenting) and
// "allocations/tick" must stay 0: a quiet tick costs only its comparisons.
// BM_PlayRowToView: the copy of a new 8-bit grid picture into the view, as at
// every play row; "allocations/copy" must stay 0.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "data/sound_bank_ops.h"
#include "platform/gdi.h"
#include "res/resource_ids.h"
#include "shared/mixer.h"
#include "shared/transport.h"
#include "tests/engine/allocation_count.h"
#include "ui/panel_paint.h"
#include "ui/panel_state.h"
#include "ui/skin_blitter.h"
#include "ui/view_globals.h"
#include "ui/view_timer.h"

namespace {

// The view's picture, counting the changes its contexts report.
class ViewPicture : public DrawTarget {
public:
    ViewPicture() { surface.CreateBitmap(632, 492); }
    CBitmap* DrawSurface() override { return &surface; }
    void SurfaceChanged(const CRect&) override { ++changes; }
    CBitmap surface;
    long changes = 0;
};

// A client context of the picture: it reports what it changed when it goes.
class PictureDC : public CDC {
public:
    explicit PictureDC(ViewPicture& picture) { AttachWindow(&picture); }
    ~PictureDC() override { FlushTouched(); }
};

const PanelGeometry kNormal{12, 27, 0, 336, false};

// The view's drawing operations, each through its own client context as the
// view does them.
class PictureView final : public ViewTimerTarget {
public:
    explicit PictureView(ViewPicture& picture) : picture_(picture) {}
    void ShowPatternGrid() override {}
    void ShowSongOrderList() override {}
    void UpdatePanel() override {
        PictureDC dc(picture_);
        DcSkinBlitter out(dc);
        UpdatePanelWith(out, kNormal);
    }
    void UpdateTopBar() override {
        PictureDC dc(picture_);
        DcSkinBlitter out(dc);
        UpdateTopBarWith(out, kNormal);
    }
    void SetDocumentModified(bool) override {}

private:
    ViewPicture& picture_;
};

void LoadSkin() {
    static bool loaded = false;
    if (loaded) return;
    loaded = true;
    const std::pair<CBitmap*, UINT> bitmaps[] = {
        {&g_skin.topBar, IDB_TOP_BAR},       {&g_skin.synthSection, IDB_SYNTH_SECTION},
        {&g_skin.mixerSection, IDB_MIXER_SECTION}, {&g_skin.knobA, IDB_KNOB_A},
        {&g_skin.knobBipolar, IDB_KNOB_BIPOLAR},   {&g_skin.knobC, IDB_KNOB_C},
        {&g_skin.knobD, IDB_KNOB_D},         {&g_skin.lamp, IDB_LAMP},
        {&g_skin.buttons, IDB_BUTTONS},      {&g_skin.digits, IDB_DIGITS},
        {&g_skin.smallKnobPan, IDB_SMALL_KNOB_PAN}, {&g_skin.smallKnobSend, IDB_SMALL_KNOB_SEND},
        {&g_skin.nameFont, IDB_NAME_FONT},
    };
    for (const auto& [bitmap, id] : bitmaps) bitmap->LoadBitmap(id);
}

void BM_QuietViewTick(benchmark::State& state) {
    LoadSkin();
    ResetSoundBank();
    g_songPlaying = 0;
    for (auto& level : g_meterLevels) level = 0;
    ViewPicture picture;
    PictureView view(picture);
    {
        PictureDC dc(picture);
        DcSkinBlitter out(dc);
        PaintPanelWith(out, kNormal);
    }
    // The first ticks catch up with the values the paint does not keep.
    for (int i = 0; i < 3; ++i) ViewTimerTick(view);
    picture.changes = 0;
    const long before = AllocationCount();
    int64_t ticks = 0;
    for (auto _ : state) {
        ViewTimerTick(view);
        benchmark::ClobberMemory();
        ++ticks;
    }
    const long allocations = AllocationCount() - before;
    state.counters["allocations/tick"] = ticks ? double(allocations) / double(ticks) : 0.0;
    state.counters["changes/tick"] = ticks ? double(picture.changes) / double(ticks) : 0.0;
    if (allocations != 0) state.SkipWithError("a quiet tick allocated");
    if (picture.changes != 0) state.SkipWithError("a quiet tick reported a change");
}
BENCHMARK(BM_QuietViewTick);

void BM_PlayRowToView(benchmark::State& state) {
    ViewPicture picture;
    BITMAPINFO info{};
    info.bmiHeader.biWidth = 632;
    info.bmiHeader.biHeight = -172;
    info.bmiHeader.biBitCount = 8;
    info.bmiHeader.biClrUsed = 32;
    for (int i = 0; i < 32; ++i) info.bmiColors[i] = g_surfacePalette[i];
    // Two grid pictures, as at two play rows: every copy changes the view.
    CBitmap grids[2];
    for (int g = 0; g < 2; ++g) {
        uint8_t* bits = nullptr;
        grids[g].CreateDIBSection(info, DIB_RGB_COLORS, &bits);
        for (int y = 0; y < 172; ++y)
            for (int x = 0; x < 632; ++x) bits[y * 632 + x] = uint8_t((x / 8 + y / 9 + g) % 32);
    }
    CDC mem;
    mem.CreateCompatibleDC(nullptr);
    const long before = AllocationCount();
    int64_t copies = 0;
    for (auto _ : state) {
        mem.SelectObject(&grids[copies % 2]);
        {
            PictureDC dc(picture);
            dc.BitBlt(0, 194, 630, 172, &mem, 0, 0, SRCCOPY);
        }
        benchmark::DoNotOptimize(picture.surface.DevicePixels());
        ++copies;
    }
    const long allocations = AllocationCount() - before;
    state.counters["allocations/copy"] = copies ? double(allocations) / double(copies) : 0.0;
    state.counters["pixels/s"] = benchmark::Counter(double(copies) * 630.0 * 172.0, benchmark::Counter::kIsRate);
    if (allocations != 0) state.SkipWithError("the copy allocated");
    if (picture.changes != copies) state.SkipWithError("a copy that changed the view was not reported");
}
BENCHMARK(BM_PlayRowToView)->Unit(benchmark::kMicrosecond);

}  // namespace
