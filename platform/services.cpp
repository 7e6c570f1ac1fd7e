#include "platform/services.h"

#include <sys/resource.h>
#include <unistd.h>

#include <wx/evtloop.h>
#include <wx/filedlg.h>
#include <wx/msgdlg.h>
#include <wx/utils.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>

#include "platform/framework.h"
#include "platform/wx_bridge.h"

// ---------------------------------------------------------------- file dialogs

namespace {

FileDialogHandler& FileHandler() {
    static FileDialogHandler handler;
    return handler;
}

HelpOpener& Opener() {
    static HelpOpener opener;
    return opener;
}

// "A|*.a|B|*.*||" -> "A|*.a|B|*.*"
wxString Wildcard(const std::string& filter) {
    std::string f = filter;
    while (!f.empty() && f.back() == '|') f.pop_back();
    return f.empty() ? wxString("*") : wxString::FromUTF8(f);
}

}  // namespace

CFileDialog::CFileDialog(bool openFileDialog, const std::string& defaultExt, const std::string& fileName, DWORD flags,
                         const std::string& filter, CWnd*)
    : m_bOpenFileDialog(openFileDialog), m_defaultExt(defaultExt), m_fileName(fileName), m_flags(flags), m_filter(filter) {}

void SetFileDialogHandler(FileDialogHandler handler) { FileHandler() = std::move(handler); }

int CFileDialog::DoModal() {
    std::vector<std::string> chosen;
    const bool multiple = m_bOpenFileDialog && (m_flags & OFN_ALLOWMULTISELECT);
    if (FileHandler()) {
        const std::string answer = FileHandler()(*this);
        size_t start = 0;
        while (start < answer.size()) {
            size_t end = multiple ? answer.find('\n', start) : std::string::npos;
            if (end == std::string::npos) end = answer.size();
            if (end > start) chosen.push_back(answer.substr(start, end - start));
            start = end + 1;
        }
    } else {
        if (!GuiIsUp()) return IDCANCEL;
        long style = m_bOpenFileDialog ? wxFD_OPEN : wxFD_SAVE;
        if (m_bOpenFileDialog && (m_flags & OFN_FILEMUSTEXIST)) style |= wxFD_FILE_MUST_EXIST;
        if (!m_bOpenFileDialog && (m_flags & OFN_OVERWRITEPROMPT)) style |= wxFD_OVERWRITE_PROMPT;
        if (multiple) style |= wxFD_MULTIPLE;
        wxString dir = wxString::FromUTF8(m_initialDir), name = wxString::FromUTF8(m_fileName);
        size_t slash = m_fileName.find_last_of('/');
        if (slash != std::string::npos) {
            if (dir.empty()) dir = wxString::FromUTF8(m_fileName.substr(0, slash));
            name = wxString::FromUTF8(m_fileName.substr(slash + 1));
        }
        wxFileDialog dlg(ToolkitOf(AfxGetMainWnd()), wxString::FromUTF8(m_title.empty() ? (m_bOpenFileDialog ? "Open" : "Save As") : m_title),
                         dir, name, Wildcard(m_filter), style);
        if (dlg.ShowModal() != wxID_OK) return IDCANCEL;
        if (multiple) {
            wxArrayString paths;
            dlg.GetPaths(paths);
            for (const wxString& p : paths) chosen.push_back(p.utf8_string());
        } else {
            chosen.push_back(dlg.GetPath().utf8_string());
        }
    }
    if (chosen.empty()) return IDCANCEL;
    // A name typed without extension gets the default one.
    if (!m_defaultExt.empty()) {
        for (std::string& path : chosen) {
            size_t slash = path.find_last_of('/');
            std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
            if (base.find('.') == std::string::npos) path += "." + m_defaultExt;
        }
    }
    paths_ = chosen;
    path_ = chosen.front();
    return IDOK;
}

std::string CFileDialog::GetFileName() const {
    size_t slash = path_.find_last_of('/');
    return slash == std::string::npos ? path_ : path_.substr(slash + 1);
}

std::string CFileDialog::GetFileExt() const {
    std::string name = GetFileName();
    size_t dot = name.find_last_of('.');
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

// ---------------------------------------------------------------- help

void SetHelpOpener(HelpOpener opener) { Opener() = std::move(opener); }

namespace {
BeepHandler& Beeper() {
    static BeepHandler handler;
    return handler;
}
}  // namespace

void SetBeepHandler(BeepHandler handler) { Beeper() = std::move(handler); }

bool MessageBeep(UINT type) {
    if (const BeepHandler& handler = Beeper()) handler(type);
    else if (GuiIsUp()) wxBell();
    return true;
}

bool WinHelp(CWnd*, const std::string& file, UINT command, uintptr_t data) {
    if (Opener()) Opener()(file, command, data);
    return true;
}

// ---------------------------------------------------------------- wait cursor

namespace {
int g_waitCursorDepth = 0;  // Begins that showed the toolkit's busy cursor
}  // namespace

void BeginWaitCursor() {
    if (!GuiIsUp()) return;
    wxBeginBusyCursor();
    ++g_waitCursorDepth;
}

void EndWaitCursor() {
    if (g_waitCursorDepth == 0) return;
    --g_waitCursorDepth;
    wxEndBusyCursor();
}

void PaintPendingWindows() {
    if (!GuiIsUp()) return;
    if (wxEventLoopBase* loop = wxEventLoopBase::GetActive()) loop->YieldFor(wxEVT_CATEGORY_UI);
}

// ---------------------------------------------------------------- message boxes

namespace {

int WindowedMessageBox(const std::string& text, unsigned type, unsigned) {
    if (!GuiIsUp()) {
        std::fprintf(stderr, "%s\n", text.c_str());
        return (type & MB_TYPEMASK) == MB_YESNO || (type & MB_TYPEMASK) == MB_YESNOCANCEL ? IDYES : IDOK;
    }
    long style = 0;
    switch (type & MB_TYPEMASK) {
        case MB_OKCANCEL: style = wxOK | wxCANCEL; break;
        case MB_YESNO: style = wxYES_NO; break;
        case MB_YESNOCANCEL: style = wxYES_NO | wxCANCEL; break;
        default: style = wxOK; break;
    }
    switch (type & MB_ICONMASK) {
        case MB_ICONSTOP: style |= wxICON_ERROR; break;
        case MB_ICONQUESTION: style |= wxICON_QUESTION; break;
        case MB_ICONINFORMATION: style |= wxICON_INFORMATION; break;
        default: style |= wxICON_WARNING; break;  // no icon named: the exclamation
    }
    CWinApp* app = AfxGetApp();
    wxString caption = wxString::FromUTF8(app && !app->m_pszAppName.empty() ? app->m_pszAppName : "MorvelCanopy I");
    wxWindow* parent = ToolkitOf(AfxGetMainWnd());
    if (parent && !parent->IsShown()) parent = nullptr;
    wxMessageDialog box(parent, wxString::FromUTF8(text), caption, style);
    // The channel question: OK reads "Left", Cancel (also Escape and the close
    // box) "Right".
    if ((type & MB_LEFTRIGHT) && (type & MB_TYPEMASK) == MB_OKCANCEL) box.SetOKCancelLabels("Left", "Right");
    switch (box.ShowModal()) {
        case wxID_CANCEL: return IDCANCEL;
        case wxID_YES: return IDYES;
        case wxID_NO: return IDNO;
        default: return IDOK;
    }
}

}  // namespace

void UseWindowedMessageBoxes() { SetMessageBoxHandler(WindowedMessageBox); }

// ---------------------------------------------------------------- process

bool SetPriorityClass(PriorityClass cls) {
    errno = 0;
    if (setpriority(PRIO_PROCESS, 0, cls == PriorityClass::High ? -10 : 0) == 0) return true;
    // Raising the priority needs privileges a desktop user normally lacks:
    // that refusal is not a failure worth a warning.
    return errno == EACCES || errno == EPERM;
}

UINT timeBeginPeriod(UINT ms) { return ms == 0 ? TIMERR_NOCANDO : TIMERR_NOERROR; }
UINT timeEndPeriod(UINT ms) { return ms == 0 ? TIMERR_NOCANDO : TIMERR_NOERROR; }

WORD LangIdFromLocaleName(const std::string& locale) {
    if (locale.size() < 2) return 0;
    std::string two = locale.substr(0, 2);
    static const struct {
        const char* code;
        WORD id;
    } table[] = {{"ar", 0x01}, {"bg", 0x02}, {"ca", 0x03}, {"zh", 0x04}, {"cs", 0x05}, {"da", 0x06}, {"de", 0x07},
                 {"el", 0x08}, {"en", 0x09}, {"es", 0x0A}, {"fi", 0x0B}, {"fr", 0x0C}, {"he", 0x0D}, {"hu", 0x0E},
                 {"is", 0x0F}, {"it", 0x10}, {"ja", 0x11}, {"ko", 0x12}, {"nl", 0x13}, {"nb", 0x14}, {"no", 0x14},
                 {"pl", 0x15}, {"pt", 0x16}, {"ro", 0x18}, {"ru", 0x19}, {"hr", 0x1A}, {"sk", 0x1B}, {"sq", 0x1C},
                 {"sv", 0x1D}, {"th", 0x1E}, {"tr", 0x1F}, {"uk", 0x22}, {"sl", 0x24}, {"et", 0x25}, {"lv", 0x26},
                 {"lt", 0x27}};
    for (const auto& e : table)
        if (two == e.code) return e.id;
    return 0;
}

WORD GetSystemDefaultLangID() {
    for (const char* var : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* v = std::getenv(var);
        if (v && *v) return LangIdFromLocaleName(v);
    }
    return 0x09;
}

std::string GetModuleFileName() {
    char buf[4096];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return {};
    return std::string(buf, size_t(n));
}
