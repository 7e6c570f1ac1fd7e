// Private to platform/: where a dialog template's controls go on the screen.
// Dialog units become pixels through the base units of the font the dialogs
// draw with, measured as the templates' own system measures them (4
// horizontal units are one average character width, 8 vertical units one
// character height). Each control then gets at least what the toolkit needs
// to draw it whole: its text, a check box's indicator, a closed drop-down
// list's own height, a slider's track, an up-down beside a field that still
// shows three digits. The client area grows to hold every control.
#pragma once

#include <wx/wx.h>

#include "platform/resources.h"

class wxListCtrl;
class wxSpinButton;

// The dialog font's base units in pixels: the average width of its letters
// and its character height.
struct DialogBaseUnits {
    int cx;
    int cy;
};
// The font every dialog and its controls draw with.
wxFont DialogFont();
// Measured once from DialogFont() (the toolkit must be up).
DialogBaseUnits GetDialogBaseUnits();
// The base units of a font on the screen.
DialogBaseUnits MeasureDialogBaseUnits(const wxFont& font);

// The rectangle control w takes for its template: the template's place,
// grown to the toolkit's least size and the room its text needs.
wxRect FitControlToToolkit(wxWindow* w, const ControlResource& c, const wxRect& templateRect);

// An up-down on the right edge of its buddy field: the up-down at the
// toolkit's least size, the field narrowed by it but keeping room for three
// digits (the pair then reaches further right than the template's field).
void PlaceSpinOnBuddy(wxWindow* field, wxSpinButton* spin);

// The least width of a list view's column: its whole heading.
int ColumnWidthForHeading(wxListCtrl* list, const wxString& heading);

// The client size that holds the template's client area and every control
// of the dialog, with a margin beyond the rightmost and lowest one.
wxSize ClientSizeHoldingControls(wxWindow* dialog, const wxSize& templateClient);

// A dialog window the program sizes smaller than its controls need keeps
// what they need, except that list boxes and list views (their rows scroll)
// are cut back, keeping their margins to the new right and bottom edges.
void KeepControlsInClient(wxWindow* dialog);
