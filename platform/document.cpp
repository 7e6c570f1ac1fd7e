// Document, single-document template, command line and recent-file list.
// Nothing here talks to the toolkit directly.
#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/framework.h"
#include "platform/resources.h"
#include "platform/services.h"

namespace {

std::string FileNameOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

CFrameWnd* FrameOf(CView* view) { return view ? dynamic_cast<CFrameWnd*>(view->GetParent()) : nullptr; }

}  // namespace

std::string AfxFullPath(const std::string& path) {
    if (path.empty()) return path;
    std::error_code ec;
    const std::filesystem::path full = std::filesystem::absolute(path, ec);
    return ec ? path : full.lexically_normal().string();
}

// ---------------------------------------------------------------- CDocument

CDocument::CDocument() {
    OnCommandEntry(ID_FILE_SAVE, [this] { OnFileSave(); });
    OnCommandEntry(ID_FILE_SAVE_AS, [this] { OnFileSaveAs(); });
}

CDocument::~CDocument() {
    for (CView* v : views_) v->SetDocument(nullptr);
    if (template_) {
        if (auto* t = dynamic_cast<CSingleDocTemplate*>(template_)) t->DocumentGone(this);
    }
}

void CDocument::SetTitle(const std::string& title) {
    title_ = title;
    for (CView* v : views_)
        if (CFrameWnd* f = FrameOf(v)) f->OnUpdateFrameTitle();
}

void CDocument::SetPathName(const std::string& path, bool addToMru) {
    pathName_ = AfxFullPath(path);
    SetTitle(FileNameOf(pathName_));
    if (addToMru)
        if (CWinApp* app = AfxGetApp()) app->AddToRecentFileList(pathName_);
}

void CDocument::AddView(CView* view) {
    if (std::find(views_.begin(), views_.end(), view) == views_.end()) views_.push_back(view);
    view->SetDocument(this);
}

void CDocument::RemoveView(CView* view) {
    auto it = std::find(views_.begin(), views_.end(), view);
    if (it == views_.end()) return;
    views_.erase(it);
    view->SetDocument(nullptr);
    // The last view gone (its frame destroyed): the document closes with it.
    if (views_.empty() && m_bAutoDelete) OnCloseDocument();
}

void CDocument::UpdateAllViews(CView* sender, LPARAM hint, CCmdTarget* hintObject) {
    std::vector<CView*> views = views_;
    for (CView* v : views)
        if (v != sender) v->OnUpdate(sender, hint, hintObject);
}

bool CDocument::OnNewDocument() {
    DeleteContents();
    pathName_.clear();
    SetModifiedFlag(false);
    return true;
}

DocIoResult CDocument::ReadDocumentFile(const std::string&) { return DocIoResult::Failed; }
DocIoResult CDocument::WriteDocumentFile(const std::string&) { return DocIoResult::Failed; }

void CDocument::ReportIoFailure(DocIoResult result, const std::string& path, bool saving) {
    std::string text = saving ? "Failed to save document \"" : "Failed to open document \"";
    text.append(path).append("\".");
    switch (result) {
        case DocIoResult::NotFound: text += "\nThe file was not found or cannot be opened."; break;
        case DocIoResult::AccessDenied: text += "\nAccess denied."; break;
        case DocIoResult::DiskFull: text += "\nThe disk is full."; break;
        default: break;
    }
    AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
}

bool CDocument::OnOpenDocument(const std::string& path) {
    DocIoResult r = ReadDocumentFile(path);
    if (r != DocIoResult::Ok) {
        if (r != DocIoResult::FailedReported) ReportIoFailure(r, path, false);
        return false;
    }
    SetModifiedFlag(false);
    return true;
}

bool CDocument::OnSaveDocument(const std::string& path) {
    DocIoResult r = WriteDocumentFile(path);
    if (r != DocIoResult::Ok) {
        if (r != DocIoResult::FailedReported) ReportIoFailure(r, path, true);
        return false;
    }
    SetModifiedFlag(false);
    return true;
}

void CDocument::OnCloseDocument() {
    bool autoDelete = m_bAutoDelete;
    m_bAutoDelete = false;  // destroying the views must not delete the document
    while (!views_.empty()) {
        CView* v = views_.front();
        CFrameWnd* f = FrameOf(v);
        if (f && f->IsWindow()) {
            f->DestroyWindow();
        } else {
            RemoveView(v);
        }
    }
    m_bAutoDelete = autoDelete;
    DeleteContents();
    if (m_bAutoDelete) delete this;
}

bool CDocument::SaveModified() {
    if (!IsModified()) return true;
    std::string name = pathName_.empty() ? title_ : pathName_;
    switch (AfxMessageBox("Save changes to " + name + "?", MB_YESNOCANCEL)) {
        case IDCANCEL: return false;
        case IDYES: return DoFileSave();
        default: return true;
    }
}

bool CDocument::DoFileSave() { return DoSave(pathName_); }

bool CDocument::DoSave(const std::string& path, bool replace) {
    std::string newName = path;
    if (newName.empty()) {
        newName = pathName_;
        if (newName.empty()) {
            newName = title_;
            std::string ext = template_ ? template_->GetDocString(CDocTemplate::filterExt) : "";
            if (!ext.empty() && newName.find('.') == std::string::npos) newName += ext;
        }
        CWinApp* app = AfxGetApp();
        if (!app || !app->DoPromptFileName(newName, "Save As", false)) return false;
    }
    if (!OnSaveDocument(newName)) return false;
    if (replace) SetPathName(newName);
    return true;
}

void CDocument::OnFileSave() { DoFileSave(); }
void CDocument::OnFileSaveAs() { DoSave(""); }

// ---------------------------------------------------------------- templates

std::string CDocTemplate::GetDocString(DocStringIndex index) const {
    std::string s = LoadResString(resourceId_);
    int field = 0;
    size_t start = 0;
    while (field < int(index)) {
        size_t nl = s.find('\n', start);
        if (nl == std::string::npos) return {};
        start = nl + 1;
        ++field;
    }
    size_t end = s.find('\n', start);
    return s.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

CSingleDocTemplate::CSingleDocTemplate(UINT resourceId, std::function<CDocument*()> newDocument,
                                       std::function<CFrameWnd*()> newFrame, std::function<CView*()> newView)
    : CDocTemplate(resourceId),
      newDocument_(std::move(newDocument)),
      newFrame_(std::move(newFrame)),
      newView_(std::move(newView)) {}

CSingleDocTemplate::~CSingleDocTemplate() {
    if (document_) document_->SetDocTemplate(nullptr);
}

void CSingleDocTemplate::DocumentGone(CDocument* doc) {
    if (document_ == doc) document_ = nullptr;
}

void CSingleDocTemplate::SetDefaultTitle(CDocument* doc) {
    std::string title = GetDocString(docName);
    if (title.empty()) title = LoadResString(AFX_IDS_UNTITLED);
    if (title.empty()) title = "Untitled";
    doc->SetTitle(title);
}

CDocument* CSingleDocTemplate::OpenDocumentFile(const std::string& path, bool makeVisible) {
    CDocument* doc = document_;
    CFrameWnd* frame = nullptr;
    bool created = false;
    if (doc) {
        if (!path.empty() && AfxFullPath(path) == doc->GetPathName()) return doc;
        if (!doc->SaveModified()) return nullptr;
        if (!doc->GetViews().empty()) frame = FrameOf(doc->GetViews().front());
    } else {
        doc = newDocument_();
        if (!doc) return nullptr;
        doc->SetDocTemplate(this);
        document_ = doc;
        created = true;
        frame = newFrame_();
        CCreateContext ctx{doc, newView_};
        if (!frame || !frame->LoadFrame(resourceId_, &ctx)) {
            doc->m_bAutoDelete = false;
            if (frame && frame->IsWindow()) frame->DestroyWindow();
            else delete frame;
            delete doc;
            return nullptr;
        }
    }
    auto failCreated = [&] {
        if (created) {
            doc->m_bAutoDelete = false;
            if (frame) frame->DestroyWindow();
            delete doc;
        }
    };
    if (path.empty()) {
        SetDefaultTitle(doc);
        if (!doc->OnNewDocument()) {
            failCreated();
            return nullptr;
        }
    } else {
        // A refused file leaves the document's title and path as they were.
        if (!doc->OnOpenDocument(path)) {
            failCreated();
            return nullptr;
        }
        doc->SetPathName(path);
    }
    CWinApp* app = AfxGetApp();
    if (created && app && !app->m_pMainWnd) app->m_pMainWnd = frame;
    if (frame) frame->InitialUpdateFrame(doc, makeVisible);
    return doc;
}

// ---------------------------------------------------------------- command line

void CCommandLineInfo::ParseParam(const std::string& param, bool isFlag, bool) {
    if (isFlag) return;
    if (m_strFileName.empty()) {
        m_strFileName = param;
        m_nShellCommand = FileOpen;
    }
}

// ---------------------------------------------------------------- recent files

void CRecentFileList::Add(const std::string& path) {
    const std::string full = AfxFullPath(path);
    entries_.erase(std::remove(entries_.begin(), entries_.end(), full), entries_.end());
    entries_.insert(entries_.begin(), full);
    if (int(entries_.size()) > size_) entries_.resize(size_t(size_));
    RefreshRecentFileMenus();
}

void CRecentFileList::Remove(int index) {
    if (index < 0 || size_t(index) >= entries_.size()) return;
    entries_.erase(entries_.begin() + index);
    RefreshRecentFileMenus();
}

void CRecentFileList::ReadList() {
    entries_.clear();
    if (CWinApp* app = AfxGetApp()) {
        for (int i = 1; i <= size_; ++i) {
            const std::string p = AfxFullPath(app->GetProfileString("Recent File List", "File" + std::to_string(i)));
            if (!p.empty() && std::find(entries_.begin(), entries_.end(), p) == entries_.end()) entries_.push_back(p);
        }
    }
    RefreshRecentFileMenus();
}

void CRecentFileList::WriteList() const {
    CWinApp* app = AfxGetApp();
    if (!app) return;
    app->WriteProfileString("Recent File List", "", "");  // clears the section
    for (size_t i = 0; i < entries_.size(); ++i)
        app->WriteProfileString("Recent File List", "File" + std::to_string(i + 1), entries_[i]);
}
