// The windows of the user interface that the song data operations reach. Until
// the user interface installs its own hooks every call does nothing.
#pragma once

class UiHooks;

// Installs hooks (not owned); null restores the ones that do nothing.
void SetUiHooks(UiHooks* hooks);
UiHooks& Ui();

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

    // The automation knob panel: creates its window when the panel object exists
    // (the song reader opens it after a load that has automation on).
    virtual void OpenAutomationPanel() {}

    // The wait cursor: shown while a file is read or written, and the cursor
    // shown before put back before each message box and at the end.
    virtual void BeginWaitCursor() {}
    virtual void EndWaitCursor() {}
};

// Shows the wait cursor for its lifetime; Restore puts the previous cursor back
// early (before a message box).
class WaitCursor {
public:
    WaitCursor() { Ui().BeginWaitCursor(); }
    ~WaitCursor() { Restore(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
    void Restore() {
        if (shown_) Ui().EndWaitCursor();
        shown_ = false;
    }

private:
    bool shown_ = true;
};
