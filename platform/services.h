// System services the application uses beside its windows: file dialogs, the
// help opener, the wait cursor, the windowed message boxes, the process priority, the timer
// resolution and the system language. Each has a replaceable back-end so that
// tests never block on a user.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/afx.h"

class CWnd;

// File dialogs. Flags: only the ones the program uses.
inline constexpr DWORD OFN_HIDEREADONLY = 0x00000004;
inline constexpr DWORD OFN_OVERWRITEPROMPT = 0x00000002;
inline constexpr DWORD OFN_FILEMUSTEXIST = 0x00001000;
inline constexpr DWORD OFN_PATHMUSTEXIST = 0x00000800;
inline constexpr DWORD OFN_ALLOWMULTISELECT = 0x00000200;

class CFileDialog {
public:
    // filter: "Name (*.ext)|*.ext|All Files (*.*)|*.*||"
    CFileDialog(bool openFileDialog, const std::string& defaultExt = "", const std::string& fileName = "",
                DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, const std::string& filter = "",
                CWnd* parent = nullptr);
    int DoModal();  // IDOK or IDCANCEL
    std::string GetPathName() const { return path_; }
    std::string GetFileName() const;
    std::string GetFileExt() const;
    // Every path chosen, in order (one unless OFN_ALLOWMULTISELECT).
    const std::vector<std::string>& GetPathNames() const { return paths_; }

    bool m_bOpenFileDialog;
    std::string m_defaultExt;
    std::string m_fileName;
    DWORD m_flags;
    std::string m_filter;
    std::string m_title;
    std::string m_initialDir;

private:
    std::string path_;
    std::vector<std::string> paths_;
};

// A file dialog's back-end: returns the chosen path, or empty for Cancel; for
// a multiple selection the paths one per line.
using FileDialogHandler = std::function<std::string(const CFileDialog& dlg)>;
void SetFileDialogHandler(FileDialogHandler handler);  // empty: the toolkit's dialog

// Help: the opener receives the help file, the command (HELP_CONTEXT,
// HELP_CONTENTS, HELP_QUIT) and its data. By default it does nothing.
using HelpOpener = std::function<void(const std::string& file, UINT command, uintptr_t data)>;
void SetHelpOpener(HelpOpener opener);
bool WinHelp(CWnd* owner, const std::string& file, UINT command, uintptr_t data);
// The program's help viewer (platform/help.cpp) as the opener: the HTML book
// at file, HELP_CONTEXT showing the page of a context number, HELP_CONTENTS
// the first page, HELP_QUIT closing the viewer. A book that cannot be read
// gives one message naming it.
void UseHtmlHelp();
// The page (its file name in the book) of a context number, 0 for the first
// page; empty when the book cannot be read or has no such context.
std::string HelpBookPage(const std::string& book, int context);
// The page the viewer shows; empty while it is closed.
std::string HelpViewerPage();
// The text of that page as the viewer laid it out (markup read, not shown);
// empty while it is closed.
std::string HelpViewerText();

// Web pages: the opener receives the address. By default the desktop's
// browser, the address passed as one argument, never through a shell; a
// failure shows nothing.
using UrlOpener = std::function<void(const std::string& url)>;
void SetUrlOpener(UrlOpener opener);  // empty: the desktop's browser
void OpenUrl(const std::string& url);

// The wait cursor over the program's windows while a long operation runs; the
// calls nest, each Begin ended by one End. Nothing shows before the toolkit is
// up.
void BeginWaitCursor();
void EndWaitCursor();

// Paints what waits to be painted, dispatching no input and no timers: a long
// operation on the GUI thread keeps its progress visible with it.
void PaintPendingWindows();

// A simple beep (MessageBeep with 0xFFFFFFFF, the only kind the program
// uses). A handler set for tests receives the type instead of a sound.
bool MessageBeep(UINT type);
using BeepHandler = std::function<void(UINT type)>;
void SetBeepHandler(BeepHandler handler);  // empty: the toolkit's bell

// Message boxes in windows of the toolkit (captioned with the application's
// title); installed by the program's start.
void UseWindowedMessageBoxes();

// Process priority: High raises it, Normal puts it back. Returns false only
// when the attempt failed for a reason other than missing privileges; a
// refusal for lack of privileges leaves the priority as it is and counts as
// done.
enum class PriorityClass { Normal, High };
bool SetPriorityClass(PriorityClass cls);

// The multimedia timer resolution: nothing to do here; 0 means success.
inline constexpr UINT TIMERR_NOERROR = 0;
inline constexpr UINT TIMERR_NOCANDO = 97;
UINT timeBeginPeriod(UINT ms);
UINT timeEndPeriod(UINT ms);
// (The millisecond clock, timeGetTime, is shared/clock.h's.)

// The system's default language as a primary language id (0x07 German,
// 0x09 English, 0x0C French, ...), from the locale environment.
WORD GetSystemDefaultLangID();
WORD LangIdFromLocaleName(const std::string& locale);

// The running program's own path.
std::string GetModuleFileName();
