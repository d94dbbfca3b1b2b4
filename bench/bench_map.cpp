// Timing of the map on the offscreen platform: its opening, its search of a million legs in the
// background, the paint of a pan or zoom step at every zoom, a new deviation, the film of
// deviations, the families drawn over a repaint, the counts of a range of deviations on the
// command line, and its peak memory. Prints medians, minima and maxima in milliseconds. Run with
// `make bench`.
#include "benchsupport.h"

#include "map/mapview.h"
#include "map/mapwindow.h"
#include "numbers/deviationsweep.h"
#include "numbers/exactsearch.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

using namespace Bench;

namespace {

double since(const QElapsedTimer &clock) { return static_cast<double>(clock.nsecsElapsed()) / 1e6; }

template <typename T> T *child(const QObject &parent, const char *name) {
    T *found = parent.findChild<T *>(QLatin1String(name));
    if (found == nullptr)
        qFatal("%s not found", name);
    return found;
}

bool searchDone(const MapWindow &window) {
    const auto *progress = child<QProgressBar>(window, "progress");
    return !child<QPushButton>(window, "cancel")->isEnabled() &&
           progress->value() == progress->maximum();
}

// The search has ended and the exact picture of the view is drawn.
bool complete(const MapWindow &window) {
    return searchDone(window) && child<MapView>(window, "map")->pictureComplete();
}

void waitUntil(const std::function<bool()> &done) {
    while (!done())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// A key on the plot and the paint that shows its result: the time a user waits to see it move.
double step(MapView &view, Qt::Key key) {
    QElapsedTimer clock;
    clock.start();
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(&view, &press);
    view.repaint();
    return since(clock);
}

// The time until the exact picture after a step is drawn.
double settle(const MapWindow &window) {
    QElapsedTimer clock;
    clock.start();
    waitUntil([&] { return complete(window); });
    return since(clock);
}

void benchOpening() {
    std::vector<double> times;
    for (int run = 0; run < 5; ++run) {
        QElapsedTimer clock;
        clock.start();
        MapWindow window(QStringLiteral("0"), 100'000);
        window.show();
        waitUntil([&] { return complete(window); });
        times.push_back(since(clock));
    }
    report("N = 1e5, d = 0: show to whole map complete", times);
}

// Pans and zooms while the search of a million legs runs, then at several zooms once it is done.
void benchMillion() {
    QElapsedTimer clock;
    clock.start();
    MapWindow window(QStringLiteral("1"), 1'000'000);
    window.show();
    MapView &view = *child<MapView>(window, "map");
    std::vector<double> during;
    const Qt::Key keys[] = {Qt::Key_Plus,  Qt::Key_Right, Qt::Key_Up,
                            Qt::Key_Minus, Qt::Key_Left,  Qt::Key_Down};
    QElapsedTimer pause;
    pause.start();
    for (std::size_t i = 0; !searchDone(window); ++i) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (pause.elapsed() < 60)
            continue;
        during.push_back(step(view, keys[i % std::size(keys)]));
        pause.restart();
    }
    const double searched = since(clock);
    waitUntil([&] { return complete(window); });
    std::printf("%-52s %8.0f ms, whole picture %8.0f ms, %s solutions\n",
                "N = 1e6, d = 1: search in the background", searched, since(clock),
                qPrintable(child<QLabel>(window, "countTotalAll")->text()));
    report("N = 1e6, d = 1: pan or zoom step painted, while searching", during);

    // From a quarter of the whole square, where a pan moves the view, in steps of 4 × closer.
    view.showAll();
    step(view, Qt::Key_Plus);
    step(view, Qt::Key_Plus);
    waitUntil([&] { return complete(window); });
    for (int zoom = 0; zoom < 8; ++zoom) {
        std::vector<double> pans;
        std::vector<double> exact;
        for (int i = 0; i < 12; ++i) {
            pans.push_back(step(view, i % 4 < 2 ? Qt::Key_Right : Qt::Key_Left));
            exact.push_back(settle(window));
        }
        std::vector<double> zooms;
        std::vector<double> zoomExact;
        for (int i = 0; i < 6; ++i) {
            zooms.push_back(step(view, i % 2 ? Qt::Key_Minus : Qt::Key_Plus));
            zoomExact.push_back(settle(window));
        }
        const double scale = view.viewport().scale();
        const QByteArray pan = QStringLiteral("10.5M solutions, %1 cells/pixel: pan step painted")
                                   .arg(scale, 0, 'g', 3)
                                   .toUtf8();
        report(pan.constData(), pans);
        report("    ... its exact picture complete", exact);
        report("    zoom step painted", zooms);
        report("    ... its exact picture complete", zoomExact);
        for (int i = 0; i < 4; ++i)
            step(view, Qt::Key_Plus);
        waitUntil([&] { return complete(window); });
    }
}

void benchNewDeviation() {
    MapWindow window(QStringLiteral("0"), 10'000);
    window.show();
    waitUntil([&] { return complete(window); });
    std::vector<double> times;
    for (int d = 1; d <= 21; ++d) {
        QElapsedTimer clock;
        clock.start();
        window.setDeviation(QString::number(d % 2 ? d : -d));
        waitUntil([&] { return complete(window); });
        times.push_back(since(clock));
    }
    report("N = 1e4: new d to map complete", times);
}

// The film at N = 10⁴: a hundred deviations played as fast as they come, each frame a whole map
// drawn complete before the next is shown.
void benchFilm() {
    MapWindow window(QStringLiteral("0"), 10'000);
    window.show();
    waitUntil([&] { return complete(window); });
    auto *play = child<QPushButton>(window, "play");
    child<QComboBox>(window, "playSpeed")->setCurrentIndex(6);
    std::vector<double> gaps;
    std::vector<double> rates;
    QElapsedTimer sinceFrame;
    QObject::connect(child<QLineEdit>(window, "deviation"), &QLineEdit::textChanged, [&] {
        if (sinceFrame.isValid())
            gaps.push_back(since(sinceFrame));
        sinceFrame.start();
    });
    for (const char *range : {"0..99", "-100..-1", "1000..1099"}) {
        auto *field = child<QLineEdit>(window, "playRange");
        field->setText(QLatin1String(range));
        emit field->returnPressed();
        sinceFrame.invalidate();
        QElapsedTimer clock;
        clock.start();
        play->click();
        waitUntil([&] { return play->text() == QLatin1String("Abspielen"); });
        rates.push_back(100 / (since(clock) / 1000));
    }
    report("N = 1e4: film of 100 d, frame to next frame", gaps);
    report("N = 1e4: film of 100 d, whole frames a second", rates, "/s");
}

// A pan step at N = 10⁴ painted without the families, and with the selection's families and
// every family up to K = 50, in the part near the axes where they all run: each step moves the
// view, so the curves are sampled anew each time.
void benchFamilies() {
    MapWindow window(QStringLiteral("1"), 10'000);
    window.show();
    waitUntil([&] { return complete(window); });
    MapView &view = *child<MapView>(window, "map");
    // Where the families with small k run, near the axes.
    view.show(MapArea::cells(1, 1, 3000, 3000));
    waitUntil([&] { return complete(window); });
    const auto pans = [&] {
        std::vector<double> times;
        for (int i = 0; i < 40; ++i)
            times.push_back(step(view, i % 4 < 2 ? Qt::Key_Right : Qt::Key_Left));
        return times;
    };
    const std::vector<double> without = pans();
    view.select(QPoint(4, 7));
    child<QSpinBox>(window, "faintUpTo")->setValue(50);
    child<QCheckBox>(window, "faintFamilies")->setChecked(true);
    const std::vector<double> with = pans();
    report("N = 1e4, d = 1, x, y < 3000: pan step, no families", without);
    report("    with the selection's and K = 50 families", with);
    std::printf("%-52s %8.3f ms\n", "    families add to a repaint (medians)",
                summarise(with).median - summarise(without).median);
}

// zahlenlupe --exact --count over 2001 deviations at N = 10⁴, timed as a whole process.
void benchSweep() {
    std::vector<double> times;
    for (int run = 0; run < 3; ++run) {
        QElapsedTimer clock;
        clock.start();
        QProcess process;
        process.start(QStringLiteral(ZAHLENLUPE_BINARY),
                      {"--exact", "--count", "--deviation", "-1000..1000", "--max", "10000"});
        process.waitForFinished(300000);
        times.push_back(since(clock));
        if (process.exitCode() != 0 || process.readAllStandardOutput().count('\n') != 2002)
            std::printf("the sweep failed: %s\n", process.readAllStandardError().constData());
    }
    const QByteArray name = QStringLiteral("--count -1000..1000 --max 1e4, %1 cores, process")
                                .arg(ExactSearch::availableCores())
                                .toUtf8();
    report(name.constData(), times);
}

double peakMegabytes() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stod(line.substr(6)) / 1024;
    return 0;
}

// In a process of its own: the map of a million legs, and its peak memory.
int memoryChild(const char *deviation) {
    MapWindow window(QString::fromLatin1(deviation), 1'000'000);
    window.show();
    waitUntil([&] { return complete(window); });
    std::printf("%.1f %s\n", peakMegabytes(),
                qPrintable(child<QLabel>(window, "countTotalAll")->text()));
    return 0;
}

void benchMemory(const QString &self) {
    for (const char *d : {"0", "1"}) {
        QProcess process;
        process.start(self, {QStringLiteral("--memory-child"), QLatin1String(d)});
        process.waitForFinished(300000);
        const QList<QByteArray> parts = process.readAllStandardOutput().trimmed().split(' ');
        if (parts.size() != 2) {
            std::printf("peak memory, N = 1e6, d = %s: the run failed\n", d);
            continue;
        }
        const double solutions = parts[1].toDouble();
        std::printf("%-52s %8.1f MB for %.0f solutions; 16 B each + 100 MB = %.1f MB\n",
                    qPrintable(QStringLiteral("peak memory, N = 1e6, d = %1").arg(d)),
                    parts[0].toDouble(), solutions, (16 * solutions) / 1048576 + 100);
    }
}

} // namespace

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    if (argc > 2 && std::string(argv[1]) == "--memory-child")
        return memoryChild(argv[2]);
    benchOpening();
    benchNewDeviation();
    benchFilm();
    benchFamilies();
    benchSweep();
    benchMillion();
    benchMemory(QCoreApplication::applicationFilePath());
    return 0;
}
