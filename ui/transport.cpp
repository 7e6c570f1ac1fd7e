#include "ui/transport.h"

#include "host/audio_device.h"
#include "host/synth_app.h"
#include "platform/wnd.h"
#include "shared/editor.h"
#include "shared/settings.h"
#include "shared/transport.h"
#include "ui/view_globals.h"

namespace {

void Repaint(TransportCommand command, const std::function<void()>& repaintTopBar) {
    if (command == TransportCommand::kToolWindowSpace) RequestDeferredRedraw();
    else if (repaintTopBar) repaintTopBar();
}

void Stop(TransportCommand command, const std::function<void()>& repaintTopBar) {
    g_engineReset = kResetStop;
    g_playFlag = 0;
    if (g_freeAudioDevWhenStopped) {
        g_masterMute = 1;
        g_releaseDevicePending = 1;
    }
    Repaint(command, repaintTopBar);
}

void Start(TransportCommand command, const std::function<void()>& repaintTopBar) {
    if (g_releaseDevicePending) return;
    const bool space = command == TransportCommand::kSpace || command == TransportCommand::kToolWindowSpace;
    // The toggle bit alone (bit 0) does not count.
    if (space && GetKeyState(VK_CONTROL) / 2 != 0) g_playFromCursor = 1;
    g_playFlag = 1;
    Repaint(command, repaintTopBar);
    if (command == TransportCommand::kMenuPlayStop) {
        g_orderTop = 0;
        g_orderCursor = 0;
        g_playFromCursor = 0;
        g_loopPattern = 0;
    } else {
        g_loopPattern = g_patternFocus != 0 ? 1 : 0;
    }
    if (g_freeAudioDevWhenStopped || !g_deviceOpen) {
        const auto& open = GetAppServices().openAudioDevice;
        if (!(open ? open() : OpenAudioDevice())) {
            g_playFlag = 0;
            if (command != TransportCommand::kPlayButton) g_playFromCursor = 0;
            Repaint(command, repaintTopBar);
        }
    }
    // Written also after a failed open: it waits until a device renders again,
    // and a device that was open already still starts.
    g_engineReset = kResetStart;
}

}  // namespace

void RunTransport(TransportCommand command, const std::function<void()>& repaintTopBar) {
    switch (command) {
    case TransportCommand::kStopButton:
        Stop(command, repaintTopBar);
        return;
    case TransportCommand::kPlayButton:
        if (g_playFlag == 0) Start(command, repaintTopBar);
        return;
    default:
        if (g_songPlaying != 0) Stop(command, repaintTopBar);
        else Start(command, repaintTopBar);
    }
}
