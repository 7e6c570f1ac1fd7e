#include "platform/message_box.h"

#include <cstdio>
#include <mutex>
#include <utility>

namespace {
std::mutex g_handlerMutex;
MessageBoxHandler& Handler() {
    static MessageBoxHandler handler;
    return handler;
}
}  // namespace

int AfxMessageBox(const std::string& text, uint32_t style) {
    // A box that names no icon gets the exclamation mark.
    if ((style & 0xF0) == 0) style |= MB_ICONEXCLAMATION;
    MessageBoxHandler handler;
    {
        std::lock_guard<std::mutex> lock(g_handlerMutex);
        handler = Handler();
    }
    if (handler) return handler(text, style);
    std::fprintf(stderr, "%s\n", text.c_str());
    return IDOK;
}

void SetMessageBoxHandler(MessageBoxHandler handler) {
    std::lock_guard<std::mutex> lock(g_handlerMutex);
    Handler() = std::move(handler);
}
