// Dialogs built from the program's dialog templates, with data exchange and
// validation (DDX/DDV), the control classes the dialogs bind, and the modal
// run: a real modal loop, or a test's script that acts on the dialog's real
// controls without ever blocking.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "platform/afx.h"
#include "platform/wnd.h"

class CDialog;
struct NMHDR;

// Thrown by CDataExchange::Fail and caught by UpdateData.
struct CUserException {};

// Control commands of edits.
inline constexpr UINT EN_CHANGE = 0x0300;
// ... and of combo boxes.
inline constexpr UINT CBN_SELENDOK = 9;

class CDataExchange {
public:
    CDataExchange(CDialog* dlg, bool saveAndValidate) : m_pDlgWnd(dlg), m_bSaveAndValidate(saveAndValidate) {}
    CDialog* m_pDlgWnd;
    bool m_bSaveAndValidate;
    int m_idLastControl = 0;
    bool m_bEditLastControl = false;
    void PrepareCtrl(int id);
    void PrepareEditCtrl(int id);
    // Puts the focus back on the last control (selecting an edit's text) and
    // abandons the exchange.
    [[noreturn]] void Fail();
};

void DDX_Text(CDataExchange* dx, int id, int& value);
void DDX_Text(CDataExchange* dx, int id, std::string& value);
void DDV_MinMaxInt(CDataExchange* dx, int value, int minVal, int maxVal);
void DDV_MaxChars(CDataExchange* dx, const std::string& value, int maxChars);
void DDX_Check(CDataExchange* dx, int id, int& value);
// The radio group starting at control id: value is the index of the checked
// button (-1 none).
void DDX_Radio(CDataExchange* dx, int id, int& value);
void DDX_Control(CDataExchange* dx, int id, CWnd& control);

// A control of a dialog, bound by DDX_Control or found by GetDlgItem.
class CControl : public CWnd {
public:
    ~CControl() override;
    int GetDlgCtrlID() const { return id_; }
    void BindControl(CDialog* dlg, int id);

protected:
    CDialog* dialog_ = nullptr;
    int id_ = 0;
};

// An up-down. Its range and position are the dialog's: SetPos brings the
// position into the range and writes it into a buddy; a step by the user goes
// through CDialog::StepSpin.
class CSpinButtonCtrl : public CControl {
public:
    void SetRange(int lower, int upper);
    void GetRange(int& lower, int& upper) const;
    int SetPos(int pos);
    int GetPos() const;
};

class CEdit : public CControl {
public:
    void SetSel(int start, int end);
    void LimitText(int chars);
};

class CButton : public CControl {
public:
    int GetCheck() const;
    void SetCheck(int check);
};

// A progress bar. Its range is 32-bit; StepIt past the upper end starts again
// at the lower one.
class CProgressCtrl : public CControl {
public:
    void SetRange32(int lower, int upper);
    void GetRange(int& lower, int& upper) const;
    int SetPos(int pos);  // the previous position
    int GetPos() const { return pos_; }
    int SetStep(int step);  // the previous step
    int StepIt();           // the previous position

private:
    void Show();
    int lower_ = 0;
    int upper_ = 100;
    int step_ = 10;
    int pos_ = 0;
};

// A single-selection list box. Its selection change reaches the dialog's
// command table under the list's id (the selection-change notification) when
// the template gives it CS_NOTIFY; a change made by the program sends none.
// With CS_TABSTOPS a tab in a row moves the text on to the next default tab
// stop (every 8 characters): the row is shown with the tabs expanded to
// blanks, in the dialog's font.
class CListBox : public CControl {
public:
    int AddString(const std::string& text);  // the new row's index
    int GetCount() const;
    int SetCurSel(int index);  // -1 when the index is out of range
    int GetCurSel() const;     // -1 when no row is selected
    std::string GetText(int index) const;  // the row as shown
};

// A drop-down list (no edit field). A choice the user confirms reaches the
// dialog as CBN_SELENDOK; a selection set by the program reports nothing.
class CComboBox : public CControl {
public:
    int AddString(const std::string& text);  // the new item's index
    int GetCount() const;
    int SetCurSel(int index);  // -1 (nothing selected) when the index is out of range
    int GetCurSel() const;     // -1 when nothing is selected
    std::string GetLBText(int index) const;
    // The first item after startAfter (-1: from the first), going round to
    // the beginning, whose text begins with `prefix`, ignoring case; -1 when
    // none does. SelectString also selects it, and leaves the selection as it
    // is when none does.
    int FindString(int startAfter, const std::string& prefix) const;
    int SelectString(int startAfter, const std::string& prefix);
};

// A row's text with its tabs expanded to stops every `stop` characters.
std::string ExpandTabs(const std::string& text, size_t stop = 8);

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    ~CDialog() override;

    // Runs the dialog modally; returns the value passed to EndDialog
    // (IDOK, IDCANCEL, ...) or -1 when the window could not be created.
    virtual int DoModal();
    // Creates the dialog as a modeless window from its template.
    bool Create(UINT templateId, CWnd* parent = nullptr);

    virtual bool OnInitDialog();
    virtual void DoDataExchange(CDataExchange* dx);
    bool UpdateData(bool saveAndValidate = true);
    virtual void OnOK();
    virtual void OnCancel();
    void EndDialog(int result);
    bool DestroyWindow() override;
    // A close request (the close box, WM_CLOSE) is a Cancel, as the dialog
    // manager makes it; every other message as any window's.
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    UINT GetTemplateId() const { return templateId_; }
    bool IsModalRunning() const { return modalRunning_; }
    bool HasEnded() const { return ended_; }
    int GetResult() const { return result_; }

    // Controls by id.
    CWnd* GetDlgItem(int id) const override;
    void SetDlgItemText(int id, const std::string& text);
    std::string GetDlgItemText(int id) const;
    void CheckDlgButton(int id, UINT check);
    UINT IsDlgButtonChecked(int id) const;
    void GotoDlgCtrl(CWnd* control);
    bool HasControl(int id) const;

    // What a user does, as the toolkit reports it: a button pressed (OK and
    // Cancel ids reach OnOK and OnCancel, others the command table), a radio
    // button or check box clicked, the Escape and Enter keys, the close box.
    void ClickButton(int id);
    void PressEscape();
    // Enter: the default push button (none while it is greyed), or OK when the
    // template has none.
    void PressEnter();
    // A spin button stepped by delta: UDN_DELTAPOS first (a handler may change
    // the step, or refuse it by returning non-zero), then the new position,
    // written into its buddy, which reports EN_CHANGE.
    void StepSpin(int id, int delta);
    // A list box row chosen (by click or the arrow keys): selected, and the
    // selection change sent when the list notifies.
    void ChooseListRow(int id, int index);
    // An edit's text typed by the user (EN_CHANGE follows). Text set by the
    // program reports nothing.
    void TypeText(int id, const std::string& text);
    // A combo box's item chosen in its list (CBN_SELENDOK follows).
    void ChooseComboItem(int id, int index);
    // Control commands (EN_CHANGE and the like) to their handler.
    void SendControlCommand(int id, UINT code);
    // A slider moved to pos (WM_HSCROLL or WM_VSCROLL follows); the focus moved
    // to a control (its focus notification follows); a list box row
    // double-clicked (it becomes the selection, LBN_DBLCLK follows). Controls:
    // platform/controls.h.
    void MoveSlider(int id, int pos);
    void FocusControl(int id);
    void DoubleClickRow(int id, int row);
    // WM_NOTIFY records to the handler of their code and control (0 without
    // one); slider moves to OnHScroll and OnVScroll.
    LRESULT SendNotify(NMHDR* hdr);
    virtual void OnHScroll(UINT code, UINT pos, CWnd* bar);
    virtual void OnVScroll(UINT code, UINT pos, CWnd* bar);

    // Layer plumbing.
    struct DialogImpl;
    DialogImpl* GetDialogImpl() const { return dlgImpl_.get(); }
    // The Return or Enter key, seen before the focused control: false when
    // that control takes it itself (a multi-line edit); else a focused push
    // button is clicked, or PressEnter.
    bool TakeEnterKey();
    void PostNcDestroy() override;

protected:
    // The message map's ON_NOTIFY entries.
    void OnNotifyEntry(UINT code, int id, std::function<LRESULT(NMHDR*)> handler);

    UINT templateId_;
    std::unique_ptr<DialogImpl> dlgImpl_;
    bool m_ownerDraws = false;  // the dialog paints itself (a picture window)
    bool modalRunning_ = false;
    bool ended_ = false;
    int result_ = IDCANCEL;

    // The message map's control-command entries (ON_EN_CHANGE and the like).
    void OnControlEntry(UINT code, int id, std::function<void()> handler);

private:
    std::map<std::pair<UINT, int>, std::function<LRESULT(NMHDR*)>> notifyHandlers_;
    std::map<std::pair<UINT, int>, std::function<void()>> controlHandlers_;
    void ForgetControls();
    bool CreateWindowFromTemplate(CWnd* parent, bool modal);
};

// The modal run for tests: when a handler is set, DoModal creates the dialog
// window (not shown), runs OnInitDialog, hands the dialog to the handler and
// returns the dialog's result; a handler that leaves the dialog open makes
// DoModal return -1. An empty handler restores the real modal loop.
using ModalDialogHandler = std::function<void(CDialog& dlg)>;
void SetModalDialogHandler(ModalDialogHandler handler);
bool HasModalDialogHandler();
