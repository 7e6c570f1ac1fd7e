// Dialogs from templates, data exchange and the modal run.
#include "platform/dialog.h"

#include <wx/choice.h>
#include <wx/gauge.h>
#include <wx/listbox.h>
#include <wx/slider.h>
#include <wx/spinbutt.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdint>

#include "platform/control_bridge.h"
#include "platform/controls.h"
#include "platform/dialog_layout.h"
#include "platform/framework.h"
#include "platform/resources.h"
#include "platform/wx_bridge.h"

namespace {

ModalDialogHandler& ModalHandler() {
    static ModalDialogHandler handler;
    return handler;
}

}  // namespace

void SetModalDialogHandler(ModalDialogHandler handler) { ModalHandler() = std::move(handler); }
bool HasModalDialogHandler() { return bool(ModalHandler()); }

#ifdef __WXGTK3__
namespace {

// The leading fields of the toolkit's key event record (GDK 3's GdkEventKey,
// part of its stable binary interface), the event kind and the keys.
struct ToolkitKeyEvent {
    int type;
    void* window;
    signed char sendEvent;
    uint32_t time;
    unsigned state;
    unsigned keyval;
};
constexpr int kToolkitKeyPress = 8;
constexpr unsigned kShiftControlAlt = 0x1 | 0x4 | 0x8;
constexpr unsigned kKeyReturn = 0xff0d, kKeyPadEnter = 0xff8d, kKeyIsoEnter = 0xfe34;

// Every event of the dialog's top-level window, before the window passes a
// key on to its focused control: Return and Enter without Shift, Ctrl or Alt
// go to the dialog first, as a dialog manager takes them before any control.
// (Passed on, a list box takes Return as a double click of its row and the
// dialog never hears of it.)
extern "C" int DialogEventFirst(void*, const void* event, BridgeDialog* dlg) {
    const auto* key = static_cast<const ToolkitKeyEvent*>(event);
    if (key == nullptr || key->type != kToolkitKeyPress || (key->state & kShiftControlAlt) != 0) return 0;
    if (key->keyval != kKeyReturn && key->keyval != kKeyPadEnter && key->keyval != kKeyIsoEnter) return 0;
    auto* d = dynamic_cast<CDialog*>(dlg->owner);
    return d != nullptr && d->TakeEnterKey() ? 1 : 0;
}

}  // namespace
#endif

BridgeDialog::BridgeDialog(CWnd* o, wxWindow* parent, const wxString& title, long style)
    : wxDialog(parent, wxID_ANY, title, wxDefaultPosition, wxDefaultSize, style) {
    owner = o;
#ifdef __WXGTK3__
    GTKConnectWidget("event", reinterpret_cast<wxGTKCallback>(DialogEventFirst));
#endif
}
BridgeDialog::~BridgeDialog() {
    if (owner) owner->ToolkitWindowGone();
}

namespace {

// A list box that remembers whether it expands tabs. Space only selects the
// row under the cursor, as a one-choice list does: the toolkit's list would
// take it as a double click (row activation).
class BridgeListBox : public wxListBox {
public:
    BridgeListBox(wxWindow* parent, int id, const wxPoint& pos, const wxSize& size, long style, bool tabs)
        : wxListBox(parent, id, pos, size, 0, nullptr, style), expandsTabs(tabs) {
        Bind(wxEVT_KEY_DOWN, [](wxKeyEvent& e) {
            const int key = e.GetKeyCode();
            e.Skip(!((key == WXK_SPACE || key == WXK_NUMPAD_SPACE) && e.GetModifiers() == wxMOD_NONE));
        });
    }
    bool expandsTabs;
};

}  // namespace

struct CDialog::DialogImpl {
    // An up-down's range and position, as the dialog keeps them.
    struct Spin {
        int lower = 0, upper = 100, pos = 0;
        int Clamp(int64_t v) const {
            return int(std::clamp<int64_t>(v, std::min(lower, upper), std::max(lower, upper)));
        }
    };
    const DialogResource* res = nullptr;
    std::map<int, wxWindow*> controls;
    std::map<int, int> buddyOf;  // spin id -> buddy id
    std::map<int, Spin> spins;
    std::map<int, std::unique_ptr<CControl>> wrappers;
    std::vector<CControl*> bound;
};

namespace {

// The toolkit's up-down (GTK's spin button) has a value of its own: it steps
// it before it reports the step, and never takes it past its range, where it
// greys the arrow. The dialog keeps the position; the toolkit's value only
// follows it, inside a range one wider at each end than the dialog's, so that
// either arrow can always be clicked and each click reaches the dialog as one
// step in its direction.
void ShowSpin(wxSpinButton* s, const CDialog::DialogImpl::Spin& st) {
    const int64_t lo = std::min(st.lower, st.upper), hi = std::max(st.lower, st.upper);
    s->SetRange(int(std::max<int64_t>(lo - 1, INT_MIN)), int(std::min<int64_t>(hi + 1, INT_MAX)));
    s->SetValue(st.pos);
}

}  // namespace

// ---------------------------------------------------------------- data exchange

void CDataExchange::PrepareCtrl(int id) {
    m_idLastControl = id;
    m_bEditLastControl = false;
}

void CDataExchange::PrepareEditCtrl(int id) {
    m_idLastControl = id;
    m_bEditLastControl = true;
}

void CDataExchange::Fail() {
    if (m_idLastControl && m_pDlgWnd) {
        if (CWnd* c = m_pDlgWnd->GetDlgItem(m_idLastControl)) {
            m_pDlgWnd->GotoDlgCtrl(c);
            if (m_bEditLastControl)
                if (auto* t = dynamic_cast<wxTextCtrl*>(ToolkitOf(c))) t->SelectAll();
        }
    }
    throw CUserException{};
}

namespace {

bool ParseInt(const std::string& text, int& out) {
    size_t i = 0, n = text.size();
    while (i < n && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    bool neg = false;
    if (i < n && (text[i] == '-' || text[i] == '+')) neg = text[i++] == '-';
    if (i >= n || !std::isdigit(static_cast<unsigned char>(text[i]))) return false;
    long long v = 0;
    while (i < n && std::isdigit(static_cast<unsigned char>(text[i]))) {
        v = v * 10 + (text[i++] - '0');
        if (v > 0x7FFFFFFFLL + 1) return false;
    }
    while (i < n && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    if (i != n) return false;
    if (neg) v = -v;
    if (v > 0x7FFFFFFFLL || v < -0x80000000LL) return false;
    out = int(v);
    return true;
}

}  // namespace

void DDX_Text(CDataExchange* dx, int id, int& value) {
    dx->PrepareEditCtrl(id);
    if (dx->m_bSaveAndValidate) {
        int v = 0;
        if (!ParseInt(dx->m_pDlgWnd->GetDlgItemText(id), v)) {
            AfxMessageBox("Please enter an integer.", MB_OK);
            dx->Fail();
        }
        value = v;
    } else {
        dx->m_pDlgWnd->SetDlgItemText(id, std::to_string(value));
    }
}

void DDX_Text(CDataExchange* dx, int id, std::string& value) {
    dx->PrepareEditCtrl(id);
    if (dx->m_bSaveAndValidate) value = dx->m_pDlgWnd->GetDlgItemText(id);
    else dx->m_pDlgWnd->SetDlgItemText(id, value);
}

void DDV_MinMaxInt(CDataExchange* dx, int value, int minVal, int maxVal) {
    if (!dx->m_bSaveAndValidate || (value >= minVal && value <= maxVal)) return;
    AfxMessageBox("Please enter an integer between " + std::to_string(minVal) + " and " + std::to_string(maxVal) + ".",
                  MB_OK);
    dx->Fail();
}

void DDV_MaxChars(CDataExchange* dx, const std::string& value, int maxChars) {
    if (!dx->m_bSaveAndValidate) {
        if (auto* t = dynamic_cast<wxTextCtrl*>(ToolkitOf(dx->m_pDlgWnd->GetDlgItem(dx->m_idLastControl))))
            t->SetMaxLength(unsigned(maxChars));
        return;
    }
    if (int(value.size()) <= maxChars) return;
    AfxMessageBox("Please enter no more than " + std::to_string(maxChars) + " characters.", MB_OK);
    dx->Fail();
}

void DDX_Check(CDataExchange* dx, int id, int& value) {
    dx->PrepareCtrl(id);
    if (dx->m_bSaveAndValidate) value = int(dx->m_pDlgWnd->IsDlgButtonChecked(id));
    else dx->m_pDlgWnd->CheckDlgButton(id, UINT(value));
}

void DDX_Radio(CDataExchange* dx, int id, int& value) {
    dx->PrepareCtrl(id);
    CDialog* dlg = dx->m_pDlgWnd;
    const DialogResource* res = FindDialogResource(dlg->GetTemplateId());
    if (!res) return;
    std::vector<int> group;
    bool in = false;
    for (const ControlResource& c : res->controls) {
        if (!in) {
            if (c.id == id && c.kind == ControlKind::Radio) {
                in = true;
                group.push_back(c.id);
            }
            continue;
        }
        if (c.kind != ControlKind::Radio || (c.style & CS_GROUP)) break;
        group.push_back(c.id);
    }
    if (dx->m_bSaveAndValidate) {
        value = -1;
        for (size_t i = 0; i < group.size(); ++i)
            if (dlg->IsDlgButtonChecked(group[i])) value = int(i);
    } else {
        for (size_t i = 0; i < group.size(); ++i) dlg->CheckDlgButton(group[i], int(i) == value ? 1 : 0);
    }
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
    if (auto* c = dynamic_cast<CControl*>(&control)) {
        if (!c->IsWindow()) c->BindControl(dx->m_pDlgWnd, id);
    }
}

// ---------------------------------------------------------------- controls

// The dialog owns the toolkit control; the wrapper only lets go of it.
CControl::~CControl() {
    if (impl_) impl_->window = nullptr;
}

void CControl::BindControl(CDialog* dlg, int id) {
    dialog_ = dlg;
    id_ = id;
    auto* di = dlg->GetDialogImpl();
    if (!di) return;
    auto it = di->controls.find(id);
    if (it == di->controls.end()) return;
    impl_->window = it->second;  // not owned: the dialog's window owns it
    di->bound.push_back(this);
}

void CSpinButtonCtrl::SetRange(int lower, int upper) {
    auto* s = dynamic_cast<wxSpinButton*>(ToolkitOf(this));
    if (!s || !dialog_ || !dialog_->GetDialogImpl()) return;
    auto& st = dialog_->GetDialogImpl()->spins[id_];
    st.lower = lower;
    st.upper = upper;
    st.pos = st.Clamp(st.pos);
    ShowSpin(s, st);
}

void CSpinButtonCtrl::GetRange(int& lower, int& upper) const {
    lower = upper = 0;
    if (!ToolkitOf(this) || !dialog_ || !dialog_->GetDialogImpl()) return;
    const auto& st = dialog_->GetDialogImpl()->spins[id_];
    lower = st.lower;
    upper = st.upper;
}

int CSpinButtonCtrl::SetPos(int pos) {
    auto* s = dynamic_cast<wxSpinButton*>(ToolkitOf(this));
    if (!s || !dialog_ || !dialog_->GetDialogImpl()) return 0;
    auto* di = dialog_->GetDialogImpl();
    auto& st = di->spins[id_];
    const int old = st.pos;
    st.pos = st.Clamp(pos);
    ShowSpin(s, st);
    if (auto b = di->buddyOf.find(id_); b != di->buddyOf.end()) dialog_->SetDlgItemText(b->second, std::to_string(st.pos));
    return old;
}

int CSpinButtonCtrl::GetPos() const {
    if (!ToolkitOf(this) || !dialog_ || !dialog_->GetDialogImpl()) return 0;
    return dialog_->GetDialogImpl()->spins[id_].pos;
}

void CEdit::SetSel(int start, int end) {
    if (auto* t = dynamic_cast<wxTextCtrl*>(ToolkitOf(this))) t->SetSelection(start, end);
}

void CEdit::LimitText(int chars) {
    if (auto* t = dynamic_cast<wxTextCtrl*>(ToolkitOf(this))) t->SetMaxLength(unsigned(chars));
}

int CButton::GetCheck() const {
    wxWindow* w = ToolkitOf(this);
    if (auto* r = dynamic_cast<wxRadioButton*>(w)) return r->GetValue() ? 1 : 0;
    if (auto* c = dynamic_cast<wxCheckBox*>(w)) return c->GetValue() ? 1 : 0;
    return 0;
}

void CButton::SetCheck(int check) {
    wxWindow* w = ToolkitOf(this);
    if (auto* r = dynamic_cast<wxRadioButton*>(w)) r->SetValue(check != 0);
    else if (auto* c = dynamic_cast<wxCheckBox*>(w)) c->SetValue(check != 0);
}

std::string ExpandTabs(const std::string& text, size_t stop) {
    std::string out;
    for (char ch : text) {
        if (ch != '\t') {
            out += ch;
            continue;
        }
        do out += ' ';
        while (out.size() % stop != 0);
    }
    return out;
}

int CComboBox::AddString(const std::string& text) {
    auto* c = dynamic_cast<wxChoice*>(ToolkitOf(this));
    return c ? c->Append(wxString::FromUTF8(text)) : -1;
}

int CComboBox::GetCount() const {
    auto* c = dynamic_cast<wxChoice*>(ToolkitOf(this));
    return c ? int(c->GetCount()) : 0;
}

int CComboBox::SetCurSel(int index) {
    auto* c = dynamic_cast<wxChoice*>(ToolkitOf(this));
    if (!c) return -1;
    if (index < 0 || index >= int(c->GetCount())) {
        c->SetSelection(wxNOT_FOUND);
        return -1;
    }
    c->SetSelection(index);
    return index;
}

int CComboBox::GetCurSel() const {
    auto* c = dynamic_cast<wxChoice*>(ToolkitOf(this));
    return c ? c->GetSelection() : -1;
}

std::string CComboBox::GetLBText(int index) const {
    auto* c = dynamic_cast<wxChoice*>(ToolkitOf(this));
    if (!c || index < 0 || index >= int(c->GetCount())) return {};
    return c->GetString(unsigned(index)).utf8_string();
}

int CComboBox::FindString(int startAfter, const std::string& prefix) const {
    auto* c = dynamic_cast<wxChoice*>(ToolkitOf(this));
    if (!c) return -1;
    const int count = int(c->GetCount());
    const auto lower = [](unsigned char ch) { return ch >= 'A' && ch <= 'Z' ? char(ch - 'A' + 'a') : char(ch); };
    const int first = startAfter >= 0 && startAfter < count ? startAfter + 1 : 0;
    for (int n = 0; n < count; ++n) {
        const int i = (first + n) % count;
        const std::string text = c->GetString(unsigned(i)).utf8_string();
        if (text.size() < prefix.size()) continue;
        bool same = true;
        for (size_t k = 0; k < prefix.size() && same; ++k) same = lower(text[k]) == lower(prefix[k]);
        if (same) return i;
    }
    return -1;
}

int CComboBox::SelectString(int startAfter, const std::string& prefix) {
    const int i = FindString(startAfter, prefix);
    if (i >= 0) SetCurSel(i);
    return i;
}

int CListBox::AddString(const std::string& text) {
    auto* l = dynamic_cast<BridgeListBox*>(ToolkitOf(this));
    if (!l) return -1;
    return l->Append(wxString::FromUTF8(l->expandsTabs ? ExpandTabs(text) : text));
}

int CListBox::GetCount() const {
    auto* l = dynamic_cast<wxListBox*>(ToolkitOf(this));
    return l ? int(l->GetCount()) : 0;
}

int CListBox::SetCurSel(int index) {
    auto* l = dynamic_cast<wxListBox*>(ToolkitOf(this));
    if (!l || index < 0 || index >= int(l->GetCount())) {
        if (l) l->SetSelection(wxNOT_FOUND);
        return -1;
    }
    l->SetSelection(index);
    return index;
}

int CListBox::GetCurSel() const {
    auto* l = dynamic_cast<wxListBox*>(ToolkitOf(this));
    return l ? l->GetSelection() : -1;
}

std::string CListBox::GetText(int index) const {
    auto* l = dynamic_cast<wxListBox*>(ToolkitOf(this));
    if (!l || index < 0 || index >= int(l->GetCount())) return std::string();
    return l->GetString(unsigned(index)).ToStdString(wxConvUTF8);
}

void CProgressCtrl::Show() {
    if (auto* g = dynamic_cast<wxGauge*>(ToolkitOf(this))) {
        const int range = upper_ > lower_ ? upper_ - lower_ : 1;
        if (g->GetRange() != range) g->SetRange(range);
        g->SetValue(std::clamp(pos_ - lower_, 0, range));
    }
}

void CProgressCtrl::SetRange32(int lower, int upper) {
    lower_ = lower;
    upper_ = upper;
    pos_ = std::clamp(pos_, lower_, std::max(lower_, upper_));
    Show();
}

void CProgressCtrl::GetRange(int& lower, int& upper) const {
    lower = lower_;
    upper = upper_;
}

int CProgressCtrl::SetPos(int pos) {
    const int old = pos_;
    pos_ = std::clamp(pos, lower_, std::max(lower_, upper_));
    Show();
    return old;
}

int CProgressCtrl::SetStep(int step) {
    const int old = step_;
    step_ = step;
    return old;
}

int CProgressCtrl::StepIt() {
    const int old = pos_;
    const int64_t next = int64_t{pos_} + step_;
    pos_ = next > upper_ ? lower_ + static_cast<int>(next - upper_) : static_cast<int>(next);
    if (pos_ > upper_ || pos_ < lower_) pos_ = lower_;
    Show();
    return old;
}

// ---------------------------------------------------------------- CDialog

CDialog::CDialog(UINT templateId, CWnd* parent) : templateId_(templateId) { parent_ = parent; }

CDialog::~CDialog() {
    if (IsWindow()) DestroyWindow();
}

bool CDialog::HasControl(int id) const { return dlgImpl_ && dlgImpl_->controls.count(id); }

bool CDialog::CreateWindowFromTemplate(CWnd* parent, bool modal) {
    const DialogResource* res = FindDialogResource(templateId_);
    if (!res || !GuiIsUp()) return false;
    // Without a parent the main window owns the dialog, modal or not: it
    // stays above the main window and goes with it.
    (void)modal;
    if (!parent) parent = AfxGetMainWnd();
    wxWindow* parentWx = ToolkitOf(parent);
    long style = 0;
    if (res->style & DS_CAPTION) style |= wxCAPTION;
    if (res->style & DS_SYSMENU) style |= wxSYSTEM_MENU | wxCLOSE_BOX;
    if (res->style & DS_TOOLWINDOW) style |= wxFRAME_TOOL_WINDOW | wxFRAME_NO_TASKBAR;
    if (!(res->style & DS_CAPTION)) style |= (res->style & (DS_BORDER | DS_MODALFRAME)) ? wxBORDER_SIMPLE : wxBORDER_NONE;
    auto* dlg = new BridgeDialog(this, parentWx, wxString::FromUTF8(res->caption), style);
    dlgImpl_ = std::make_unique<DialogImpl>();
    dlgImpl_->res = res;
    auto impl = std::make_unique<Impl>();
    impl->window = dlg;
    impl->ownerDraws = m_ownerDraws;
    BindCommonEvents(dlg, this, m_ownerDraws);
    // A picture window has no control to take the keys: it takes them itself.
    if (m_ownerDraws) dlg->SetCanFocus(true);
    // The controls inherit the font the dialog units are measured from, and
    // stay where the template puts them (the toolkit would stretch a lone
    // control over the whole client area).
    dlg->SetFont(DialogFont());
    dlg->SetAutoLayout(true);
    const wxSize templateClient(DialogUnitsToPixelsX(res->cx), DialogUnitsToPixelsY(res->cy));
    dlg->SetClientSize(templateClient);

    wxWindow* previous = nullptr;
    int previousId = 0;
    for (const ControlResource& c : res->controls) {
        wxPoint pos(DialogUnitsToPixelsX(c.x), DialogUnitsToPixelsY(c.y));
        wxSize size(DialogUnitsToPixelsX(c.cx), DialogUnitsToPixelsY(c.cy));
        wxString text = wxString::FromUTF8(c.text);
        // Framework ids above the toolkit's range (the Help button's) get one of
        // its own; the layer keeps the template's id.
        int wid = c.id > 0 && c.id < 32767 ? c.id : wxID_ANY;
        wxWindow* w = nullptr;
        bool placed = false;  // already where it goes
        switch (c.kind) {
            case ControlKind::Static:
                w = new wxStaticText(dlg, wid, text, pos, size,
                                     (c.style & CS_CENTER) ? (wxALIGN_CENTRE_HORIZONTAL | wxST_NO_AUTORESIZE) : 0);
                break;
            case ControlKind::GroupBox: w = new wxStaticBox(dlg, wid, text, pos, size); break;
            case ControlKind::Edit: {
                auto* t = new wxTextCtrl(dlg, wid, text, pos, size,
                                         (c.style & CS_MULTILINE) ? (wxTE_MULTILINE | wxTE_PROCESS_ENTER) : 0);
                // Typing reports EN_CHANGE; text set by the program does not.
                const int tid = c.id;
                t->Bind(wxEVT_TEXT, [this, tid](wxCommandEvent&) { SendControlCommand(tid, EN_CHANGE); });
                if (c.style & CS_UPPERCASE) t->ForceUpper();
                if (c.style & CS_NUMBER)
                    t->Bind(wxEVT_CHAR, [](wxKeyEvent& e) {
                        int k = e.GetKeyCode();
                        if (k < 32 || k == WXK_DELETE || k >= WXK_START || (k >= '0' && k <= '9')) e.Skip();
                        else wxBell();
                    });
                BindEditNotifications(this, t, c.id);
                w = t;
                break;
            }
            case ControlKind::Spin: {
                auto* s = new wxSpinButton(dlg, wid, pos, size,
                                           wxSP_VERTICAL | ((c.style & CS_ARROWKEYS) ? wxSP_ARROW_KEYS : 0));
                if ((c.style & CS_AUTOBUDDY) && previous) {
                    dlgImpl_->buddyOf[c.id] = previousId;
                    if (c.style & CS_ALIGNRIGHT) {
                        PlaceSpinOnBuddy(previous, s);
                        placed = true;
                    }
                }
                const int id = c.id;
                ShowSpin(s, dlgImpl_->spins[id]);
                // A step the toolkit took (a click, a key, the wheel) is the
                // dialog's step in that direction, which the dialog may change
                // or refuse; once the toolkit is done with it (wxEVT_SPIN comes
                // last) its value is put back to the dialog's position. Vetoing
                // the step instead makes the toolkit set its value back, which
                // it reports as a step the other way, and so on for ever.
                s->Bind(wxEVT_SPIN_UP, [this, id](wxSpinEvent&) { StepSpin(id, +1); });
                s->Bind(wxEVT_SPIN_DOWN, [this, id](wxSpinEvent&) { StepSpin(id, -1); });
                s->Bind(wxEVT_SPIN, [this, id, s](wxSpinEvent&) {
                    if (dlgImpl_ && IsWindow()) ShowSpin(s, dlgImpl_->spins[id]);
                });
                // With arrow keys the buddy's Up and Down step the up-down.
                if ((c.style & CS_ARROWKEYS) && dlgImpl_->buddyOf.count(id)) {
                    previous->Bind(wxEVT_KEY_DOWN, [this, id, s](wxKeyEvent& e) {
                        const int k = e.GetKeyCode();
                        const int step = k == WXK_UP || k == WXK_NUMPAD_UP ? 1 : k == WXK_DOWN || k == WXK_NUMPAD_DOWN ? -1 : 0;
                        if (step != 0 && s->IsEnabled() && !e.HasAnyModifiers()) StepSpin(id, step);
                        else e.Skip();
                    });
                }
                w = s;
                break;
            }
            case ControlKind::PushButton:
            case ControlKind::DefPushButton: {
                auto* b = new wxButton(dlg, wid, text, pos, size);
                if (c.kind == ControlKind::DefPushButton) b->SetDefault();
                const int id = c.id;
                b->Bind(wxEVT_BUTTON, [this, id](wxCommandEvent&) { ClickButton(id); });
                w = b;
                break;
            }
            case ControlKind::Radio: {
                auto* r = new wxRadioButton(dlg, wid, text, pos, size, (c.style & CS_GROUP) ? wxRB_GROUP : 0);
                const int id = c.id;
                r->Bind(wxEVT_RADIOBUTTON, [this, id](wxCommandEvent&) { OnCmdMsg(UINT(id), nullptr); });
                w = r;
                break;
            }
            case ControlKind::Progress: w = new wxGauge(dlg, wid, 100, pos, size, wxGA_HORIZONTAL); break;
            case ControlKind::ComboBox: {
                // The template's height is the open list's: closed, the box
                // takes the toolkit's own.
                auto* cb = new wxChoice(dlg, wid, pos, wxSize(size.x, wxDefaultCoord));
                for (const std::string& item : c.items) cb->Append(wxString::FromUTF8(item));
                const int id = c.id;
                cb->Bind(wxEVT_CHOICE, [this, id](wxCommandEvent&) { SendControlCommand(id, CBN_SELENDOK); });
                w = cb;
                break;
            }
            case ControlKind::ListBox: {
                const bool tabs = (c.style & CS_TABSTOPS) != 0;
                auto* l = new BridgeListBox(dlg, wid, pos, size, wxLB_SINGLE | ((c.style & CS_VSCROLL) ? wxLB_NEEDED_SB : 0),
                                            tabs);
                if (c.style & CS_NOTIFY) {
                    const int id = c.id;
                    l->Bind(wxEVT_LISTBOX, [this, id](wxCommandEvent&) { OnCmdMsg(UINT(id), nullptr); });
                    BindListBoxNotifications(this, l, id);
                }
                w = l;
                break;
            }
            case ControlKind::ListView:
            case ControlKind::Slider: w = CreateListOrSlider(this, dlg, c, pos, size); break;
            case ControlKind::CheckBox: {
                auto* b = new wxCheckBox(dlg, wid, text, pos, size);
                const int id = c.id;
                b->Bind(wxEVT_CHECKBOX, [this, id](wxCommandEvent&) { OnCmdMsg(UINT(id), nullptr); });
                w = b;
                break;
            }
        }
        if (w && !placed) w->SetSize(FitControlToToolkit(w, c, wxRect(pos, size)));
        if (w && (c.style & CS_HIDDEN)) w->Hide();
        if (w && (c.style & CS_DISABLED)) w->Disable();
        if (w && c.id > 0) dlgImpl_->controls[c.id] = w;
        previous = w;
        previousId = c.id;
    }

    dlg->SetClientSize(ClientSizeHoldingControls(dlg, templateClient));
    KeepControlsInClient(dlg);

    dlg->Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& e) {
        if (e.GetKeyCode() == WXK_ESCAPE) {
            PressEscape();
            return;
        }
        // Return and Enter come here only when the top-level window's first
        // look at them (DialogEventFirst) left them to the focused control.
        if ((e.GetKeyCode() == WXK_RETURN || e.GetKeyCode() == WXK_NUMPAD_ENTER) && !e.HasAnyModifiers() &&
            TakeEnterKey())
            return;
        e.Skip();
    });
    dlg->Bind(wxEVT_CLOSE_WINDOW, [this, dlg](wxCloseEvent& e) {
        if (dlg->owner) Dispatch(WM_CLOSE, 0, 0, [this] { OnClose(); });
        if (e.CanVeto()) e.Veto();
    });
    AttachImpl(std::move(impl), parent);
    if ((res->style & DS_OWNERORIGIN) && parentWx)
        dlg->Move(parentWx->ClientToScreen(wxPoint(DialogUnitsToPixelsX(res->x), DialogUnitsToPixelsY(res->y))));
    else if (parentWx) dlg->CentreOnParent();
    else dlg->Centre(wxBOTH);
    return true;
}

int CDialog::DoModal() {
    if (!CreateWindowFromTemplate(parent_, true)) return -1;
    // The dialog takes the mouse: a capture its owner holds (a panel press
    // that opened it) ends, as disabling the owner ends it.
    ReleaseCapture();
    modalRunning_ = true;
    ended_ = false;
    result_ = IDCANCEL;
    OnInitDialog();
    if (ModalDialogHandler handler = ModalHandler()) {
        handler(*this);
        if (!ended_) result_ = -1;
    } else if (!ended_) {
        static_cast<wxDialog*>(ToolkitOf(this))->ShowModal();
    }
    modalRunning_ = false;
    int result = result_;
    DestroyWindow();
    return result;
}

bool CDialog::Create(UINT templateId, CWnd* parent) {
    templateId_ = templateId;
    if (!CreateWindowFromTemplate(parent, false)) return false;
    ended_ = false;
    OnInitDialog();
    if (dlgImpl_ && dlgImpl_->res && (dlgImpl_->res->style & DS_VISIBLE) && IsWindow()) {
        ToolkitOf(this)->Show();
        ToolkitOf(this)->Update();
    }
    return true;
}

bool CDialog::OnInitDialog() {
    UpdateData(false);
    return true;
}

void CDialog::DoDataExchange(CDataExchange*) {}

bool CDialog::UpdateData(bool saveAndValidate) {
    CDataExchange dx(this, saveAndValidate);
    try {
        DoDataExchange(&dx);
    } catch (const CUserException&) {
        return false;
    }
    return true;
}

void CDialog::OnOK() {
    if (!UpdateData(true)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::EndDialog(int result) {
    result_ = result;
    ended_ = true;
    wxWindow* w = ToolkitOf(this);
    auto* d = dynamic_cast<wxDialog*>(w);
    if (!d) return;
    if (d->IsModal()) d->EndModal(result);
    else if (!modalRunning_) d->Hide();
}

void CDialog::ForgetControls() {
    if (!dlgImpl_) return;
    for (CControl* c : dlgImpl_->bound) c->GetImpl()->window = nullptr;
    dlgImpl_->bound.clear();
    for (auto& [id, w] : dlgImpl_->wrappers) w->GetImpl()->window = nullptr;
    dlgImpl_->controls.clear();
}

bool CDialog::DestroyWindow() {
    ForgetControls();
    return CWnd::DestroyWindow();
}

void CDialog::PostNcDestroy() { ForgetControls(); }

LRESULT CDialog::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        Dispatch(WM_COMMAND, WPARAM(IDCANCEL), 0, [this] { OnCancel(); });
        return 0;
    }
    return CWnd::DefWindowProc(message, wParam, lParam);
}

CWnd* CDialog::GetDlgItem(int id) const {
    if (!dlgImpl_) return nullptr;
    auto it = dlgImpl_->controls.find(id);
    if (it == dlgImpl_->controls.end() || !IsWindow()) return nullptr;
    auto& wrapper = dlgImpl_->wrappers[id];
    if (!wrapper) {
        wrapper = std::make_unique<CControl>();
        wrapper->GetImpl()->window = it->second;
    }
    return wrapper.get();
}

void CDialog::SetDlgItemText(int id, const std::string& text) {
    if (CWnd* c = GetDlgItem(id)) c->SetWindowText(text);
}

std::string CDialog::GetDlgItemText(int id) const {
    CWnd* c = GetDlgItem(id);
    return c ? c->GetWindowText() : std::string();
}

void CDialog::CheckDlgButton(int id, UINT check) {
    wxWindow* w = ToolkitOf(GetDlgItem(id));
    if (auto* r = dynamic_cast<wxRadioButton*>(w)) r->SetValue(check != 0);
    else if (auto* c = dynamic_cast<wxCheckBox*>(w)) c->SetValue(check != 0);
}

UINT CDialog::IsDlgButtonChecked(int id) const {
    wxWindow* w = ToolkitOf(GetDlgItem(id));
    if (auto* r = dynamic_cast<wxRadioButton*>(w)) return r->GetValue() ? 1 : 0;
    if (auto* c = dynamic_cast<wxCheckBox*>(w)) return c->GetValue() ? 1 : 0;
    return 0;
}

void CDialog::GotoDlgCtrl(CWnd* control) {
    if (wxWindow* w = ToolkitOf(control)) w->SetFocus();
}

void CDialog::ClickButton(int id) {
    if (!dlgImpl_ || !dlgImpl_->res) return;
    const ControlResource* ctl = nullptr;
    for (const ControlResource& c : dlgImpl_->res->controls)
        if (c.id == id) ctl = &c;
    if (!ctl) return;
    switch (ctl->kind) {
        case ControlKind::PushButton:
        case ControlKind::DefPushButton:
            if (id == IDOK) Dispatch(WM_COMMAND, WPARAM(id), 0, [this] { OnOK(); });
            else if (id == IDCANCEL) Dispatch(WM_COMMAND, WPARAM(id), 0, [this] { OnCancel(); });
            else OnCmdMsg(UINT(id), nullptr);
            break;
        case ControlKind::Radio:
            if (auto* r = dynamic_cast<wxRadioButton*>(ToolkitOf(GetDlgItem(id)))) r->SetValue(true);
            OnCmdMsg(UINT(id), nullptr);
            break;
        case ControlKind::CheckBox:
            CheckDlgButton(id, IsDlgButtonChecked(id) ? 0 : 1);
            OnCmdMsg(UINT(id), nullptr);
            break;
        default: break;
    }
}

void CDialog::PressEscape() {
    Dispatch(WM_COMMAND, WPARAM(IDCANCEL), 0, [this] { OnCancel(); });
}

void CDialog::PressEnter() {
    if (!dlgImpl_ || !dlgImpl_->res) return;
    for (const ControlResource& c : dlgImpl_->res->controls)
        if (c.kind == ControlKind::DefPushButton) {
            // A greyed default button takes no Enter.
            if (CWnd* b = GetDlgItem(c.id); b && b->IsWindowEnabled()) ClickButton(c.id);
            return;
        }
    Dispatch(WM_COMMAND, WPARAM(IDOK), 0, [this] { OnOK(); });
}

bool CDialog::TakeEnterKey() {
    if (!dlgImpl_ || !IsWindow()) return false;
    wxWindow* focus = wxWindow::FindFocus();
    // In a multi-line edit Enter starts a new line.
    if (auto* t = dynamic_cast<wxTextCtrl*>(focus); t && t->IsMultiLine()) return false;
    // A push button with the focus is the default one while it has it.
    if (dynamic_cast<wxButton*>(focus))
        for (const auto& [id, w] : dlgImpl_->controls)
            if (w == focus) {
                ClickButton(id);
                return true;
            }
    PressEnter();
    return true;
}

void CDialog::ChooseComboItem(int id, int index) {
    auto* c = dynamic_cast<wxChoice*>(ToolkitOf(GetDlgItem(id)));
    if (!c || index < 0 || index >= int(c->GetCount()) || !c->IsEnabled()) return;
    c->SetSelection(index);
    SendControlCommand(id, CBN_SELENDOK);
}

void CDialog::TypeText(int id, const std::string& text) {
    if (!dynamic_cast<wxTextCtrl*>(ToolkitOf(GetDlgItem(id)))) return;
    SetDlgItemText(id, text);
    SendControlCommand(id, EN_CHANGE);
}

void CDialog::OnControlEntry(UINT code, int id, std::function<void()> handler) {
    controlHandlers_[{code, id}] = std::move(handler);
}

void CDialog::SendControlCommand(int id, UINT code) {
    auto it = controlHandlers_.find({code, id});
    if (it == controlHandlers_.end() || !IsWindow()) return;
    it->second();
}

void CDialog::ChooseListRow(int id, int index) {
    auto* l = dynamic_cast<wxListBox*>(ToolkitOf(GetDlgItem(id)));
    if (!l || index < 0 || index >= int(l->GetCount())) return;
    l->SetSelection(index);
    const ControlResource* ctl = nullptr;
    if (dlgImpl_ && dlgImpl_->res)
        for (const ControlResource& c : dlgImpl_->res->controls)
            if (c.id == id) ctl = &c;
    if (ctl && (ctl->style & CS_NOTIFY)) OnCmdMsg(UINT(id), nullptr);
}

void CDialog::StepSpin(int id, int delta) {
    auto* s = dynamic_cast<wxSpinButton*>(ToolkitOf(GetDlgItem(id)));
    if (!s || !dlgImpl_) return;
    int pos = dlgImpl_->spins[id].pos;
    auto b = dlgImpl_->buddyOf.find(id);
    const bool buddy = b != dlgImpl_->buddyOf.end();
    const int buddyId = buddy ? b->second : 0;
    if (buddy) {
        int v = 0;
        if (ParseInt(GetDlgItemText(buddyId), v)) pos = v;
    }
    NMUPDOWN nm;
    nm.hdr.idFrom = id;
    nm.hdr.code = UDN_DELTAPOS;
    nm.iPos = pos;
    nm.iDelta = delta;
    if (SendNotify(&nm.hdr) != 0 || !IsWindow() || !dlgImpl_) return;
    auto& st = dlgImpl_->spins[id];
    st.pos = st.Clamp(int64_t{nm.iPos} + nm.iDelta);
    ShowSpin(s, st);
    if (buddy) {
        SetDlgItemText(buddyId, std::to_string(st.pos));
        SendControlCommand(buddyId, EN_CHANGE);
    }
}

void CDialog::MoveSlider(int id, int pos) {
    auto* s = dynamic_cast<wxSlider*>(ToolkitOf(GetDlgItem(id)));
    if (!s) return;
    s->SetValue(std::clamp(pos, s->GetMin(), s->GetMax()));
    SliderMoved(this, s, id);
}

void CDialog::FocusControl(int id) {
    CWnd* c = GetDlgItem(id);
    if (!c) return;
    GotoDlgCtrl(c);
    wxWindow* w = ToolkitOf(c);
    if (dynamic_cast<wxTextCtrl*>(w)) SendControlCommand(id, EN_SETFOCUS);
    else if (dynamic_cast<wxListBox*>(w)) SendControlCommand(id, LBN_SETFOCUS);
}

void CDialog::DoubleClickRow(int id, int row) {
    auto* l = dynamic_cast<wxListBox*>(ToolkitOf(GetDlgItem(id)));
    if (!l || row < 0 || row >= int(l->GetCount())) return;
    l->SetSelection(row);
    SendControlCommand(id, LBN_DBLCLK);
}

void CDialog::OnNotifyEntry(UINT code, int id, std::function<LRESULT(NMHDR*)> handler) {
    notifyHandlers_[{code, id}] = std::move(handler);
}

LRESULT CDialog::SendNotify(NMHDR* hdr) {
    auto it = notifyHandlers_.find({hdr->code, hdr->idFrom});
    if (it == notifyHandlers_.end() || !IsWindow()) return 0;
    return it->second(hdr);
}

void CDialog::OnHScroll(UINT, UINT, CWnd*) { Default(); }
void CDialog::OnVScroll(UINT, UINT, CWnd*) { Default(); }
