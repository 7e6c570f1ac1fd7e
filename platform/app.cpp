// The application object, the profile store, the message loop and the start of
// the toolkit.
#include <sys/syscall.h>
#include <unistd.h>

#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/fileconf.h>
#include <wx/filename.h>

#include <array>
#include <atomic>
#include <cstdio>
#include <cstdlib>

#include "platform/dialog.h"
#include "platform/framework.h"
#include "platform/resources.h"
#include "platform/services.h"
#include "platform/wx_bridge.h"

namespace {

CWinApp* g_theApp = nullptr;
std::atomic<uint32_t> g_guiThread{0};
bool g_guiUp = false;

// Messages posted to the GUI thread travel as toolkit thread events.
class GuiApp : public wxApp {
public:
    GuiApp() {
        Bind(wxEVT_THREAD, [](wxThreadEvent& e) {
            CWinApp* app = AfxGetApp();
            auto payload = e.GetPayload<std::array<intptr_t, 3>>();
            if (app) app->OnThreadMessage(UINT(payload[0]), WPARAM(payload[1]), LPARAM(payload[2]));
        });
    }
    bool OnInit() override { return true; }
    void DeletePending() { DeletePendingObjects(); }
    // The layer ends the loop itself when the main window goes.
    bool OnExceptionInMainLoop() override { throw; }
};

}  // namespace

CWinApp* AfxGetApp() { return g_theApp; }
CWnd* AfxGetMainWnd() { return g_theApp ? g_theApp->m_pMainWnd : nullptr; }

uint32_t GetCurrentThreadId() { return uint32_t(::syscall(SYS_gettid)); }

bool PostThreadMessage(uint32_t threadId, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!g_guiUp || threadId == 0 || threadId != g_guiThread.load()) return false;
    auto* e = new wxThreadEvent(wxEVT_THREAD);
    e->SetPayload(std::array<intptr_t, 3>{intptr_t(msg), intptr_t(wParam), intptr_t(lParam)});
    wxQueueEvent(wxTheApp, e);
    return true;
}

bool GuiInitialize(int argc, char** argv) {
    if (g_guiUp) return true;
    wxApp::SetInstance(new GuiApp);
    if (!wxEntryStart(argc, argv)) {
        delete wxApp::GetInstance();
        wxApp::SetInstance(nullptr);
        return false;
    }
    wxTheApp->SetExitOnFrameDelete(false);
    g_guiThread = GetCurrentThreadId();
    g_guiUp = true;
    return true;
}

void GuiShutdown() {
    if (!g_guiUp) return;
    wxTheApp->ProcessPendingEvents();
    static_cast<GuiApp*>(wxTheApp)->DeletePending();
    g_guiUp = false;
    wxEntryCleanup();
}

bool GuiIsUp() { return g_guiUp; }

namespace {
void (*g_assertHandler)(const char*, int, const char*, const char*) = nullptr;
void ToolkitAssert(const wxString& file, int line, const wxString&, const wxString& cond, const wxString& msg) {
    if (g_assertHandler)
        g_assertHandler(file.utf8_string().c_str(), line, cond.utf8_string().c_str(), msg.utf8_string().c_str());
}
}  // namespace

void SetToolkitAssertHandler(void (*handler)(const char*, int, const char*, const char*)) {
    g_assertHandler = handler;
    wxSetAssertHandler(handler ? ToolkitAssert : nullptr);
}

void AfxCallAfter(std::function<void()> fn) {
    if (g_guiUp && wxTheApp) wxTheApp->CallAfter([fn = std::move(fn)] { fn(); });
    else fn();
}

void PumpMessages(int milliseconds) {
    if (!g_guiUp) return;
    wxStopWatch sw;
    do {
        wxEventLoopBase* loop = wxEventLoopBase::GetActive();
        std::unique_ptr<wxEventLoop> temp;
        if (!loop) {
            temp = std::make_unique<wxEventLoop>();
            wxEventLoopBase::SetActive(temp.get());
            loop = temp.get();
        }
        while (loop->Pending()) loop->Dispatch();
        wxTheApp->ProcessPendingEvents();
        static_cast<GuiApp*>(wxTheApp)->DeletePending();
        loop->ProcessIdle();
        if (temp) wxEventLoopBase::SetActive(nullptr);
        if (sw.Time() < milliseconds) wxMilliSleep(2);
    } while (sw.Time() < milliseconds);
}

// ---------------------------------------------------------------- profile

struct CWinApp::Profile {
    std::unique_ptr<wxFileConfig> config;
    std::string path;
};

CWinApp::CWinApp(const char* appName) {
    g_theApp = this;
    if (appName) m_pszAppName = appName;
    OnCommandEntry(ID_FILE_NEW, [this] { OnFileNew(); });
    OnCommandEntry(ID_FILE_OPEN, [this] { OnFileOpen(); });
    OnCommandEntry(ID_APP_EXIT, [this] { OnAppExit(); });
    OnCommandRangeEntry(ID_FILE_MRU_FILE1, ID_FILE_MRU_LAST, [this](UINT id) {
        if (!mru_) return;
        int index = int(id - ID_FILE_MRU_FILE1);
        if (size_t(index) >= mru_->Entries().size()) return;
        std::string path = mru_->Entries()[size_t(index)];
        if (!OpenDocumentFile(path)) mru_->Remove(index);
    });
    OnUpdateRangeEntry(ID_FILE_MRU_FILE1, ID_FILE_MRU_LAST, [this](CCmdUI* ui) {
        ui->Enable(mru_ && size_t(ui->m_nID - ID_FILE_MRU_FILE1) < mru_->Entries().size());
    });
}

CWinApp::~CWinApp() {
    if (g_theApp == this) g_theApp = nullptr;
}

bool CWinApp::InitApplication() {
    if (m_pszAppName.empty()) m_pszAppName = LoadResString(AFX_IDS_APP_TITLE);
    if (m_pszProfileName.empty()) m_pszProfileName = m_pszAppName;
    if (m_pszExeName.empty()) {
        std::string exe = GetModuleFileName();
        size_t slash = exe.find_last_of('/');
        m_pszExeName = slash == std::string::npos ? exe : exe.substr(slash + 1);
    }
    if (m_pszHelpFilePath.empty()) {
        std::string exe = GetModuleFileName();
        size_t slash = exe.find_last_of('/');
        size_t dot = exe.find_last_of('.');
        if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) exe.resize(dot);
        m_pszHelpFilePath = exe + ".htb";  // the HTML help book
    }
    return true;
}

bool CWinApp::InitInstance() { return true; }

int CWinApp::ExitInstance() {
    if (mru_) mru_->WriteList();
    FlushProfile();
    return m_exitCode;
}

int CWinApp::Run() {
    if (g_guiUp && m_pMainWnd) wxTheApp->MainLoop();
    return ExitInstance();
}

void CWinApp::OnThreadMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    // A thread message belongs to no window: it wakes the loop, and the main
    // frame's view passes it to its default processing.
    auto* frame = dynamic_cast<CFrameWnd*>(m_pMainWnd);
    if (frame && frame->GetActiveView()) frame->GetActiveView()->SendMessage(msg, wParam, lParam);
}

void CWinApp::SetRegistryKey(const std::string& company) {
    m_pszRegistryKey = company;
    if (m_pszProfileName.empty()) m_pszProfileName = m_pszAppName.empty() ? LoadResString(AFX_IDS_APP_TITLE) : m_pszAppName;
    profile_.reset();
}

void CWinApp::LoadStdProfileSettings(int mruSize) {
    mru_ = std::make_unique<CRecentFileList>(mruSize);
    mru_->ReadList();
}

std::string CWinApp::GetProfilePath() const {
    if (!profilePathOverride_.empty()) return profilePathOverride_;
    std::string base;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) base = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home) base = std::string(home) + "/.config";
    else base = ".";
    std::string dir = base + "/" + (m_pszRegistryKey.empty() ? std::string("Tarrowby Kinetic") : m_pszRegistryKey);
    std::string name = m_pszProfileName.empty() ? m_pszAppName : m_pszProfileName;
    return dir + "/" + name + ".ini";
}

void CWinApp::SetProfilePath(const std::string& path) {
    FlushProfile();
    profile_.reset();
    profilePathOverride_ = path;
}

struct ProfileAccess {
    static wxFileConfig* Get(CWinApp& app, std::unique_ptr<CWinApp::Profile>& p) {
        std::string path = app.GetProfilePath();
        if (!p || p->path != path) {
            p = std::make_unique<CWinApp::Profile>();
            p->path = path;
            wxFileName fn(wxString::FromUTF8(path));
            // The file store needs the toolkit's base even where no display is up.
            if (!wxApp::GetInstance()) {
                static wxInitializer* base = new wxInitializer;
                (void)base;
            }
            // Values come back exactly as written: the file quotes and escapes
            // what it must, and nothing is expanded (no environment variables).
            p->config = std::make_unique<wxFileConfig>(wxEmptyString, wxEmptyString, fn.GetFullPath(), wxEmptyString,
                                                       wxCONFIG_USE_LOCAL_FILE);
            p->config->SetExpandEnvVars(false);
        }
        return p->config.get();
    }
};

namespace {

wxString Key(const std::string& section, const std::string& entry) {
    return "/" + wxString::FromUTF8(section) + "/" + wxString::FromUTF8(entry);
}

}  // namespace

int CWinApp::GetProfileInt(const std::string& section, const std::string& entry, int defaultValue) {
    wxFileConfig* c = ProfileAccess::Get(*this, profile_);
    wxString s;
    if (!c->Read(Key(section, entry), &s)) return defaultValue;
    long v = 0;
    if (!s.ToLong(&v)) return defaultValue;
    return int(v);
}

bool CWinApp::WriteProfileInt(const std::string& section, const std::string& entry, int value) {
    wxFileConfig* c = ProfileAccess::Get(*this, profile_);
    return c->Write(Key(section, entry), wxString::Format("%d", value));
}

std::string CWinApp::GetProfileString(const std::string& section, const std::string& entry,
                                      const std::string& defaultValue) {
    wxFileConfig* c = ProfileAccess::Get(*this, profile_);
    wxString s;
    if (!c->Read(Key(section, entry), &s)) return defaultValue;
    return s.utf8_string();
}

bool CWinApp::WriteProfileString(const std::string& section, const std::string& entry, const std::string& value) {
    wxFileConfig* c = ProfileAccess::Get(*this, profile_);
    if (entry.empty()) return c->DeleteGroup("/" + wxString::FromUTF8(section));
    return c->Write(Key(section, entry), wxString::FromUTF8(value));
}

void CWinApp::FlushProfile() {
    if (!profile_ || !profile_->config) return;
    wxFileName fn(wxString::FromUTF8(profile_->path));
    if (!fn.DirExists()) fn.Mkdir(0755, wxPATH_MKDIR_FULL);
    profile_->config->Flush();
}

// ---------------------------------------------------------------- documents

void CWinApp::AddDocTemplate(CDocTemplate* t) { template_.reset(t); }

CDocument* CWinApp::OpenDocumentFile(const std::string& path) {
    return template_ ? template_->OpenDocumentFile(path, false) : nullptr;
}

void CWinApp::OnFileNew() {
    if (template_) template_->OpenDocumentFile("", false);
}

void CWinApp::OnFileOpen() {
    std::string name;
    if (!DoPromptFileName(name, "Open", true)) return;
    OpenDocumentFile(name);
}

void CWinApp::OnAppExit() {
    if (m_pMainWnd) m_pMainWnd->SendMessage(WM_CLOSE);
}

bool CWinApp::DoPromptFileName(std::string& fileName, const std::string& title, bool openDialog) {
    std::string filterName, ext;
    if (template_) {
        filterName = template_->GetDocString(CDocTemplate::filterName);
        ext = template_->GetDocString(CDocTemplate::filterExt);
    }
    std::string filter;
    if (!filterName.empty() && !ext.empty()) filter = filterName + "|*" + ext + "|";
    filter += "All Files (*.*)|*.*||";
    CFileDialog dlg(openDialog, ext.empty() ? "" : ext.substr(1), fileName,
                    openDialog ? OFN_HIDEREADONLY | OFN_FILEMUSTEXIST : OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, filter,
                    m_pMainWnd);
    dlg.m_title = title;
    if (dlg.DoModal() != IDOK) return false;
    fileName = dlg.GetPathName();
    return !fileName.empty();
}

void CWinApp::AddToRecentFileList(const std::string& path) {
    if (mru_) mru_->Add(path);
}

void CWinApp::ParseCommandLine(CCommandLineInfo& info) {
    for (size_t i = 1; i < args_.size(); ++i) {
        const std::string& a = args_[i];
        bool flag = a.size() > 1 && a[0] == '-';
        info.ParseParam(flag ? a.substr(1) : a, flag, i + 1 == args_.size());
    }
}

bool CWinApp::ProcessShellCommand(CCommandLineInfo& info) {
    switch (info.m_nShellCommand) {
        case CCommandLineInfo::FileNew:
            OnFileNew();
            return m_pMainWnd != nullptr;
        case CCommandLineInfo::FileOpen:
            return OpenDocumentFile(info.m_strFileName) != nullptr;
        default:
            return true;
    }
}

bool CWinApp::OnCmdMsg(UINT id, CCmdUI* ui) { return CCmdTarget::OnCmdMsg(id, ui); }

// ---------------------------------------------------------------- start

int AfxWinMain(int argc, char** argv) {
    CWinApp* app = AfxGetApp();
    if (!app) return 1;
    if (!GuiInitialize(argc, argv)) {
        std::fprintf(stderr,
                     "%s needs a graphical display, and none could be opened.\n"
                     "Start it from a desktop session (or with DISPLAY set to a running X server).\n",
                     argc > 0 ? argv[0] : "The program");
        return 1;
    }
    wxSetAssertHandler(nullptr);  // the program never stops on a toolkit assertion
    UseWindowedMessageBoxes();
    UseHtmlHelp();
    std::vector<std::string> args(argv, argv + argc);
    app->SetCommandLine(args);
    int rc = 0;
    if (!app->InitApplication()) {
        rc = 1;
    } else if (!app->InitInstance()) {
        if (app->m_pMainWnd) app->m_pMainWnd->DestroyWindow();
        app->m_exitCode = app->m_exitCode ? app->m_exitCode : 1;
        rc = app->ExitInstance();
    } else {
        rc = app->Run();
    }
    GuiShutdown();
    return rc;
}
