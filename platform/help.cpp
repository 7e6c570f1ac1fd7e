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

void AddArchiveHandler() {
    static bool added = false;
    if (added) return;
    wxFileSystem::AddHandler(new wxArchiveFSHandler);
    added = true;
}

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
    auto controller = std::make_unique<wxHtmlHelpController>(wxHF_DEFAULT_STYLE);
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

void SetUrlOpener(UrlOpener opener) { UrlHandler() = std::move(opener); }

void OpenUrl(const std::string& url) {
    if (UrlHandler())
        UrlHandler()(url);
    else
        BrowserOpen(url);
}
