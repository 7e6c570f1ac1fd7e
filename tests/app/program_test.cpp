// The real program, started as a user starts it, on this test program's own
// virtual display: it comes up in the folder of its default song, greets with
// its window and no message box, quits with Ctrl+Q and leaves its settings
// behind; a refused song on the command line ends it; without a display it
// says so.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string Shell(const std::string& cmd) {
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
std::string FindWindow(const std::string& titleRegex) {
    std::string ids = Shell("xdotool search --onlyvisible --name '" + titleRegex + "' 2>/dev/null");
    return ids.substr(0, ids.find('\n'));
}

bool WaitFor(const std::function<bool()>& done, int ms) {
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
        fs::remove_all(root_);
    }

    void Start(const fs::path& folder, std::vector<std::string> args = {}) {
        pid_ = ::fork();
        if (pid_ == 0) {
            ::chdir(folder.c_str());
            ::setenv("XDG_CONFIG_HOME", (root_ / "config").c_str(), 1);
            if (!jack_.Name().empty()) ::setenv("JACK_DEFAULT_SERVER", jack_.Name().c_str(), 1);
            std::vector<char*> argv{const_cast<char*>(MC_PROGRAM)};
            for (auto& a : args) argv.push_back(a.data());
            argv.push_back(nullptr);
            ::execv(MC_PROGRAM, argv.data());
            ::_exit(127);
        }
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

}  // namespace

// As the run command starts it: in the folder of the shipped default song, with
// no settings yet. The default song opens at the first File New without a word,
// the document keeps its title "Untitled", and nothing is written beside the song.
TEST_F(ProgramTest, InTheDefaultSongsFolderItGreetsWithoutABoxAndQuitsWithCtrlQ) {
    const fs::path songs = fs::path(MC_SOURCE_DIR) / "songs";
    ASSERT_TRUE(fs::exists(songs / "_default_.mcs"));
    const std::vector<std::string> before = Listing(songs);
    Start(songs);
    std::string main, box;
    ASSERT_TRUE(WaitFor([&] { return !(main = FindWindow("^MorvelCanopy I - Untitled$")).empty() ||
                                      !(box = FindWindow("^MorvelCanopy I$")).empty(); },
                        20000));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_EQ(FindWindow("^MorvelCanopy I$"), "") << "a message box is showing";
    ASSERT_FALSE(main.empty());
    Press(main, "ctrl+q");
    EXPECT_EQ(WaitExit(10000), 0);
    EXPECT_EQ(StoredValues(), 66);
    EXPECT_EQ(Listing(songs), before);
}

TEST_F(ProgramTest, ARefusedSongOnTheCommandLineEndsItWithSettingsWritten) {
    Start(root_ / "work", {"piano.mci"});
    std::string box;
    ASSERT_TRUE(WaitFor([&] { return !(box = FindWindow("^MorvelCanopy I$")).empty(); }, 20000));
    ASSERT_TRUE(Dismiss(box));
    EXPECT_EQ(WaitExit(10000), 1);
    EXPECT_EQ(StoredValues(), 66);
}

TEST_F(ProgramTest, WithoutADisplayItSaysSo) {
    std::string out = Shell("env -u DISPLAY -u WAYLAND_DISPLAY " + std::string(MC_PROGRAM) + " 2>&1; echo \"rc=$?\"");
    EXPECT_NE(out.find("needs a graphical display"), std::string::npos) << out;
    EXPECT_NE(out.find("rc=1"), std::string::npos) << out;
}
