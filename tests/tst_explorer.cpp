// The explorer: the counts across deviations on the command line, the families of a selected
// solution, the film and its chart, the compare mode and the handout, each checked against an
// exact oracle of this test's own that tries every pair.
#include "forkcheck.h"
#include "mapsupport.h"
#include "oracle.h"

#include "map/countchart.h"
#include "map/family.h"
#include "map/familylayer.h"
#include "map/handout.h"
#include "map/handoutprint.h"
#include "map/mapview.h"
#include "map/mapwindow.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPrinter>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <cmath>
#include <set>

using TestSupport::child;
using TestSupport::enter;
using TestSupport::searchDone;

namespace {

using Solution = TestSupport::OracleSolution;

// The count of one deviation as the command line writes it, in CSV or as a JSON object.
QString countRow(long long d, long long n, bool primitiveOnly, bool json) {
    long long count = 0, above = 0, below = 0, primitive = 0;
    for (const Solution &s : TestSupport::solutions(d, n)) {
        if (primitiveOnly && !s.primitive)
            continue;
        ++count;
        above += s.x < s.y;
        below += s.x > s.y;
        primitive += s.primitive;
    }
    const long long diagonal = count - above - below;
    const QString row = json
                            ? QStringLiteral("{\"d\": %1, \"count\": %2, \"above\": %3, \"below\": "
                                             "%4, \"diagonal\": %5, \"primitive\": %6}")
                            : QStringLiteral("%1,%2,%3,%4,%5,%6\n");
    return row.arg(d).arg(count).arg(above).arg(below).arg(diagonal).arg(primitive);
}

struct Run {
    int status;
    QByteArray out;
    QString error;
};

Run zahlenlupe(const QStringList &arguments, const QString &folder = QString()) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(folder);
    process.start(QStringLiteral(ZAHLENLUPE_BINARY), arguments);
    if (!process.waitForFinished(60000))
        qFatal("zahlenlupe did not end");
    return {process.exitCode(), process.readAllStandardOutput(),
            QString::fromUtf8(process.readAllStandardError())};
}

// The pixels of the picture within a small distance of the colour.
int pixelsOf(const QImage &image, const QColor &colour) {
    int found = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            found += std::abs(c.red() - colour.red()) < 30 &&
                     std::abs(c.green() - colour.green()) < 30 &&
                     std::abs(c.blue() - colour.blue()) < 30;
        }
    return found;
}

QString plain(const QLabel &label) {
    QTextDocument document;
    document.setHtml(label.text());
    return document.toPlainText();
}

// A poppler tool, or a skip where it is missing outside CI.
bool havePoppler() {
    if (!QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty() &&
        !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        return true;
    if (qEnvironmentVariable("CI") == QLatin1String("true"))
        qFatal("pdfinfo and pdftotext are missing (Debian: poppler-utils)");
    return false;
}

QString outputOf(const QString &program, const QStringList &arguments) {
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

class TestExplorer : public QObject {
    Q_OBJECT

private slots:
    void countsAcrossDeviationsMatchOracle_data();
    void countsAcrossDeviationsMatchOracle();
    void badRangesAreRefused_data();
    void badRangesAreRefused();
    void familiesHoldExactlyTheirSolutions_data();
    void familiesHoldExactlyTheirSolutions();
    void filmChartsEveryFrameItShows();
    void badPlayRangeKeepsTheLastGoodOne_data();
    void badPlayRangeKeepsTheLastGoodOne();
    void compareShowsMinusDAndMovesTogether();
    void handoutHasAPageForEachDeviation_data();
    void handoutHasAPageForEachDeviation();
};

void TestExplorer::countsAcrossDeviationsMatchOracle_data() {
    QTest::addColumn<long long>("first");
    QTest::addColumn<long long>("last");
    QTest::addColumn<long long>("step");
    QTest::addColumn<int>("max");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("range");
    QTest::newRow("around the triples") << -3LL << 3LL << 1LL << 60 << QStringList() << "-3..3";
    QTest::newRow("a step") << -10LL << 10LL << 4LL << 40 << QStringList() << "-10..10:4";
    QTest::newRow("a step past the end") << 1LL << 8LL << 3LL << 45 << QStringList() << "1..8:3";
    QTest::newRow("primitive only")
        << 0LL << 6LL << 2LL << 50 << QStringList{"--primitive"} << "0..6:2";
    QTest::newRow("json") << -1LL << 1LL << 1LL << 30 << QStringList{"--format", "json"} << "-1..1";
    QTest::newRow("json, one deviation, primitive")
        << 25LL << 25LL << 1LL << 40 << QStringList{"--format", "json", "--primitive"} << "25..25";
    QTest::newRow("beyond 2N²") << 3199LL << 3203LL << 2LL << 40 << QStringList() << "3199..3203:2";
    QTest::newRow("far below -4N²")
        << -9000LL << -8990LL << 5LL << 30 << QStringList() << "-9000..-8990:5";
}

void TestExplorer::countsAcrossDeviationsMatchOracle() {
    ZAHLENLUPE_NO_FORK_UNDER_TSAN();
    QFETCH(long long, first);
    QFETCH(long long, last);
    QFETCH(long long, step);
    QFETCH(int, max);
    QFETCH(QStringList, options);
    QFETCH(QString, range);
    const bool json = options.contains(QStringLiteral("json"));
    const bool primitive = options.contains(QStringLiteral("--primitive"));
    QString expected = json ? QStringLiteral("[")
                            : QStringLiteral("d,count,above,below,diagonal,"
                                             "primitive\n");
    for (long long d = first; d <= last; d += step)
        expected += json ? (d == first ? QStringLiteral("\n  ") : QStringLiteral(",\n  ")) +
                               countRow(d, max, primitive, true)
                         : countRow(d, max, primitive, false);
    if (json)
        expected += QStringLiteral("\n]\n");
    const Run run = zahlenlupe(
        QStringList{"--exact", "--count", "--max", QString::number(max), "--deviation", range} +
        options);
    QVERIFY2(run.error.isEmpty(), qPrintable(run.error));
    QCOMPARE(run.status, 0);
    QCOMPARE(QString::fromUtf8(run.out), expected);
}

void TestExplorer::badRangesAreRefused_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");
    const QStringList count{"--exact", "--count", "--deviation"};
    QTest::newRow("A > B") << count + QStringList{"5..1"}
                           << "Der Anfang 5 ist größer als das Ende 1.";
    QTest::newRow("step zero") << count + QStringList{"0..4:0"}
                               << "Der Schritt »0« ist kleiner als 1.";
    QTest::newRow("step negative")
        << count + QStringList{"0..4:-2"} << "Der Schritt »-2« ist kleiner als 1.";
    QTest::newRow("step not whole")
        << count + QStringList{"0..10:1.5"} << "Der Schritt »1.5« ist keine ganze Zahl.";
    QTest::newRow("bound not whole")
        << count + QStringList{"1..2.5"} << "Das Ende »2.5« ist keine ganze Zahl.";
    QTest::newRow("bound no number")
        << count + QStringList{"x..5"} << "Der Anfang »x« ist keine Zahl.";
    QTest::newRow("too many") << count + QStringList{"0..100000"}
                              << "0..100000 sind 100001 Abweichungen, mehr als 100000.";
    QTest::newRow("too many with a step")
        << count + QStringList{"-200000..200000:4"} << "sind 100001 Abweichungen";
    QTest::newRow("without --exact") << QStringList{"--count", "--deviation", "1..2"}
                                     << "ein Bereich von Abweichungen gilt nur mit --exact --count";
    QTest::newRow("with --list") << QStringList{"--exact", "--list", "--deviation", "1..2"}
                                 << "ein Bereich von Abweichungen gilt nur mit --exact --count";
    QTest::newRow("handout not pdf")
        << QStringList{"--map", "--export", "m.png", "--deviation", "1..2"}
        << "nur zusammen mit --export DATEI.pdf";
    QTest::newRow("handout A > B")
        << QStringList{"--map", "--export", "m.pdf", "--deviation", "3..1"}
        << "Der Anfang 3 ist größer als das Ende 1.";
}

void TestExplorer::badRangesAreRefused() {
    ZAHLENLUPE_NO_FORK_UNDER_TSAN();
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    const QTemporaryDir folder;
    const Run run = zahlenlupe(arguments, folder.path());
    QCOMPARE(run.status, 2);
    QVERIFY(run.out.isEmpty());
    QVERIFY2(run.error.startsWith(QStringLiteral("zahlenlupe: --deviation")),
             qPrintable(run.error));
    QVERIFY2(run.error.contains(message), qPrintable(run.error));
    QVERIFY(QDir(folder.path()).isEmpty());
}

// Selecting a solution marks its families; each family's members are exactly the solutions with
// its k, and the panel counts them as the oracle does.
void TestExplorer::familiesHoldExactlyTheirSolutions_data() {
    QTest::addColumn<long long>("d");
    QTest::addColumn<int>("max");
    QTest::addColumn<QPoint>("selected");
    QTest::addColumn<bool>("primitive");
    QTest::newRow("a triple") << 0LL << 60 << QPoint(8, 15) << false;
    QTest::newRow("plus one") << 1LL << 80 << QPoint(4, 7) << false;
    QTest::newRow("minus seven") << -7LL << 70 << QPoint(5, 7) << false;
    QTest::newRow("a full column, x² = d") << 25LL << 50 << QPoint(5, 7) << false;
    QTest::newRow("z below y, k < 0") << 21LL << 60 << QPoint(2, 9) << false;
    QTest::newRow("primitive only") << 4LL << 90 << QPoint(6, 7) << true;
    QTest::newRow("not primitive, all shown") << 4LL << 90 << QPoint(8, 14) << false;
}

void TestExplorer::familiesHoldExactlyTheirSolutions() {
    QFETCH(long long, d);
    QFETCH(int, max);
    QFETCH(QPoint, selected);
    QFETCH(bool, primitive);
    const std::vector<Solution> solutions = TestSupport::solutions(d, max);
    const auto chosen = std::find_if(solutions.begin(), solutions.end(), [&](const Solution &s) {
        return s.x == selected.x() && s.y == selected.y();
    });
    QVERIFY2(chosen != solutions.end(), "the row's cell is no solution");
    MapWindow window(QString::number(d), static_cast<std::uint32_t>(max), primitive);
    window.show();
    QTRY_VERIFY_WITH_TIMEOUT(searchDone(window), 20000);
    child<MapView>(window, "map")->select(selected);

    // The families as the panel lists them, and as the brute force finds them.
    struct Expected {
        const char *name;
        std::function<bool(const Solution &)> member;
        Family family;
    };
    const long long k = chosen->z - chosen->y;
    const long long mirroredK = chosen->z - chosen->x;
    std::vector<Expected> families{
        {"z \u2212 y = k", [&](const Solution &s) { return s.z - s.y == k; },
         Family::parabola(static_cast<long>(d), static_cast<long>(k))},
        {"z \u2212 x = k\u2032", [&](const Solution &s) { return s.z - s.x == mirroredK; },
         Family::mirrored(static_cast<long>(d), static_cast<long>(mirroredK))}};
    if (d == 0)
        families.push_back({"Vielfache von",
                            [&](const Solution &s) { return s.x * chosen->y == s.y * chosen->x; },
                            Family::ray(static_cast<std::uint32_t>(selected.x()),
                                        static_cast<std::uint32_t>(selected.y()))});
    for (std::size_t i = 0; i < families.size(); ++i) {
        std::set<std::pair<long long, long long>> expected;
        for (const Solution &s : solutions)
            if (families[i].member(s) && (s.primitive || !primitive))
                expected.insert({s.x, s.y});
        std::set<std::pair<long long, long long>> marked;
        for (const Family::Member &m :
             families[i].family.members(static_cast<std::uint32_t>(max), primitive))
            marked.insert({m.x, m.y});
        QCOMPARE(marked, expected);
        const QString shown =
            plain(*child<QLabel>(window, QStringLiteral("family%1").arg(i).toLatin1().constData()));
        QVERIFY2(shown.contains(QString::fromUtf8(families[i].name)), qPrintable(shown));
        QVERIFY2(shown.contains(QStringLiteral("\n%1 ").arg(expected.size())), qPrintable(shown));
    }
    // The picture taken out of the map draws the curves too (far more than the legend's strokes).
    QGuiApplication::clipboard()->clear();
    QTest::keyClick(&window, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    const QImage picture = QGuiApplication::clipboard()->image();
    QVERIFY(!picture.isNull());
    for (const Expected &family : families)
        QVERIFY2(pixelsOf(picture, FamilyLayer::colour(family.family.kind())) > 100, family.name);
}

// The film from −3 to 3: every frame it shows is complete, and the chart holds each one's count
// as the oracle has it; a step back shows the deviation before.
void TestExplorer::filmChartsEveryFrameItShows() {
    const int max = 300;
    MapWindow window(QStringLiteral("0"), max);
    window.show();
    QTRY_VERIFY_WITH_TIMEOUT(searchDone(window), 20000);
    enter(child<QLineEdit>(window, "playRange"), QStringLiteral("-3..3"));
    child<QComboBox>(window, "playSpeed")->setCurrentIndex(6);
    auto *view = child<MapView>(window, "map");
    auto *total = child<QLabel>(window, "countTotalAll");
    // A new frame shows its d; the one before must have been drawn whole, with its own count.
    QStringList shown;
    const auto complete = [&] {
        const long long expected = static_cast<long long>(
            TestSupport::solutions(shown.constLast().toLongLong(), max).size());
        return view->pictureComplete() && total->text().toLongLong() == expected;
    };
    connect(child<QLineEdit>(window, "deviation"), &QLineEdit::textChanged, this,
            [&](const QString &d) {
                if (!shown.isEmpty() && !complete())
                    qFatal("d = %s was not shown whole", qPrintable(shown.constLast()));
                shown << d;
            });
    child<QPushButton>(window, "play")->click();
    QTRY_COMPARE_WITH_TIMEOUT(child<QLabel>(window, "playPosition")->text(),
                              QStringLiteral("d = 3 (7 von 7)"), 20000);
    QTRY_COMPARE(child<QPushButton>(window, "play")->text(), QStringLiteral("Abspielen"));
    QCOMPARE(shown.join(u' '), QStringLiteral("-3 -2 -1 0 1 2 3"));
    QVERIFY(complete());
    QString expected = QStringLiteral("d,count,above,below,diagonal,primitive\n");
    for (long long d = -3; d <= 3; ++d)
        expected += countRow(d, max, false, false);
    QCOMPARE(QString::fromUtf8(child<CountChart>(window, "chart")->csv()), expected);

    child<QPushButton>(window, "playBack")->click();
    QTRY_COMPARE(child<QLineEdit>(window, "deviation")->text(), QStringLiteral("2"));
    QCOMPARE(total->text().toLongLong(),
             static_cast<long long>(TestSupport::solutions(2, max).size()));
}

void TestExplorer::badPlayRangeKeepsTheLastGoodOne_data() {
    QTest::addColumn<QString>("range");
    QTest::addColumn<QString>("message");
    QTest::newRow("A > B") << "9..2"
                           << "Der Anfang 9 ist größer als das Ende 2.";
    QTest::newRow("step zero") << "0..9:0"
                               << "Der Schritt »0« ist kleiner als 1.";
    QTest::newRow("not whole") << "0.5..9"
                               << "Der Anfang »0.5« ist keine ganze Zahl.";
    QTest::newRow("too many") << "1..100001"
                              << "sind 100001 Abweichungen, mehr als 100000.";
    QTest::newRow("no range") << "7"
                              << "»7« ist kein Bereich";
}

void TestExplorer::badPlayRangeKeepsTheLastGoodOne() {
    QFETCH(QString, range);
    QFETCH(QString, message);
    MapWindow window(QStringLiteral("5"), 50);
    window.show();
    QLineEdit *field = child<QLineEdit>(window, "playRange");
    QCOMPARE(field->text(), QStringLiteral("5..55"));
    enter(field, range);
    QVERIFY2(field->toolTip().contains(message), qPrintable(field->toolTip()));
    QVERIFY(child<QLabel>(window, "note")->text().contains(message));
    // Playing plays the last good range, from its start.
    child<QPushButton>(window, "playForward")->click();
    QTRY_COMPARE(child<QLabel>(window, "playPosition")->text(), QStringLiteral("d = 5 (1 von 51)"));
}

// Compare mode: the second pane shows −d with its own counts, and the panes zoom and pan
// together, whichever is moved.
void TestExplorer::compareShowsMinusDAndMovesTogether() {
    MapWindow window(QStringLiteral("1"), 100);
    window.resize(1500, 850);
    window.show();
    QTRY_VERIFY_WITH_TIMEOUT(searchDone(window), 20000);
    child<QCheckBox>(window, "compare")->setChecked(true);
    QCOMPARE(child<QLineEdit>(window, "compareDeviation")->text(), QStringLiteral("-1"));
    QTRY_COMPARE(child<QLabel>(window, "compareCounts")->text(),
                 QStringLiteral("d = \u22121: 29 Lösungen, davon 29 primitiv"));
    QCOMPARE(child<QLabel>(window, "caption")->text(),
             QStringLiteral("d = 1: 395 Lösungen, davon 395 primitiv"));
    auto *first = child<MapView>(window, "map");
    auto *second = child<MapView>(window, "compareMap");
    const auto same = [&] {
        const MapViewport::Cells a = first->viewport().visibleCells();
        const MapViewport::Cells b = second->viewport().visibleCells();
        return a.x0 == b.x0 && a.x1 == b.x1 && a.y0 == b.y0 && a.y1 == b.y1;
    };
    QTest::keyClick(first, Qt::Key_Plus);
    QTest::keyClick(first, Qt::Key_Plus);
    QTest::keyClick(first, Qt::Key_Right);
    QVERIFY(!first->viewport().showsAll());
    QTRY_VERIFY(same());
    QTest::keyClick(second, Qt::Key_Up);
    QTest::keyClick(second, Qt::Key_Minus);
    QTRY_VERIFY(same());
    const MapViewport::Cells cells = first->viewport().visibleCells();
    long long inView = 0;
    for (const Solution &s : TestSupport::solutions(-1, 100))
        inView += s.x >= cells.x0 && s.x <= cells.x1 && s.y >= cells.y0 && s.y <= cells.y1;
    QTRY_VERIFY(child<QLabel>(window, "compareCounts")
                    ->text()
                    .endsWith(QStringLiteral(", im Ausschnitt %1").arg(inView)));

    // The second pane keeps −d beside a new d, until it is given a deviation of its own.
    const auto stepAndCompare = [&](const char *expected) {
        child<QPushButton>(window, "deviationUp")->click();
        QCOMPARE(child<QLineEdit>(window, "compareDeviation")->text(), QString::fromUtf8(expected));
    };
    stepAndCompare("-2");
    enter(child<QLineEdit>(window, "compareDeviation"), QStringLiteral("7"));
    stepAndCompare("7");
}

void TestExplorer::handoutHasAPageForEachDeviation_data() {
    QTest::addColumn<QString>("range");
    QTest::addColumn<int>("max");
    QTest::addColumn<QList<long long>>("deviations");
    QTest::newRow("four deviations") << "-1..2" << 100 << QList<long long>{-1, 0, 1, 2};
    QTest::newRow("a step") << "0..20:10" << 50 << QList<long long>{0, 10, 20};
}

void TestExplorer::handoutHasAPageForEachDeviation() {
    ZAHLENLUPE_NO_FORK_UNDER_TSAN();
    QFETCH(QString, range);
    QFETCH(int, max);
    QFETCH(QList<long long>, deviations);
    if (!havePoppler())
        QSKIP("pdfinfo and pdftotext are missing (Debian: poppler-utils)");
    const QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("handout.pdf"));
    const Run run = zahlenlupe(
        {"--map", "--export", file, "--deviation", range, "--max", QString::number(max)});
    QVERIFY2(run.error.isEmpty(), qPrintable(run.error));
    QCOMPARE(run.status, 0);

    // The same pages printed from the map, the printer writing a PDF file.
    const QString printed = folder.filePath(QStringLiteral("printed.pdf"));
    const auto n = static_cast<std::uint32_t>(max);
    MapWindow window(QStringLiteral("0"), n);
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(printed);
    const QPointer<HandoutPrint> printing = new HandoutPrint(
        window, std::move(printer),
        Handout(*DeviationRange::read(range).range, {n, false, MapArea::cells(1, 1, n, n), {}}), 0,
        deviations.size() - 1);
    QTRY_VERIFY_WITH_TIMEOUT(printing.isNull(), 20000);

    for (const QString &pdf : {file, printed}) {
        QVERIFY(outputOf(QStringLiteral("pdfinfo"), {pdf})
                    .contains(QStringLiteral("\nPages:           %1\n").arg(deviations.size())));
        for (int page = 1; page <= deviations.size(); ++page) {
            const long long d = deviations[page - 1];
            const QString text =
                outputOf(QStringLiteral("pdftotext"),
                         {"-f", QString::number(page), "-l", QString::number(page), pdf, "-"});
            const QString sign = d < 0   ? QStringLiteral(" \u2212 %1").arg(-d)
                                 : d > 0 ? QStringLiteral(" + %1").arg(d)
                                         : QString();
            const std::vector<Solution> solutions = TestSupport::solutions(d, max);
            const auto primitive = std::count_if(solutions.begin(), solutions.end(),
                                                 [](const Solution &s) { return s.primitive; });
            QVERIFY2(text.startsWith(QStringLiteral("x² + y² = z²%1\n").arg(sign)),
                     qPrintable(text));
            QVERIFY2(text.contains(
                         QStringLiteral("d = %1, Katheten 1 bis %2: %3 Lösungen, davon %4 "
                                        "primitiv\n")
                             .arg(d < 0 ? QStringLiteral("\u2212%1").arg(-d) : QString::number(d))
                             .arg(max)
                             .arg(solutions.size())
                             .arg(primitive)),
                     qPrintable(text));
        }
    }
}

QTEST_MAIN(TestExplorer)
#include "tst_explorer.moc"
