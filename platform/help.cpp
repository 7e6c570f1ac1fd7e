// The help viewer and the web-page opener.
//
// The help is an HTML book (a zip archive of pages with a contents file whose
// entries carry the context numbers). WinHelp's commands reach the viewer:
// HELP_CONTEXT shows the page of a context number, HELP_CONTENTS the book's
// first page, HELP_QUIT closes the viewer. A book that cannot be read gives one
// message that names it, and no viewer. The viewer keeps no settings.
//
// Web pages go to the desktop's browser through xdg-open, the address handed
// over as one argument of the program started, never through a shell; a
// failure is silent.
#include <wx/bookctrl.h>
#include <wx/config.h>
#include <wx/fileconf.h>
#include <wx/filename.h>
#include <wx/filesys.h>
#include <wx/fs_arc.h>
#include <wx/html/helpctrl.h>
#include <wx/html/helpdata.h>
#include <wx/html/helpfrm.h>
#include <wx/html/helpwnd.h>
#include <wx/log.h>
#include <wx/utils.h>

#include <memory>

#include "platform/framework.h"
#include "platform/services.h"
#include "platform/wx_bridge.h"

namespace {

// The book's archive reader. The type of a page is what the system's MIME
// table gives its name, and the viewer lays out only text/html (some tables
// give ".htm" application/xhtml+xml, and the page would show as source): the
// pages of a book are HTML, so their files are handed on as text/html.
class HelpBookFSHandler : public wxArchiveFSHandler {
public:
    wxFSFile* OpenFile(wxFileSystem& fs, const wxString& location) override {
        wxFSFile* file = wxArchiveFSHandler::OpenFile(fs, location);
        if (!file || file->GetMimeType() == wxS("text/html")) return file;
        const wxString ext = wxFileName(GetRightLocation(location)).GetExt().Lower();
        if (ext != wxS("htm") && ext != wxS("html")) return file;
        auto* page = new wxFSFile(file->DetachStream(), file->GetLocation(), wxS("text/html"), file->GetAnchor(),
                                  file->GetModificationTime());
        delete file;
        return page;
    }

private:
    // The file system makes its own copy of a handler from its class.
    wxDECLARE_DYNAMIC_CLASS(HelpBookFSHandler);
};
wxIMPLEMENT_DYNAMIC_CLASS(HelpBookFSHandler, wxArchiveFSHandler);

void AddArchiveHandler() {
    static bool added = false;
    if (added) return;
    wxFileSystem::AddHandler(new HelpBookFSHandler);
    added = true;
}

// The viewer's frame. Its navigation pages (contents, index, search) are
// created at a few pixels' size and laid out only after the toolkit has placed
// their controls: the index list, already holding the book's entries, would be
// placed once at its bare creation size, too small for its two scroll bars
// (the toolkit's critical messages about GtkScrollbar). So the frame is laid
// out at its size, and every page at the page area, before it first shows.
class HelpController : public wxHtmlHelpController {
public:
    using wxHtmlHelpController::wxHtmlHelpController;

protected:
    wxHtmlHelpFrame* CreateHelpFrame(wxHtmlHelpData* data) override {
        wxHtmlHelpFrame* frame = wxHtmlHelpController::CreateHelpFrame(data);
        frame->SendSizeEvent();
        if (auto* pages = dynamic_cast<wxBookCtrlBase*>(wxWindow::FindWindowById(wxID_HTML_NOTEBOOK, frame)))
            for (size_t i = 0; i < pages->GetPageCount(); ++i) {
                pages->GetPage(i)->SetSize(pages->GetClientSize());
                pages->GetPage(i)->Layout();
            }
        return frame;
    }
};

struct HelpViewer {
    std::unique_ptr<wxHtmlHelpController> controller;
    std::string book;
};

HelpViewer& Viewer() {
    static HelpViewer viewer;
    return viewer;
}

void QuitViewer() {
    HelpViewer& v = Viewer();
    if (!v.controller) return;
    v.controller->Quit();
    v.controller.reset();
    v.book.clear();
}

// The viewer with the book at file loaded; null (after the message) when the
// book cannot be read.
wxHtmlHelpController* ViewerFor(const std::string& file) {
    HelpViewer& v = Viewer();
    if (v.controller && v.book == file) return v.controller.get();
    QuitViewer();
    AddArchiveHandler();
    auto controller = std::make_unique<HelpController>(wxHF_DEFAULT_STYLE);
    // A configuration of its own that stores nowhere: the viewer writes
    // nothing into the program's settings.
    static wxFileConfig nowhere(wxEmptyString, wxEmptyString, wxEmptyString, wxEmptyString, 0);
    controller->UseConfig(&nowhere);
    controller->SetTitleFormat("Morvel Canopy Help - %s");
    bool loaded = false;
    {
        wxLogNull quiet;
        loaded = wxFileName::FileExists(wxString::FromUTF8(file)) &&
                 controller->AddBook(wxFileName(wxString::FromUTF8(file)), false);
    }
    if (!loaded) {
        AfxMessageBox("Cannot open the help file " + file + "!", MB_OK);
        return nullptr;
    }
    v.controller = std::move(controller);
    v.book = file;
    return v.controller.get();
}

void HtmlHelp(const std::string& file, UINT command, uintptr_t data) {
    if (command == HELP_QUIT) {
        QuitViewer();
        return;
    }
    if (!GuiIsUp()) return;
    wxHtmlHelpController* c = ViewerFor(file);
    if (!c) return;
    wxLogNull quiet;
    if (command == HELP_CONTEXT) {
        if (!c->Display(int(data))) c->DisplayContents();
    } else {
        c->DisplayContents();
    }
}

UrlOpener& UrlHandler() {
    static UrlOpener opener;
    return opener;
}

void BrowserOpen(const std::string& url) {
    if (!GuiIsUp()) return;
    wxLogNull quiet;
    const wxString program("xdg-open");
    const wxString address = wxString::FromUTF8(url);
    const wchar_t* argv[] = {program.wc_str(), address.wc_str(), nullptr};
    wxExecute(argv, wxEXEC_ASYNC | wxEXEC_NODISABLE);
}

}  // namespace

void UseHtmlHelp() { SetHelpOpener(HtmlHelp); }

std::string HelpBookPage(const std::string& book, int context) {
    AddArchiveHandler();
    wxLogNull quiet;
    wxHtmlHelpData data;
    if (!wxFileName::FileExists(wxString::FromUTF8(book)) || !data.AddBook(wxString::FromUTF8(book))) return {};
    wxString page = context == 0 ? wxString() : data.FindPageById(context);
    if (context == 0 && !data.GetBookRecArray().empty()) page = data.GetBookRecArray()[0].GetFullPath(data.GetBookRecArray()[0].GetStart());
    const size_t sep = page.find_last_of(wxS("/:"));
    return (sep == wxString::npos ? page : page.substr(sep + 1)).utf8_string();
}

std::string HelpViewerPage() {
    HelpViewer& v = Viewer();
    if (!v.controller || !v.controller->GetHelpWindow()) return {};
    wxString page = v.controller->GetHelpWindow()->GetHtmlWindow()->GetOpenedPage();
    const size_t sep = page.find_last_of(wxS("/:"));
    return (sep == wxString::npos ? page : page.substr(sep + 1)).utf8_string();
}

std::string HelpViewerText() {
    HelpViewer& v = Viewer();
    if (!v.controller || !v.controller->GetHelpWindow()) return {};
    return v.controller->GetHelpWindow()->GetHtmlWindow()->ToText().utf8_string();
}

void SetUrlOpener(UrlOpener opener) { UrlHandler() = std::move(opener); }

void OpenUrl(const std::string& url) {
    if (UrlHandler())
        UrlHandler()(url);
    else
        BrowserOpen(url);
}
