#include "app/batch.h"

#include "app/commandline.h"
#include "app/startchecks.h"
#include "canvas/canvas.h"
#include "map/mapexport.h"
#include "numbers/conversions.h"
#include "numbers/deviationsweep.h"
#include "numbers/exactcheck.h"
#include "numbers/exactnumber.h"
#include "numbers/exactsearch.h"
#include "results/listwriter.h"
#include "results/output.h"
#include "results/plotpicture.h"
#include "results/savefile.h"
#include "results/solutioncount.h"
#include "results/solutionlist.h"
#include "results/sweepwriter.h"
#include "window/form1.h"

#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <unistd.h>
#include <vector>

namespace {

using Batch::complain;
using Batch::writeOut;

// A batch run says nothing on standard error when all is well; Qt's remarks about the session
// it finds itself in (no XDG_RUNTIME_DIR under cron or ssh, say) are not for its user. Failures
// are reported by the batch modes themselves.
void quietQt(QtMsgType type, const QMessageLogContext &, const QString &message) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        complain(Failure(message));
}

// How far a long exact search is, on the terminal only, and only once it has run a second.
class ProgressLine {
public:
    ProgressLine() : m_shown(isatty(STDERR_FILENO) == 1) { m_clock.start(); }
    ~ProgressLine() {
        if (m_written)
            std::fputs("\r\x1b[K", stderr);
    }
    ProgressLine(const ProgressLine &) = delete;
    ProgressLine &operator=(const ProgressLine &) = delete;

    void operator()(double done) {
        const auto percent = static_cast<int>(done * 100);
        if (!m_shown || percent == m_percent || m_clock.elapsed() < 1000)
            return;
        m_percent = percent;
        m_written = true;
        std::fprintf(stderr, "\rzahlenlupe: %d %%", percent);
        std::fflush(stderr);
    }

private:
    QElapsedTimer m_clock;
    bool m_shown;
    bool m_written = false;
    int m_percent = -1;
};

// One count for each deviation of the range, in its order, each line written as soon as it and
// every line before it are counted.
int writeSweep(const CommandLine &command) {
    SweepWriter writer(command.format);
    if (writeOut(writer.begin(), "Die Anzahlen") != 0)
        return 1;
    bool written = true;
    DeviationSweep(*command.deviations, static_cast<std::uint32_t>(command.maxLeg),
                   command.primitiveOnly)
        .run([&](const DeviationSweep::Count &count) {
            written = writeOut(writer.row(count), "Die Anzahlen") == 0;
            return written;
        });
    return written ? writeOut(writer.end(), "Die Anzahlen") : 1;
}

// The list or the count in whole numbers, streamed as the search finds the rows.
int writeExact(const CommandLine &command) {
    if (command.deviations)
        return writeSweep(command);
    const ExactNumber d = *ExactNumber::read(command.start.deviationText);
    // Nothing when d is not whole or is too big to build (then positive: the command line
    // refused a negative one), and such a d has no solutions.
    const std::optional<mpz_class> whole = d.whole(ExactSearch::largestDeviationDigits);
    SolutionCount count;
    std::optional<ListWriter> list;
    if (!command.count)
        list.emplace(command.format, ListWriter::toDescriptor(STDOUT_FILENO));
    std::vector<ExactSearch::Row> kept;
    if (whole) {
        ProgressLine progress;
        const auto sink = [&](std::span<const ExactSearch::Row> rows) {
            if (command.primitiveOnly) {
                kept.clear();
                for (const ExactSearch::Row &row : rows)
                    if (row.primitive)
                        kept.push_back(row);
                rows = kept;
            }
            if (command.count) {
                for (const ExactSearch::Row &row : rows)
                    count.add(row.x, row.y, row.primitive);
                return true;
            }
            return !list->add(rows);
        };
        ExactSearch(*whole, static_cast<std::uint32_t>(command.maxLeg))
            .run(sink, std::ref(progress),
                 command.count ? ExactSearch::Order::Any : ExactSearch::Order::Search);
    }
    if (command.count)
        return writeOut(count.text(command.format), "Die Anzahl");
    if (const Failure failed = list->finish()) {
        complain(failed.writing(QStringLiteral("Die Liste")));
        return 1;
    }
    return 0;
}

// The plot of a window started with the command line's values, drawn off screen. A scaled PNG is
// the same window on a screen of that many device pixels to each logical one: the same raster
// rule, K times the pixels.
int exportPlot(const CommandLine &command, int argc, char *argv[]) {
    // A factor that Qt reads but that is no size (0, -1, nan) stays as it is, for the check below
    // to name it.
    const QString factorText = qEnvironmentVariable("QT_SCALE_FACTOR");
    bool given = false;
    const double factor = factorText.toDouble(&given);
    if (command.scale != 1 && (!given || (std::isfinite(factor) && factor > 0)))
        qputenv("QT_SCALE_FACTOR", QByteArray::number((given ? factor : 1.0) * command.scale));
    // Qt's own options stay in force; the platform is always the one that needs no display.
    std::vector<char *> arguments(argv, argv + argc);
    char platformOption[] = "-platform";
    char offscreen[] = "offscreen";
    arguments.push_back(platformOption);
    arguments.push_back(offscreen);
    int count = static_cast<int>(arguments.size());
    arguments.push_back(nullptr);
    QApplication app(count, arguments.data());
    if (const Failure problem = StartChecks::scaleProblem(factorText, command.scale)) {
        complain(problem);
        return 1;
    }

    Form1 form;
    if (const Failure warning = StartChecks::missingFont(form.plotCanvas().font()))
        complain(warning);
    command.start.applyTo(form);
    const PlotPicture picture(form.plotCanvas(), form.radiusLabel());
    const PictureFormat::Kind format = *PictureFormat::ofFile(command.exportPath);
    const Failure failure = SaveFile::writePicture(
        command.exportPath, [&](QByteArray &bytes) { return picture.encode(format, bytes); });
    if (failure) {
        complain(failure);
        return 1;
    }
    return 0;
}

// The list or the count by the window's rule, with a word on standard error for each row that
// the rule takes for a solution although it is none in whole numbers.
int writeList(const CommandLine &command) {
    if (command.exact)
        return writeExact(command);
    auto entries = SolutionList::forDeviation(Conv::Val(command.start.deviationText));
    if (command.primitiveOnly)
        entries.removeIf([](const SolutionList::Entry &e) { return !e.primitive; });
    QByteArray text;
    if (command.count) {
        SolutionCount count;
        for (const SolutionList::Entry &e : entries)
            count.add(static_cast<std::uint64_t>(e.x), static_cast<std::uint64_t>(e.y),
                      e.primitive);
        text = count.text(command.format);
    } else {
        text = SolutionList::text(entries, command.format);
    }
    if (writeOut(text, command.count ? "Die Anzahl" : "Die Liste") != 0)
        return 1;

    const ExactCheck check(*ExactNumber::read(command.start.deviationText),
                           ExactSearch::largestDeviationDigits);
    const auto inexact = std::count_if(entries.begin(), entries.end(),
                                       [&](const auto &e) { return !check.holds(e.x, e.y, e.z); });
    if (inexact == 1)
        complain(Failure(
            QStringLiteral("1 %1 ist keine exakte Lösung von x² + y² = z² + d (die Regel des "
                           "Fensters rechnet in double-Genauigkeit); exakt rechnet --exact.")
                .arg(command.count ? QStringLiteral("gezähltes Paar")
                                   : QStringLiteral("Paar der Liste"))));
    else if (inexact > 1)
        complain(Failure(
            QStringLiteral("%1 %2 sind keine exakten Lösungen von x² + y² = z² + d (die Regel "
                           "des Fensters rechnet in double-Genauigkeit); exakt rechnet "
                           "--exact.")
                .arg(inexact)
                .arg(command.count ? QStringLiteral("gezählte Paare")
                                   : QStringLiteral("Paare der Liste"))));
    return 0;
}

// The map's picture, drawn off screen like the window's.
int exportMap(const CommandLine &command, int argc, char *argv[]) {
    std::vector<char *> arguments(argv, argv + argc);
    char platformOption[] = "-platform";
    char offscreen[] = "offscreen";
    arguments.push_back(platformOption);
    arguments.push_back(offscreen);
    int count = static_cast<int>(arguments.size());
    arguments.push_back(nullptr);
    QApplication app(count, arguments.data());
    const MapExport::Result result = MapExport::write(command.mapOptions);
    if (result.failure)
        complain(result.failure);
    return result.status;
}

} // namespace

namespace Batch {

int writeOut(const QByteArray &bytes, const char *what) {
    const Failure failed =
        Output::writeAll(STDOUT_FILENO, bytes.constData(), static_cast<std::size_t>(bytes.size()));
    if (!failed)
        return 0;
    complain(failed.writing(QLatin1String(what)));
    return 1;
}

void complain(const Failure &failure) {
    std::fprintf(stderr, "zahlenlupe: %s\n",
                 CommandLine::printable(failure.cause()).toUtf8().constData());
}

int run(const CommandLine &command, int argc, char *argv[]) {
    qInstallMessageHandler(quietQt);
    if (command.map)
        return exportMap(command, argc, argv);
    if (!command.exportPath.isEmpty()) {
        const int status = exportPlot(command, argc, argv);
        if (status != 0)
            return status;
    }
    return command.list || command.count ? writeList(command) : 0;
}

} // namespace Batch
