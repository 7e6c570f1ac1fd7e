// The sound name dialog ("Enter name"): one upper-case edit field of at most 28
// characters and no buttons (Enter accepts, Esc cancels), standing next to the
// panel's PROGRAM header, 372 pixels right and 132 down of the main window's
// client origin.
//
// EditSoundName is the whole action of a press on the PROGRAM header: it runs
// the dialog on the current name and keeps the leading run of characters a
// sound name may hold. A name the dialog gives back unchanged (Esc, or Enter on
// the untouched field) is kept as it was, also when it holds other characters
// (a name read from a file); either way the sound counts as edited and the
// document as modified.
#pragma once

#include <string>

#include "platform/dialog.h"

class CDocument;

class CSoundNameDlg : public CDialog {
public:
    explicit CSoundNameDlg(CWnd* parent = nullptr);
    void DoDataExchange(CDataExchange* dx) override;
    bool OnInitDialog() override;

    std::string m_name;
};

inline constexpr int kSoundNameMaxChars = 28;
inline constexpr int kSoundNameDlgX = 372;  // from the main window's client origin
inline constexpr int kSoundNameDlgY = 132;
inline constexpr int kSoundNameDlgWidth = 217;
inline constexpr int kSoundNameDlgHeight = 60;

// The leading part of name made only of "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 ".
std::string SoundNameAllowedPrefix(const std::string& name);

// Runs the dialog on g_curSoundName and stores the result there; makes the
// panel redraw the sound number and name at its next update, sets
// g_soundEdited and marks doc (may be null) with the "Save changes" setting.
void EditSoundName(CDocument* doc);
