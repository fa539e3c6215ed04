// open_to_painted: times desktop programs from process start to "the window is painted", on a
// private Xvfb server with no window manager, and reports their peak memory.
//
// Each run starts the command with the file as its argument, notes when its first top-level
// window is mapped, and watches every change to the screen through one DAMAGE object on the
// root window (it sees drawing into all windows, and exists before the program starts, so no
// early paint is missed). "Painted" is the last change that is followed by the settle time
// (300 ms) without any change. Peak memory is the program's VmHWM, read just before it is
// killed. The program is then killed with SIGKILL, so no close handler runs and no settings are
// written between runs. Commands run interleaved (A, B, A, B, ...), and the figures are
// reported as min / median / max. It reports; it never asserts a time.

#include <X11/extensions/Xdamage.h>
#include <X11/extensions/Xfixes.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

volatile std::sig_atomic_t g_interrupted = 0;

void onInterrupt(int)
{
    g_interrupted = 1;
}

double nowMs()
{
    timespec ts {};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

struct Options
{
    int runs = 7;
    int warmup = 1;
    int settleMs = 300;
    int timeoutMs = 20000;
    bool freshDir = false;
    bool verbose = false;
    std::string screen = "1280x1024x24";
    std::vector<std::string> files;
    std::vector<std::string> companions { "howl.wav", "contents.txt" };
    std::vector<std::vector<std::string>> commands;
};

struct RunResult
{
    bool ok = false;
    std::string failure;
    double mappedMs = 0;
    double paintedMs = 0;
    long hwmKiB = 0; // VmHWM of the program, read before the kill
    long maxRssKiB = 0; // ru_maxrss from wait4 after the kill
    double cpuMs = 0; // user + system time of the whole run, from wait4
    int damageEvents = 0;
};

void usage()
{
    std::fprintf(stderr,
        "usage: open_to_painted [options] --file FILE [--file FILE ...] -- CMD [ARGS] [-- CMD "
        "[ARGS]]\n"
        "  Each command gets the file as its last argument, or in place of an argument \"{}\".\n"
        "  -n N             measured runs per command and file (default 7)\n"
        "  --warmup N       unmeasured runs per command before each file's runs (default 1)\n"
        "  --settle-ms MS   quiet time that ends a run (default 300)\n"
        "  --timeout-ms MS  give up on a run after this long (default 20000)\n"
        "  --fresh-dir      run every start from a new temporary program directory holding a copy\n"
        "                   of the program and its companion files, removed after the run\n"
        "  --companion NAME companion file copied with --fresh-dir (default howl.wav, "
        "contents.txt)\n"
        "  --screen WxHxD   Xvfb screen (default 1280x1024x24)\n"
        "  -v               per-run figures and the programs' own output\n");
}

std::optional<Options> parseArguments(int argc, char **argv)
{
    Options options;
    bool companionsGiven = false;
    int i = 1;
    auto intValue = [&](int &target) {
        if (i + 1 >= argc)
            return false;
        char *end = nullptr;
        const long value = std::strtol(argv[++i], &end, 10);
        if (*end != '\0' || value < 0 || value > 1000000)
            return false;
        target = static_cast<int>(value);
        return true;
    };
    for (; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--")
            break;
        if (arg == "-n") {
            if (!intValue(options.runs) || options.runs < 1)
                return std::nullopt;
        } else if (arg == "--warmup") {
            if (!intValue(options.warmup))
                return std::nullopt;
        } else if (arg == "--settle-ms") {
            if (!intValue(options.settleMs) || options.settleMs < 1)
                return std::nullopt;
        } else if (arg == "--timeout-ms") {
            if (!intValue(options.timeoutMs) || options.timeoutMs < 1)
                return std::nullopt;
        } else if (arg == "--file" && i + 1 < argc) {
            options.files.emplace_back(argv[++i]);
        } else if (arg == "--companion" && i + 1 < argc) {
            if (!companionsGiven)
                options.companions.clear();
            companionsGiven = true;
            options.companions.emplace_back(argv[++i]);
        } else if (arg == "--screen" && i + 1 < argc) {
            options.screen = argv[++i];
        } else if (arg == "--fresh-dir") {
            options.freshDir = true;
        } else if (arg == "-v") {
            options.verbose = true;
        } else {
            std::fprintf(stderr, "open_to_painted: unknown or incomplete option %s\n", arg.c_str());
            return std::nullopt;
        }
    }
    for (; i < argc; ++i) {
        if (std::string(argv[i]) == "--")
            options.commands.emplace_back();
        else
            options.commands.back().emplace_back(argv[i]);
    }
    std::erase_if(options.commands, [](const auto &command) { return command.empty(); });
    if (options.files.empty() || options.commands.empty())
        return std::nullopt;
    return options;
}

// A child started in its own process group, killed with the whole group, and killed by the
// kernel should this program die first.
pid_t spawn(const std::vector<std::string> &argv, const std::string &display, bool showOutput)
{
    const pid_t pid = fork();
    if (pid > 0)
        setpgid(pid, pid); // also in the child: whichever runs first, the group exists
    if (pid != 0)
        return pid;
    setpgid(0, 0);
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (!display.empty()) {
        setenv("DISPLAY", display.c_str(), 1);
        setenv("QT_QPA_PLATFORM", "xcb", 1);
    }
    if (!showOutput) {
        const int devNull = open("/dev/null", O_RDWR);
        dup2(devNull, STDOUT_FILENO);
        dup2(devNull, STDERR_FILENO);
    }
    std::vector<char *> args;
    for (const auto &arg : argv)
        args.push_back(const_cast<char *>(arg.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    std::fprintf(stderr, "open_to_painted: cannot start %s: %s\n", args[0], std::strerror(errno));
    _exit(127);
}

// Our own Xvfb: -displayfd lets the server pick a free display number and tells it once it
// accepts connections.
class Xvfb
{
public:
    bool start(const std::string &screen)
    {
        int fds[2];
        if (pipe(fds) != 0)
            return false;
        m_pid = fork();
        if (m_pid == 0) {
            close(fds[0]);
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            const int devNull = open("/dev/null", O_RDWR);
            dup2(devNull, STDOUT_FILENO);
            dup2(devNull, STDERR_FILENO);
            const std::string fd = std::to_string(fds[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(),
                "-nolisten", "tcp", "-noreset", static_cast<char *>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        if (m_pid < 0) {
            close(fds[0]);
            return false;
        }
        std::string number;
        const double deadline = nowMs() + 15000;
        pollfd pfd { fds[0], POLLIN, 0 };
        while (nowMs() < deadline && !g_interrupted) {
            if (poll(&pfd, 1, 100) <= 0)
                continue;
            char c = 0;
            if (read(fds[0], &c, 1) != 1)
                break;
            if (c == '\n')
                break;
            number += c;
        }
        close(fds[0]);
        if (number.empty())
            return false;
        m_display = ":" + number;
        return true;
    }

    void stop()
    {
        if (m_pid <= 0)
            return;
        kill(m_pid, SIGTERM);
        for (int i = 0; i < 50; ++i) {
            if (waitpid(m_pid, nullptr, WNOHANG) == m_pid) {
                m_pid = -1;
                return;
            }
            usleep(100000);
        }
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }

    ~Xvfb() { stop(); }

    const std::string &display() const { return m_display; }

private:
    pid_t m_pid = -1;
    std::string m_display;
};

long readVmHwmKiB(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return 0;
}

// A temporary program directory holding a copy of the program and its companion files.
class FreshDir
{
public:
    FreshDir(const std::string &program, const std::vector<std::string> &companions)
    {
        char pattern[] = "/tmp/open_to_painted.XXXXXX";
        if (mkdtemp(pattern) == nullptr)
            return;
        m_dir = pattern;
        std::error_code error;
        const fs::path source(program);
        m_program = (m_dir / source.filename()).string();
        fs::copy_file(source, m_program, error);
        if (error) {
            m_program.clear();
            return;
        }
        for (const auto &name : companions) {
            const fs::path companion = source.parent_path() / name;
            if (fs::is_regular_file(companion))
                fs::copy_file(companion, m_dir / name, error);
        }
    }

    ~FreshDir()
    {
        std::error_code error;
        if (!m_dir.empty())
            fs::remove_all(m_dir, error);
    }

    FreshDir(const FreshDir &) = delete;
    FreshDir &operator=(const FreshDir &) = delete;

    const std::string &program() const { return m_program; }

private:
    fs::path m_dir;
    std::string m_program;
};

// The X side: one connection that hears every top-level window being created, mapped and
// destroyed, and one DAMAGE object on the root window that reports every drawing as it happens
// (raw rectangles: one event per drawing, none folded into an earlier one).
class XWatcher
{
public:
    bool open(const std::string &display)
    {
        for (int i = 0; i < 50 && m_display == nullptr; ++i) {
            m_display = XOpenDisplay(display.c_str());
            if (m_display == nullptr)
                usleep(100000);
        }
        if (m_display == nullptr)
            return false;
        fcntl(ConnectionNumber(m_display), F_SETFD, FD_CLOEXEC);
        int errorBase = 0;
        if (!XDamageQueryExtension(m_display, &m_damageEventBase, &errorBase)) {
            std::fprintf(stderr, "open_to_painted: the X server has no DAMAGE extension\n");
            return false;
        }
        m_root = DefaultRootWindow(m_display);
        XSelectInput(m_display, m_root, SubstructureNotifyMask);
        m_damage = XDamageCreate(m_display, m_root, XDamageReportRawRectangles);
        XSync(m_display, False);
        return true;
    }

    ~XWatcher()
    {
        if (m_display != nullptr)
            XCloseDisplay(m_display);
    }

    // Runs one start of `argv` up to the quiet time after its last paint, and kills it.
    RunResult measure(const std::vector<std::string> &argv, const Options &options)
    {
        RunResult result;
        settle();
        const double t0 = nowMs();
        const pid_t pid = spawn(argv, DisplayString(m_display), options.verbose);
        if (pid < 0) {
            result.failure = "fork failed";
            return result;
        }
        std::optional<double> mapped;
        std::optional<double> lastDamage;
        bool exited = false;
        int status = 0;
        rusage usage {};
        while (!g_interrupted) {
            while (XPending(m_display) > 0) {
                XEvent event;
                XNextEvent(m_display, &event);
                const double at = nowMs();
                if (event.type == m_damageEventBase + XDamageNotify) {
                    if (mapped) {
                        lastDamage = at;
                        ++result.damageEvents;
                    }
                } else if (event.type == MapNotify && event.xmap.event == m_root && !mapped) {
                    if (isInputOutput(event.xmap.window))
                        mapped = at;
                } else {
                    trackWindows(event);
                }
            }
            const double now = nowMs();
            if (lastDamage && now - *lastDamage >= options.settleMs)
                break;
            if (now - t0 >= options.timeoutMs) {
                result.failure = mapped ? "no paint that settled before the timeout"
                                        : "no window mapped before the timeout";
                break;
            }
            if (wait4(pid, &status, WNOHANG, &usage) == pid) {
                exited = true;
                result.failure = WIFSIGNALED(status)
                    ? "the program was ended by signal " + std::to_string(WTERMSIG(status))
                    : "the program ended by itself with exit code "
                        + std::to_string(WEXITSTATUS(status));
                break;
            }
            pollfd pfd { ConnectionNumber(m_display), POLLIN, 0 };
            poll(&pfd, 1, 5);
        }
        if (g_interrupted && result.failure.empty())
            result.failure = "interrupted";
        if (!exited) {
            result.hwmKiB = readVmHwmKiB(pid);
            kill(-pid, SIGKILL);
            kill(pid, SIGKILL);
            wait4(pid, &status, 0, &usage);
        }
        result.maxRssKiB = usage.ru_maxrss;
        result.cpuMs = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3
            + static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
        if (result.failure.empty()) {
            result.ok = true;
            result.mappedMs = *mapped - t0;
            result.paintedMs = *lastDamage - t0;
        }
        return result;
    }

private:
    bool isInputOutput(Window window)
    {
        XWindowAttributes attributes {};
        return XGetWindowAttributes(m_display, window, &attributes) != 0
            && attributes.c_class == InputOutput;
    }

    void trackWindows(const XEvent &event)
    {
        if (event.type == CreateNotify && event.xcreatewindow.parent == m_root)
            m_liveWindows.insert(event.xcreatewindow.window);
        else if (event.type == DestroyNotify && event.xdestroywindow.event == m_root)
            m_liveWindows.erase(event.xdestroywindow.window);
    }

    // Waits until the windows of the previous run are gone and the screen has stopped
    // changing, so that nothing of that run is counted in the next.
    void settle()
    {
        const double deadline = nowMs() + 5000;
        double lastChange = nowMs();
        while (!g_interrupted && nowMs() < deadline) {
            while (XPending(m_display) > 0) {
                XEvent event;
                XNextEvent(m_display, &event);
                trackWindows(event);
                lastChange = nowMs();
            }
            if (m_liveWindows.empty() && nowMs() - lastChange >= 50)
                break;
            pollfd pfd { ConnectionNumber(m_display), POLLIN, 0 };
            poll(&pfd, 1, 10);
        }
        XSync(m_display, False);
        while (XPending(m_display) > 0) {
            XEvent event;
            XNextEvent(m_display, &event);
            trackWindows(event);
        }
    }

    Display *m_display = nullptr;
    Window m_root = 0;
    Damage m_damage = 0;
    int m_damageEventBase = 0;
    std::set<Window> m_liveWindows;
};

struct Summary
{
    double min = 0;
    double median = 0;
    double max = 0;
};

Summary summarize(std::vector<double> values)
{
    if (values.empty())
        return {};
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    const double median = n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    return { values.front(), median, values.back() };
}

std::vector<std::string> commandFor(
    const std::vector<std::string> &command, const std::string &file)
{
    std::vector<std::string> argv = command;
    bool placed = false;
    for (auto &arg : argv) {
        if (arg == "{}") {
            arg = file;
            placed = true;
        }
    }
    if (!placed)
        argv.push_back(file);
    return argv;
}

RunResult runOnce(XWatcher &watcher, const std::vector<std::string> &command,
    const std::string &file, const Options &options)
{
    std::vector<std::string> argv = commandFor(command, file);
    std::optional<FreshDir> freshDir;
    if (options.freshDir) {
        freshDir.emplace(argv[0], options.companions);
        if (freshDir->program().empty()) {
            RunResult failed;
            failed.failure = "cannot copy " + argv[0] + " into a fresh program directory";
            return failed;
        }
        argv[0] = freshDir->program();
    }
    return watcher.measure(argv, options);
}

std::string label(const std::vector<std::string> &command)
{
    std::string text = command.front();
    for (size_t i = 1; i < command.size(); ++i)
        text += " " + command[i];
    return text;
}

void printTable(const std::string &file, const Options &options,
    const std::vector<std::vector<RunResult>> &results)
{
    std::error_code error;
    const auto size = fs::file_size(file, error);
    std::printf("\n== %s (%lld bytes): %d runs per command, interleaved, settle %d ms ==\n",
        file.c_str(), error ? -1LL : static_cast<long long>(size), options.runs, options.settleMs);
    std::printf("%-3s %-9s %23s %23s %8s %23s %10s\n", "", "", "start to mapped, ms",
        "start to painted, ms", "CPU, ms", "peak RSS (VmHWM), MiB", "ru_maxrss");
    std::printf("%-3s %-9s %7s %7s %7s %7s %7s %7s %8s %7s %7s %7s %10s  %s\n", "", "runs", "min",
        "median", "max", "min", "median", "max", "median", "min", "median", "max", "median",
        "command");
    std::vector<Summary> painted;
    std::vector<Summary> cpu;
    std::vector<Summary> rss;
    for (size_t c = 0; c < options.commands.size(); ++c) {
        std::vector<double> mappedMs;
        std::vector<double> paintedMs;
        std::vector<double> cpuMs;
        std::vector<double> hwm;
        std::vector<double> maxRss;
        std::string failures;
        for (const auto &run : results[c]) {
            if (!run.ok) {
                failures += "    failed run: " + run.failure + "\n";
                continue;
            }
            mappedMs.push_back(run.mappedMs);
            paintedMs.push_back(run.paintedMs);
            cpuMs.push_back(run.cpuMs);
            hwm.push_back(static_cast<double>(run.hwmKiB) / 1024.0);
            maxRss.push_back(static_cast<double>(run.maxRssKiB) / 1024.0);
        }
        const Summary m = summarize(mappedMs);
        const Summary p = summarize(paintedMs);
        const Summary u = summarize(cpuMs);
        const Summary r = summarize(hwm);
        const Summary x = summarize(maxRss);
        painted.push_back(p);
        cpu.push_back(u);
        rss.push_back(r);
        const char name[2] = { static_cast<char>('A' + c), '\0' };
        if (paintedMs.empty()) {
            std::printf("%-3s %4zu/%-4zu %s  %s\n", name, paintedMs.size(), results[c].size(),
                "no successful run", label(options.commands[c]).c_str());
        } else {
            std::printf("%-3s %4zu/%-4zu %7.1f %7.1f %7.1f %7.1f %7.1f %7.1f %8.1f %7.1f %7.1f "
                        "%7.1f %10.1f  %s\n",
                name, paintedMs.size(), results[c].size(), m.min, m.median, m.max, p.min, p.median,
                p.max, u.median, r.min, r.median, r.max, x.median,
                label(options.commands[c]).c_str());
        }
        std::fputs(failures.c_str(), stdout);
    }
    const size_t last = options.commands.size() - 1;
    for (size_t c = 0; c < last; ++c) {
        const char name = static_cast<char>('A' + c);
        const char base = static_cast<char>('A' + last);
        if (painted[c].median > 0 && painted[last].median > 0)
            std::printf("%c/%c of the medians: painted %.2f, CPU %.2f, peak RSS %.2f\n", name, base,
                painted[c].median / painted[last].median,
                cpu[last].median > 0 ? cpu[c].median / cpu[last].median : 0.0,
                rss[c].median / rss[last].median);
        else
            std::printf("%c/%c of the medians: n/a (no successful run)\n", name, base);
    }
}

} // namespace

int main(int argc, char **argv)
{
    const auto parsed = parseArguments(argc, argv);
    if (!parsed) {
        usage();
        return 2;
    }
    const Options &options = *parsed;
    for (const auto &file : options.files) {
        if (!fs::is_regular_file(file)) {
            std::fprintf(stderr, "open_to_painted: no such file %s\n", file.c_str());
            return 2;
        }
    }

    struct sigaction action
    { };
    action.sa_handler = onInterrupt;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);

    Xvfb xvfb;
    if (!xvfb.start(options.screen)) {
        std::fprintf(stderr, "open_to_painted: Xvfb did not start\n");
        return 1;
    }
    int exitCode = 0;
    {
        XWatcher watcher;
        if (!watcher.open(xvfb.display())) {
            std::fprintf(
                stderr, "open_to_painted: cannot use display %s\n", xvfb.display().c_str());
            return 1;
        }
        double load[3] = {};
        getloadavg(load, 3);
        std::printf("open_to_painted: Xvfb %s on %s, no window manager, load average %.2f; "
                    "%d warm-up run(s) per command%s\n",
            options.screen.c_str(), xvfb.display().c_str(), load[0], options.warmup,
            options.freshDir ? ", each start from a fresh program directory" : "");
        std::fflush(stdout);
        for (const auto &file : options.files) {
            for (int w = 0; w < options.warmup && !g_interrupted; ++w) {
                for (const auto &command : options.commands)
                    runOnce(watcher, command, file, options);
            }
            std::vector<std::vector<RunResult>> results(options.commands.size());
            for (int r = 0; r < options.runs && !g_interrupted; ++r) {
                for (size_t c = 0; c < options.commands.size() && !g_interrupted; ++c) {
                    RunResult run = runOnce(watcher, options.commands[c], file, options);
                    if (options.verbose) {
                        std::printf("  %c run %d: mapped %.1f ms, painted %.1f ms, %d damage "
                                    "events, CPU %.1f ms, VmHWM %ld KiB, ru_maxrss %ld KiB%s%s\n",
                            static_cast<char>('A' + c), r + 1, run.mappedMs, run.paintedMs,
                            run.damageEvents, run.cpuMs, run.hwmKiB, run.maxRssKiB,
                            run.ok ? "" : ", ", run.failure.c_str());
                        std::fflush(stdout);
                    }
                    if (!run.ok)
                        exitCode = 1;
                    results[c].push_back(std::move(run));
                }
            }
            if (g_interrupted)
                break;
            printTable(file, options, results);
            std::fflush(stdout);
        }
    }
    xvfb.stop();
    return g_interrupted ? 130 : exitCode;
}
