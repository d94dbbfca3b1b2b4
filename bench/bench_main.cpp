// Timing of the program's hot paths on the offscreen platform. Prints medians, minima and maxima
// in milliseconds. Run with `make bench`.
#include "canvas/canvas.h"
#include "window/form1.h"
#include "window/scrollbar.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <functional>
#include <sstream>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

struct Summary {
    double median = 0;
    double min = 0;
    double max = 0;
};

Summary summarise(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    Summary s;
    s.min = samples.front();
    s.max = samples.back();
    const std::size_t n = samples.size();
    s.median = n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
    return s;
}

void report(const char *name, int runs, const Summary &s, const char *unit = "ms") {
    std::printf("%-44s runs %5d  median %8.3f %s  min %8.3f  max %8.3f\n", name, runs, s.median,
                unit, s.min, s.max);
}

Summary timeIt(int runs, const std::function<void(int)> &body) {
    std::vector<double> samples;
    samples.reserve(static_cast<std::size_t>(runs));
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        body(i);
        samples.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    return summarise(samples);
}

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
    report("coordinate frame alone", cycles,
           timeIt(cycles, [&](int) { form.Koordinatensystem(); }));

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
    return 0;
}
