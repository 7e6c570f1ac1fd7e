// The single-document application framework: application object, document,
// frame window, view, the document template that ties them together, the
// command line, the recent-file list and the profile (settings) functions.
//
// One document object is created with the frame and the view and reused for
// every New and Open, as the classic framework does for single documents.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/afx.h"
#include "platform/wnd.h"

class CDocument;
class CView;
class CFrameWnd;
class CDocTemplate;
class CWinApp;

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();

// The full form of a file path: made absolute against the current folder and
// cleared of "." and ".." steps (links are not followed); empty stays empty.
std::string AfxFullPath(const std::string& path);

// What a document's file reading or writing reports.
enum class DocIoResult {
    Ok,
    FailedReported,  // failed; the reader or writer has told the user itself
    NotFound,        // the file does not exist or cannot be opened
    AccessDenied,
    DiskFull,
    Failed,          // any other failure, not yet reported
};

class CDocument : public CCmdTarget {
public:
    CDocument();
    ~CDocument() override;

    const std::string& GetTitle() const { return title_; }
    virtual void SetTitle(const std::string& title);
    const std::string& GetPathName() const { return pathName_; }
    virtual void SetPathName(const std::string& path, bool addToMru = true);
    bool IsModified() const { return modified_; }
    virtual void SetModifiedFlag(bool modified = true) { modified_ = modified; }
    CDocTemplate* GetDocTemplate() const { return template_; }

    void AddView(CView* view);
    void RemoveView(CView* view);
    const std::vector<CView*>& GetViews() const { return views_; }
    void UpdateAllViews(CView* sender, LPARAM hint = 0, CCmdTarget* hintObject = nullptr);

    virtual bool OnNewDocument();
    virtual bool OnOpenDocument(const std::string& path);
    virtual bool OnSaveDocument(const std::string& path);
    virtual void OnCloseDocument();
    virtual void DeleteContents() {}
    // Asks "Save changes to ...?" when modified; false when the user cancels
    // or the save fails.
    virtual bool SaveModified();
    // Save (prompt for a name when replace or when there is no path).
    bool DoSave(const std::string& path, bool replace = true);
    bool DoFileSave();

    // The document's file reading and writing.
    virtual DocIoResult ReadDocumentFile(const std::string& path);
    virtual DocIoResult WriteDocumentFile(const std::string& path);

    bool m_bAutoDelete = true;

    // Layer plumbing.
    void SetDocTemplate(CDocTemplate* t) { template_ = t; }

protected:
    void OnFileSave();
    void OnFileSaveAs();
    void ReportIoFailure(DocIoResult result, const std::string& path, bool saving);

private:
    std::string title_;
    std::string pathName_;
    bool modified_ = false;
    CDocTemplate* template_ = nullptr;
    std::vector<CView*> views_;
};

class CView : public CWnd {
public:
    CView();
    ~CView() override;

    CDocument* GetDocument() const { return document_; }
    // Creates the view window as the frame's client, of the given client size.
    virtual bool Create(CFrameWnd* frame, int width, int height);

    virtual void OnInitialUpdate();
    virtual void OnUpdate(CView* sender, LPARAM hint, CCmdTarget* hintObject);
    virtual void OnDraw(CDC* dc) = 0;
    void OnPaint() override;
    bool OnCmdMsg(UINT id, CCmdUI* ui) override;
    void PostNcDestroy() override;

    void SetDocument(CDocument* doc) { document_ = doc; }

private:
    CDocument* document_ = nullptr;
};

// What the template hands the frame while it is being created.
struct CCreateContext {
    CDocument* document = nullptr;
    std::function<CView*()> newView;
};

class CFrameWnd : public CWnd {
public:
    CFrameWnd();
    ~CFrameWnd() override;

    // Creates the frame from resource id (title, menu, accelerators): runs
    // PreCreateWindow, creates the (hidden) window, then the view.
    virtual bool LoadFrame(UINT resourceId, CCreateContext* context);
    virtual bool PreCreateWindow(CREATESTRUCT& cs);

    CView* GetActiveView() const { return activeView_; }
    void SetActiveView(CView* view) { activeView_ = view; }
    CDocument* GetActiveDocument() const;
    void OnUpdateFrameTitle();
    void InitialUpdateFrame(CDocument* doc, bool makeVisible);
    DWORD GetStyle() const { return style_; }
    CSize GetViewClientSize() const { return viewClient_; }

    // Command routing: the active view (and its document), the frame, the
    // application.
    bool OnCmdMsg(UINT id, CCmdUI* ui) override;
    // Runs a command as the menu or an accelerator would: only when enabled.
    bool ExecuteCommand(UINT id);
    // Translates a key press through the accelerator table: true when an
    // entry matched (the command then ran, if it was enabled).
    bool TranslateAccelerator(UINT vk, bool ctrl, bool alt, bool shift);
    // The menu as shown: ids, texts, enabled and checked states after the
    // update handlers ran (for tests and the toolkit bridge).
    struct MenuItemState {
        UINT id;
        std::string text;
        bool enabled;
        bool checked;
    };
    std::vector<MenuItemState> GetMenuState(int popup);

    void OnClose() override;
    void OnDropFiles(const std::vector<std::string>& files) override;
    void PostNcDestroy() override;
    bool DestroyWindow() override;

    UINT GetResourceId() const { return resourceId_; }

private:
    CView* activeView_ = nullptr;
    UINT resourceId_ = 0;
    DWORD style_ = 0;
    CSize viewClient_;
};

class CDocTemplate : public CCmdTarget {
public:
    enum DocStringIndex { windowTitle, docName, fileNewName, filterName, filterExt, regFileTypeId, regFileTypeName };
    std::string GetDocString(DocStringIndex index) const;
    UINT GetResourceId() const { return resourceId_; }
    virtual CDocument* OpenDocumentFile(const std::string& path, bool makeVisible = true) = 0;
    virtual CDocument* GetDocument() const = 0;

protected:
    explicit CDocTemplate(UINT resourceId) : resourceId_(resourceId) {}
    UINT resourceId_;
};

class CSingleDocTemplate : public CDocTemplate {
public:
    CSingleDocTemplate(UINT resourceId, std::function<CDocument*()> newDocument,
                       std::function<CFrameWnd*()> newFrame, std::function<CView*()> newView);
    ~CSingleDocTemplate() override;

    CDocument* OpenDocumentFile(const std::string& path, bool makeVisible = true) override;
    CDocument* GetDocument() const override { return document_; }
    void SetDefaultTitle(CDocument* doc);
    void DocumentGone(CDocument* doc);

private:
    std::function<CDocument*()> newDocument_;
    std::function<CFrameWnd*()> newFrame_;
    std::function<CView*()> newView_;
    CDocument* document_ = nullptr;
};

class CCommandLineInfo {
public:
    enum Shell { FileNew, FileOpen, FileNothing };
    Shell m_nShellCommand = FileNew;
    std::string m_strFileName;
    virtual ~CCommandLineInfo() = default;
    virtual void ParseParam(const std::string& param, bool isFlag, bool isLast);
};

// The recent-file list: at most size entries, the latest first, each a full
// path, kept in the profile section "Recent File List" as "File1" ... "FileN".
// An entry stored relative (by an earlier version) is read as lying in the
// folder the program was started in. Every change is shown at once in the
// recent-file rows of the frames' menus, never while a menu opens.
class CRecentFileList {
public:
    explicit CRecentFileList(int size) : size_(size) {}
    void Add(const std::string& path);
    void Remove(int index);
    int GetSize() const { return size_; }
    const std::vector<std::string>& Entries() const { return entries_; }
    void ReadList();
    void WriteList() const;

private:
    int size_;
    std::vector<std::string> entries_;
};

class CWinApp : public CCmdTarget {
public:
    explicit CWinApp(const char* appName = nullptr);
    ~CWinApp() override;

    virtual bool InitApplication();
    virtual bool InitInstance();
    virtual int ExitInstance();
    // The message loop; returns ExitInstance's result.
    virtual int Run();
    // A message posted to the GUI thread with PostThreadMessage.
    virtual void OnThreadMessage(UINT msg, WPARAM wParam, LPARAM lParam);

    void SetRegistryKey(const std::string& company);
    void LoadStdProfileSettings(int mruSize);
    void Enable3dControlsStatic() {}

    int GetProfileInt(const std::string& section, const std::string& entry, int defaultValue);
    bool WriteProfileInt(const std::string& section, const std::string& entry, int value);
    std::string GetProfileString(const std::string& section, const std::string& entry,
                                 const std::string& defaultValue = "");
    bool WriteProfileString(const std::string& section, const std::string& entry, const std::string& value);
    // Where the profile lives: $XDG_CONFIG_HOME (or ~/.config) / the registry
    // key / the profile name + ".ini", unless a file was set explicitly.
    std::string GetProfilePath() const;
    void SetProfilePath(const std::string& path);
    void FlushProfile();

    void AddDocTemplate(CDocTemplate* t);
    CDocTemplate* GetDocTemplate() const { return template_.get(); }
    virtual CDocument* OpenDocumentFile(const std::string& path);
    void OnFileNew();
    void OnFileOpen();
    void OnAppExit();
    bool DoPromptFileName(std::string& fileName, const std::string& title, bool openDialog);
    virtual void AddToRecentFileList(const std::string& path);
    CRecentFileList* GetRecentFileList() const { return mru_.get(); }

    void SetCommandLine(std::vector<std::string> args) { args_ = std::move(args); }
    void ParseCommandLine(CCommandLineInfo& info);
    bool ProcessShellCommand(CCommandLineInfo& info);

    // Handlers of the application's own commands come last in the routing.
    bool OnCmdMsg(UINT id, CCmdUI* ui) override;

    std::string m_pszAppName;
    std::string m_pszRegistryKey;
    std::string m_pszProfileName;
    std::string m_pszHelpFilePath;
    std::string m_pszExeName;
    CWnd* m_pMainWnd = nullptr;
    int m_nCmdShow = SW_SHOW;
    int m_exitCode = 0;

    struct Profile;

private:
    friend struct ProfileAccess;
    std::unique_ptr<Profile> profile_;
    std::string profilePathOverride_;
    std::unique_ptr<CDocTemplate> template_;
    std::unique_ptr<CRecentFileList> mru_;
    std::vector<std::string> args_;
};

// The framework's start: the toolkit comes up (false, with a plain message on
// stderr, when there is no display), then InitApplication, InitInstance, the
// message loop and ExitInstance of the one application object.
int AfxWinMain(int argc, char** argv);

// Brings up the toolkit for a program or a test without running an
// application; false when there is no display. GuiShutdown takes it down.
bool GuiInitialize(int argc, char** argv);
void GuiShutdown();
// Lets the toolkit handle what is pending (paints, timers, posted messages)
// for about the given time, without blocking on a user.
void PumpMessages(int milliseconds = 0);
bool GuiIsUp();

// Puts the recent-file list into the recent-file rows of every frame's menus.
void RefreshRecentFileMenus();

// Turns the toolkit's failed assertions into calls of handler (tests make them
// test failures instead of a blocking dialog).
void SetToolkitAssertHandler(void (*handler)(const char* file, int line, const char* cond, const char* msg));
// Runs fn on the GUI thread once the event being handled is done.
void AfxCallAfter(std::function<void()> fn);

// The calling thread's id, and a message to the GUI thread's loop; safe from
// any thread. False when the id is not the GUI thread's.
uint32_t GetCurrentThreadId();
bool PostThreadMessage(uint32_t threadId, UINT msg, WPARAM wParam, LPARAM lParam);
