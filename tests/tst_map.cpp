// The map: its plain picture, its counts, its keyboard and the background search, each checked
// against an exact oracle of this test's own that tries every pair.
#include "forkcheck.h"
#include "mapsupport.h"
#include "oracle.h"

#include "map/mapexport.h"
#include "map/mapopener.h"
#include "map/mapoptions.h"
#include "map/mapview.h"
#include "map/mapwindow.h"
#include "window/form1.h"

#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <memory>

using TestSupport::child;
using TestSupport::enter;
using TestSupport::searchDone;

namespace {

using Solution = TestSupport::OracleSolution;

struct Counts {
    long long total = 0, above = 0, below = 0, diagonal = 0, primitive = 0;
};

Counts countsOf(const std::vector<Solution> &solutions, long long x0, long long x1, long long y0,
                long long y1) {
    Counts c;
    for (const Solution &s : solutions) {
        if (s.x < x0 || s.x > x1 || s.y < y0 || s.y > y1)
            continue;
        ++c.total;
        c.above += s.x < s.y;
        c.below += s.x > s.y;
        c.diagonal += s.x == s.y;
        c.primitive += s.primitive;
    }
    return c;
}

// What the window shows of the counts, in 1..N (column "All") or in view ("View").
Counts shownCounts(const MapWindow &window, const char *column) {
    const auto value = [&](const char *row) {
        return child<QLabel>(window, QStringLiteral("count%1%2")
                                         .arg(QLatin1String(row), QLatin1String(column))
                                         .toLatin1()
                                         .constData())
            ->text()
            .toLongLong();
    };
    return {value("Total"), value("Above"), value("Below"), value("Diagonal"), value("Primitive")};
}

void compare(const Counts &shown, const Counts &expected) {
    QCOMPARE(shown.total, expected.total);
    QCOMPARE(shown.above, expected.above);
    QCOMPARE(shown.below, expected.below);
    QCOMPARE(shown.diagonal, expected.diagonal);
    QCOMPARE(shown.primitive, expected.primitive);
}

// "3² + 4² = 5²", "4² + 7² = 8² + 1", "2² + 2² = 3² − 1".
QString equation(const Solution &s, long long d) {
    const QString squared = QStringLiteral("\u00B2");
    QString text = QString::number(s.x) + squared + QStringLiteral(" + ") + QString::number(s.y) +
                   squared + QStringLiteral(" = ") + QString::number(s.z) + squared;
    if (d > 0)
        text += QStringLiteral(" + %1").arg(d);
    else if (d < 0)
        text += QStringLiteral(" \u2212 %1").arg(-d);
    return text;
}

} // namespace

class TestMap : public QObject {
    Q_OBJECT

private slots:
    void plainPictureMatchesOracle_data();
    void plainPictureMatchesOracle();
    void badCommandLinesAreRefused_data();
    void badCommandLinesAreRefused();
    void newSearchLeavesNoStaleBlock_data();
    void newSearchLeavesNoStaleBlock();
    void countsInViewMatchOracle_data();
    void countsInViewMatchOracle();
    void keysStepThroughSolutionsInOrder_data();
    void keysStepThroughSolutionsInOrder();
    void windowOpensMapWithItsDeviation();
};

void TestMap::plainPictureMatchesOracle_data() {
    QTest::addColumn<QString>("deviation");
    QTest::addColumn<int>("max");
    QTest::addColumn<QList<int>>("view"); // empty: all of 1..N
    QTest::addColumn<int>("scale");
    QTest::addColumn<bool>("primitive");
    QTest::addColumn<long long>("d"); // for the oracle; no value: no solutions
    QTest::newRow("triples") << "0" << 60 << QList<int>() << 1 << false << 0LL;
    QTest::newRow("plus one, a view, scaled")
        << "1" << 50 << QList<int>{3, 7, 40, 33} << 3 << false << 1LL;
    QTest::newRow("minus seven") << "-7" << 80 << QList<int>() << 1 << false << -7LL;
    QTest::newRow("primitive only") << "4" << 70 << QList<int>{1, 1, 70, 20} << 1 << true << 4LL;
    QTest::newRow("a full column") << "25" << 40 << QList<int>() << 2 << false << 25LL;
    QTest::newRow("large negative") << "-1e5" << 90 << QList<int>() << 1 << false << -100000LL;
    QTest::newRow("fine cells of several legs")
        << "2" << 2500 << QList<int>{2401, 1, 2500, 2500} << 1 << false << 2LL;
    QTest::newRow("not whole") << "0.5" << 30 << QList<int>() << 1 << false << 0LL;
}

void TestMap::plainPictureMatchesOracle() {
    QFETCH(QString, deviation);
    QFETCH(int, max);
    QFETCH(QList<int>, view);
    QFETCH(int, scale);
    QFETCH(bool, primitive);
    QFETCH(long long, d);
    const QTemporaryDir folder;
    MapOptions options;
    options.deviationText = deviation;
    options.maxLeg = static_cast<std::uint32_t>(max);
    options.primitiveOnly = primitive;
    options.exportPath = folder.filePath(QStringLiteral("plain.png"));
    options.plain = true;
    options.scale = scale;
    if (!view.isEmpty())
        options.view = {static_cast<std::uint32_t>(view[0]), static_cast<std::uint32_t>(view[1]),
                        static_cast<std::uint32_t>(view[2]), static_cast<std::uint32_t>(view[3])};
    const MapExport::Result result = MapExport::write(options);
    QCOMPARE(result.status, 0);
    const QImage image = QImage(options.exportPath).convertToFormat(QImage::Format_RGB32);
    const int x0 = view.isEmpty() ? 1 : view[0];
    const int y0 = view.isEmpty() ? 1 : view[1];
    const int x1 = view.isEmpty() ? max : view[2];
    const int y1 = view.isEmpty() ? max : view[3];
    QCOMPARE(image.size(), QSize((x1 - x0 + 1) * scale, (y1 - y0 + 1) * scale));

    std::vector<QRgb> expected(static_cast<std::size_t>((x1 - x0 + 1) * (y1 - y0 + 1)),
                               qRgb(255, 255, 255));
    if (!deviation.contains(u'.')) {
        for (const Solution &s : TestSupport::solutions(d, max, primitive)) {
            if (s.x < x0 || s.x > x1 || s.y < y0 || s.y > y1)
                continue;
            expected[static_cast<std::size_t>((y1 - s.y) * (x1 - x0 + 1) + (s.x - x0))] =
                s.x < s.y   ? qRgb(0, 0, 255)
                : s.x > s.y ? qRgb(255, 0, 0)
                            : qRgb(0, 0, 0);
        }
    }
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            const QRgb want =
                expected[static_cast<std::size_t>((y1 - y) * (x1 - x0 + 1) + (x - x0))];
            for (int k = 0; k < scale * scale; ++k) {
                const QRgb got =
                    image.pixel((x - x0) * scale + k % scale, (y1 - y) * scale + k / scale);
                if (got != want)
                    QFAIL(qPrintable(QStringLiteral("cell (%1, %2): %3 instead of %4")
                                         .arg(x)
                                         .arg(y)
                                         .arg(got & 0xffffff, 6, 16, QLatin1Char('0'))
                                         .arg(want & 0xffffff, 6, 16, QLatin1Char('0'))));
            }
        }
    }
}

void TestMap::badCommandLinesAreRefused_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    const QString file = QStringLiteral("map.png");
    QTest::newRow("d no number") << QStringList{"--map", "--deviation", "zwei"} << 2
                                 << "»zwei« ist keine Zahl";
    QTest::newRow("decimal comma") << QStringList{"--map", "--deviation", "2,5"} << 2
                                   << "das Dezimalzeichen ist der Punkt (2.5)";
    QTest::newRow("N zero") << QStringList{"--map", "--max", "0"} << 2
                            << "»0« ist keine ganze Zahl von 1 bis 1000000";
    QTest::newRow("N beyond a million")
        << QStringList{"--map", "--max", "1000001"} << 2 << "von 1 bis 1000000";
    QTest::newRow("N not whole") << QStringList{"--map", "--max", "100.0000000000000001"} << 2
                                 << "keine ganze Zahl";
    QTest::newRow("view reversed")
        << QStringList{"--map", "--export", file, "--view", "9,1,2,5"} << 2 << "--view: »9,1,2,5«";
    QTest::newRow("view beyond N")
        << QStringList{"--map", "--max", "50", "--export", file, "--view", "1,1,51,5"} << 2
        << "≤ 50";
    QTest::newRow("size beyond the limit")
        << QStringList{"--map", "--export", file, "--size", "16385,100"} << 2 << "bis 16384";
    QTest::newRow("plain picture beyond the limit")
        << QStringList{"--map", "--max", "20000", "--export", file, "--plain"} << 2
        << "20000 × 20000 Pixel";
    QTest::newRow("plain without png")
        << QStringList{"--map", "--export", QStringLiteral("map.svg"), "--plain"} << 2
        << "--plain gilt nur mit --export DATEI.png";
    QTest::newRow("view without export") << QStringList{"--map", "--view", "1,1,2,2"} << 2
                                         << "--view gilt nur zusammen mit --map --export";
    QTest::newRow("radius beside the map")
        << QStringList{"--map", "--radius", "5"} << 2 << "--radius gilt nicht zusammen mit --map";
    QTest::newRow("written") << QStringList{"--map",  "--export", file,      "--plain",
                                            "--view", "1,1,9,9",  "--scale", "2"}
                             << 0 << QString();
}

void TestMap::badCommandLinesAreRefused() {
    ZAHLENLUPE_NO_FORK_UNDER_TSAN();
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, message);
    const QTemporaryDir folder;
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(folder.path());
    process.start(QStringLiteral(ZAHLENLUPE_BINARY), arguments);
    QVERIFY(process.waitForFinished(30000));
    const QString error = QString::fromUtf8(process.readAllStandardError());
    QCOMPARE(process.exitCode(), status);
    if (status == 0) {
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(QImage(folder.filePath(QStringLiteral("map.png"))).size(), QSize(18, 18));
    } else {
        QVERIFY2(error.startsWith(QStringLiteral("zahlenlupe: ")), qPrintable(error));
        QVERIFY2(error.contains(message), qPrintable(error));
        QVERIFY(!QFile::exists(folder.filePath(QStringLiteral("map.png"))));
    }
}

// A search of a million legs is replaced while it runs; what the map shows at the end is the new
// search's alone, counted in the window as the oracle counts.
void TestMap::newSearchLeavesNoStaleBlock_data() {
    QTest::addColumn<QStringList>("edits"); // field name, text; "up" steps d
    QTest::addColumn<long long>("d");
    QTest::addColumn<int>("max");
    QTest::addColumn<bool>("primitive");
    QTest::newRow("new N, then new d")
        << QStringList{"maxLeg", "1500", "deviation", "5"} << 5LL << 1500 << false;
    QTest::newRow("new d, then new N")
        << QStringList{"deviation", "-3", "maxLeg", "900"} << -3LL << 900 << false;
    QTest::newRow("steps of d, primitive only")
        << QStringList{"filter", "1", "maxLeg", "1200", "up", "", "up", ""} << 3LL << 1200 << true;
}

void TestMap::newSearchLeavesNoStaleBlock() {
    QFETCH(QStringList, edits);
    QFETCH(long long, d);
    QFETCH(int, max);
    QFETCH(bool, primitive);
    MapWindow window(QStringLiteral("1"), 1'000'000);
    window.show();
    // Some of the million's blocks are on the map, and its search goes on.
    QTRY_VERIFY(shownCounts(window, "All").total > 0);
    QVERIFY(child<QPushButton>(window, "cancel")->isEnabled());
    for (qsizetype i = 0; i < edits.size(); i += 2) {
        if (edits[i] == QLatin1String("up"))
            child<QPushButton>(window, "deviationUp")->click();
        else if (edits[i] == QLatin1String("filter"))
            child<QComboBox>(window, "filter")->setCurrentIndex(edits[i + 1].toInt());
        else
            enter(child<QLineEdit>(window, edits[i].toLatin1().constData()), edits[i + 1]);
    }
    QTRY_VERIFY_WITH_TIMEOUT(searchDone(window), 20000);
    const std::vector<Solution> solutions = TestSupport::solutions(d, max, primitive);
    compare(shownCounts(window, "All"), countsOf(solutions, 1, max, 1, max));
    compare(shownCounts(window, "View"), countsOf(solutions, 1, max, 1, max));
}

// The counts of the part in view, wherever the keys take the view, against the oracle's count of
// the cells the window names.
void TestMap::countsInViewMatchOracle_data() {
    QTest::addColumn<long long>("d");
    QTest::addColumn<int>("max");
    QTest::addColumn<QString>("keys"); // + − < > ^ v: zoom and pan
    QTest::newRow("whole range") << 0LL << 3000 << "";
    QTest::newRow("closer") << 1LL << 3000 << "++";
    QTest::newRow("closer, to the left and up") << 1LL << 5000 << "+++<<^";
    QTest::newRow("far in, off the axes") << -7LL << 5000 << "++++++>>>>^^^";
    QTest::newRow("cells many pixels wide") << 2LL << 3000 << "++++++++++++++>>";
    QTest::newRow("in and out again") << 25LL << 4000 << "++++>>--^";
}

void TestMap::countsInViewMatchOracle() {
    QFETCH(long long, d);
    QFETCH(int, max);
    QFETCH(QString, keys);
    MapWindow window(QString::number(d), static_cast<std::uint32_t>(max));
    window.resize(900, 700);
    window.show();
    QTRY_VERIFY_WITH_TIMEOUT(searchDone(window), 20000);
    QWidget *map = child<QWidget>(window, "map");
    QLabel *range = child<QLabel>(window, "viewRange");
    const QString whole = range->text();
    for (const QChar key : keys) {
        const int code = key == u'+'   ? Qt::Key_Plus
                         : key == u'-' ? Qt::Key_Minus
                         : key == u'<' ? Qt::Key_Left
                         : key == u'>' ? Qt::Key_Right
                         : key == u'^' ? Qt::Key_Up
                                       : Qt::Key_Down;
        QTest::keyClick(map, static_cast<Qt::Key>(code));
    }
    if (!keys.isEmpty())
        QTRY_VERIFY(range->text() != whole);
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("x (\\d+) bis (\\d+), y (\\d+) bis (\\d+)$"))
            .match(range->text());
    QVERIFY2(match.hasMatch(), qPrintable(range->text()));
    const auto at = [&](int i) { return match.captured(i).toLongLong(); };
    compare(shownCounts(window, "View"),
            countsOf(TestSupport::solutions(d, max), at(1), at(2), at(3), at(4)));
}

void TestMap::keysStepThroughSolutionsInOrder_data() {
    QTest::addColumn<long long>("d");
    QTest::addColumn<int>("max");
    QTest::newRow("triples") << 0LL << 40;
    QTest::newRow("minus seven") << -7LL << 25;
    QTest::newRow("plus two") << 2LL << 60;
}

void TestMap::keysStepThroughSolutionsInOrder() {
    QFETCH(long long, d);
    QFETCH(int, max);
    MapWindow window(QString::number(d), static_cast<std::uint32_t>(max));
    window.show();
    QTRY_VERIFY_WITH_TIMEOUT(searchDone(window), 20000);
    QWidget *map = child<QWidget>(window, "map");
    const std::vector<Solution> solutions = TestSupport::solutions(d, max);
    const auto spoken = [&](std::size_t i) {
        return QStringLiteral("Lösung %1 von %2: %3")
            .arg(i + 1)
            .arg(solutions.size())
            .arg(equation(solutions[i], d));
    };
    for (std::size_t i = 0; i < solutions.size(); ++i) {
        QTest::keyClick(map, Qt::Key_N);
        QCOMPARE(map->accessibleName(), spoken(i));
    }
    // Past the last one the selection stays.
    QTest::keyClick(map, Qt::Key_N);
    QCOMPARE(map->accessibleName(), spoken(solutions.size() - 1));
    for (std::size_t i = solutions.size() - 1; i-- > 0;) {
        QTest::keyClick(map, Qt::Key_N, Qt::ShiftModifier);
        QCOMPARE(map->accessibleName(), spoken(i));
    }
    QCOMPARE(child<QLabel>(window, "selectionEquation")->text(), equation(solutions[0], d));

    // From a cell that is no solution, to the solutions after and before it in the search's order.
    const auto after = std::find_if(solutions.begin() + 1, solutions.end(),
                                    [](const Solution &s) { return s.y > 1; });
    QVERIFY(after != solutions.end());
    auto *view = qobject_cast<MapView *>(map);
    const QPoint gap(static_cast<int>(after->x), static_cast<int>(after->y) - 1);
    QVERIFY(std::none_of(solutions.begin(), solutions.end(),
                         [&](const Solution &s) { return s.x == gap.x() && s.y == gap.y(); }));
    view->select(gap);
    QTest::keyClick(map, Qt::Key_N);
    QCOMPARE(map->accessibleName(), spoken(static_cast<std::size_t>(after - solutions.begin())));
    view->select(gap);
    QTest::keyClick(map, Qt::Key_N, Qt::ShiftModifier);
    QCOMPARE(map->accessibleName(),
             spoken(static_cast<std::size_t>(after - solutions.begin()) - 1));
}

// Strg+M in the window opens the map with the deviation of the window's last search.
void TestMap::windowOpensMapWithItsDeviation() {
    Form1 form;
    const MapOpener opener(form, [&form] { return QString::number(form.searchedDeviation()); });
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    child<QLineEdit>(form, "Text1")->setText(QStringLiteral("-7"));
    form.Command1_Click();
    QVERIFY(!opener.map());
    QTest::keyClick(&form, Qt::Key_M, Qt::ControlModifier);
    QVERIFY(opener.map() && opener.map()->isVisible());
    QCOMPARE(child<QLineEdit>(*opener.map(), "deviation")->text(), QStringLiteral("-7"));
}

QTEST_MAIN(TestMap)
#include "tst_map.moc"
