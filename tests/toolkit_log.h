// The warnings and critical messages the toolkit logs (GTK, GDK, GLib), kept
// in order for the windowed tests to read: the test main installs the
// writer once, before the toolkit starts; everything still goes on to the
// default writer as well.
#pragma once

#include <glib.h>

#include <cstring>
#include <mutex>
#include <string>
#include <vector>

struct ToolkitLog {
    std::mutex lock;
    std::vector<std::string> messages;
};

inline ToolkitLog& GetToolkitLog() {
    static ToolkitLog log;
    return log;
}

// The messages logged so far, from number `from` on.
inline std::vector<std::string> ToolkitMessagesSince(size_t from) {
    ToolkitLog& log = GetToolkitLog();
    std::lock_guard<std::mutex> hold(log.lock);
    if (from >= log.messages.size()) return {};
    return {log.messages.begin() + std::ptrdiff_t(from), log.messages.end()};
}

inline size_t ToolkitMessageCount() {
    ToolkitLog& log = GetToolkitLog();
    std::lock_guard<std::mutex> hold(log.lock);
    return log.messages.size();
}

inline GLogWriterOutput ToolkitLogWriter(GLogLevelFlags level, const GLogField* fields, gsize count, gpointer) {
    if (level & (G_LOG_LEVEL_ERROR | G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_WARNING)) {
        std::string domain, message;
        for (gsize i = 0; i < count; ++i) {
            const GLogField& f = fields[i];
            if (f.length >= 0 || f.value == nullptr) continue;  // only text fields
            if (std::strcmp(f.key, "GLIB_DOMAIN") == 0) domain = static_cast<const char*>(f.value);
            else if (std::strcmp(f.key, "MESSAGE") == 0) message = static_cast<const char*>(f.value);
        }
        const char* kind = (level & G_LOG_LEVEL_WARNING) ? "-WARNING: " : "-CRITICAL: ";
        ToolkitLog& log = GetToolkitLog();
        std::lock_guard<std::mutex> hold(log.lock);
        log.messages.push_back(domain + kind + message);
    }
    return g_log_writer_default(level, fields, count, nullptr);
}

inline void InstallToolkitLogWriter() { g_log_set_writer_func(ToolkitLogWriter, nullptr, nullptr); }
