#include "shared/message_box.h"

#include <cstdio>
#include <utility>

namespace {

int DefaultMessageBox(const std::string& text, unsigned type, unsigned /*helpId*/) {
    std::fprintf(stderr, "%s\n", text.c_str());
    switch (type & MB_TYPEMASK) {
        case MB_YESNO:
        case MB_YESNOCANCEL: return IDYES;
        default: return IDOK;
    }
}

MessageBoxHandler& Handler() {
    static MessageBoxHandler handler = DefaultMessageBox;
    return handler;
}

}  // namespace

void SetMessageBoxHandler(MessageBoxHandler handler) {
    Handler() = handler ? std::move(handler) : MessageBoxHandler(DefaultMessageBox);
}

int AfxMessageBox(const std::string& text, unsigned type, unsigned helpId) {
    // A box whose style names no icon shows the exclamation mark.
    if ((type & MB_ICONMASK) == 0) type |= MB_ICONEXCLAMATION;
    return Handler()(text, type, helpId);
}
