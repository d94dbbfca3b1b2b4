// Results that leave the program: the solution rule against exact integer arithmetic, the list of
// solutions, the plot and the list on the command line, the exact list and count against oracles
// of their own, and the save keys in the window.
#include "testsupport.h"

#include "numbers/solution.h"
#include "results/plotpicture.h"
#include "results/solutionlist.h"
#include "results/windowkeys.h"

#include <QApplication>
#include <QClipboard>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <numeric>

using namespace TestSupport;

namespace {

// The exact list by brute force over every pair, in 128-bit whole numbers, and its primitive
// count as JSON.
std::pair<QByteArray, QByteArray> bruteForce(long long d, int max) {
    QByteArray list = "x,y,z,primitive\n";
    long long counts[3] = {}; // above, below, diagonal
    for (long long x = 1; x <= max; ++x) {
        for (long long y = 1; y <= max; ++y) {
            const std::optional<long long> z = wholeHypotenuse(x, y, d);
            if (!z)
                continue;
            const bool primitive = std::gcd(std::gcd(x, y), *z) == 1;
            list += QByteArray::number(x) + ',' + QByteArray::number(y) + ',' +
                    QByteArray::number(*z) + (primitive ? ",true\n" : ",false\n");
            if (primitive)
                ++counts[x < y ? 0 : x > y ? 1 : 2];
        }
    }
    const long long all = counts[0] + counts[1] + counts[2];
    return {list, QStringLiteral("{\"count\": %1, \"above\": %2, \"below\": %3, \"diagonal\": "
                                 "%4, \"primitive\": %1}\n")
                      .arg(all)
                      .arg(counts[0])
                      .arg(counts[1])
                      .arg(counts[2])
                      .toUtf8()};
}

// Euclid: the triples with legs up to max are the multiples k(m² − n², 2mn, m² + n²) of the
// primitive ones, m > n coprime and of opposite parity. Ordered pairs, all and primitive.
std::pair<long long, long long> euclidCount(long long max) {
    long long all = 0;
    long long primitive = 0;
    for (long long m = 2; 2 * m - 1 <= max; ++m) {
        for (long long n = m - 1; n >= 1 && m * m - n * n <= max; --n) {
            const long long longer = std::max(m * m - n * n, 2 * m * n);
            if ((m - n) % 2 == 0 || std::gcd(m, n) != 1 || longer > max)
                continue;
            primitive += 2;
            all += 2 * (max / longer);
        }
    }
    return {all, primitive};
}

struct Run {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

// The program itself, with no display of any kind in its environment.
Run runProgram(const QStringList &arguments) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_RUNTIME_DIR"})
        environment.remove(QLatin1String(name));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(ZAHLENLUPE_BINARY), arguments);
    if (!process.waitForFinished(30000))
        qFatal("the program did not finish");
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), process.readAllStandardError()};
}

QImage rgb(const QImage &image) { return image.convertToFormat(QImage::Format_RGB32); }

// A vector file drawn as pixels by an outside renderer, `scale` pixels to each logical pixel of the
// plot; a null image when the renderer fails.
QImage rendered(const QString &file, int scale) {
    QProcess process;
    const QString out = file + QStringLiteral(".rendered.png");
    if (file.endsWith(QLatin1String(".svg")))
        process.start(QStringLiteral("rsvg-convert"),
                      {QStringLiteral("-w"), QString::number(745 * scale), QStringLiteral("-h"),
                       QString::number(665 * scale), file, QStringLiteral("-o"), out});
    else
        process.start(QStringLiteral("pdftoppm"),
                      {QStringLiteral("-r"), QString::number(72 * scale), QStringLiteral("-png"),
                       QStringLiteral("-singlefile"), file, out.chopped(4)});
    process.waitForFinished(30000);
    return rgb(QImage(out));
}

QString outputOf(const QString &program, const QStringList &arguments) {
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The line the window's rule adds on standard error when rows are not exact solutions.
QByteArray notice(const char *rows) {
    return "zahlenlupe: " + QByteArray(rows) +
           " von x² + y² = z² + d (die Regel des Fensters rechnet in double-Genauigkeit); exakt "
           "rechnet --exact.\n";
}

} // namespace

class TestResults : public QObject {
    Q_OBJECT

private slots:
    void ruleMatchesExactArithmetic_data();
    void ruleMatchesExactArithmetic();
    void exactDigits_data();
    void exactDigits();
    void listOnTheCommandLine_data();
    void listOnTheCommandLine();
    void exactMatchesTheOracle_data();
    void exactMatchesTheOracle();
    void exactCountsEuclid_data();
    void exactCountsEuclid();
    void exportEqualsTheWindow_data();
    void exportEqualsTheWindow();
    void everyFormatShowsTheMarks_data();
    void everyFormatShowsTheMarks();
    void badArgumentsLeaveNothing_data();
    void badArgumentsLeaveNothing();
    void keysActInEveryControl();
};

// The rule, the search's count and the list of solutions against the test's own arithmetic: for a
// whole d, the rule answers as whole numbers do on every cell a pointer can reach, and the list is
// exactly the oracle's rows in the search's order; for any d the list has as many rows as the count
// label shows. Beyond whole numbers the rows are literals of the window's rule.
void TestResults::ruleMatchesExactArithmetic_data() {
    QTest::addColumn<QString>("deviation");
    QTest::addColumn<int>("rows"); // -1: as the oracle has them
    for (const char *d : {"1", "3", "-7", "99", "20001", "-20000"})
        QTest::newRow(d) << QString::fromLatin1(d) << -1;
    QTest::newRow("0") << "0" << 126;
    QTest::newRow("2") << "2" << 22;
    QTest::newRow("20000") << "20000" << 1;
    QTest::newRow("half") << "0.5" << 0;
    QTest::newRow("-1e20 passes every pair") << "-1e20" << 10000;
}

void TestResults::ruleMatchesExactArithmetic() {
    QFETCH(QString, deviation);
    QFETCH(int, rows);
    Form1 form;
    control<QLineEdit>(form, "Text1")->setText(deviation);
    control<QPushButton>(form, "Command1")->click();
    const auto entries = SolutionList::forDeviation(form.searchedDeviation());
    QCOMPARE(entries.size(), text(form, "txtAnzahl").trimmed().toInt());
    if (rows >= 0)
        QCOMPARE(entries.size(), rows);
    bool whole = false;
    const long long d = deviation.toLongLong(&whole);
    if (!whole)
        return;
    for (int x = -5; x <= 120; ++x)
        for (int y = -5; y <= 120; ++y) {
            const Solution::Test t = Solution::test(x, y, static_cast<double>(d));
            const auto z = wholeHypotenuse(x, y, d);
            QCOMPARE(t.solution, z.has_value());
            if (z)
                QCOMPARE(t.z, static_cast<double>(*z));
        }
    QList<SolutionList::Entry> expected;
    for (int x = 1; x <= 100; ++x)
        for (int y = 1; y <= 100; ++y)
            if (const auto z = wholeHypotenuse(x, y, d))
                expected.append(
                    {x, y, static_cast<double>(*z), std::gcd(std::gcd<long long>(x, y), *z) == 1});
    QCOMPARE(entries.size(), expected.size());
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const auto &e = entries[i];
        const auto &o = expected[i];
        QCOMPARE(std::tuple(e.x, e.y, e.z, e.primitive), std::tuple(o.x, o.y, o.z, o.primitive));
    }
}

void TestResults::exactDigits_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QByteArray>("digits");
    QTest::newRow("zero") << 0.0 << QByteArray("0");
    QTest::newRow("2^100") << std::ldexp(1.0, 100) << QByteArray("1267650600228229401496703205376");
    QTest::newRow("1e23 as the double holds it") << 1e23 << QByteArray("99999999999999991611392");
    QTest::newRow("largest double")
        << std::numeric_limits<double>::max()
        << QByteArray(
               "17976931348623157081452742373170435679807056752584499659891747680315726078002"
               "85387605895586327668781715404589535143824642343213268894641827684675467035375"
               "16986049910576551282076245490090389328944075868508455133942304583236903222948"
               "16580855933212334827479782620414472316873817718091929988125040402618412485836"
               "8");
}

void TestResults::exactDigits() {
    QFETCH(double, value);
    QFETCH(QByteArray, digits);
    QCOMPARE(SolutionList::exactDigits(value), digits);
}

void TestResults::listOnTheCommandLine_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("lines");
    QTest::addColumn<QByteArray>("start");
    QTest::addColumn<QByteArray>("notice");
    QTest::newRow("version") << QStringList{"--version"} << 1 << QByteArray("zahlenlupe 1.0.0\n")
                             << QByteArray();
    QTest::newRow("help") << QStringList{"-h"} << -1
                          << QByteArray(
                                 "Aufruf: zahlenlupe [Optionen]\n"
                                 "\n"
                                 "Zahlenlupe zeigt pythagoreische Tripel und „Fast-Tripel“: alle "
                                 "Paare (x, y) mit\n"
                                 "x, y in 1..100, für die x² + y² − d eine Quadratzahl ist. Ohne "
                                 "--export, --list\n"
                                 "und --count öffnet sich das Fenster, mit den angegebenen Werten "
                                 "als\n"
                                 "Startwerten.\n"
                                 "\n"
                                 "Optionen:\n"
                                 "  -h, --help             Diese Hilfe ausgeben.\n"
                                 "  -v, --version          Die Version ausgeben.\n"
                                 "  --deviation D          Abweichung d (Standard 0). Eine Zahl "
                                 "jenseits des\n"
                                 "                         double-Bereichs gilt als die größte "
                                 "endliche Zahl.\n"
                                 "  --radius R             Radius des Kreises, ganze Zahl 0..139 "
                                 "(Standard 25).\n"
                                 "  --segment X1,Y1,X2,Y2  Analysestrecke, ganze Zahlen 0..100\n"
                                 "                         (Standard 1,1,100,100).\n")
                          << QByteArray();
    const QStringList list{QStringLiteral("--list")};
    QTest::newRow("csv") << list + QStringList{"--deviation", "2"} << 23
                         << QByteArray("x,y,z,primitive\n1,1,0,true\n3,3,4,true\n5,11,12,true\n")
                         << QByteArray();
    QTest::newRow("json, one solution")
        << list + QStringList{"--deviation=20000", "--format", "json"} << 3
        << QByteArray("[\n  {\"x\": 100, \"y\": 100, \"z\": 0, \"primitive\": false}\n]\n")
        << QByteArray();
    QTest::newRow("Qt's own options pass")
        << list + QStringList{"-style", "fusion", "-reverse"} << 127
        << QByteArray("x,y,z,primitive\n3,4,5,true\n") << QByteArray();
    QTest::newRow("json, none") << list + QStringList{"--deviation", "1e6", "--format=json"} << 1
                                << QByteArray("[]\n") << QByteArray();
    QTest::newRow("beyond the range saturates: none")
        << list + QStringList{"--deviation", "1e400"} << 1 << QByteArray("x,y,z,primitive\n")
        << QByteArray();
    QTest::newRow("negative beyond the range: all")
        << list + QStringList{"--deviation", "-1e400"} << 10001
        << QByteArray("x,y,z,primitive\n1,1,1340780792994259561100831764080293428246420726595910"
                      "702146605475609437657358161905485261224192795645565075999639870378241210963"
                      "3178814162067569513603268608,true\n")
        << notice("10000 Paare der Liste sind keine exakten Lösungen");
    // Where the window's rule is not exact it says so, and the rows stay the window's.
    QTest::newRow("a fraction rounds to 0")
        << list + QStringList{"--deviation", "1e-15"} << 127
        << QByteArray("x,y,z,primitive\n3,4,5,true\n")
        << notice("126 Paare der Liste sind keine exakten Lösungen");
    QTest::newRow("-9e16 rounds") << list + QStringList{"--deviation", "-9e16"} << 14
                                  << QByteArray("x,y,z,primitive\n1,1,300000000,true\n")
                                  << notice("13 Paare der Liste sind keine exakten Lösungen");
    QTest::newRow("2^52 + 1 is no square")
        << list + QStringList{"--deviation", "-4503599627370495"} << 2
        << QByteArray("x,y,z,primitive\n1,1,67108864,true\n")
        << notice("1 Paar der Liste ist keine exakte Lösung");
    QTest::newRow("count by the window's rule")
        << QStringList{"--count", "--max", "1.0e2"} << 2
        << QByteArray("count,above,below,diagonal,primitive\n126,63,63,0,36\n") << QByteArray();
    QTest::newRow("primitive count as JSON")
        << QStringList{"--count", "--primitive", "--deviation", "2", "--format", "json"} << 1
        << QByteArray("{\"count\": 22, \"above\": 9, \"below\": 9, \"diagonal\": 4, "
                      "\"primitive\": 22}\n")
        << QByteArray();
    QTest::newRow("primitive rows, window's rule")
        << list + QStringList{"--primitive"} << 37
        << QByteArray("x,y,z,primitive\n3,4,5,true\n4,3,5,true\n5,12,13,true\n") << QByteArray();

    const QStringList exact{QStringLiteral("--exact"), QStringLiteral("--list")};
    QTest::newRow("exact JSON") << exact + QStringList{"--max", "5", "--format", "json"} << 4
                                << QByteArray(
                                       "[\n  {\"x\": 3, \"y\": 4, \"z\": 5, \"primitive\": true},\n"
                                       "  {\"x\": 4, \"y\": 3, \"z\": 5, \"primitive\": true}\n]\n")
                                << QByteArray();
    QTest::newRow("exact: not whole by its text, no solution")
        << QStringList{"--exact", "--count", "--deviation", "2.0000000000000001"} << 2
        << QByteArray("count,above,below,diagonal,primitive\n0,0,0,0,0\n") << QByteArray();
    QTest::newRow("exact: a fraction, empty JSON")
        << exact + QStringList{"--deviation", "1e-15", "--format", "json"} << 1
        << QByteArray("[]\n") << QByteArray();
    QTest::newRow("exact: too big to have solutions")
        << exact + QStringList{"--deviation", "1e1000000000"} << 1
        << QByteArray("x,y,z,primitive\n") << QByteArray();
    // 25 − 10³⁰ and 25 − 10²⁰⁰: x² + y² = 25 beside z = 10¹⁵ or 10¹⁰⁰, and no other z in reach.
    const QByteArray huge = "3,4,1000000000000000,true\n4,3,1000000000000000,true\n";
    QTest::newRow("exact: huge z")
        << exact + QStringList{"--deviation", "-999999999999999999999999999975"} << 3
        << "x,y,z,primitive\n" + huge << QByteArray();
    QTest::newRow("exact: huge z, legs to 10^7")
        << exact +
               QStringList{"--max", "10000000", "--deviation", "-999999999999999999999999999975"}
        << 3 << "x,y,z,primitive\n" + huge << QByteArray();
    QTest::newRow("exact: the legs 4..5 of 1..12 on three threads")
        << exact + QStringList{"--max", "12", "--legs", "4..5", "--threads", "3"} << 3
        << QByteArray("x,y,z,primitive\n4,3,5,true\n5,12,13,true\n") << QByteArray();
    const QByteArray googol = "1" + QByteArray(100, '0');
    QTest::newRow("exact: z of 101 digits")
        << exact + QStringList{"--deviation", "-" + QString(198, u'9') + "75"} << 3
        << "x,y,z,primitive\n3,4," + googol + ",true\n4,3," + googol + ",true\n"
        << QByteArray();
}

void TestResults::listOnTheCommandLine() {
    QFETCH(QStringList, arguments);
    QFETCH(int, lines);
    QFETCH(QByteArray, start);
    QFETCH(QByteArray, notice);
    const Run run = runProgram(arguments);
    QCOMPARE(run.status, 0);
    QCOMPARE(run.err, notice);
    if (lines >= 0)
        QCOMPARE(run.out.count('\n'), lines);
    QVERIFY2(run.out.startsWith(start), run.out.left(200).constData());
}

void TestResults::exactMatchesTheOracle_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("deviation");
    QTest::addColumn<int>("max");
    const auto row = [](const char *name, const QString &text, qint64 d, int max) {
        QTest::newRow(name) << text << d << max;
    };
    row("Pythagoras, one leg", "0", 0, 1);
    row("Pythagoras", "0", 0, 150);
    row("2, on the diagonal too", "2", 2, 100);
    row("-7", "-7", -7, 120);
    row("x² = d: z = y for every y", "49", 49, 60);
    row("z below y", "1000", 1000, 40);
    row("largest d with a solution", "7200", 7200, 60);
    row("beyond it", "7201", 7201, 60);
    row("last by the legs", "-14400", -14400, 60);
    row("first by the hypotenuse", "-14401", -14401, 60);
    row("many hypotenuses", "-1e7", -10000000, 300);
    row("few hypotenuses", "-1e12", -1000000000000, 300);
    row("2^52 + 1 is no square", "-4503599627370495", -4503599627370495, 100);
    row("-9e16 exactly", "-9e16", -90000000000000000, 100);
    row("hexadecimal", "&H10", 16, 50);
    row("whole by its text", "-1.20e1", -12, 70);
}

void TestResults::exactMatchesTheOracle() {
    QFETCH(QString, text);
    QFETCH(qint64, deviation);
    QFETCH(int, max);
    const auto [list, count] = bruteForce(deviation, max);
    const QStringList common{"--exact", "--deviation", text, "--max", QString::number(max)};
    const Run rows = runProgram(common + QStringList{"--list"});
    QCOMPARE(rows.status, 0);
    QCOMPARE(rows.err, QByteArray());
    QCOMPARE(rows.out, list);
    const Run counted = runProgram(common + QStringList{"--count", "--primitive", "--format=json"});
    QCOMPARE(counted.out, count);
}

void TestResults::exactCountsEuclid_data() {
    QTest::addColumn<int>("max");
    for (const int max : {1000, 31623, 100000})
        QTest::newRow(qPrintable(QString::number(max))) << max;
}

void TestResults::exactCountsEuclid() {
    QFETCH(int, max);
    const auto [all, primitive] = euclidCount(max);
    if (max == 1000)
        QCOMPARE(std::pair(all, primitive), std::pair(2068LL, 358LL));
    const Run run = runProgram({"--exact", "--count", "--max", QString::number(max)});
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out, QStringLiteral("count,above,below,diagonal,primitive\n%1,%2,%2,0,%3\n")
                          .arg(all)
                          .arg(all / 2)
                          .arg(primitive)
                          .toUtf8());
}

void TestResults::exportEqualsTheWindow_data() {
    QTest::addColumn<QString>("deviation");
    QTest::addColumn<int>("radius");
    QTest::addColumn<QList<int>>("segment");
    QTest::newRow("defaults") << "0" << 25 << QList<int>{1, 1, 100, 100};
    QTest::newRow("d 2, wide circle") << "2" << 60 << QList<int>{3, 10, 50, 20};
    QTest::newRow("everything marked, no circle") << "-1e20" << 0 << QList<int>{100, 0, 0, 100};
    QTest::newRow("largest radius") << "7" << 139 << QList<int>{0, 0, 0, 0};
}

void TestResults::exportEqualsTheWindow() {
    QFETCH(QString, deviation);
    QFETCH(int, radius);
    QFETCH(QList<int>, segment);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("plot.png"));
    QStringList arguments{"--deviation", deviation, "--radius", QString::number(radius),
                          "--segment",   QString(), "--export", file};
    arguments[5] = QStringLiteral("%1,%2,%3,%4")
                       .arg(segment[0])
                       .arg(segment[1])
                       .arg(segment[2])
                       .arg(segment[3]);
    const Run run = runProgram(arguments);
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out, QByteArray());
    QCOMPARE(run.err, QByteArray()); // nothing from Qt either, with no XDG_RUNTIME_DIR

    // The same values set by hand in a window, and its canvas as Qt itself paints it, with only
    // the controls that are not part of the plot hidden.
    Form1 form;
    control<QLineEdit>(form, "Text1")->setText(deviation);
    control<QScrollBar>(form, "hscRadius")->setValue(radius);
    const char *bars[] = {"hscX1", "hscY1", "hscX2", "hscY2"};
    for (int i = 0; i < 4; ++i)
        control<QScrollBar>(form, bars[i])->setValue(segment[i]);
    control<QPushButton>(form, "Command1")->click();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const QImage shown = shownPlot(form);

    const QImage exported = rgb(QImage(file));
    QCOMPARE(exported.size(), shown.size());
    QVERIFY(exported == shown);
}

// The exported picture of every format, read back as pixels at three times its size: in every cell
// the colour the solutions give it, by the test's own arithmetic. The radius and the segment are
// put in the corner below the plot so that only the grid crosses the cells.
void TestResults::everyFormatShowsTheMarks_data() {
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<QString>("deviation");
    // -1e20 marks every cell in double precision: the largest picture.
    for (const char *suffix : {"png", "svg", "pdf"})
        for (const char *d : {"0", "2", "-1e20"})
            QTest::addRow("%s, %s", suffix, d)
                << QString::fromLatin1(suffix) << QString::fromLatin1(d);
}

void TestResults::everyFormatShowsTheMarks() {
    QFETCH(QString, suffix);
    QFETCH(QString, deviation);
    bool whole = false;
    const long long d = deviation.toLongLong(&whole);
    const bool vector = suffix != QLatin1String("png");
    const QString renderer = suffix == QLatin1String("svg") ? "rsvg-convert" : "pdftoppm";
    if (vector && QStandardPaths::findExecutable(renderer).isEmpty()) {
        if (qEnvironmentVariable("CI") == QLatin1String("true"))
            QFAIL(qPrintable(renderer + " is missing"));
        QSKIP(qPrintable(renderer + " is missing (Debian: librsvg2-bin, poppler-utils)"));
    }
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("plot.") + suffix);
    QStringList arguments{"--deviation", deviation, "--radius", "0",
                          "--segment",   "0,0,0,0", "--export", file};
    if (!vector)
        arguments << "--scale"
                  << "3";
    const Run run = runProgram(arguments);
    QCOMPARE(run.status, 0);
    const QImage picture = vector ? rendered(file, 3) : rgb(QImage(file));
    QCOMPARE(picture.size(), QSize(2235, 1995));

    // A point of each cell clear of its grid lines and of the diagonal, in pixels of the picture.
    const auto at = [](double x, double y) {
        return QPoint(static_cast<int>((x + 5) * 745 / 125 * 3),
                      static_cast<int>((115 - y) * 665 / 120 * 3));
    };
    int wrong = 0;
    for (int x = 1; x <= 100; ++x)
        for (int y = 1; y <= 100; ++y) {
            const QRgb expected = whole && !wholeHypotenuse(x, y, d) ? white
                                  : x == y                           ? markBlack
                                  : x < y                            ? markBlue
                                                                     : markRed;
            const QRgb shown = picture.pixel(at(x + 0.8, y + 0.2)) & 0xffffffu;
            if (shown != expected && ++wrong <= 5)
                qWarning("cell %d, %d: #%06x, expected #%06x", x, y, shown, expected);
        }
    QCOMPARE(wrong, 0);

    if (suffix == QLatin1String("pdf")) {
        // One page of the plot's size, its labels real text in an embedded font.
        const QString info = outputOf(QStringLiteral("pdfinfo"), {file});
        QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages: +1\\n"))),
                 qPrintable(info));
        QVERIFY2(info.contains(QStringLiteral("Page size:       745 x 665 pts")), qPrintable(info));
        QVERIFY(outputOf(QStringLiteral("pdftotext"), {file, "-"}).contains(QLatin1String("100")));
        const QStringList fonts =
            outputOf(QStringLiteral("pdffonts"), {file}).split(u'\n', Qt::SkipEmptyParts).mid(2);
        QVERIFY(!fonts.isEmpty());
        for (const QString &font : fonts)
            QVERIFY2(font.contains(QLatin1String(" yes ")), qPrintable(font));
        QVERIFY(QFileInfo(file).size() < 200000);
    }
    if (suffix == QLatin1String("svg")) {
        QFile svg(file);
        QVERIFY(svg.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&svg);
        int texts = 0;
        while (!xml.atEnd())
            if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"text")
                ++texts;
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QCOMPARE(texts, 22 + 1); // the axis labels and the radius label
        QVERIFY(svg.size() < 1000000);
    }
}

void TestResults::badArgumentsLeaveNothing_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("line"); // the first line of standard error, when given
    const auto out = [](QStringList arguments) {
        return arguments << "--export"
                         << "OUT";
    };
    QTest::newRow("unknown option") << out({"--bogus"}) << 2 << QByteArray();
    QTest::newRow("missing value") << QStringList{"--list", "--deviation"} << 2 << QByteArray();
    QTest::newRow("deviation no number") << out({"--deviation", "abc"}) << 2 << QByteArray();
    QTest::newRow("deviation with comma")
        << out({"--deviation", "3,5"}) << 2
        << QByteArray("--deviation: »3,5« ist keine Zahl; das Dezimalzeichen ist der Punkt (3.5).");
    QTest::newRow("radius 140") << out({"--radius", "140"}) << 2 << QByteArray();
    QTest::newRow("radius -1") << out({"--radius", "-1"}) << 2 << QByteArray();
    QTest::newRow("radius not whole") << out({"--radius", "2.5"}) << 2 << QByteArray();
    QTest::newRow("segment point 101") << out({"--segment", "1,1,100,101"}) << 2 << QByteArray();
    QTest::newRow("segment of three") << out({"--segment", "1,1,100"}) << 2 << QByteArray();
    QTest::newRow("segment of five") << out({"--segment", "1,1,100,100,5"}) << 2 << QByteArray();
    QTest::newRow("option twice") << out({"--radius", "3", "--radius", "4"}) << 2 << QByteArray();
    QTest::newRow("stray argument") << out({"plot.png"}) << 2 << QByteArray();
    QTest::newRow("format unknown") << out({"--list", "--format", "xml"}) << 2 << QByteArray();
    QTest::newRow("format without list") << out({"--format", "csv"}) << 2 << QByteArray();
    QTest::newRow("radius on a list alone")
        << QStringList{"--list", "--radius", "3"} << 2 << QByteArray();
    QTest::newRow("no picture name") << QStringList{"--export", "OUT.jpg"} << 2 << QByteArray();
    QTest::newRow("scale 9") << out({"--scale", "9"}) << 2 << QByteArray();
    QTest::newRow("scale of a PDF")
        << QStringList{"--export", "OUT.pdf", "--scale", "2"} << 2 << QByteArray();
    QTest::newRow("folder missing")
        << QStringList{"--export", "OUT/none/plot.png"} << 1 << QByteArray();

    // Whole or not by the text, not by its double.
    QTest::newRow("radius a hair above 25")
        << out({"--radius", "25.0000000000000001"}) << 2
        << QByteArray("--radius: »25.0000000000000001« ist keine ganze Zahl von 0 bis 139.");
    QTest::newRow("segment a hair below 100")
        << out({"--segment", "1,1,100,99.99999999999999999"}) << 2 << QByteArray();
    // Control characters reach the terminal escaped, whoever echoes them.
    QTest::newRow("escape sequence as deviation")
        << out({"--deviation", "\x1b[2J"}) << 2
        << QByteArray("--deviation: »\\x1b[2J« ist keine Zahl.");
    QTest::newRow("escape sequence as option") << out({"--\x1b]0;x\x07\n"}) << 2 << QByteArray();
    const QByteArray maxLine = "ist keine ganze Zahl von 1 bis 1000000000.";
    const QStringList exact{"--exact", "--count"};
    QTest::newRow("max 0") << exact + QStringList{"--max", "0"} << 2 << "--max: »0« " + maxLine;
    QTest::newRow("max negative") << exact + QStringList{"--max", "-5"} << 2
                                  << "--max: »-5« " + maxLine;
    QTest::newRow("max fractional")
        << exact + QStringList{"--max", "1e-1"} << 2 << "--max: »1e-1« " + maxLine;
    QTest::newRow("max no number")
        << exact + QStringList{"--max", "zehn"} << 2 << "--max: »zehn« " + maxLine;
    QTest::newRow("max beyond the limit")
        << exact + QStringList{"--max", "1000000001"} << 2 << "--max: »1000000001« " + maxLine;
    QTest::newRow("max twice") << exact + QStringList{"--max", "5", "--max", "5"} << 2
                               << QByteArray("--max ist mehrfach angegeben.");
    QTest::newRow("max other than 100 by the window's rule")
        << QStringList{"--list", "--max", "200"} << 2
        << QByteArray("--max 200 gilt nur mit --exact: die Regel des Fensters kennt nur die "
                      "Katheten 1..100.");
    QTest::newRow("count and list") << QStringList{"--count", "--list"} << 2
                                    << QByteArray("--list und --count schließen einander aus: "
                                                  "entweder die Lösungen oder ihre Anzahl.");
    for (const char *option : {"--exact", "--primitive"})
        QTest::newRow(option) << out({option}) << 2
                              << QByteArray(option) + " gilt nur zusammen mit --list oder --count.";
    QTest::newRow("exact picture") << out({"--exact", "--list"}) << 2
                                   << QByteArray("--exact gilt nicht für --export: das Bild zeigt "
                                                 "immer die Regel des Fensters.");
    QTest::newRow("radius on a count alone")
        << QStringList{"--count", "--radius", "3"} << 2 << QByteArray();
    const QByteArray threadsLine = "ist keine ganze Zahl von 1 bis 1024.";
    for (const char *threads : {"0", "1025", "2.5"})
        QTest::newRow(qPrintable(QStringLiteral("threads %1").arg(threads)))
            << exact + QStringList{"--threads", threads} << 2
            << "--threads: »" + QByteArray(threads) + "« " + threadsLine;
    for (const char *legs : {"0..5", "5..4", "3..11", "3", "3..x"})
        QTest::newRow(qPrintable(QStringLiteral("legs %1").arg(legs)))
            << exact + QStringList{"--max", "10", "--legs", legs} << 2
            << "--legs: »" + QByteArray(legs) +
                   "« ist kein Bereich A..B ganzer Zahlen mit 1 ≤ A ≤ "
                   "B ≤ 10.";
    for (const char *option : {"--threads", "--legs"})
        QTest::newRow(qPrintable(QStringLiteral("%1 without --exact").arg(option)))
            << QStringList{"--count", option, "1"} << 2
            << QByteArray(option) + " gilt nur mit --exact.";
    QTest::newRow("exact: a negative d too big to build")
        << exact + QStringList{"--deviation", "-1e1000000000"} << 2
        << QByteArray("--deviation: »-1e1000000000« hat mehr als 100000 Stellen; so große "
                      "Abweichungen rechnet --exact nicht.");
}

void TestResults::badArgumentsLeaveNothing() {
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QByteArray, line);
    QTemporaryDir dir;
    for (QString &argument : arguments)
        argument.replace(QStringLiteral("OUT"), dir.filePath(QStringLiteral("plot.png")));
    const Run run = runProgram(arguments);
    QCOMPARE(run.status, status);
    QCOMPARE(run.out, QByteArray());
    QVERIFY2(run.err.startsWith("zahlenlupe: ") || run.err.contains("\nzahlenlupe: "),
             run.err.constData());
    if (!line.isEmpty())
        QCOMPARE(run.err.left(run.err.indexOf('\n')), "zahlenlupe: " + line);
    for (const char c : run.err)
        QVERIFY2(c == '\n' || static_cast<unsigned char>(c) >= 0x20, run.err.constData());
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
}

void TestResults::keysActInEveryControl() {
    QTemporaryDir dir;
    Form1 form;
    WindowKeys keys(form);
    QStringList suggested;
    QString answer;
    keys.setFileChooser([&](const QString &, const QString &path, const QString &) {
        suggested << QFileInfo(path).fileName();
        return answer;
    });
    // The solutions of the last search, whatever the deviation box says since.
    control<QLineEdit>(form, "Text1")->setText(QStringLiteral("2"));
    control<QPushButton>(form, "Command1")->click();
    control<QLineEdit>(form, "Text1")->setText(QStringLiteral("5"));
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));

    const auto state = [&form] {
        QStringList values;
        for (const QLineEdit *box : form.findChildren<QLineEdit *>())
            values << box->text() << QString::number(box->cursorPosition());
        for (const QScrollBar *bar : form.findChildren<QScrollBar *>())
            values << QString::number(bar->value());
        return values;
    };
    const QStringList before = state();
    const QImage plot = PlotPicture(form.plotCanvas(), form.radiusLabel()).image();
    int checked = 0;
    for (QWidget *widget : form.findChildren<QWidget *>()) {
        if (!(widget->focusPolicy() & Qt::TabFocus) || !widget->isVisible())
            continue;
        widget->setFocus(Qt::TabFocusReason);
        QCOMPARE(QApplication::focusWidget(), widget);
        const QString name = widget->objectName();

        answer = dir.filePath(name + QStringLiteral(".png"));
        QTest::keyClick(widget, Qt::Key_S, Qt::ControlModifier);
        QVERIFY2(QFile::exists(answer), qPrintable(name));
        QVERIFY2(rgb(QImage(answer)) == rgb(plot), qPrintable(name));

        answer = dir.filePath(name + QStringLiteral(".csv"));
        QTest::keyClick(widget, Qt::Key_L, Qt::ControlModifier);
        QFile csv(answer);
        QVERIFY2(csv.open(QIODevice::ReadOnly), qPrintable(name));
        const QByteArray lines = csv.readAll();
        QCOMPARE(lines.count('\n'), 1 + 22);
        QVERIFY(lines.startsWith("x,y,z,primitive\n1,1,0,true\n"));

        QGuiApplication::clipboard()->clear();
        QTest::keyClick(widget, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY2(rgb(QGuiApplication::clipboard()->image()) == rgb(plot), qPrintable(name));

        QCOMPARE(state(), before);
        ++checked;
    }
    QVERIFY(checked >= 20);
    QCOMPARE(suggested.first(), QStringLiteral("zahlenlupe-abweichung-2.png"));
    QCOMPARE(suggested.last(), QStringLiteral("zahlenlupe-abweichung-2.csv"));

    // The picture's format follows the name's suffix; another suffix is refused.
    for (const auto &[suffix, start] : {std::pair{"svg", "<?xml"}, std::pair{"pdf", "%PDF-"}}) {
        answer = dir.filePath(QStringLiteral("plot.") + QLatin1String(suffix));
        QTest::keyClick(&form, Qt::Key_S, Qt::ControlModifier);
        QFile file(answer);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY2(file.readAll().startsWith(start), suffix);
    }
    const auto failureShown = [&form] {
        auto *box = form.findChild<QMessageBox *>(QStringLiteral("saveFailure"));
        if (box == nullptr)
            return false;
        box->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return true;
    };
    answer = dir.filePath(QStringLiteral("plot.jpg"));
    QTest::keyClick(&form, Qt::Key_S, Qt::ControlModifier);
    QVERIFY(!QFile::exists(answer));
    QVERIFY(failureShown());

    // A file that cannot be written is reported, and nothing is left behind.
    answer = dir.filePath(QStringLiteral("none/plot.png"));
    QTest::keyClick(&form, Qt::Key_S, Qt::ControlModifier);
    QVERIFY(failureShown());
    QVERIFY(!QFile::exists(answer));

    QTest::keyClick(&form, Qt::Key_Q, Qt::ControlModifier);
    QVERIFY(!form.isVisible());
}

QTEST_MAIN(TestResults)
#include "tst_results.moc"
