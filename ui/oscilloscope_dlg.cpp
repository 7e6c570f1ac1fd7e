#include "ui/oscilloscope_dlg.h"

#include <cstring>

#include "host/audio_device.h"
#include "host/render_paths.h"
#include "res/resource_ids.h"
#include "shared/app_settings.h"
#include "ui/skin_blitter.h"
#include "ui/tool_windows.h"
#include "ui/transport.h"

namespace {

constexpr uint32_t kPointStepBytes = 24;  // six frames
constexpr uint32_t kRingMask = 0xFFFC;

// The traces copied from their bitmaps, the skin from its own.
class ScopeBlitter : public DcSkinBlitter {
public:
    using DcSkinBlitter::DcSkinBlitter;

protected:
    CBitmap* Lookup(int id) override {
        if (id == kScopeTraceLeft) return &g_scopeBitmapLeft;
        if (id == kScopeTraceRight) return &g_scopeBitmapRight;
        return DcSkinBlitter::Lookup(id);
    }
};

}  // namespace

// level / 2, with levels 63 to 66 on the zero line (row 32).
constexpr std::array<int32_t, 128> g_scopeRowTable = [] {
    std::array<int32_t, 128> rows{};
    for (int level = 0; level < 128; ++level) rows[size_t(level)] = (level >= 63 && level <= 66) ? 32 : level / 2;
    return rows;
}();
uint8_t g_scopeBitsLeft[kScopeBitsBytes];
uint8_t g_scopeBitsRight[kScopeBitsBytes];
CBitmap g_scopeBitmapLeft;
CBitmap g_scopeBitmapRight;
UINT g_scopeTimerId = 0;

void RenderScopeTraces() {
    std::memset(g_scopeBitsLeft, 0, sizeof g_scopeBitsLeft);
    std::memset(g_scopeBitsRight, 0, sizeof g_scopeBitsRight);
    // The dotted zero line: pixels 0, 2, .. 102 of row 32.
    std::memset(g_scopeBitsLeft + 32 * kScopeRowBytes, 0xAA, 13);
    std::memset(g_scopeBitsRight + 32 * kScopeRowBytes, 0xAA, 13);
    if (g_audioRunning == 0) return;
    uint32_t pos = g_scopeReadPos & kRingMask;
    for (int x = 0; x < kScopeTraceWidth; ++x) {
        const uint32_t w = RelaxedLoad(g_scopeRing[pos / 4]);
        // The signed sample moved into 0..65535 and cut to its top 7 bits.
        const uint32_t left = ((w & 0xFFFF) + 32768) % 65536 >> 9;
        const uint32_t right = ((w >> 16) + 32768) % 65536 >> 9;
        const uint8_t bit = uint8_t(0x80u >> (x % 8));
        g_scopeBitsLeft[g_scopeRowTable[left] * kScopeRowBytes + x / 8] |= bit;
        g_scopeBitsRight[g_scopeRowTable[right] * kScopeRowBytes + x / 8] |= bit;
        pos = (pos + kPointStepBytes) & kRingMask;
    }
    g_scopeReadPos = pos;
}

void PaintScopeFrame(SkinBlitter& out) {
    out.Blit(kSkinScopeFrame, 0, 0, kScopeClientWidth, 27, 0, 0);     // top band
    out.Blit(kSkinScopeFrame, 0, 27, 16, 64, 0, 27);                  // left margin
    out.Blit(kSkinScopeFrame, 120, 27, 7, 64, 120, 27);               // separator
    out.Blit(kSkinScopeFrame, 231, 27, 16, 64, 231, 27);              // right margin
    out.Blit(kSkinScopeFrame, 0, 91, kScopeClientWidth, 17, 0, 91);   // bottom band
}

void PaintScopeTraces(SkinBlitter& out) {
    out.Blit(kScopeTraceLeft, kScopeLeftX, kScopeTraceY, kScopeTraceWidth, kScopeBitmapHeight, 0, 0);
    out.Blit(kScopeTraceRight, kScopeRightX, kScopeTraceY, kScopeTraceWidth, kScopeBitmapHeight, 0, 0);
}

COscilloscopeDlg::COscilloscopeDlg(CWnd* parent) : CDialog(IDD_OSCILLOSCOPE, parent) { m_ownerDraws = true; }

bool COscilloscopeDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SetClientSize(kScopeClientWidth, kScopeClientHeight);
    PlaceAt(*this, g_oscDlgPos);
    g_scopeTimerId = SetTimer(kScopeTimerId, kScopeTimerMs);
    std::memset(g_scopeBitsLeft, 0, sizeof g_scopeBitsLeft);
    std::memset(g_scopeBitsRight, 0, sizeof g_scopeBitsRight);
    if (!g_scopeBitmapLeft.CreateBitmap(kScopeBitmapWidth, kScopeBitmapHeight, 1, 1, g_scopeBitsLeft))
        AfxMessageBox("Failed to create bitmap!", MB_OK);
    if (!g_scopeBitmapRight.CreateBitmap(kScopeBitmapWidth, kScopeBitmapHeight, 1, 1, g_scopeBitsRight))
        AfxMessageBox("Failed to create bitmap!", MB_OK);
    return true;
}

bool COscilloscopeDlg::DestroyWindow() {
    if (IsWindow()) {
        SavePlace(*this, g_oscDlgPos);
        KillTimer(g_scopeTimerId);
        g_scopeBitmapLeft.DeleteObject();
        g_scopeBitmapRight.DeleteObject();
    }
    return CDialog::DestroyWindow();
}

void COscilloscopeDlg::RenderScope() {
    RenderScopeTraces();
    g_scopeBitmapLeft.SetBitmapBits(kScopeBitsBytes, g_scopeBitsLeft);
    g_scopeBitmapRight.SetBitmapBits(kScopeBitsBytes, g_scopeBitsRight);
}

void COscilloscopeDlg::OnTimer(UINT) {
    {
        CClientDC dc(this);
        ScopeBlitter out(dc);
        RenderScope();
        PaintScopeTraces(out);
    }
    Default();
}

void COscilloscopeDlg::OnPaint() {
    CPaintDC dc(this);
    ScopeBlitter out(dc);
    PaintScopeFrame(out);
    RenderScope();
    PaintScopeTraces(out);
}

void COscilloscopeDlg::OnKeyDown(UINT vk, UINT, UINT) {
    if (vk == VK_SPACE) RunTransport(TransportCommand::kToolWindowSpace, {});
    GiveActivationToMainWindow();
    Default();
}

void COscilloscopeDlg::OnOK() {}

void COscilloscopeDlg::OnCancel() { GiveActivationToMainWindow(); }
