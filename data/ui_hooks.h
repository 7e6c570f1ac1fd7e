// The windows of the user interface that the song data operations reach. Until
// the user interface installs its own hooks every call does nothing.
#pragma once

class UiHooks {
public:
    virtual ~UiHooks() = default;

    // The automation knob panel: destroys its window when the panel object has
    // one open.
    virtual void DestroyAutomationPanel() {}
    // The splash window shown during start-up: destroys its window when it is
    // still open.
    virtual void DestroySplashWindow() {}
    // The oscilloscope: destroys its window when the "Scope" setting is on and
    // the window object exists (the setting stays as it is).
    virtual void DestroyScopeWindow() {}
};

// Installs hooks (not owned); null restores the ones that do nothing.
void SetUiHooks(UiHooks* hooks);
UiHooks& Ui();
