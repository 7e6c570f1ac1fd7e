// What the program's window layer does not show: the toolkit's own dialogs
// (the message boxes), read straight from the widget library already loaded
// into the test process (their title, buttons with labels, which one is the
// default, where they are on the screen), closed as a window manager's close
// box closes them; the display's stacking order of the top-level windows; and
// a probe that runs while a modal loop waits. No headers of those libraries
// are needed: their few functions are looked up by name at run time.
#pragma once

#include <dlfcn.h>
#include <wx/timer.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace native {

struct Button {
    std::string label;
    bool isDefault = false;
    int x = 0, y = 0, width = 0, height = 0;  // on the screen
    int CentreX() const { return x + width / 2; }
    int CentreY() const { return y + height / 2; }
};

struct Dialog {
    void* window = nullptr;  // the toolkit's window
    unsigned long xid = 0;   // its X window
    std::string title;
    std::vector<Button> buttons;  // left to right
    std::vector<std::string> Labels() const {
        std::vector<std::string> l;
        for (const Button& b : buttons) l.push_back(b.label);
        return l;
    }
};

namespace detail {

struct List {
    void* data;
    List* next;
    List* prev;
};
struct Allocation {
    int x, y, width, height;
};

template <typename F>
F Fn(const char* name) {
    return reinterpret_cast<F>(::dlsym(RTLD_DEFAULT, name));
}

struct Api {
    List* (*listToplevels)() = Fn<List* (*)()>("gtk_window_list_toplevels");
    void (*listFree)(List*) = Fn<void (*)(List*)>("g_list_free");
    int (*mapped)(void*) = Fn<int (*)(void*)>("gtk_widget_get_mapped");
    const char* (*title)(void*) = Fn<const char* (*)(void*)>("gtk_window_get_title");
    unsigned long (*containerType)() = Fn<unsigned long (*)()>("gtk_container_get_type");
    unsigned long (*buttonType)() = Fn<unsigned long (*)()>("gtk_button_get_type");
    unsigned long (*dialogType)() = Fn<unsigned long (*)()>("gtk_dialog_get_type");
    int (*isA)(void*, unsigned long) = Fn<int (*)(void*, unsigned long)>("g_type_check_instance_is_a");
    void (*forall)(void*, void (*)(void*, void*), void*) =
        Fn<void (*)(void*, void (*)(void*, void*), void*)>("gtk_container_forall");
    const char* (*buttonLabel)(void*) = Fn<const char* (*)(void*)>("gtk_button_get_label");
    int (*hasDefault)(void*) = Fn<int (*)(void*)>("gtk_widget_has_default");
    void (*allocation)(void*, Allocation*) = Fn<void (*)(void*, Allocation*)>("gtk_widget_get_allocation");
    void* (*widgetWindow)(void*) = Fn<void* (*)(void*)>("gtk_widget_get_window");
    void (*origin)(void*, int*, int*) = Fn<void (*)(void*, int*, int*)>("gdk_window_get_origin");
    unsigned long (*xid)(void*) = Fn<unsigned long (*)(void*)>("gdk_x11_window_get_xid");
    void (*close)(void*) = Fn<void (*)(void*)>("gtk_window_close");
    void* (*defaultDisplay)() = Fn<void* (*)()>("gdk_display_get_default");
    void* (*xDisplay)(void*) = Fn<void* (*)(void*)>("gdk_x11_display_get_xdisplay");
    unsigned long (*rootWindow)(void*) = Fn<unsigned long (*)(void*)>("XDefaultRootWindow");
    int (*queryTree)(void*, unsigned long, unsigned long*, unsigned long*, unsigned long**, unsigned*) =
        Fn<int (*)(void*, unsigned long, unsigned long*, unsigned long*, unsigned long**, unsigned*)>("XQueryTree");
    int (*xFree)(void*) = Fn<int (*)(void*)>("XFree");
    bool Complete() const {
        return listToplevels && listFree && mapped && title && containerType && buttonType && dialogType && isA &&
               forall && buttonLabel && hasDefault && allocation && widgetWindow && origin && xid && close &&
               defaultDisplay && xDisplay && rootWindow && queryTree && xFree;
    }
};

inline const Api& Gtk() {
    static const Api api;
    return api;
}

inline void CollectButtons(void* widget, void* out) {
    const Api& g = Gtk();
    auto& buttons = *static_cast<std::vector<Button>*>(out);
    if (g.isA(widget, g.buttonType()) && g.mapped(widget)) {
        Button b;
        if (const char* l = g.buttonLabel(widget)) b.label = l;
        b.isDefault = g.hasDefault(widget) != 0;
        Allocation a{};
        g.allocation(widget, &a);
        int ox = 0, oy = 0;
        if (void* w = g.widgetWindow(widget)) g.origin(w, &ox, &oy);
        b.x = ox + a.x;
        b.y = oy + a.y;
        b.width = a.width;
        b.height = a.height;
        buttons.push_back(b);
        return;
    }
    if (g.isA(widget, g.containerType())) g.forall(widget, CollectButtons, out);
}

}  // namespace detail

// True when the widget library's functions were all found.
inline bool Available() { return detail::Gtk().Complete(); }

// The shown toolkit dialog with this title, if there is one.
inline std::optional<Dialog> Find(const std::string& title) {
    const detail::Api& g = detail::Gtk();
    if (!g.Complete()) return std::nullopt;
    std::optional<Dialog> found;
    detail::List* all = g.listToplevels();
    for (detail::List* l = all; l && !found; l = l->next) {
        void* w = l->data;
        if (!g.isA(w, g.dialogType()) || !g.mapped(w)) continue;
        const char* t = g.title(w);
        if (!t || title != t) continue;
        Dialog d;
        d.window = w;
        d.title = t;
        d.xid = g.widgetWindow(w) ? g.xid(g.widgetWindow(w)) : 0;
        g.forall(w, detail::CollectButtons, &d.buttons);
        std::sort(d.buttons.begin(), d.buttons.end(), [](const Button& a, const Button& b) { return a.x < b.x; });
        found = d;
    }
    g.listFree(all);
    return found;
}

// The X windows that are children of the root, the topmost first (without a
// window manager these are the top-level windows themselves).
inline std::vector<unsigned long> StackingTopFirst() {
    const detail::Api& g = detail::Gtk();
    std::vector<unsigned long> order;
    if (!g.Complete()) return order;
    void* display = g.xDisplay(g.defaultDisplay());
    unsigned long root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (!g.queryTree(display, g.rootWindow(display), &root, &parent, &children, &count)) return order;
    for (unsigned i = count; i-- > 0;) order.push_back(children[i]);  // the server lists them bottom first
    if (children) g.xFree(children);
    return order;
}

// Asks the dialog to close as the window manager's close box does.
inline void Close(const Dialog& d) { detail::Gtk().close(d.window); }

// Calls probe every 50 ms on the GUI thread, also while a modal loop runs,
// until it returns true; stops with the object.
class Prober : public wxTimer {
public:
    explicit Prober(std::function<bool()> probe) : probe_(std::move(probe)) { Start(50); }
    ~Prober() override { Stop(); }
    void Notify() override {
        if (done_) return;
        done_ = probe_();
        if (done_) Stop();
    }
    bool Done() const { return done_; }

private:
    std::function<bool()> probe_;
    bool done_ = false;
};

}  // namespace native
