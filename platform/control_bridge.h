// Private to platform/: the toolkit side of the list, slider and edit
// notifications of platform/controls.h.
#pragma once

#include <wx/wx.h>

#include "platform/dialog.h"
#include "platform/resources.h"

// The toolkit control of a list view or slider of a template, its
// notifications bound to dlg.
wxWindow* CreateListOrSlider(CDialog* dlg, wxWindow* parent, const ControlResource& c, const wxPoint& pos,
                             const wxSize& size);
// A notifying list box's double click and focus reported to dlg.
void BindListBoxNotifications(CDialog* dlg, wxListBox* list, int id);
// An edit's focus reported to dlg.
void BindEditNotifications(CDialog* dlg, wxTextCtrl* edit, int id);
// The scroll message of a moved slider.
void SliderMoved(CDialog* dlg, wxSlider* slider, int id);
