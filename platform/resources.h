// The program's resources as the window layer reads them: bitmaps, menus,
// accelerator tables, the string table and dialog templates, each found by its
// number. The layer declares the records and the look-ups; the res/ folder
// defines the program's own resources.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/afx.h"

// A bitmap resource: its stored size and colour depth, and its picture as
// 0x00RRGGBB pixels, row-major, top row first.
struct BitmapResource {
    UINT id;
    int width;
    int height;
    int bitsPerPixel;
    std::vector<uint32_t> (*render)();
};

// A menu: top-level popups, each with its items. Id 0 with empty text is a
// separator line.
struct MenuItemResource {
    UINT id;
    std::string text;  // '&' marks the mnemonic, '\t' separates the shortcut text
};
struct MenuPopupResource {
    std::string text;
    std::vector<MenuItemResource> items;
};
struct MenuResource {
    UINT id;
    std::vector<MenuPopupResource> popups;
};

// Accelerators: a virtual-key code with modifiers, giving a command.
inline constexpr unsigned FVIRTKEY = 0x01;
inline constexpr unsigned FNOINVERT = 0x02;
inline constexpr unsigned FSHIFT = 0x04;
inline constexpr unsigned FCONTROL = 0x08;
inline constexpr unsigned FALT = 0x10;
struct AccelResource {
    unsigned flags;
    UINT key;
    UINT command;
};
struct AccelTableResource {
    UINT id;
    std::vector<AccelResource> entries;
};

// Dialog templates, in dialog units.
enum class ControlKind {
    Static, GroupBox, Edit, Spin, PushButton, DefPushButton, Radio, CheckBox, Progress, ListBox,
    ListView, Slider,  // platform/controls.h
    ComboBox,
};
inline constexpr unsigned CS_GROUP = 0x0001;       // first control of a radio group
inline constexpr unsigned CS_NUMBER = 0x0002;      // edit: digits only
inline constexpr unsigned CS_CENTER = 0x0004;      // static: centred text
inline constexpr unsigned CS_AUTOBUDDY = 0x0008;   // spin: takes the control before it as buddy
inline constexpr unsigned CS_SETBUDDYINT = 0x0010; // spin: writes its position into the buddy
inline constexpr unsigned CS_ALIGNRIGHT = 0x0020;  // spin: sits on the buddy's right edge
inline constexpr unsigned CS_ARROWKEYS = 0x0040;   // spin: the arrow keys step it
inline constexpr unsigned CS_NOTHOUSANDS = 0x0080; // spin: no thousands separator
inline constexpr unsigned CS_HIDDEN = 0x0100;
inline constexpr unsigned CS_NOTIFY = 0x0200;      // list box: a selection change reaches the dialog
inline constexpr unsigned CS_TABSTOPS = 0x0400;    // list box: tabs expanded to the default tab stops
inline constexpr unsigned CS_VSCROLL = 0x0800;     // list box: vertical scroll bar
inline constexpr unsigned CS_MULTILINE = 0x10000;  // edit: several lines, Enter starts a new one
inline constexpr unsigned CS_UPPERCASE = 0x20000;  // edit: typed letters become capitals
inline constexpr unsigned CS_DISABLED = 0x1000;    // starts disabled
inline constexpr unsigned CS_SINGLESEL = 0x2000;   // list view: one row at most selected
inline constexpr unsigned CS_VERTICAL = 0x4000;    // slider: vertical
inline constexpr unsigned CS_AUTOTICKS = 0x8000;   // slider: tick marks at its tick frequency

struct ControlResource {
    ControlKind kind;
    int id;
    std::string text;
    int x, y, cx, cy;
    unsigned style = 0;
    std::vector<std::string> items = {};  // a combo box's list, in order
};

inline constexpr unsigned DS_VISIBLE = 0x0001;     // shown at creation
inline constexpr unsigned DS_CAPTION = 0x0002;     // has a title bar
inline constexpr unsigned DS_SYSMENU = 0x0004;     // has the close box
inline constexpr unsigned DS_TOOLWINDOW = 0x0008;  // no task bar entry
inline constexpr unsigned DS_MODALFRAME = 0x0010;
inline constexpr unsigned DS_BORDER = 0x0020;
// Placed at its owner's client origin plus the template's x and y, not centred
// over the owner (where the system puts a popup dialog without centring).
inline constexpr unsigned DS_OWNERORIGIN = 0x0040;

struct DialogResource {
    UINT id;
    std::string caption;
    int x, y, cx, cy;
    unsigned style;
    std::vector<ControlResource> controls;
};

const BitmapResource* FindBitmapResource(UINT id);
const MenuResource* FindMenuResource(UINT id);
const AccelTableResource* FindAccelResource(UINT id);
const DialogResource* FindDialogResource(UINT id);
// A string of the string table; empty when the number has none.
std::string LoadResString(UINT id);
// A raw data resource; null with *size 0 when there is none.
const uint8_t* FindRawResource(UINT id, size_t* size);

// Dialog units to pixels: 4 horizontal units are one average character width,
// 8 vertical units one character height, of the font the dialogs draw with
// (measured when first asked, once the toolkit is up).
int DialogUnitsToPixelsX(int dlu);
int DialogUnitsToPixelsY(int dlu);
