// The exact search engine against a brute-force oracle of its own: the same rows and counts on
// any number of threads, shards that add up to the whole, the ends of a leg range, deviations
// far from zero, and a search that stops when asked.
#include "oracle.h"

#include "numbers/exactsearch.h"

#include <QTest>
#include <chrono>
#include <numeric>
#include <thread>
#include <tuple>
#include <vector>

namespace {

using TestSupport::wholeHypotenuse;
using TestSupport::Wide;

struct Oracle {
    std::vector<std::tuple<std::uint32_t, std::uint32_t, std::uint64_t, bool>> rows;
    ExactSearch::Counts counts;
};

Wide parse(const QString &text) {
    Wide value = 0;
    for (const QChar c : text)
        if (c.isDigit())
            value = value * 10 + c.digitValue();
    return text.startsWith(u'-') ? -value : value;
}

// Every pair of legs x in first..last, y in 1..max, tried in 128-bit whole numbers.
Oracle bruteForce(const QString &deviation, int max, int first, int last) {
    const Wide d = parse(deviation);
    Oracle oracle;
    for (long long x = first; x <= last; ++x) {
        for (long long y = 1; y <= max; ++y) {
            const std::optional<long long> z = wholeHypotenuse(x, y, d);
            if (!z)
                continue;
            const bool primitive = std::gcd(std::gcd(x, y), *z) == 1;
            oracle.rows.emplace_back(x, y, *z, primitive);
            oracle.counts.add(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y),
                              primitive);
        }
    }
    return oracle;
}

ExactSearch search(const QString &deviation, int max, int first, int last, int threads) {
    ExactSearch s(mpz_class(deviation.toStdString()), static_cast<std::uint32_t>(max));
    s.setThreads(static_cast<unsigned>(threads));
    s.setLegs(static_cast<std::uint32_t>(first), static_cast<std::uint32_t>(last));
    return s;
}

// Every row the search hands over; a sink that pauses at each call holds the workers back.
auto rowsOf(const ExactSearch &s, ExactSearch::Order order, int pauseMs = 0) {
    Oracle found;
    const bool complete = s.run(
        [&](std::span<const ExactSearch::Row> rows) {
            std::this_thread::sleep_for(std::chrono::milliseconds(pauseMs));
            for (const ExactSearch::Row &r : rows)
                found.rows.emplace_back(r.x, r.y, r.z, r.primitive);
            return true;
        },
        [](double) {}, order);
    return std::pair(complete, found.rows);
}

} // namespace

class TestExactSearch : public QObject {
    Q_OBJECT

private slots:
    void matchesTheOracle_data();
    void matchesTheOracle();
    void shardsAddUp_data();
    void shardsAddUp();
    void stops_data();
    void stops();
};

void TestExactSearch::matchesTheOracle_data() {
    QTest::addColumn<QString>("deviation");
    QTest::addColumn<int>("max");
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::addColumn<int>("threads");
    QTest::addColumn<int>("pause"); // ms at each call of the sink
    const auto row = [](const char *name, const char *d, int max, int first, int last, int threads,
                        int pause = 0) {
        QTest::newRow(name) << d << max << first << last << threads << pause;
    };
    for (const int threads : {1, 2, 3, 8}) {
        const QByteArray t = " on " + QByteArray::number(threads);
        row(("Pythagoras" + t).constData(), "0", 700, 1, 700, threads);
        row(("d = 1: x = 1 has every y" + t).constData(), "1", 600, 1, 600, threads);
        row(("d = -1" + t).constData(), "-1", 650, 1, 650, threads);
        row(("d = 12345" + t).constData(), "12345", 500, 1, 500, threads);
        row(("-4 max², the last by the legs" + t).constData(), "-1000000", 500, 1, 500, threads);
        row(("-4 max² - 1, many hypotenuses" + t).constData(), "-1000001", 500, 1, 500, threads);
    }
    row("odd legs 101..257 of 300", "-7", 300, 101, 257, 3);
    row("only the first leg", "2", 300, 1, 1, 2);
    row("only the last leg", "-6", 300, 300, 300, 2);
    row("x = 70 with every y, across batches of rows", "4900", 5000, 69, 71, 3);
    row("x² = d at the range's start", "2500", 400, 50, 120, 8);
    row("2·max² exactly: only (max, max, 0)", "20000", 100, 1, 100, 2);
    row("beyond 2·max²: nothing", "20001", 100, 1, 100, 2);
    row("few hypotenuses", "-1000000000000", 300, 1, 300, 2);
    row("a hypotenuse of 19 digits", "-999999999999999999999999999999999975", 10, 1, 10, 2);
    row("many hypotenuses, a shard", "-4000000", 1000, 333, 667, 3);
    row("a slow sink on 8 threads", "1", 600, 1, 600, 8, 3);
}

void TestExactSearch::matchesTheOracle() {
    QFETCH(QString, deviation);
    QFETCH(int, max);
    QFETCH(int, first);
    QFETCH(int, last);
    QFETCH(int, threads);
    QFETCH(int, pause);
    const Oracle oracle = bruteForce(deviation, max, first, last);
    const ExactSearch s = search(deviation, max, first, last, threads);
    const auto [complete, rows] = rowsOf(s, ExactSearch::Order::Search, pause);
    QVERIFY(complete);
    QCOMPARE(rows, oracle.rows);
    auto [anyComplete, anyRows] = rowsOf(s, ExactSearch::Order::Any);
    std::sort(anyRows.begin(), anyRows.end());
    QVERIFY(anyComplete);
    QCOMPARE(anyRows, oracle.rows);
    QCOMPARE(s.count([](double) {}), std::optional(oracle.counts));
}

// Shards cut at uneven places, with a leg of its own and neighbours one apart: their counts add up
// to the whole, their lists in turn make the whole list.
void TestExactSearch::shardsAddUp_data() {
    QTest::addColumn<QString>("deviation");
    QTest::addColumn<int>("max");
    QTest::newRow("Pythagoras, counted by Euclid") << "0" << 2000;
    QTest::newRow("d = 1, x = 1 in the first shard") << "1" << 1500;
    QTest::newRow("d = 1225, x = 35 a shard of its own") << "1225" << 1500;
    QTest::newRow("d = -5") << "-5" << 1500;
    QTest::newRow("many hypotenuses") << "-9000005" << 1500;
}

void TestExactSearch::shardsAddUp() {
    QFETCH(QString, deviation);
    QFETCH(int, max);
    const Oracle whole = bruteForce(deviation, max, 1, max);
    const std::vector<std::pair<int, int>> shards{
        {1, 1}, {2, 34}, {35, 35}, {36, 36}, {37, 499}, {500, 501}, {502, max - 1}, {max, max}};
    ExactSearch::Counts sum;
    Oracle joined;
    for (const auto &[first, last] : shards) {
        const ExactSearch s = search(deviation, max, first, last, 3);
        const std::optional<ExactSearch::Counts> counts = s.count([](double) {});
        QVERIFY(counts.has_value());
        QCOMPARE(*counts, bruteForce(deviation, max, first, last).counts);
        sum += *counts;
        const auto [complete, rows] = rowsOf(s, ExactSearch::Order::Search);
        joined.rows.insert(joined.rows.end(), rows.begin(), rows.end());
    }
    QCOMPARE(sum, whole.counts);
    QCOMPARE(joined.rows, whole.rows);
}

// A search of minutes, stopped from another thread once it is under way or by its sink, ends
// within moments, and the sink hears of at most one more batch.
void TestExactSearch::stops_data() {
    QTest::addColumn<QString>("deviation");
    QTest::addColumn<int>("max");
    QTest::addColumn<bool>("counting");
    QTest::addColumn<bool>("bySink");
    QTest::newRow("the list, from another thread") << "-2" << 100'000'000 << false << false;
    QTest::newRow("the list, amid x = 1's every y") << "1" << 100'000'000 << false << false;
    QTest::newRow("the list, by its sink") << "-2" << 100'000'000 << false << true;
    QTest::newRow("the count, by the legs") << "-2" << 100'000'000 << true << false;
    QTest::newRow("the count, by Euclid") << "0" << 1'000'000'000 << true << false;
    QTest::newRow("the count, by the hypotenuses")
        << "-400000000000001" << 10'000'000 << true << false;
}

void TestExactSearch::stops() {
    QFETCH(QString, deviation);
    QFETCH(int, max);
    QFETCH(bool, counting);
    QFETCH(bool, bySink);
    ExactSearch s(mpz_class(deviation.toStdString()), static_cast<std::uint32_t>(max));
    s.setThreads(3);
    std::stop_source source;
    std::jthread stopper;
    int calls = 0;
    int callsAfterStop = 0;
    auto asked = std::chrono::steady_clock::now();
    const auto stopSoon = [&] {
        if (stopper.joinable())
            return;
        asked = std::chrono::steady_clock::now();
        stopper = std::jthread([&source] { source.request_stop(); });
    };
    bool complete = true;
    if (counting) {
        complete = s.count([&](double) { stopSoon(); }, source.get_token()).has_value();
    } else {
        complete = s.run(
            [&](std::span<const ExactSearch::Row>) {
                callsAfterStop += source.stop_requested();
                if (++calls < 3)
                    return true;
                if (!bySink) {
                    stopSoon();
                    return true;
                }
                asked = std::chrono::steady_clock::now();
                return false;
            },
            [](double) {}, ExactSearch::Order::Search, source.get_token());
    }
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - asked);
    QVERIFY(!complete);
    QVERIFY2(seconds.count() < 3, qPrintable(QString::number(seconds.count())));
    if (bySink)
        QCOMPARE(calls, 3);
    QVERIFY(callsAfterStop <= 1);
}

QTEST_APPLESS_MAIN(TestExactSearch)
#include "tst_exactsearch.moc"
