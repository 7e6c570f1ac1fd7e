// The view's mouse messages: each runs its panel operation (ui/panel_press.h,
// ui/knob_drag.h) and then the default handling. A double click is handled as
// a second press.
#include "data/synth_doc.h"
#include "platform/wnd.h"
#include "res/resource_ids.h"
#include "ui/knob_drag.h"
#include "ui/panel_press.h"
#include "ui/panel_state.h"
#include "ui/sound_name_dlg.h"
#include "ui/select_sample_dlg.h"
#include "ui/synth_view.h"
#include "ui/tool_windows.h"
#include "ui/view_globals.h"

namespace {

class ViewPanelTarget final : public PanelView {
public:
    explicit ViewPanelTarget(CSynthView* view) : view_(view) {}
    void UpdatePanel() override { view_->UpdatePanel(); }
    void UpdateTopBar() override { view_->UpdateTopBar(); }
    void ShowPatternGrid() override { view_->ShowPatternGrid(); }
    void ShowSongOrderList() override { view_->ShowSongOrderList(); }
    void SetModifiedFlag(bool modified) override {
        if (CDocument* doc = view_->GetDocument()) doc->SetModifiedFlag(modified);
    }
    void SetCapture() override { view_->SetCapture(); }
    void ReleaseCapture() override { ::ReleaseCapture(); }
    void OnFileSongInfo() override { view_->OnFileSongInfo(); }
    void OnSoundsSamples() override { view_->OnSoundsSamples(); }
    void OnSoundsSampleSplits() override { view_->OnSoundsSampleSplits(); }
    void OnSoundsEffects() override { view_->OnSoundsEffects(); }
    void OnOptionsPreferences() override { view_->OnOptionsPreferences(); }
    void OnOptionsMidiMapper() override { view_->OnOptionsMidiMapper(); }
    void OnOptionsAutomation() override { view_->OnOptionsAutomation(); }
    void OnOptionsOscilloscope() override { view_->OnOptionsOscilloscope(); }
    void OnOptionsTransmitTweaks() override { view_->OnOptionsTransmitTweaks(); }
    void EditSoundName() override { ::EditSoundName(view_->GetDocument()); }
    void RunSelectSampleDialog() override {
        CSelectSampleDlg dlg(view_);
        dlg.DoModal();
    }
    bool ValueTipExists() override { return g_pValueTip && g_pValueTip->IsWindow(); }
    void ShowValueTip(int x, int y) override {
        CRect r;
        view_->GetWindowRect(&r);
        // The tip keeps the size it gave itself from its texts.
        g_pValueTip->SetWindowPos(nullptr, r.left + x, r.top + y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        g_pValueTip->ShowWindow(SW_SHOWNA);
    }
    void HideValueTip() override { g_pValueTip->ShowWindow(SW_HIDE); }
    void SetValueTipText(const std::string& text) override {
        g_pValueTip->SetDlgItemText(IDC_VALUE_TIP_TEXT, text);
    }

private:
    CSynthView* view_;
};

}  // namespace

void CSynthView::OnLButtonDown(UINT flags, CPoint point) {
    OnPanelButtonDown(point.x, point.y);
    CView::OnLButtonDown(flags, point);
}

void CSynthView::OnLButtonDblClk(UINT flags, CPoint point) {
    OnPanelButtonDown(point.x, point.y);
    CView::OnLButtonDblClk(flags, point);
}

void CSynthView::OnLButtonUp(UINT flags, CPoint point) {
    OnPanelButtonUp(point.x, point.y);
    CView::OnLButtonUp(flags, point);
}

void CSynthView::OnMouseMove(UINT flags, CPoint point) {
    OnPanelMouseMove(flags, point.x, point.y);
    CView::OnMouseMove(flags, point);
}

void CSynthView::OnPanelButtonDown(int x, int y) {
    ViewPanelTarget target(this);
    PanelButtonDown(target, x, y);
}

void CSynthView::OnPanelButtonUp(int, int) {
    ViewPanelTarget target(this);
    PanelButtonUp(target);
}

void CSynthView::OnPanelMouseMove(UINT flags, int x, int y) {
    ViewPanelTarget target(this);
    PanelMouseMove(target, flags, x, y);
}

void CSynthView::FormatPercentText() {
    ViewPanelTarget target(this);
    ::FormatPercentText(target);
}
