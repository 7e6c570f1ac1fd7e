// The application object: start-up, shut-down and the settings.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/framework.h"
#include "platform/services.h"
#include "shared/relaxed.h"

class CSplashDlg;
class COscilloscopeDlg;
class CAutomationDlg;

extern CSplashDlg* g_pSplashWnd;
extern COscilloscopeDlg* g_pScopeDlg;
extern CAutomationDlg* g_pAutomationDlg;
extern uint16_t g_langId;        // primary system language (0x07 German, 0x0C French, ...)
extern std::string g_helpFile;
extern CWnd* g_hMainWnd;         // the main frame window

// The system calls of the start and the end, replaceable so that a test can
// trace them or make them fail.
struct AppServices {
    std::function<void()> enumerateAudioDevices;
    std::function<void()> enumerateMidiDevices;
    std::function<void()> buildEngineTables;
    std::function<bool()> openMidiIn;
    std::function<bool()> openMidiOut;
    std::function<void()> closeMidiIn;
    std::function<void()> closeMidiOut;
    std::function<UINT(UINT)> timeBeginPeriod;
    std::function<UINT(UINT)> timeEndPeriod;
    std::function<bool(PriorityClass)> setPriorityClass;
    std::function<bool()> createRenderThreads;  // events and threads; false when one failed
    std::function<void()> endRenderThreads;     // their loops ended and the threads joined
    std::function<bool()> openAudioDevice;
    std::function<void()> closeAudioDevice;
};
AppServices& GetAppServices();
void ResetAppServices();  // back to the real calls

class CSynthApp : public CWinApp {
public:
    CSynthApp();

    bool InitApplication() override;
    bool InitInstance() override;
    int ExitInstance() override;
    virtual void LoadSettings();
    // Writes every setting back, in the order they are read.
    void SaveSettings();
};
