#include "app/listing.h"

#include "app/commandline.h"
#include "app/terminal.h"
#include "numbers/conversions.h"
#include "numbers/deviationsweep.h"
#include "numbers/exactcheck.h"
#include "numbers/exactnumber.h"
#include "numbers/exactsearch.h"
#include "results/listwriter.h"
#include "results/solutioncount.h"
#include "results/solutionlist.h"
#include "results/sweepwriter.h"

#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <unistd.h>
#include <vector>

namespace {

using Terminal::complain;
using Terminal::writeOut;

// How far a long exact search is and how long it may still take, on the terminal only, and only
// once it has run a second.
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
        // The rest at the pace so far.
        const double left =
            done > 0 ? static_cast<double>(m_clock.elapsed()) / 1000 * (1 - done) / done : 0;
        std::fprintf(stderr, "\rzahlenlupe: %d %%, noch etwa %.0f s\x1b[K", percent, left);
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
                   command.primitiveOnly, static_cast<unsigned>(command.threads))
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
        ExactSearch search(*whole, static_cast<std::uint32_t>(command.maxLeg));
        if (command.threads > 0)
            search.setThreads(static_cast<unsigned>(command.threads));
        if (command.firstLeg > 0)
            search.setLegs(static_cast<std::uint32_t>(command.firstLeg),
                           static_cast<std::uint32_t>(command.lastLeg));
        ProgressLine progress;
        if (command.count) {
            const ExactSearch::Counts counts = *search.count(std::ref(progress));
            if (command.primitiveOnly)
                count.add(counts.primitive(), counts.primitiveAbove, counts.primitiveBelow,
                          counts.primitive());
            else
                count.add(counts.count(), counts.above, counts.below, counts.primitive());
        } else {
            search.run(
                [&](std::span<const ExactSearch::Row> rows) {
                    if (command.primitiveOnly) {
                        kept.clear();
                        for (const ExactSearch::Row &row : rows)
                            if (row.primitive)
                                kept.push_back(row);
                        rows = kept;
                    }
                    return !list->add(rows);
                },
                std::ref(progress));
        }
    }
    if (command.count)
        return writeOut(count.text(command.format), "Die Anzahl");
    if (const Failure failed = list->finish()) {
        complain(failed.writing(QStringLiteral("Die Liste")));
        return 1;
    }
    return 0;
}

// The list or the count by the window's rule, with a word on standard error for each row that
// the rule takes for a solution although it is none in whole numbers.
int writeList(const CommandLine &command) {
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

} // namespace

namespace Listing {

bool handles(const CommandLine &command) {
    return command.mode == CommandLine::Mode::Batch && command.exportPath.isEmpty() &&
           !command.map && (command.list || command.count);
}

int run(const CommandLine &command) {
    return command.exact ? writeExact(command) : writeList(command);
}

} // namespace Listing
