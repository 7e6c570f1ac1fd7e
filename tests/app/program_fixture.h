// The real program started as a user starts it, on the test's own virtual
// display and, where the machine has one, a JACK server with the dummy driver;
// xdotool finds its windows and presses its keys, the display's frame buffer
// (Xvfb's -fbdir, named by MC_XVFB_FBDIR) shows what it drew, and what it
// printed on its error output is kept (and shown when a test fails).
#pragma once

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/xvfb_screen.h"

namespace fs = std::filesystem;


inline std::string Shell(const std::string& cmd) {
    std::string out;
    if (FILE* p = ::popen(cmd.c_str(), "r")) {
        char buf[256];
        while (std::fgets(buf, sizeof buf, p)) out += buf;
        ::pclose(p);
    }
    while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) out.pop_back();
    return out;
}

// Visible windows whose title is exactly text (message boxes carry the
// application's title alone).
inline std::string FindWindow(const std::string& titleRegex) {
    std::string ids = Shell("xdotool search --onlyvisible --name '" + titleRegex + "' 2>/dev/null");
    return ids.substr(0, ids.find('\n'));
}

// A window's place and size on the display, as xdotool tells them (all 0 for
// a window it does not know).
struct WindowGeometry {
    int x = 0, y = 0, width = 0, height = 0;
};

inline WindowGeometry GeometryOf(const std::string& window) {
    WindowGeometry g;
    std::istringstream in(Shell("xdotool getwindowgeometry --shell " + window + " 2>/dev/null"));
    for (std::string line; std::getline(in, line);) {
        const size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = line.substr(0, eq);
        const int value = std::atoi(line.c_str() + eq + 1);
        if (key == "X") g.x = value;
        if (key == "Y") g.y = value;
        if (key == "WIDTH") g.width = value;
        if (key == "HEIGHT") g.height = value;
    }
    return g;
}

inline bool WaitFor(const std::function<bool()>& done, int ms) {
    for (int t = 0; t < ms; t += 50) {
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return done();
}

// A JACK server with the dummy driver for the program's audio output, when
// the machine has one.
class JackServer {
public:
    JackServer() {
        if (Shell("command -v jackd").empty()) return;
        name_ = "mc-app-" + std::to_string(::getpid());
        pid_ = ::fork();
        if (pid_ == 0) {
            ::setenv("JACK_NO_AUDIO_RESERVATION", "1", 1);
            std::freopen("/dev/null", "w", stdout);
            std::freopen("/dev/null", "w", stderr);
            ::execlp("jackd", "jackd", "--no-realtime", "-n", name_.c_str(), "-d", "dummy", "-r", "44100", "-p", "512",
                     static_cast<char*>(nullptr));
            ::_exit(127);
        }
        Shell("JACK_DEFAULT_SERVER=" + name_ + " timeout 10 jack_wait -w -t 10 >/dev/null 2>&1");
    }
    ~JackServer() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    const std::string& Name() const { return name_; }

private:
    std::string name_;
    pid_t pid_ = -1;
};

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("mc-app-" + std::to_string(::getpid()) + "-" +
                                             ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root_);
        fs::create_directories(root_ / "config");
        fs::create_directories(root_ / "work");
    }
    void TearDown() override {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        if (HasFailure()) std::fprintf(stderr, "--- the program's error output:\n%s", ErrorOutput().c_str());
        fs::remove_all(root_);
    }

    void Start(const fs::path& folder, std::vector<std::string> args = {}) {
        pid_ = ::fork();
        if (pid_ == 0) {
            ::chdir(folder.c_str());
            std::freopen((root_ / "stderr.txt").c_str(), "a", stderr);
            ::setenv("XDG_CONFIG_HOME", (root_ / "config").c_str(), 1);
            if (!jack_.Name().empty()) ::setenv("JACK_DEFAULT_SERVER", jack_.Name().c_str(), 1);
            std::vector<char*> argv{const_cast<char*>(MC_PROGRAM)};
            for (auto& a : args) argv.push_back(a.data());
            argv.push_back(nullptr);
            ::execv(MC_PROGRAM, argv.data());
            ::_exit(127);
        }
    }
    // The main window of a new, untitled song once it shows; empty when it
    // does not within ms.
    static std::string MainWindow(int ms = 20000) {
        std::string main;
        WaitFor([&] { return !(main = FindWindow("^MorvelCanopy I - Untitled$")).empty(); }, ms);
        return main;
    }
    // The exit status, or -1 when the program is still running after ms.
    int WaitExit(int ms) {
        int status = 0;
        bool ended = WaitFor([&] { return ::waitpid(pid_, &status, WNOHANG) == pid_; }, ms);
        if (!ended) return -1;
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    void Press(const std::string& window, const std::string& keys) {
        Shell("xdotool windowfocus --sync " + window + " key --delay 30 " + keys + " 2>/dev/null");
    }
    // A first start opens the help viewer over the main window; true once it
    // shows, so that it has taken the focus before a test types into the main
    // window.
    static bool FirstRunHelpShown() {
        return WaitFor([] { return !FindWindow("^Morvel Canopy Help - Getting started$").empty(); }, 20000);
    }
    // Opens a menu with its Alt key, waits until its popup shows, then types
    // `keys` into it (on a slow start, keys typed before the popup shows go to
    // the main window instead). False when no popup showed.
    bool ChooseFromMenu(const std::string& window, const std::string& altKey, const std::string& keys) {
        Press(window, altKey);
        const bool shown = WaitFor(
            [] {
                const std::string popup =
                    Shell("xdotool search --onlyvisible --maxdepth 1 --name '^morvelcanopy$' 2>/dev/null");
                return !popup.empty() && popup.find('\n') == std::string::npos;  // one popup
            },
            10000);
        if (!shown) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));  // the popup takes its grab
        Shell("xdotool key --delay 30 " + keys + " 2>/dev/null");
        return true;
    }
    // Answers a message box with Enter; true once it is gone.
    bool Dismiss(const std::string& box) {
        return WaitFor(
            [&] {
                if (Shell("xdotool search --onlyvisible --name '^MorvelCanopy I$' 2>/dev/null").find(box) ==
                    std::string::npos)
                    return true;
                Press(box, "Return");
                std::this_thread::sleep_for(std::chrono::milliseconds(300));
                return false;
            },
            10000);
    }
    static std::vector<std::string> Listing(const fs::path& folder) {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    // Everything the program printed on its error output, of every start.
    std::string ErrorOutput() const {
        std::ifstream in(root_ / "stderr.txt");
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    // The toolkit's complaints among it: GLib-style warnings and critical
    // messages of any domain ("Gtk-CRITICAL **: ...", "Gtk-WARNING **: ...").
    std::string ToolkitComplaints() const {
        std::istringstream in(ErrorOutput());
        std::string line, found;
        while (std::getline(in, line))
            if (line.find("-CRITICAL **") != std::string::npos || line.find("-WARNING **") != std::string::npos)
                found += line + "\n";
        return found;
    }
    fs::path Settings() const { return root_ / "config" / "Tarrowby Kinetic" / "MorvelCanopy I.ini"; }
    int StoredValues() const {
        std::ifstream in(Settings());
        std::string line;
        int n = 0;
        while (std::getline(in, line)) n += !line.empty() && line[0] != '[' && line.find('=') != std::string::npos;
        return n;
    }

    JackServer jack_;
    fs::path root_;
    pid_t pid_ = -1;
};

