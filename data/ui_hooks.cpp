#include "data/ui_hooks.h"

namespace {
UiHooks g_noHooks;
UiHooks* g_hooks = &g_noHooks;
}  // namespace

void SetUiHooks(UiHooks* hooks) { g_hooks = hooks ? hooks : &g_noHooks; }

UiHooks& Ui() { return *g_hooks; }
