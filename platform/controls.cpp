// List views and sliders on the toolkit, and the notifications controls send
// their dialog.
#include "platform/controls.h"

#include <algorithm>

#include <wx/listctrl.h>
#include <wx/slider.h>

#include "platform/control_bridge.h"
#include "platform/dialog_layout.h"
#include "platform/wx_bridge.h"

namespace {

// Set while the layer itself changes a list view's selection: the toolkit's
// own events are then not passed on (the layer reports the change once).
bool g_listQuiet = false;

// Runs fn while the dialog still has its window.
template <class Fn>
void WhileAlive(CDialog* dlg, const std::shared_ptr<bool>& alive, Fn fn) {
    if (*alive && dlg->IsWindow()) fn();
}

void NotifyItemChanged(CDialog* dlg, int id, int row, UINT oldState, UINT newState) {
    NMLISTVIEW nm;
    nm.hdr.idFrom = id;
    nm.hdr.code = LVN_ITEMCHANGED;
    nm.iItem = row;
    nm.uOldState = oldState;
    nm.uNewState = newState;
    dlg->SendNotify(&nm.hdr);
}

wxListCtrl* ListOf(const CWnd* w) { return dynamic_cast<wxListCtrl*>(ToolkitOf(w)); }
wxSlider* SliderOf(const CWnd* w) { return dynamic_cast<wxSlider*>(ToolkitOf(w)); }

}  // namespace

wxWindow* CreateListOrSlider(CDialog* dlg, wxWindow* parent, const ControlResource& c, const wxPoint& pos,
                             const wxSize& size) {
    const int wid = c.id > 0 && c.id < 32767 ? c.id : wxID_ANY;
    const int id = c.id;
    auto alive = dlg->LifeToken();
    switch (c.kind) {
        case ControlKind::ListView: {
            long style = wxLC_REPORT | wxBORDER_SUNKEN;
            if (c.style & CS_SINGLESEL) style |= wxLC_SINGLE_SEL;
            auto* l = new wxListCtrl(parent, wid, pos, size, style);
            auto changed = [dlg, alive, id](wxListEvent& e, bool selected) {
                e.Skip();
                if (g_listQuiet) return;
                WhileAlive(dlg, alive, [&] {
                    NotifyItemChanged(dlg, id, int(e.GetIndex()), selected ? 0 : LVIS_SELECTED,
                                      selected ? LVIS_SELECTED : 0);
                });
            };
            l->Bind(wxEVT_LIST_ITEM_SELECTED, [changed](wxListEvent& e) { changed(e, true); });
            l->Bind(wxEVT_LIST_ITEM_DESELECTED, [changed](wxListEvent& e) { changed(e, false); });
            return l;
        }
        case ControlKind::Slider: {
            long style = (c.style & CS_VERTICAL) ? wxSL_VERTICAL : wxSL_HORIZONTAL;
            if (c.style & CS_AUTOTICKS) style |= wxSL_AUTOTICKS;
            auto* s = new wxSlider(parent, wid, 0, 0, 100, pos, size, style);
            s->Bind(wxEVT_SLIDER, [dlg, alive, s, id](wxCommandEvent&) {
                WhileAlive(dlg, alive, [&] { SliderMoved(dlg, s, id); });
            });
            return s;
        }
        default: return nullptr;
    }
}

void BindListBoxNotifications(CDialog* dlg, wxListBox* list, int id) {
    auto alive = dlg->LifeToken();
    list->Bind(wxEVT_LISTBOX_DCLICK, [dlg, alive, id](wxCommandEvent&) {
        WhileAlive(dlg, alive, [&] { dlg->SendControlCommand(id, LBN_DBLCLK); });
    });
    list->Bind(wxEVT_SET_FOCUS, [dlg, alive, id](wxFocusEvent& e) {
        e.Skip();
        WhileAlive(dlg, alive, [&] { dlg->SendControlCommand(id, LBN_SETFOCUS); });
    });
}

void BindEditNotifications(CDialog* dlg, wxTextCtrl* edit, int id) {
    auto alive = dlg->LifeToken();
    edit->Bind(wxEVT_SET_FOCUS, [dlg, alive, id](wxFocusEvent& e) {
        e.Skip();
        WhileAlive(dlg, alive, [&] { dlg->SendControlCommand(id, EN_SETFOCUS); });
    });
}

void SliderMoved(CDialog* dlg, wxSlider* slider, int id) {
    const UINT pos = UINT(slider->GetValue());
    CWnd* bar = dlg->GetDlgItem(id);
    const bool vertical = slider->HasFlag(wxSL_VERTICAL);
    const UINT msg = vertical ? WM_VSCROLL : WM_HSCROLL;
    dlg->Dispatch(msg, WPARAM(SB_THUMBPOSITION), 0, [dlg, vertical, pos, bar] {
        if (vertical) dlg->OnVScroll(SB_THUMBPOSITION, pos, bar);
        else dlg->OnHScroll(SB_THUMBPOSITION, pos, bar);
    });
}

// ---------------------------------------------------------------- CListCtrl

int CListCtrl::InsertColumn(int col, const std::string& heading, int format, int width) {
    wxListCtrl* l = ListOf(this);
    if (!l) return -1;
    const wxListColumnFormat f = format == LVCFMT_RIGHT    ? wxLIST_FORMAT_RIGHT
                                 : format == LVCFMT_CENTER ? wxLIST_FORMAT_CENTRE
                                                           : wxLIST_FORMAT_LEFT;
    const wxString text = wxString::FromUTF8(heading);
    return int(l->InsertColumn(col, text, f, std::max(width, ColumnWidthForHeading(l, text))));
}

int CListCtrl::InsertItem(int row, const std::string& text) {
    wxListCtrl* l = ListOf(this);
    return l ? int(l->InsertItem(row, wxString::FromUTF8(text))) : -1;
}

bool CListCtrl::SetItemText(int row, int col, const std::string& text) {
    wxListCtrl* l = ListOf(this);
    if (!l || row < 0 || row >= l->GetItemCount()) return false;
    l->SetItem(row, col, wxString::FromUTF8(text));
    return true;
}

std::string CListCtrl::GetItemText(int row, int col) const {
    wxListCtrl* l = ListOf(this);
    if (!l || row < 0 || row >= l->GetItemCount()) return {};
    return l->GetItemText(row, col).utf8_string();
}

bool CListCtrl::DeleteItem(int row) {
    wxListCtrl* l = ListOf(this);
    if (!l || row < 0 || row >= l->GetItemCount()) return false;
    g_listQuiet = true;
    l->DeleteItem(row);
    g_listQuiet = false;
    return true;
}

bool CListCtrl::DeleteAllItems() {
    wxListCtrl* l = ListOf(this);
    if (!l) return false;
    g_listQuiet = true;
    l->DeleteAllItems();
    g_listQuiet = false;
    return true;
}

int CListCtrl::GetItemCount() const {
    wxListCtrl* l = ListOf(this);
    return l ? l->GetItemCount() : 0;
}

int CListCtrl::GetNextItem(int start, int flags) const {
    wxListCtrl* l = ListOf(this);
    if (!l) return -1;
    return int(l->GetNextItem(start, wxLIST_NEXT_ALL, (flags & LVNI_SELECTED) ? wxLIST_STATE_SELECTED : 0));
}

int CListCtrl::GetSelectedCount() const {
    wxListCtrl* l = ListOf(this);
    return l ? l->GetSelectedItemCount() : 0;
}

bool CListCtrl::SetItemState(int row, UINT state, UINT mask) {
    wxListCtrl* l = ListOf(this);
    if (!l || row < 0 || row >= l->GetItemCount() || !(mask & LVIS_SELECTED)) return false;
    const UINT old = GetItemState(row, LVIS_SELECTED);
    const UINT now = state & LVIS_SELECTED;
    if (old == now) return true;
    // A single-selection list loses its other selected row first.
    int other = -1;
    if (now && l->HasFlag(wxLC_SINGLE_SEL)) other = GetNextItem(-1, LVNI_SELECTED);
    g_listQuiet = true;
    l->SetItemState(row, now ? wxLIST_STATE_SELECTED : 0, wxLIST_STATE_SELECTED);
    g_listQuiet = false;
    if (dialog_ == nullptr) return true;
    if (other >= 0 && other != row) NotifyItemChanged(dialog_, id_, other, LVIS_SELECTED, 0);
    if (dialog_->IsWindow()) NotifyItemChanged(dialog_, id_, row, old, now);
    return true;
}

UINT CListCtrl::GetItemState(int row, UINT mask) const {
    wxListCtrl* l = ListOf(this);
    if (!l || row < 0 || row >= l->GetItemCount()) return 0;
    return (l->GetItemState(row, wxLIST_STATE_SELECTED) & wxLIST_STATE_SELECTED) ? (LVIS_SELECTED & mask) : 0;
}

bool CListCtrl::Scroll(int dy) {
    wxListCtrl* l = ListOf(this);
    return l && l->ScrollList(0, dy);
}

int CListCtrl::GetTopIndex() const {
    wxListCtrl* l = ListOf(this);
    return l ? int(l->GetTopItem()) : 0;
}

// ---------------------------------------------------------------- CSliderCtrl

void CSliderCtrl::SetRange(int lower, int upper, bool) {
    // The toolkit wants at least one step: an empty range shows as
    // lower..lower + 1.
    if (wxSlider* s = SliderOf(this)) s->SetRange(lower, std::max(upper, lower + 1));
}

int CSliderCtrl::GetRangeMin() const {
    wxSlider* s = SliderOf(this);
    return s ? s->GetMin() : 0;
}

int CSliderCtrl::GetRangeMax() const {
    wxSlider* s = SliderOf(this);
    return s ? s->GetMax() : 0;
}

void CSliderCtrl::SetPos(int pos) {
    // A position outside the range stops at its nearer end.
    if (wxSlider* s = SliderOf(this)) s->SetValue(std::clamp(pos, s->GetMin(), s->GetMax()));
}

int CSliderCtrl::GetPos() const {
    wxSlider* s = SliderOf(this);
    return s ? s->GetValue() : 0;
}

void CSliderCtrl::SetTicFreq(int freq) {
    if (wxSlider* s = SliderOf(this)) s->SetTickFreq(freq);
}
