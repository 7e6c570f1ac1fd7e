#include "host/synth_app.h"

#include <new>

#include "data/synth_doc.h"
#include "engine/tables.h"
#include "host/audio_device.h"
#include "host/capture.h"
#include "host/render_paths.h"
#include "host/midi_ports.h"
#include "platform/key_layer.h"
#include "res/resource_ids.h"
#include "shared/app_settings.h"
#include "shared/automation.h"
#include "shared/settings.h"
#include "ui/main_frame.h"
#include "ui/synth_view.h"
#include "ui/tool_windows.h"
#include "ui/view_globals.h"

CSplashDlg* g_pSplashWnd = nullptr;
COscilloscopeDlg* g_pScopeDlg = nullptr;
CAutomationDlg* g_pAutomationDlg = nullptr;
uint16_t g_langId = 0;
std::string g_helpFile;
CWnd* g_hMainWnd = nullptr;

namespace {

AppServices RealServices() {
    AppServices s;
    s.enumerateAudioDevices = EnumerateAudioDevices;
    s.enumerateMidiDevices = EnumerateMidiDevices;
    s.buildEngineTables = BuildEngineTables;
    s.openMidiIn = OpenMidiIn;
    s.openMidiOut = OpenMidiOut;
    s.closeMidiIn = CloseMidiIn;
    s.closeMidiOut = CloseMidiOut;
    s.timeBeginPeriod = [](UINT ms) { return ::timeBeginPeriod(ms); };
    s.timeEndPeriod = [](UINT ms) { return ::timeEndPeriod(ms); };
    s.setPriorityClass = [](PriorityClass c) { return ::SetPriorityClass(c); };
    s.createRenderThreads = CreateRenderThreads;
    s.endRenderThreads = EndRenderThreads;
    s.openAudioDevice = OpenAudioDevice;
    s.closeAudioDevice = CloseAudioDevice;
    return s;
}

}  // namespace

AppServices& GetAppServices() {
    static AppServices services = RealServices();
    return services;
}

void ResetAppServices() { GetAppServices() = RealServices(); }

CSynthApp::CSynthApp() : CWinApp(nullptr) {}

bool CSynthApp::InitApplication() {
    InstallUiHooks();
    g_pSplashWnd = new (std::nothrow) CSplashDlg(nullptr);
    g_pScopeDlg = new (std::nothrow) COscilloscopeDlg(nullptr);
    g_pAutomationDlg = new (std::nothrow) CAutomationDlg(nullptr);
    if (g_pSplashWnd) {
        g_pSplashWnd->Create(IDD_SPLASH, nullptr);
        PumpMessages();  // let the picture show while the start runs
    }
    g_langId = uint16_t(GetSystemDefaultLangID() & 0x1FF);
    SetKeyLayoutLanguage(g_langId);  // the character keys by the language's layout
    return CWinApp::InitApplication();
}

bool CSynthApp::InitInstance() {
    AppServices& sys = GetAppServices();
    Enable3dControlsStatic();
    SetRegistryKey("Tarrowby Kinetic");
    LoadStdProfileSettings(8);
    sys.enumerateAudioDevices();
    sys.enumerateMidiDevices();
    LoadSettings();
    sys.buildEngineTables();
    sys.openMidiIn();
    sys.openMidiOut();
    AddDocTemplate(new CSingleDocTemplate(
        IDR_MAINFRAME, [] { return new CSynthDoc; }, [] { return new CMainFrame; }, [] { return new CSynthView; }));
    g_helpFile = m_pszHelpFilePath;

    CCommandLineInfo cmdInfo;
    ParseCommandLine(cmdInfo);
    if (!ProcessShellCommand(cmdInfo)) return false;

    m_pMainWnd->DragAcceptFiles(true);
    g_hMainWnd = m_pMainWnd;
    if (sys.timeBeginPeriod(1) == TIMERR_NOCANDO) AfxMessageBox("Warning! Timer resolution is out of range!", MB_OK);
    if (!sys.setPriorityClass(PriorityClass::High)) AfxMessageBox("Warning! Priorityclass set failed!", MB_OK);
    const bool threadsMade = sys.createRenderThreads();
    if (g_pSplashWnd && g_pSplashWnd->IsWindow()) g_pSplashWnd->DestroyWindow();
    if (!threadsMade) {
        AfxMessageBox("Warning!!! Low memory or Windows resources!", MB_OK);
        g_threadsAvailable = 0;
    }

    m_pMainWnd->ShowWindow(SW_SHOW);
    m_pMainWnd->UpdateWindow();
    // The activation that showing causes records the frame's position; where
    // the desktop sends none, the frame stays where it was placed.
    if (g_windowLeft != -1 || g_windowTop != -1)
        m_pMainWnd->MoveWindow(g_windowLeft, g_windowTop, g_frameWidth, g_frameHeight, true);

    if (g_scopeOn && g_pScopeDlg) g_pScopeDlg->Create(IDD_OSCILLOSCOPE, nullptr);
    if (g_startingUp && g_automationOn && g_pAutomationDlg) g_pAutomationDlg->Create(IDD_AUTOMATION, nullptr);
    if (g_pValueTip) g_pValueTip->Create(IDD_VALUE_TIP, nullptr);
    g_firstNewDone = 1;
    g_startingUp = 0;
    if (!g_freeAudioDevWhenStopped) sys.openAudioDevice();
    if (g_firstRun == kFirstRunMark) {
        g_firstRun = 0;
        WinHelp(g_hMainWnd, g_helpFile, HELP_CONTEXT, 9);
    }
    m_pMainWnd->SetForegroundWindow();
    if (auto* frame = dynamic_cast<CFrameWnd*>(m_pMainWnd); frame && frame->GetActiveView())
        frame->GetActiveView()->SetFocus();
    return true;
}

int CSynthApp::ExitInstance() {
    AppServices& sys = GetAppServices();
    sys.setPriorityClass(PriorityClass::Normal);
    g_threadsRun = 0;
    sys.closeAudioDevice();
    sys.endRenderThreads();
    FinishCaptureAtExit();  // the render paths have stopped: a capture still open gets its header
    sys.closeMidiIn();
    sys.closeMidiOut();
    sys.timeEndPeriod(1);
    WinHelp(nullptr, g_helpFile, HELP_QUIT, 0);
    SaveSettings();
    return CWinApp::ExitInstance();
}
