// Timing of the program's hot paths on the offscreen platform. Prints medians, minima and maxima
// in milliseconds. Run with `make bench`.
#include "benchsupport.h"

#include "canvas/canvas.h"
#include "finder/coordinateframe.h"
#include "finder/plotcycle.h"
#include "finder/segmentlines.h"
#include "window/form1.h"
#include "window/scrollbar.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QProcess>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <optional>
#include <spawn.h>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

using namespace Bench;

namespace {

// Seconds since this process started, from the kernel's record of its start time.
double secondsSinceProcessStart() {
    std::ifstream statFile("/proc/self/stat");
    std::string stat((std::istreambuf_iterator<char>(statFile)), std::istreambuf_iterator<char>());
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));
    std::string field;
    unsigned long long startTicks = 0;
    for (int i = 3; i <= 22 && fields >> field; ++i)
        if (i == 22)
            startTicks = std::stoull(field);
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    const double ticks = static_cast<double>(sysconf(_SC_CLK_TCK));
    return static_cast<double>(now.tv_sec) + now.tv_nsec / 1e9 - startTicks / ticks;
}

// One start-up in a child process: time to the first frame of the window, and peak memory.
int startupChild(int argc, char *argv[]) {
    QApplication app(argc, argv);
    Form1 form;
    form.show();
    bool painted = false;
    struct FirstFrame : QObject {
        bool *painted;
        explicit FirstFrame(bool *p) : painted(p) {}
        bool eventFilter(QObject *, QEvent *event) override {
            if (event->type() == QEvent::Paint)
                *painted = true;
            return false;
        }
    } watcher(&painted);
    form.installEventFilter(&watcher);
    while (!painted)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%f %ld\n", secondsSinceProcessStart() * 1000.0, usage.ru_maxrss);
    return 0;
}

void benchStartup(const QString &self) {
    std::vector<double> times;
    std::vector<double> memory;
    for (int i = 0; i < 15; ++i) {
        QProcess child;
        child.start(self, {QStringLiteral("--startup-child")});
        child.waitForFinished(30000);
        const QList<QByteArray> parts = child.readAllStandardOutput().trimmed().split(' ');
        if (parts.size() != 2)
            continue;
        times.push_back(parts[0].toDouble());
        memory.push_back(parts[1].toDouble() / 1024.0);
    }
    if (times.empty()) {
        std::printf("start-up: no child run succeeded\n");
        return;
    }
    report("start-up to first frame (process start)", static_cast<int>(times.size()),
           summarise(times));
    report("peak resident memory", static_cast<int>(memory.size()), summarise(memory), "MB");
}

// The batch modes as a script runs them: the whole process, from start to exit, for d = 0.
void benchBatch() {
    const QString program = QStringLiteral(ZAHLENLUPE_BINARY);
    const QString file = QDir::temp().filePath(QStringLiteral("zahlenlupe-bench.png"));
    const struct {
        const char *name;
        QStringList arguments;
    } modes[] = {
        {"--list, process start to exit", {"--deviation", "0", "--list"}},
        {"--export, process start to exit", {"--deviation", "0", "--export", file}},
    };
    for (const auto &mode : modes) {
        constexpr int runs = 21;
        bool failed = false;
        const Summary times = timeIt(runs, [&](int) {
            QProcess child;
            child.start(program, mode.arguments);
            failed |= !child.waitForFinished(30000) || child.exitCode() != 0;
        });
        if (failed)
            std::printf("%s: a run failed\n", mode.name);
        else
            report(mode.name, runs, times);
    }
    QFile::remove(file);
}

// One run of the program with its standard output sent to a file: wall time in milliseconds, or
// its peak resident memory in MB instead; a negative time when it failed. The kernel's own record
// of a child's peak (wait4) starts from this process's size, which a spawned child shares until
// it runs the program, so the program's high-water mark is sampled from /proc while it runs, in a
// run of its own, so that the sampling does not slow the timed runs.
struct ChildRun {
    double ms = -1;
    double mb = 0;
};

ChildRun runChild(const QStringList &arguments, const char *output, bool memory = false,
                  const QByteArray &program = QByteArrayLiteral(ZAHLENLUPE_BINARY)) {
    QList<QByteArray> words{program};
    for (const QString &argument : arguments)
        words << argument.toUtf8();
    std::vector<char *> argv;
    for (QByteArray &word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output, O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    ChildRun run;
    QElapsedTimer timer;
    timer.start();
    pid_t pid = 0;
    if (posix_spawn(&pid, program.constData(), &actions, nullptr, argv.data(), environ) == 0) {
        const std::string status = "/proc/" + std::to_string(pid) + "/status";
        double peak = 0;
        int exit = 0;
        pid_t done = 0;
        while (memory && (done = waitpid(pid, &exit, WNOHANG)) == 0) {
            std::ifstream file(status);
            for (std::string line; std::getline(file, line);)
                if (line.rfind("VmHWM:", 0) == 0)
                    peak = std::max(peak, std::stod(line.substr(6)) / 1024.0);
            usleep(1000);
        }
        if (!memory)
            done = waitpid(pid, &exit, 0);
        if (done == pid && WIFEXITED(exit) && WEXITSTATUS(exit) == 0) {
            run.ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
            run.mb = peak;
        }
    }
    posix_spawn_file_actions_destroy(&actions);
    return run;
}

// runs timed runs of the program and one that samples its memory: the times, and the peak
// memory in MB; nothing when a run failed.
std::optional<std::pair<Summary, double>> timeChild(int runs, const QStringList &arguments,
                                                    const char *output = "/dev/null") {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const ChildRun run = runChild(arguments, output);
        if (run.ms < 0)
            return std::nullopt;
        times.push_back(run.ms);
    }
    const ChildRun sampled = runChild(arguments, output, true);
    if (sampled.ms < 0)
        return std::nullopt;
    return std::pair(summarise(times), sampled.mb);
}

// A batch run from process start to exit beside the least any program and any Qt program cost,
// in the same run, one run of each in turn so that the load of the machine falls on all alike.
void benchBatchStart() {
    const struct {
        const char *name;
        QByteArray program;
        QStringList arguments;
    } cases[] = {
        {"/bin/true, start to exit", "/bin/true", {}},
        {"minimal Qt Core program, start to exit", ZAHLENLUPE_MINIMAL_CORE, {}},
        {"--exact --max 100 --count, start to exit",
         ZAHLENLUPE_BINARY,
         {"--exact", "--max", "100", "--count"}},
    };
    constexpr int runs = 41;
    std::vector<std::vector<double>> times(std::size(cases));
    for (int i = 0; i < runs; ++i)
        for (std::size_t c = 0; c < std::size(cases); ++c)
            times[c].push_back(
                runChild(cases[c].arguments, "/dev/null", false, cases[c].program).ms);
    std::vector<double> medians;
    for (std::size_t c = 0; c < std::size(cases); ++c) {
        if (std::find(times[c].begin(), times[c].end(), -1.0) != times[c].end()) {
            std::printf("%s: a run failed\n", cases[c].name);
            return;
        }
        report(cases[c].name, times[c]);
        medians.push_back(summarise(times[c]).median);
        std::printf("%-52s peak memory %.1f MB\n", "",
                    runChild(cases[c].arguments, "/dev/null", true, cases[c].program).mb);
    }
    std::printf("%-52s %.2f times the minimal Qt Core program\n", "", medians[2] / medians[1]);
}

// The naive exact count, as a script would write it: every pair, z² in 64-bit whole numbers,
// its square root taken in double and settled in whole numbers.
long long naiveCount(long long d, long long max) {
    long long count = 0;
    for (long long x = 1; x <= max; ++x) {
        for (long long y = 1; y <= max; ++y) {
            const long long z2 = x * x + y * y - d;
            if (z2 < 0)
                continue;
            auto z = static_cast<long long>(std::sqrt(static_cast<double>(z2)));
            while (z * z > z2)
                --z;
            while ((z + 1) * (z + 1) <= z2)
                ++z;
            count += z * z == z2;
        }
    }
    return count;
}

// The exact search of the command line, whole processes, beside the naive double loop.
void benchExact() {
    constexpr int naiveMax = 30000;
    long long naiveResult = 0;
    const Summary naive = timeIt(3, [&](int) { naiveResult = naiveCount(0, naiveMax); });
    report("naive exact double loop, legs to 30000", 3, naive);

    const auto count = timeChild(9, {"--exact", "--max", "30000", "--count"});
    if (!count) {
        std::printf("--exact --max 30000 --count: a run failed\n");
        return;
    }
    report("--exact --max 30000 --count", 9, count->first);
    std::printf("%-44s %.0f times faster than the naive loop (%lld solutions)\n", "",
                naive.median / count->first.median, naiveResult);

    // The naive loop grows with the square of the legs.
    const double naiveAtMillion = naive.median * std::pow(1e6 / naiveMax, 2) / 1000;
    for (const char *d : {"0", "1", "-1", "12345", "-12345"}) {
        const auto million =
            timeChild(3, {"--exact", "--max", "1000000", "--count", "--deviation", d});
        if (!million) {
            std::printf("--exact --max 1000000 --count, d = %s: a run failed\n", d);
            continue;
        }
        const QByteArray name = "--exact --max 1000000 --count, d = " + QByteArray(d);
        report(name.constData(), 3, million->first);
        std::printf("%-44s peak memory %.1f MB; naive loop about %.0f s\n", "", million->second,
                    naiveAtMillion);
    }

    // The list: its size from one run into a file, then its rate into /dev/null.
    const QString file = QDir::temp().filePath(QStringLiteral("zahlenlupe-bench.csv"));
    const QStringList list{"--exact", "--max", "1000000", "--list"};
    const ChildRun sized = runChild(list, file.toLocal8Bit().constData());
    const double megabytes = static_cast<double>(QFileInfo(file).size()) / 1e6;
    QFile::remove(file);
    const auto rows = timeChild(3, list);
    if (sized.ms < 0 || !rows) {
        std::printf("--exact --max 1000000 --list: a run failed\n");
        return;
    }
    report("--exact --max 1000000 --list > /dev/null", 3, rows->first);
    std::printf("%-44s %.0f MB of output, %.0f MB/s; peak memory %.1f MB\n", "", megabytes,
                megabytes / (rows->first.median / 1000), rows->second);

    const auto ten = timeChild(1, {"--exact", "--max", "10000000", "--count"});
    if (ten)
        std::printf("%-44s runs %5d  %8.0f ms  peak memory %.1f MB\n",
                    "--exact --max 10000000 --count", 1, ten->first.median, ten->second);
}

} // namespace

int main(int argc, char *argv[]) {
    if (argc > 1 && std::string(argv[1]) == "--startup-child")
        return startupChild(argc, argv);

    QApplication app(argc, argv);
    Form1 form;
    form.show();
    QCoreApplication::processEvents();
    auto *canvas = form.findChild<Canvas *>(QStringLiteral("picAusgabe"));
    auto *picInfo = form.findChild<Canvas *>(QStringLiteral("picInfo"));
    auto *radius = form.findChild<ScrollBar *>(QStringLiteral("hscRadius"));

    std::printf("Zahlenlupe benchmarks (canvas %dx%d device pixels)\n", canvas->image().width(),
                canvas->image().height());

    constexpr int cycles = 300;
    report("full redraw (clear, then search)", cycles, timeIt(cycles, [&](int) {
               form.Command2_Click();
               form.Command1_Click();
           }));
    report("search half alone", cycles, timeIt(cycles, [&](int) { form.Command1_Click(); }));

    // The same cycle on a canvas of the plot's size with no window around it: the drawing alone,
    // without the window's label, count box and screen-reader description.
    Canvas bare;
    QFont font(QStringLiteral("Times New Roman"));
    font.setPointSizeF(10.5);
    bare.setFont(font);
    bare.resize(canvas->size());
    const SegmentLines lines(*bare.createLineItem(QStringLiteral("segment"), Qt::blue, 2),
                             *bare.createLineItem(QStringLiteral("mirror"), Qt::gray, 2));
    const PlotCycle cycle(bare);
    const CoordinateFrame frame(bare, lines);
    const Segment segment{1, 1, 100, 100};
    cycle.setWorld();
    report("full redraw without a window", cycles, timeIt(cycles, [&](int) {
               cycle.clear();
               frame.draw(25, segment);
               cycle.search(QStringLiteral("0"));
               frame.draw(25, segment);
           }));
    report("coordinate frame alone", cycles, timeIt(cycles, [&](int) { frame.draw(25, segment); }));

    // One radius step as the user sees it: the key on the scroll bar, then the canvas repainted.
    radius->setValue(25);
    report("radius step, key to canvas repainted", cycles, timeIt(cycles, [&](int i) {
               QKeyEvent key(QEvent::KeyPress, i % 2 ? Qt::Key_Left : Qt::Key_Right,
                             Qt::NoModifier);
               QCoreApplication::sendEvent(radius, &key);
               canvas->repaint();
           }));

    // A drag of the thumb through every position from 0 to 139.
    radius->setValue(0);
    std::vector<double> rates;
    for (int run = 0; run < 5; ++run) {
        radius->setValue(0);
        QElapsedTimer timer;
        timer.start();
        radius->setSliderDown(true);
        for (int p = 1; p <= 139; ++p) {
            radius->setSliderPosition(p);
            canvas->repaint();
        }
        radius->setSliderDown(false);
        rates.push_back(139.0 / (static_cast<double>(timer.nsecsElapsed()) / 1e9));
    }
    report("thumb drag 0..139, positions per second", 5, summarise(rates), "/s");

    // Pointer moves over the plot: the handler and the repaint of the preview box.
    constexpr int moves = 2000;
    report("pointer move over the canvas", moves, timeIt(moves, [&](int i) {
               const QPointF at(30 + (i * 7) % 600, 60 + (i * 13) % 560);
               QMouseEvent move(QEvent::MouseMove, at, canvas->mapToGlobal(at), Qt::NoButton,
                                Qt::NoButton, Qt::NoModifier);
               QCoreApplication::sendEvent(canvas, &move);
               picInfo->repaint();
           }));

    benchStartup(QCoreApplication::applicationFilePath());
    benchBatch();
    benchBatchStart();
    benchExact();
    return 0;
}
