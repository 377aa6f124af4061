// The sounds on a real sound server: PulseAudio started as the user in a folder of its own with
// a null sink, the probe playing a play's events through the game's player and output, and
// parec recording the sink's monitor. Each event is heard within 30 ms of when it came, and
// nothing with sounds off. Skipped when no server can be started here.

#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/as_user.h"

namespace kestro {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

bool onPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::istringstream dirs(path ? path : "");
    std::string dir;
    while (std::getline(dirs, dir, ':')) {
        if (::access((fs::path(dir) / program).c_str(), X_OK) == 0) {
            return true;
        }
    }
    return false;
}

// Starts argv as the test user with HOME and the runtime folders at dir, stdin and stdout from
// and to the given files (empty: /dev/null).
pid_t spawn(const std::vector<std::string>& argv, const fs::path& dir, const fs::path& in,
            const fs::path& out) {
    const pid_t pid = ::fork();
    if (pid != 0) {
        return pid;
    }
    if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(test::userGroup()) != 0 ||
                             ::setuid(test::userId()) != 0)) {
        ::_exit(126);
    }
    const int inFd = ::open(in.empty() ? "/dev/null" : in.c_str(), O_RDONLY);
    const int outFd =
        ::open(out.empty() ? "/dev/null" : out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (inFd < 0 || outFd < 0 || ::dup2(inFd, 0) < 0 || ::dup2(outFd, 1) < 0 ||
        ::dup2(outFd, 2) < 0) {
        ::_exit(126);
    }
    ::setenv("HOME", dir.c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
    ::setenv("PULSE_RUNTIME_PATH", dir.c_str(), 1);
    ::setenv("PULSE_SERVER", ("unix:" + (dir / "native").string()).c_str(), 1);
    ::unsetenv("DISPLAY");
    std::vector<char*> args;
    for (const std::string& a : argv) {
        args.push_back(const_cast<char*>(a.c_str()));
    }
    args.push_back(nullptr);
    ::execvp(args[0], args.data());
    ::_exit(127);
}

int finish(pid_t pid, bool stop) {
    if (stop) {
        ::kill(pid, SIGTERM);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return status;
}

std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// The server's folder, owned by the test user, removed at the end.
struct ServerFolder {
    ServerFolder() {
        char name[] = "/tmp/kestro-sound-XXXXXX";
        dir = ::mkdtemp(name);
        if (::geteuid() == 0 && ::chown(dir.c_str(), test::userId(), test::userGroup()) != 0) {
            dir.clear();
        }
    }
    ~ServerFolder() {
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }
    fs::path dir;
};

// Where the recording rises out of silence (100 ms of it), in ms from its start.
std::vector<double> onsets(const std::string& raw) {
    constexpr int kThreshold = 300;
    constexpr std::size_t kQuiet = 4800;
    std::vector<double> found;
    std::size_t quiet = kQuiet;
    for (std::size_t i = 0; i + 1 < raw.size(); i += 2) {
        const auto s = static_cast<std::int16_t>(static_cast<std::uint8_t>(raw[i]) |
                                                 (static_cast<std::uint8_t>(raw[i + 1]) << 8));
        if (std::abs(s) < kThreshold) {
            ++quiet;
            continue;
        }
        if (quiet >= kQuiet) {
            found.push_back(static_cast<double>(i / 2) / 48.0);
        }
        quiet = 0;
    }
    return found;
}

// The probe's "<ms> NAME" lines: when each event was handed to the player.
std::vector<double> handed(const std::string& log) {
    std::vector<double> times;
    std::istringstream lines(log);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        double ms = 0;
        std::string second;
        if (words >> ms >> second && second != "written") {
            times.push_back(ms);
        }
    }
    return times;
}

TEST(SoundServer, EachEventIsHeardInTimeAndNothingWithSoundsOff) {
    if (!onPath("pulseaudio") || !onPath("parec")) {
        GTEST_SKIP() << "pulseaudio and parec are not installed (Debian packages pulseaudio, "
                        "pulseaudio-utils)";
    }
    ServerFolder folder;
    ASSERT_FALSE(folder.dir.empty());
    const fs::path dir = folder.dir;
    {
        std::ofstream config(dir / "server.pa");
        config << "load-module module-null-sink sink_name=kestro_null rate=48000 channels=1\n"
                  "set-default-sink kestro_null\n"
                  "load-module module-native-protocol-unix\n";
    }
    // A new stream waits for the server's first request (up to a second and a half on a null
    // sink whose monitor is already recorded); the player spends it priming, as the game spends
    // it paused at start-up, so the events come after it.
    std::ofstream(dir / "events.txt") << "3000 event pointer-bounce\n"
                                         "3400 event wall-bounce\n"
                                         "3800 event block-to-wall\n"
                                         "4200 event goal-collected\n"
                                         "4600 event level-lost\n";
    const pid_t server =
        spawn({"pulseaudio", "-n", "-F", (dir / "server.pa").string(), "--daemonize=no",
               "--exit-idle-time=-1", "--use-pid-file=no", "--log-target=stderr"},
              dir, {}, dir / "server.log");
    struct Stop {
        pid_t pid;
        ~Stop() { finish(pid, true); }
    } stopServer{server};
    for (int i = 0; i < 100 && !fs::exists(dir / "native"); ++i) {
        std::this_thread::sleep_for(50ms);
    }
    if (!fs::exists(dir / "native")) {
        GTEST_SKIP() << "the sound server did not start: " << slurp(dir / "server.log");
    }

    struct Run {
        const char* what;
        std::vector<std::string> probeArgs;
    };
    for (const Run& run :
         {Run{"on", {KESTRO_SOUND_PROBE}}, Run{"off", {KESTRO_SOUND_PROBE, "--off"}}}) {
        SCOPED_TRACE(run.what);
        const fs::path recording = dir / (std::string(run.what) + ".raw");
        const fs::path log = dir / (std::string(run.what) + ".log");
        const pid_t parec =
            spawn({"parec", "--device=kestro_null.monitor", "--raw", "--format=s16le",
                   "--rate=48000", "--channels=1", "--latency-msec=5"},
                  dir, {}, recording);
        std::this_thread::sleep_for(500ms);  // parec connected and recording silence
        const int probe = finish(spawn(run.probeArgs, dir, dir / "events.txt", log), false);
        std::this_thread::sleep_for(200ms);
        finish(parec, true);
        ASSERT_TRUE(WIFEXITED(probe) && WEXITSTATUS(probe) == 0) << slurp(log);

        const std::vector<double> heard = onsets(slurp(recording));
        const std::vector<double> events = handed(slurp(log));
        ASSERT_EQ(events.size(), 5u) << slurp(log);
        if (std::string(run.what) == "off") {
            EXPECT_TRUE(heard.empty()) << heard.size() << " sounds with sounds off";
            continue;
        }
        ASSERT_EQ(heard.size(), events.size()) << slurp(log);
        // The recording has no clock of its own: each sound is placed against the first one,
        // which the probe's log shows written to the server within 30 ms of its event.
        for (std::size_t i = 1; i < events.size(); ++i) {
            const double late = (heard[i] - heard[0]) - (events[i] - events[0]);
            EXPECT_GE(late, -30.0) << "event " << i;
            EXPECT_LE(late, 30.0) << "event " << i;
        }
        EXPECT_NE(slurp(log).find(" written pointer-bounce us="), std::string::npos);
    }
}

}  // namespace
}  // namespace kestro
