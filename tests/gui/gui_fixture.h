// Shared set-up of the windowed tests: scripted message boxes, dialogs and
// file dialogs, a song file layer that serves made-up files, the application
// services traced, and the program's globals back at their start values.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "data/synth_doc.h"
#include "host/audio_device.h"
#include "host/render_paths.h"
#include "host/synth_app.h"
#include "platform/dialog.h"
#include "platform/framework.h"
#include "platform/services.h"
#include "shared/app_settings.h"
#include "shared/automation.h"
#include "shared/settings.h"
#include "shared/song.h"
#include "shared/editor.h"
#include "shared/song_info.h"
#include "shared/transport.h"
#include "ui/main_frame.h"
#include "ui/synth_view.h"
#include "ui/tool_windows.h"
#include "ui/view_globals.h"

struct Box {
    std::string text;
    unsigned type;
};

class GuiTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("mc-gui-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        SetMessageBoxHandler([this](const std::string& text, unsigned type, unsigned) {
            boxes.push_back({text, type});
            if (onBox) onBox(text);
            if (answers.empty()) return (type & MB_TYPEMASK) == MB_YESNOCANCEL ? IDNO : IDOK;
            int a = answers.front();
            answers.pop_front();
            return a;
        });
        SetModalDialogHandler([this](CDialog& dlg) {
            dialogs.push_back(dlg.GetTemplateId());
            if (dialogScripts.empty()) {
                ADD_FAILURE() << "unexpected dialog " << dlg.GetTemplateId();
                dlg.PressEscape();
                return;
            }
            auto script = dialogScripts.front();
            dialogScripts.pop_front();
            script(dlg);
        });
        SetFileDialogHandler([this](const CFileDialog&) {
            if (filePicks.empty()) return std::string();
            std::string p = filePicks.front();
            filePicks.pop_front();
            return p;
        });
        SetHelpOpener([this](const std::string&, UINT cmd, uintptr_t data) {
            trace.push_back(cmd == HELP_QUIT ? "help quit" : "help " + std::to_string(data));
        });
        GetSongFileIo().read = [this](const std::string& path) {
            trace.push_back("read " + path);
            auto it = songFiles.find(path);
            if (it == songFiles.end()) return DocIoResult::NotFound;
            if (it->second == DocIoResult::FailedReported) AfxMessageBox("Unsupported song format or invalid file!");
            return it->second;
        };
        GetSongFileIo().write = [this](const std::string& path) {
            trace.push_back("write " + path);
            return DocIoResult::Ok;
        };
        AppServices& s = GetAppServices();
        s.enumerateAudioDevices = [this] { trace.push_back("EnumerateAudioDevices"); };
        s.enumerateMidiDevices = [this] { trace.push_back("EnumerateMidiDevices"); };
        s.buildEngineTables = [this] { trace.push_back("BuildEngineTables"); };
        s.openMidiIn = [this] { trace.push_back("OpenMidiIn"); return false; };
        s.openMidiOut = [this] { trace.push_back("OpenMidiOut"); return false; };
        s.closeMidiIn = [this] { trace.push_back("CloseMidiIn"); };
        s.closeMidiOut = [this] { trace.push_back("CloseMidiOut"); };
        s.timeBeginPeriod = [this](UINT ms) { trace.push_back("timeBeginPeriod " + std::to_string(ms)); return timerResult; };
        s.timeEndPeriod = [this](UINT ms) { trace.push_back("timeEndPeriod " + std::to_string(ms)); return 0u; };
        s.setPriorityClass = [this](PriorityClass c) {
            trace.push_back(c == PriorityClass::High ? "priority high" : "priority normal");
            return priorityResult;
        };
        s.createRenderThreads = [this] {
            trace.push_back("CreateRenderThreads");
            return threadsResult;
        };
        s.openAudioDevice = [this] { trace.push_back("OpenAudioDevice"); return false; };
        s.closeAudioDevice = [this] { trace.push_back("CloseAudioDevice"); };

        g_firstNewDone = 0;
        g_startingUp = 1;
        g_soundModuleMode = 0;
        g_windowLeft = -1;
        g_windowTop = -1;
        g_captureCloseCountdown = 0;
        g_keepOnTop = 0;
        g_scopeOn = 0;
        g_automationOn = 0;
        g_songInfoOnLoad = 0;
        g_showInfoOnOpen = 0;
        g_freeAudioDevWhenStopped = 0;
        g_engineReset = 0;
        g_threadsAvailable = 1;
        g_polyphony = 5;
    }

    void TearDown() override {
        if (CWinApp* app = AfxGetApp(); app && app->m_pMainWnd) app->m_pMainWnd->DestroyWindow();
        PumpMessages(20);
        for (CDialog* d : std::initializer_list<CDialog*>{g_pSplashWnd, g_pScopeDlg, g_pAutomationDlg, g_pValueTip})
            delete d;
        g_pSplashWnd = nullptr;
        g_pScopeDlg = nullptr;
        g_pAutomationDlg = nullptr;
        g_pValueTip = nullptr;
        PumpMessages(10);
        ResetAppServices();
        SetHelpOpener(nullptr);
        SetMessageBoxHandler([](const std::string& text, unsigned, unsigned) {
            ADD_FAILURE() << "unexpected message box: " << text;
            return IDOK;
        });
        SetModalDialogHandler([](CDialog& dlg) { ADD_FAILURE() << "unexpected dialog " << dlg.GetTemplateId(); });
        std::filesystem::remove_all(dir_);
    }

    std::string ProfilePath() const { return (dir_ / "settings.ini").string(); }

    // Index of a step in the trace, -1 when absent.
    int StepAt(const std::string& step) const {
        for (size_t i = 0; i < trace.size(); ++i)
            if (trace[i] == step) return int(i);
        return -1;
    }

    std::filesystem::path dir_;
    std::vector<Box> boxes;
    std::deque<int> answers;
    std::function<void(const std::string&)> onBox;
    std::vector<UINT> dialogs;
    std::deque<std::function<void(CDialog&)>> dialogScripts;
    std::deque<std::string> filePicks;
    std::map<std::string, DocIoResult> songFiles;
    std::vector<std::string> trace;
    UINT timerResult = 0;
    bool priorityResult = true;
    bool threadsResult = true;
};

// A frame with its view and document as the start makes them, on a plain
// application object (the default song served as present).
struct Session {
    CWinApp app;
    CFrameWnd* frame = nullptr;
    CView* view = nullptr;
    CDocument* doc = nullptr;
    Session(const std::string& profile, std::function<CView*()> newView = [] { return new CSynthView; }) {
        InstallUiHooks();
        app.SetProfilePath(profile);
        app.LoadStdProfileSettings(8);
        app.AddDocTemplate(new CSingleDocTemplate(
            128, [] { return new CSynthDoc; }, [] { return new CMainFrame; }, std::move(newView)));
        app.OnFileNew();
        frame = dynamic_cast<CFrameWnd*>(app.m_pMainWnd);
        if (!frame) return;
        view = frame->GetActiveView();
        doc = frame->GetActiveDocument();
        frame->ShowWindow(SW_SHOW);
        PumpMessages(30);
    }
    ~Session() {
        if (app.m_pMainWnd) app.m_pMainWnd->DestroyWindow();
        PumpMessages(10);
    }
};

// A windowed test on the program's session: the default song opened by the
// first File New, which then counts as done.
class SessionTest : public GuiTest {
protected:
    // True when the frame came up with its view and document.
    bool OpenSession(std::function<CView*()> newView = [] { return new CSynthView; }) {
        songFiles["_default_.mcs"] = DocIoResult::Ok;
        session_ = std::make_unique<Session>(ProfilePath(), std::move(newView));
        g_firstNewDone = 1;
        return session_->view != nullptr && session_->doc != nullptr;
    }
    void TearDown() override {
        session_.reset();
        GuiTest::TearDown();
    }
    std::unique_ptr<Session> session_;
};

// The application with its settings read traced.
class TracingApp : public CSynthApp {
public:
    explicit TracingApp(std::vector<std::string>& trace) : trace_(trace) {}
    void LoadSettings() override {
        trace_.push_back("LoadSettings");
        CSynthApp::LoadSettings();
    }

private:
    std::vector<std::string>& trace_;
};
