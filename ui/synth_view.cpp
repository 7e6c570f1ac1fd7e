#include "ui/synth_view.h"

#include "data/synth_doc.h"
#include "host/audio_device.h"
#include "host/midi_recording.h"
#include "host/render_paths.h"
#include "platform/resources.h"
#include "res/resource_ids.h"
#include "data/song_file.h"
#include "shared/app_settings.h"
#include "shared/automation.h"
#include "shared/editor.h"
#include "shared/master_state.h"
#include "shared/mixer.h"
#include "shared/settings.h"
#include "shared/song_info.h"
#include "shared/transport.h"
#include "ui/panel_paint.h"
#include "ui/pattern_grid.h"
#include "ui/song_order_list.h"
#include "ui/skin_blitter.h"
#include "ui/tool_windows.h"
#include "ui/select_command_dlg.h"
#include "ui/transport.h"
#include "ui/view_globals.h"
#include "ui/view_keys.h"
#include "ui/view_timer.h"

#include "host/synth_app.h"

namespace {

void CreateSurface(CBitmap& surface, uint8_t*& bits, int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = 40;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 8;
    info.bmiHeader.biCompression = BI_RGB;
    info.bmiHeader.biSizeImage = uint32_t(width * height);
    info.bmiHeader.biClrUsed = 32;
    info.bmiHeader.biClrImportant = 32;
    for (int i = 0; i < 32; ++i) info.bmiColors[i] = g_surfacePalette[i];
    surface.CreateDIBSection(info, DIB_RGB_COLORS, &bits);
}

// The panel's copies from the skin bitmaps, through a client context of the
// view.
class ViewSkinBlitter : public SkinBlitter {
public:
    explicit ViewSkinBlitter(CWnd* view) : dc_(view), out_(dc_) {}
    void Blit(int bitmap, int x, int y, int w, int h, int sx, int sy) override { out_.Blit(bitmap, x, y, w, h, sx, sy); }

private:
    CClientDC dc_;
    DcSkinBlitter out_;
};

// The key routines' view: the drawing operations and the document's flag.
class ViewKeyTarget : public KeyView {
public:
    explicit ViewKeyTarget(CSynthView* view) : view_(view) {}
    void ShowPatternGrid() override { view_->ShowPatternGrid(); }
    void ShowSongOrderList() override { view_->ShowSongOrderList(); }
    void UpdatePanel() override { view_->UpdatePanel(); }
    void UpdateTopBar() override { view_->UpdateTopBar(); }
    void SetModifiedFlag(bool modified) override {
        if (CDocument* doc = view_->GetDocument()) doc->SetModifiedFlag(modified);
    }
    void RunSelectCommandDialog() override {
        CSelectCommandDlg dlg;  // no parent: it places itself by the cursor
        dlg.DoModal();
    }

private:
    CSynthView* view_;
};

PanelGeometry ViewGeometry() {
    return PanelGeometry{g_panelX, g_panelY, g_mixerShiftX, g_lowerPanelY, g_soundModuleMode != 0};
}

}  // namespace

CSynthView::CSynthView() {
    {
        CClientDC dc(this);  // the window does not exist yet: the screen's context
        if (dc.GetDeviceCaps(NUMCOLORS) != -1)
            AfxMessageBox("WARNING!\nMorvel Canopy requires a hi- or true color display adapter! Can't display "
                          "graphics in original color depth!",
                          MB_ICONSTOP);
    }
    g_guiThreadId = GetCurrentThreadId();
    BuildNoteKeyMap();
    AddWaveFileCommands();
    AddEditCommands();
    AddViewCommands();
    AddOptionToggles();
    AddSoundCommands();
    OnCommandEntry(ID_FILE_PLAY_STOP, [this] { OnFilePlayStop(); });
    OnUpdateEntry(ID_FILE_PLAY_STOP, [this](CCmdUI* ui) { OnUpdateFilePlayStop(ui); });

    if (g_soundModuleMode) {
        g_panelX = 8, g_panelY = 27, g_mixerShiftX = 56, g_lowerPanelY = 185;
        g_gridHeight = 140, g_visibleRows = 15, g_cursorRow = 7;
    } else if (g_largeLayout) {
        g_panelX = 12, g_panelY = 27, g_mixerShiftX = 0, g_lowerPanelY = 368;
        g_gridHeight = 172, g_visibleRows = 19, g_cursorRow = 9;
    } else {
        g_panelX = 12, g_panelY = 27, g_mixerShiftX = 0, g_lowerPanelY = 336;
        g_gridHeight = 140, g_visibleRows = 15, g_cursorRow = 7;
    }

    g_skin.topBar.LoadBitmap(IDB_TOP_BAR);
    size_t glyphBytes = 0;
    g_glyphData = FindRawResource(IDR_GLYPHS, &glyphBytes);
    g_skin.synthSection.LoadBitmap(IDB_SYNTH_SECTION);
    g_skin.mixerSection.LoadBitmap(IDB_MIXER_SECTION);
    g_skin.automationFrame.LoadBitmap(IDB_AUTOMATION_FRAME);
    g_skin.scopeFrame.LoadBitmap(IDB_SCOPE_FRAME);
    g_skin.knobA.LoadBitmap(IDB_KNOB_A);
    g_skin.knobBipolar.LoadBitmap(IDB_KNOB_BIPOLAR);
    g_skin.knobC.LoadBitmap(IDB_KNOB_C);
    g_skin.knobD.LoadBitmap(IDB_KNOB_D);
    g_skin.lamp.LoadBitmap(IDB_LAMP);
    g_skin.buttons.LoadBitmap(IDB_BUTTONS);
    g_skin.digits.LoadBitmap(IDB_DIGITS);
    g_skin.smallKnobPan.LoadBitmap(IDB_SMALL_KNOB_PAN);
    g_skin.smallKnobSend.LoadBitmap(IDB_SMALL_KNOB_SEND);
    g_skin.nameFont.LoadBitmap(IDB_NAME_FONT);

    CreateSurface(g_gridSurface, g_gridBits, 632, g_gridHeight);
    CreateSurface(g_orderSurface, g_orderBits, 88, 60);

    for (auto& level : g_meterLevels) level = 16;
    delete g_pValueTip;  // only ever one view at a time; never leave an old tip behind
    g_pValueTip = new CValueTipDlg;
}

CSynthView::~CSynthView() {
    for (CBitmap* b : {&g_skin.topBar, &g_skin.synthSection, &g_skin.mixerSection, &g_skin.automationFrame,
                       &g_skin.scopeFrame, &g_skin.knobA, &g_skin.knobBipolar, &g_skin.knobC, &g_skin.knobD,
                       &g_skin.lamp, &g_skin.buttons, &g_skin.digits, &g_skin.smallKnobPan, &g_skin.smallKnobSend,
                       &g_skin.nameFont})
        b->DeleteObject();
    g_gridSurface.DeleteObject();
    g_gridBits = nullptr;
    g_orderSurface.DeleteObject();
    g_orderBits = nullptr;
    if (g_pValueTip && g_pValueTip->IsWindow()) g_pValueTip->DestroyWindow();
}

CSynthDoc* CSynthView::GetDocument() const { return static_cast<CSynthDoc*>(CView::GetDocument()); }

void CSynthView::OnInitialUpdate() {
    CView::OnInitialUpdate();
    g_viewTimer = SetTimer(kViewTimerId, kViewTimerMs);
}

void CSynthView::OnUpdate(CView* sender, LPARAM hint, CCmdTarget* hintObject) {
    PaintPanel();
    ShowPatternGrid();
    ShowSongOrderList();
    if (g_automationOn && g_pAutomationDlg) g_pAutomationDlg->RedrawWindow(nullptr, RDW_UPDATENOW);
    if (g_scopeOn && g_pScopeDlg) g_pScopeDlg->RedrawWindow(nullptr, RDW_UPDATENOW);
    CView::OnUpdate(sender, hint, hintObject);
}

void CSynthView::OnDraw(CDC*) {
    PaintPanel();
    UpdateTopBar();
    ShowPatternGrid();
    ShowSongOrderList();
    // The post-load checks may show boxes and dialogs: they run right after
    // this paint, not inside it.
    if (g_songInfoOnLoad && !postLoadChecksQueued_) {
        postLoadChecksQueued_ = true;
        AfxCallAfter([this, alive = LifeToken()] {
            if (!*alive) return;
            postLoadChecksQueued_ = false;
            RunPostLoadChecks();
        });
    }
}

void CSynthView::RunPostLoadChecks() {
    if (!g_songInfoOnLoad) return;
    g_songInfoOnLoad = 0;
    CDocument* doc = GetDocument();
    const uint32_t voices = uint32_t(g_polyphonyVoices[g_polyphony < 6 ? uint32_t(g_polyphony) : 5u]);
    if (g_songVoices > voices && doc && doc->GetTitle() != "Untitled") {
        if (CWnd* main = AfxGetMainWnd()) main->SetForegroundWindow();
        AfxMessageBox(LoadResString(IDS_TOO_MANY_VOICES), MB_OK);
    }
    if (g_showInfoOnOpen) {
        if (CWnd* main = AfxGetMainWnd()) main->SetForegroundWindow();
        g_songInfoFromLoad = 1;
        ShowSongInfoAfterLoad();
        g_songInfoFromLoad = 0;
    }
}


bool CSynthView::OnEraseBkgnd(CDC*) { return true; }

void CSynthView::OnSetFocus(CWnd* oldWnd) {
    g_viewHasFocus = 1;
    CView::OnSetFocus(oldWnd);
}

void CSynthView::OnKillFocus(CWnd* newWnd) {
    g_viewHasFocus = 0;
    OnUpdate(nullptr, 0, nullptr);
    CView::OnKillFocus(newWnd);
}

void CSynthView::OnTimer(UINT id) {
    struct Target final : ViewTimerTarget {
        explicit Target(CSynthView& v) : view(v) {}
        void ShowPatternGrid() override { view.ShowPatternGrid(); }
        void ShowSongOrderList() override { view.ShowSongOrderList(); }
        void UpdatePanel() override { view.UpdatePanel(); }
        void UpdateTopBar() override { view.UpdateTopBar(); }
        void SetDocumentModified(bool modified) override {
            if (CDocument* doc = view.GetDocument()) doc->SetModifiedFlag(modified);
        }
        CSynthView& view;
    } target(*this);
    ViewTimerTick(target);
    CView::OnTimer(id);
}

void CSynthView::OnKeyDown(UINT vk, UINT repeat, UINT flags) {
    ViewKeyTarget target(this);
    if (ViewKeyDown(vk, target)) CView::OnKeyDown(vk, repeat, flags);
}

void CSynthView::OnKeyUp(UINT vk, UINT repeat, UINT flags) {
    ViewKeyUp(vk);
    CView::OnKeyUp(vk, repeat, flags);
}

LRESULT CSynthView::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    PlayMidiRecording();  // notes the MIDI input handed over, before the redraw they asked for
    if (g_refreshPending) {
        g_refreshPending = 0;
        ShowPatternGrid();
    }
    if (message == WM_KEYDOWN && wParam == VK_F1) OnHelpInfo();
    return CView::DefWindowProc(message, wParam, lParam);
}

void CSynthView::PostNcDestroy() {
    KillTimer(g_viewTimer);
    CView::PostNcDestroy();
}

void CSynthView::PaintPanel() {
    ViewSkinBlitter out(this);
    PaintPanelWith(out, ViewGeometry());
}

void CSynthView::UpdateTopBar() {
    ViewSkinBlitter out(this);
    UpdateTopBarWith(out, ViewGeometry());
}

void CSynthView::UpdatePanel() {
    ViewSkinBlitter out(this);
    UpdatePanelWith(out, ViewGeometry());
}
void CSynthView::OnFilePlayStop() { RunTransport(TransportCommand::kMenuPlayStop, [this] { UpdateTopBar(); }); }
void CSynthView::OnUpdateFilePlayStop(CCmdUI* ui) { ui->Enable(g_soundModuleMode == 0); }

void CSynthView::DrawPatternGrid() { DrawPatternGridSurface(); }
void CSynthView::DrawSongOrderList() { RenderSongOrderList(g_orderBits, g_glyphData); }

void CSynthView::ShowPatternGrid() {
    if (g_soundModuleMode) return;
    DrawPatternGrid();
    CClientDC dc(this);
    CDC mem;
    mem.CreateCompatibleDC(&dc);
    CBitmap* old = mem.SelectObject(&g_gridSurface);
    dc.BitBlt(0, 194, 630, g_gridHeight, &mem, 0, 0, SRCCOPY);
    mem.SelectObject(old);
    ViewSkinBlitter out(this);
    PaintSongPositionWith(out, ViewGeometry());
}

void CSynthView::ShowSongOrderList() {
    if (g_soundModuleMode) return;
    DrawSongOrderList();
    CClientDC dc(this);
    CDC mem;
    mem.CreateCompatibleDC(&dc);
    CBitmap* old = mem.SelectObject(&g_orderSurface);
    dc.BitBlt(7, g_lowerPanelY + 18, 88, 60, &mem, 0, 0, SRCCOPY);
    mem.SelectObject(old);
}
