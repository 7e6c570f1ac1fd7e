// The list view and slider controls of dialog templates, and the notifications
// controls send their dialog: WM_NOTIFY records (a list view's item change, a
// spin's step before it shows), the scroll messages of sliders and the
// control commands (an edit's focus, a list box's focus and double click; an
// edit's text change is platform/dialog.h's). Each control is bound by
// DDX_Control like the others of platform/dialog.h.
#pragma once

#include <string>

#include "platform/dialog.h"

// Notification codes.
inline constexpr UINT LVN_ITEMCHANGED = 0u - 101u;
inline constexpr UINT UDN_DELTAPOS = 0u - 722u;
inline constexpr UINT EN_SETFOCUS = 0x0100;
inline constexpr UINT LBN_DBLCLK = 2;
inline constexpr UINT LBN_SETFOCUS = 4;

// Scroll codes of WM_HSCROLL and WM_VSCROLL.
inline constexpr UINT SB_THUMBPOSITION = 4;
inline constexpr UINT SB_THUMBTRACK = 5;
inline constexpr UINT SB_ENDSCROLL = 8;

struct NMHDR {
    int idFrom = 0;
    UINT code = 0;
};
struct NMUPDOWN {
    NMHDR hdr;
    int iPos = 0;    // the position before the step
    int iDelta = 0;  // the step; a handler may change both
};
inline constexpr UINT LVIS_SELECTED = 0x0002;
struct NMLISTVIEW {
    NMHDR hdr;
    int iItem = -1;
    UINT uNewState = 0;
    UINT uOldState = 0;
};

// Column alignment of a list view.
inline constexpr int LVCFMT_LEFT = 0;
inline constexpr int LVCFMT_RIGHT = 1;
inline constexpr int LVCFMT_CENTER = 2;
inline constexpr int LVNI_SELECTED = 0x0002;

// A list view in report style. Changing an item's selection, by the user or
// by SetItemState, sends LVN_ITEMCHANGED to the dialog; deleting items does
// not.
class CListCtrl : public CControl {
public:
    int InsertColumn(int col, const std::string& heading, int format, int width);
    int InsertItem(int row, const std::string& text);  // the row, -1 on failure
    bool SetItemText(int row, int col, const std::string& text);
    std::string GetItemText(int row, int col) const;
    bool DeleteItem(int row);
    bool DeleteAllItems();
    int GetItemCount() const;
    // The next row after start (-1: from the first) with the flags' state.
    int GetNextItem(int start, int flags) const;
    int GetSelectedCount() const;
    bool SetItemState(int row, UINT state, UINT mask);
    UINT GetItemState(int row, UINT mask) const;
    // Scrolls the rows by dy pixels (down for positive).
    bool Scroll(int dy);
    int GetTopIndex() const;
};

// A track bar, horizontal or vertical (the lowest value at the left or the
// top). Moving it sends WM_HSCROLL or WM_VSCROLL to the dialog; SetPos does
// not.
class CSliderCtrl : public CControl {
public:
    void SetRange(int lower, int upper, bool redraw = false);
    int GetRangeMin() const;
    int GetRangeMax() const;
    void SetPos(int pos);
    int GetPos() const;
    void SetTicFreq(int freq);
};
