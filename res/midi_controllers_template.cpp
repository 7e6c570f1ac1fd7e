// Template 241, the MIDI controllers dialog: three columns of twelve rows
// (label, controller number, up-down) in the custom set's group box, the
// usage radios below, "Close" and "Help". A row is 17 units high and a
// controller field 60 units wide: room for the toolkit's up-down beside a
// field that shows three digits; the label column holds its heading.
#include "platform/resources.h"
#include "res/resource_ids.h"
#include "res/templates.h"

DialogResource MidiControllersTemplate() {
    using K = ControlKind;
    DialogResource d{IDD_MIDI_CONTROLLERS, "MorvelCanopy I MIDI controllers", 0, 0, 488, 298,
                     DS_CAPTION | DS_SYSMENU | DS_MODALFRAME, {}};
    auto& c = d.controls;
    c.push_back({K::GroupBox, IDC_MIDI_CTL_GROUP, "Custom MIDI controller set", 7, 7, 474, 232});
    for (int col = 0; col < 3; ++col) {
        const int x = 14 + col * 156;
        c.push_back({K::Static, IDC_MIDI_CTL_HEADING + 2 * col, "Knob of Morvel Canopy", x, 20, 84, 8});
        c.push_back({K::Static, IDC_MIDI_CTL_HEADING + 2 * col + 1, "controller", x + 88, 20, 40, 8});
        for (int r = 0; r < 12; ++r) {
            const int row = col * 12 + r, y = 32 + r * 17;
            c.push_back({K::Static, IDC_MIDI_CTL_LABEL + row, "", x, y + 3, 84, 8});
            c.push_back({K::Edit, IDC_MIDI_CTL_EDIT + row, "", x + 88, y, 60, 12, CS_NUMBER});
            c.push_back({K::Spin, IDC_MIDI_CTL_SPIN + row, "", x + 148, y, 10, 12,
                         CS_AUTOBUDDY | CS_ALIGNRIGHT | CS_ARROWKEYS | CS_SETBUDDYINT | CS_NOTHOUSANDS});
        }
    }
    c.push_back({K::GroupBox, IDC_STATIC, "Contollers usage", 7, 244, 262, 46});
    c.push_back({K::Radio, IDC_MIDI_CTL_FACTORY, "Use factory defaults for all knobs (recommended)", 14, 256, 248, 10,
                 CS_GROUP});
    c.push_back({K::Radio, IDC_MIDI_CTL_CUSTOM, "Use custom controller set", 14, 272, 248, 10});
    c.push_back({K::DefPushButton, IDOK, "Close", 415, 250, 66, 14, CS_GROUP});
    c.push_back({K::PushButton, IDC_MIDI_CTL_HELP, "Help", 415, 272, 66, 14});
    return d;
}
