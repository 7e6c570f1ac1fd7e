// Where a dialog template's controls go: base units from the dialog font,
// each control grown to what the toolkit needs, the up-down beside its field,
// and a client area that holds them all.
#include "platform/dialog_layout.h"

#include <wx/choice.h>
#include <wx/dcscreen.h>
#include <wx/listbox.h>
#include <wx/listctrl.h>
#include <wx/settings.h>
#include <wx/slider.h>
#include <wx/spinbutt.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

// The controls of a dialog: its toolkit window's children.
template <class Fn>
void ForEachControl(wxWindow* dialog, Fn fn) {
    for (wxWindow* w : dialog->GetChildren())
        if (!w->IsTopLevel()) fn(w);
}

// The closed height the templates allow a drop-down list: the label beside
// one stands 3 units lower and is 8 high, so the list's box is centred on a
// band of 14 units from the template's top.
constexpr int kClosedComboBandDlu = 14;
// The margin kept beyond the rightmost and the lowest control.
constexpr int kClientMarginDlu = 4;

// List boxes and list views scroll their rows: a window smaller than their
// template may cut them back.
bool Scrolls(wxWindow* w) { return dynamic_cast<wxListBox*>(w) || dynamic_cast<wxListCtrl*>(w); }

int Centred(int pos, int size, int newSize) { return pos + (size - newSize) / 2; }

}  // namespace

wxFont DialogFont() { return wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT); }

DialogBaseUnits MeasureDialogBaseUnits(const wxFont& font) {
    wxScreenDC dc;
    dc.SetFont(font);
    // The average width of the 52 letters, rounded as the templates' system
    // rounds it, and the height of the font.
    const wxSize letters = dc.GetTextExtent("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    return {(letters.x / 26 + 1) / 2, dc.GetCharHeight()};
}

DialogBaseUnits GetDialogBaseUnits() {
    static const DialogBaseUnits units = MeasureDialogBaseUnits(DialogFont());
    return units;
}

int DialogUnitsToPixelsX(int dlu) { return (dlu * GetDialogBaseUnits().cx + 2) / 4; }
int DialogUnitsToPixelsY(int dlu) { return (dlu * GetDialogBaseUnits().cy + 4) / 8; }

wxRect FitControlToToolkit(wxWindow* w, const ControlResource& c, const wxRect& templateRect) {
    wxRect r = templateRect;
    switch (c.kind) {
        case ControlKind::Static: {
            // The whole text; a centred label grows to both sides.
            const wxSize best = w->GetBestSize();
            if (best.x > r.width) {
                if (c.style & CS_CENTER) r.x = Centred(r.x, r.width, best.x);
                r.width = best.x;
            }
            r.height = std::max(r.height, best.y);
            break;
        }
        case ControlKind::CheckBox:
        case ControlKind::Radio:
        case ControlKind::Spin: {
            // The indicator and the whole text, on the template's line; an
            // up-down at the toolkit's least size (one on a buddy is placed
            // by PlaceSpinOnBuddy).
            const wxSize best = w->GetBestSize();
            r.width = std::max(r.width, best.x);
            if (best.y > r.height) {
                r.y = Centred(r.y, r.height, best.y);
                r.height = best.y;
            }
            break;
        }
        case ControlKind::PushButton:
        case ControlKind::DefPushButton:
            // The whole text; the toolkit draws its frame within the
            // template's height.
            r.width = std::max(r.width, w->GetBestSize().x);
            break;
        case ControlKind::ComboBox: {
            // Closed, the box takes the toolkit's height (the template's is
            // the open list's), centred where the template's labels expect
            // it.
            const int closed = w->GetBestSize().y;
            const int centre = ((2 * c.y + kClosedComboBandDlu) * GetDialogBaseUnits().cy + 8) / 16;
            r.y = centre - closed / 2;
            r.height = closed;
            break;
        }
        case ControlKind::Slider: {
            // At least the toolkit's track and thumb across it.
            const wxSize best = w->GetBestSize();
            if (c.style & CS_VERTICAL) {
                if (best.x > r.width) {
                    r.x = Centred(r.x, r.width, best.x);
                    r.width = best.x;
                }
            } else if (best.y > r.height) {
                r.y = Centred(r.y, r.height, best.y);
                r.height = best.y;
            }
            break;
        }
        default: break;
    }
    return r;
}

void PlaceSpinOnBuddy(wxWindow* field, wxSpinButton* spin) {
    const wxRect f = field->GetRect();
    const wxSize s = spin->GetBestSize();
    int width = f.width - s.x;
    if (auto* text = dynamic_cast<wxTextCtrl*>(field)) {
        // Three digits and the caret after them.
        const int digit = text->GetTextExtent("0").x;
        width = std::max(width, text->GetSizeFromTextSize(3 * digit + (digit + 1) / 2).x);
    }
    field->SetSize(f.x, f.y, width, f.height);
    spin->SetSize(f.x + width, Centred(f.y, f.height, s.y), s.x, s.y);
}

int ColumnWidthForHeading(wxListCtrl* list, const wxString& heading) {
    // The header draws its label 5 pixels in from either side.
    constexpr int kHeaderLabelMargin = 5;
    return heading.empty() ? 0 : list->GetTextExtent(heading).x + 2 * kHeaderLabelMargin;
}

wxSize ClientSizeHoldingControls(wxWindow* dialog, const wxSize& templateClient) {
    wxSize size = templateClient;
    const wxSize margin(DialogUnitsToPixelsX(kClientMarginDlu), DialogUnitsToPixelsY(kClientMarginDlu));
    ForEachControl(dialog, [&](wxWindow* w) {
        const wxRect r = w->GetRect();
        size.x = std::max(size.x, r.GetRight() + 1 + margin.x);
        size.y = std::max(size.y, r.GetBottom() + 1 + margin.y);
    });
    return size;
}

void KeepControlsInClient(wxWindow* dialog) {
    const wxSize client = dialog->GetClientSize();
    const wxSize margin(DialogUnitsToPixelsX(kClientMarginDlu), DialogUnitsToPixelsY(kClientMarginDlu));
    // What the controls other than the scrolled views need.
    wxSize least(0, 0);
    std::vector<std::pair<wxWindow*, wxRect>> views;
    ForEachControl(dialog, [&](wxWindow* w) {
        const wxRect r = w->GetRect();
        if (Scrolls(w)) {
            views.emplace_back(w, r);
            return;
        }
        least.x = std::max(least.x, r.GetRight() + 1 + margin.x);
        least.y = std::max(least.y, r.GetBottom() + 1 + margin.y);
    });
    if (least.x > 0 && least.y > 0)
        dialog->SetMinClientSize(wxSize(std::min(least.x, client.x), std::min(least.y, client.y)));
    if (views.empty()) return;
    dialog->Bind(wxEVT_SIZE, [dialog, client, views](wxSizeEvent& e) {
        e.Skip();
        const wxSize now = dialog->GetClientSize();
        for (const auto& [w, r] : views) {
            const int right = client.x - (r.GetRight() + 1), bottom = client.y - (r.GetBottom() + 1);
            const int width = std::clamp(now.x - right - r.x, 1, r.width);
            const int height = std::clamp(now.y - bottom - r.y, 1, r.height);
            w->SetSize(r.x, r.y, width, height);
        }
    });
}
