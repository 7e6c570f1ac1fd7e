// The windows of the user interface that the song data operations reach. Until
// the user interface installs its own hooks every call does nothing.
#pragma once

class UiHooks {
public:
    virtual ~UiHooks() = default;

    // The automation knob panel: destroys its window when the panel object has
    // one open.
    virtual void DestroyAutomationPanel() {}
};

// Installs hooks (not owned); null restores the ones that do nothing.
void SetUiHooks(UiHooks* hooks);
UiHooks& Ui();
