// The search over 1..100 x 1..100, its marks and count, and the coordinate frame on top, checked
// on the canvas image, with no window around the canvas.
#include "plotsupport.h"

#include "finder/coordinateframe.h"
#include "finder/plotcycle.h"
#include "finder/segmentlines.h"
#include "numbers/conversions.h"

#include <QPainter>
#include <QTest>
#include <cmath>
#include <memory>

using namespace TestSupport;

namespace {

bool nearCircle(int x, int y, int radius) {
    return std::abs(std::hypot(x + 0.5, y + 0.5) - (radius + 0.5)) < 1.5;
}

// The plot's canvas as the window lays it out, 745 x 665 pixels with the segment lines above it,
// and the redraw cycle as the window runs it: each half followed by the frame.
class Plot {
public:
    Plot() {
        QFont font(QStringLiteral("Times New Roman"));
        font.setPointSizeF(10.5);
        canvas.setFont(font);
        canvas.resize(745, 665);
        canvas.setBackColor(qRgb(255, 255, 255));
        m_segment = canvas.createLineItem(QStringLiteral("Line4"), QColor(0, 0, 192), 2);
        m_mirror = canvas.createLineItem(QStringLiteral("Line5"), QColor(128, 128, 128), 2);
        PlotCycle(canvas).setWorld();
        clear();
        search(QStringLiteral("0"));
    }

    void clear() {
        PlotCycle(canvas).clear();
        frame();
    }
    // The count as the window writes it.
    QString search(const QString &deviation) {
        const int count = PlotCycle(canvas).search(deviation).count;
        frame();
        return Conv::Str(count);
    }
    // The radius as its scroll bar sets it: the whole cycle again.
    void setRadius(int value) {
        radius = value;
        clear();
        search(QStringLiteral("0"));
    }

    Canvas canvas;
    int radius = 25;

private:
    void frame() {
        const SegmentLines lines(*m_segment, *m_mirror);
        CoordinateFrame(canvas, lines).draw(radius, {1, 1, 100, 100});
    }

    LineItem *m_segment = nullptr;
    LineItem *m_mirror = nullptr;
};

} // namespace

class TestFinder : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void searchMarksAndCounts_data();
    void searchMarksAndCounts();
    void frameLiesOnTopOfTheMarks();
    void repeatedSearchGivesTheSamePicture();
    void fastRepaintsGiveTheExactPicture();
    void circlePoints_data();
    void circlePoints();
    void axisLabelsAndTicks();

private:
    std::unique_ptr<Plot> m_plot;
    Canvas *m_canvas = nullptr;
};

void TestFinder::init() {
    m_plot = std::make_unique<Plot>();
    m_canvas = &m_plot->canvas;
}

void TestFinder::cleanup() { m_plot.reset(); }

// Null as the deviation is the picture of the start-up, there before the window is ever shown,
// with the circle of radius 25 across the cells it passes; the other rows search with the circle
// out of the plot.
void TestFinder::searchMarksAndCounts_data() {
    QTest::addColumn<QString>("deviation");
    QTest::addColumn<qlonglong>("exact"); // the deviation as a whole number, for the reference
    QTest::addColumn<QString>("count");
    QTest::addColumn<int>("blue");
    QTest::addColumn<int>("red");
    QTest::addColumn<int>("black");
    QTest::newRow("start-up") << QString() << 0LL << " 126" << 60 << 60 << 0;
    QTest::newRow("triples") << "0" << 0LL << " 126" << 63 << 63 << 0;
    QTest::newRow("two") << "2" << 2LL << " 22" << 9 << 9 << 4;
    QTest::newRow("corner only") << "20000" << 20000LL << " 1" << 0 << 0 << 1;
    QTest::newRow("beyond the range") << "20001" << 20001LL << " 0" << 0 << 0 << 0;
    QTest::newRow("million") << "1e6" << 1000000LL << " 0" << 0 << 0 << 0;
    QTest::newRow("half never whole") << "0.5" << -1LL << " 0" << 0 << 0 << 0;
    QTest::newRow("comma stops at 3") << "3,5" << 3LL << " 26" << 13 << 13 << 0;
    QTest::newRow("huge negative passes all") << "-1e20" << -2LL << " 10000" << 4950 << 4950 << 100;
    QTest::newRow("overflow saturates high") << "1e400" << 20001LL << " 0" << 0 << 0 << 0;
    QTest::newRow("overflow saturates low") << "-1e400" << -2LL << " 10000" << 4950 << 4950 << 100;
}

void TestFinder::searchMarksAndCounts() {
    QFETCH(QString, deviation);
    QFETCH(qlonglong, exact);
    QFETCH(QString, count);
    QFETCH(int, blue);
    QFETCH(int, red);
    QFETCH(int, black);

    const int radius = deviation.isNull() ? 25 : 0;
    QString shown = QStringLiteral(" 126");
    if (!deviation.isNull()) {
        m_plot->setRadius(0);
        shown = m_plot->search(deviation);
    }
    QCOMPARE(shown, count);

    MarkCount seen;
    for (int x = 1; x <= 100; ++x) {
        for (int y = 1; y <= 100; ++y) {
            if (radius > 0 && nearCircle(x, y, radius))
                continue;
            const QRgb c = cellColour(*m_canvas, x, y);
            bool expected = false;
            if (exact == -1)
                expected = false; // 0.5: z² is never whole
            else if (exact == -2)
                expected = true; // every pair passes in double precision
            else
                expected = wholeHypotenuse(x, y, exact).has_value();
            if (expected) {
                const QRgb want = x == y ? markBlack : (x < y ? markBlue : markRed);
                if (c != want)
                    QFAIL(qPrintable(QStringLiteral("cell (%1, %2) has %3, not a mark")
                                         .arg(x)
                                         .arg(y)
                                         .arg(c, 6, 16, QLatin1Char('0'))));
                ++(x == y ? seen.black : (x < y ? seen.blue : seen.red));
            } else if (c != white) {
                QFAIL(qPrintable(QStringLiteral("cell (%1, %2) should be white, has %3")
                                     .arg(x)
                                     .arg(y)
                                     .arg(c, 6, 16, QLatin1Char('0'))));
            }
        }
    }
    QCOMPARE(seen.blue, blue);
    QCOMPARE(seen.red, red);
    QCOMPARE(seen.black, black);
    // No mark in the row y = 0, the column x = 0, or beyond 101.
    for (int k = 0; k <= 102; ++k) {
        QVERIFY(colourAt(*m_canvas, k + 0.72f, 0.3f) != markBlue);
        QVERIFY(colourAt(*m_canvas, 0.72f, k + 0.3f) != markRed);
    }
}

void TestFinder::frameLiesOnTopOfTheMarks() {
    // The cell (3, 4) is marked; its left and lower edges are frame grid lines.
    QCOMPARE(colourAt(*m_canvas, 3.5f, 4.3f), markBlue);
    QCOMPARE(colourAt(*m_canvas, 3.0f, 4.5f), rgb(220, 220, 220));
    QCOMPARE(colourAt(*m_canvas, 3.5f, 4.0f), rgb(220, 220, 220));
    // A diagonal solution: its centre carries the dash or the dot of the frame.
    m_plot->search(QStringLiteral("2"));
    QCOMPARE(cellColour(*m_canvas, 1, 1), markBlack);
    QCOMPARE(colourAt(*m_canvas, 1.5f, 1.5f), rgb(100, 100, 100));
    QCOMPARE(colourAt(*m_canvas, 100.5f, 100.5f), rgb(0, 0, 0));
    // Heavy grid lines every ten; the grey border outside the m_plot square.
    QCOMPARE(colourAt(*m_canvas, 11.0f, 50.5f), rgb(220, 220, 220));
    QCOMPARE(colourAt(*m_canvas, 110.0f, 50.0f), rgb(155, 155, 155));
    QCOMPARE(colourAt(*m_canvas, 50.0f, 110.0f), rgb(155, 155, 155));
    QCOMPARE(colourAt(*m_canvas, 103.0f, 103.0f), white);
}

void TestFinder::repeatedSearchGivesTheSamePicture() {
    const QImage first = m_canvas->image().copy();
    QCOMPARE(m_plot->search(QStringLiteral("0")), QStringLiteral(" 126"));
    QCOMPARE(m_canvas->image(), first);
    m_plot->clear();
    m_plot->search(QStringLiteral("0"));
    QCOMPARE(m_canvas->image(), first);
}

// The redraw cycle with remembered grid rows paints exactly what a full repaint of every row
// does, and its record, shorn of what later drawing covers, paints the same again.
void TestFinder::fastRepaintsGiveTheExactPicture() {
    for (const char *deviation : {"0", "2", "-1e20", "7"}) {
        m_plot->clear();
        m_plot->search(QLatin1String(deviation));
        QCOMPARE(m_canvas->image(), m_canvas->record().replay(Raster::Spans::Repainted));
    }
}

void TestFinder::circlePoints_data() {
    QTest::addColumn<int>("radius");
    QTest::addColumn<int>("firstInside");
    QTest::addColumn<int>("lastInside");
    QTest::newRow("zero") << 0 << 1 << 300;
    QTest::newRow("start-up") << 25 << 1 << 300;
    QTest::newRow("largest") << 139 << 103 << 185;
}

void TestFinder::circlePoints() {
    QFETCH(int, radius);
    QFETCH(int, firstInside);
    QFETCH(int, lastInside);
    m_plot->setRadius(radius);

    const double k = (3.1415 / 2) / 300;
    for (int t = 1; t <= 300; ++t) {
        const auto x = static_cast<float>((radius + 0.5) * std::cos(t * k));
        const auto y = static_cast<float>((radius + 0.5) * std::sin(t * k));
        const bool inside = x < 120 && y < 115;
        QCOMPARE(inside, t >= firstInside && t <= lastInside);
        if (inside)
            QCOMPARE(colourAt(*m_canvas, x, y), markBlack);
    }
}

void TestFinder::axisLabelsAndTicks() {
    // Tick boxes under the x axis for 0, 10, ..., 100; none between.
    for (int v = 0; v <= 100; v += 10)
        QCOMPARE(colourAt(*m_canvas, v + 0.5f, -0.5f), markBlack);
    QCOMPARE(colourAt(*m_canvas, 5.5f, -0.5f), white);

    // Each label, " 10 " and so on, has exactly the strokes that QPainter gives the same text in
    // 10.5 point Times New Roman with its top-left corner at the label's place. The places come
    // from the 745 x 665 pixels of the m_canvas for the world from (-5, 115) to (120, -5): the x
    // axis labels start at (v - 1, -1), the y axis labels at (-4, v + 2). Compared are the
    // pixels no later drawing covers: below the tick boxes' two rows, and left of the m_plot.
    QFont font(QStringLiteral("Times New Roman"));
    font.setPointSizeF(10.5);
    const QFontMetricsF metrics(font);
    const auto pixel = [](double world, double from, double pixels, double extent) {
        return static_cast<int>(std::floor((world - from) * pixels / extent));
    };
    const int plotLeft = pixel(0, -5, 745, 125);
    for (int v = 0; v <= 100; v += 10) {
        const QString label = QStringLiteral(" %1 ").arg(v);
        QImage expected(static_cast<int>(std::ceil(metrics.horizontalAdvance(label) + 2)),
                        static_cast<int>(std::ceil(metrics.height())), QImage::Format_RGB32);
        expected.fill(Qt::white);
        {
            QPainter painter(&expected);
            painter.setFont(font);
            painter.setPen(Qt::black);
            painter.drawText(QPointF(0, metrics.ascent()), label);
        }
        const QPoint onXAxis(pixel(v - 1, -5, 745, 125), pixel(-1, 115, 665, -120));
        const QPoint onYAxis(pixel(-4, -5, 745, 125), pixel(v + 2, 115, 665, -120));
        int strokes = 0;
        for (int y = 0; y < expected.height(); ++y)
            for (int x = 0; x < expected.width(); ++x) {
                const bool ink = qGray(expected.pixel(x, y)) < 128;
                strokes += ink ? 1 : 0;
                const auto agrees = [&](QPoint place) {
                    return (qGray(m_canvas->image().pixel(place + QPoint(x, y))) < 128) == ink;
                };
                const QString where = QStringLiteral("%1 at %2, %3").arg(v).arg(x).arg(y);
                if (y >= 2)
                    QVERIFY2(agrees(onXAxis), qPrintable(QStringLiteral("x axis ") + where));
                if (onYAxis.x() + x < plotLeft)
                    QVERIFY2(agrees(onYAxis), qPrintable(QStringLiteral("y axis ") + where));
            }
        QVERIFY(strokes > 10);
    }
}

QTEST_MAIN(TestFinder)
#include "tst_finder.moc"
