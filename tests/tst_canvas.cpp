// The drawing surface on its own: world mapping, pixel rules shared by every operation,
// clipping, degenerate sizes and world systems, children and line items, pointer reports.
#include "plotsupport.h"

#include "canvas/canvas.h"
#include "canvas/colors.h"
#include "canvas/raster.h"

#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>
#include <memory>

using namespace TestSupport;

namespace {

int countPixels(const QImage &image, QRgb colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += (image.pixel(x, y) & 0xffffffu) == (colour & 0xffffffu) ? 1 : 0;
    return n;
}

QRect paintedRect(const QImage &image, QRgb colour) {
    QRect r;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xffffffu) == (colour & 0xffffffu))
                r |= QRect(x, y, 1, 1);
    return r;
}

} // namespace

class TestCanvas : public QObject {
    Q_OBJECT

private slots:
    void init();
    void mappingCornersAndCentre_data();
    void mappingCornersAndCentre();
    void boxCornersInEitherOrder();
    void backgroundBoxesCoverTheirShare();
    void clippingFailsNothing_data();
    void clippingFailsNothing();
    void clippedLinesKeepTheirPath();
    void wholeRowsStayWholeAtEveryHeight();
    void linesAndBoxEdgesMeet();
    void widthsWidenLinesAndPoints_data();
    void widthsWidenLinesAndPoints();
    void printIsTransparentAndStartsAtTheCurrentPoint();
    void clsKeepsChildrenAndLines();
    void zeroHeightDrawsNothing();
    void scaleWithoutExtentIsHarmless();
    void lineItemsStackAndDegenerate();
    void pointerReportsWorldCoordinates();
    void spanMemoryChangesNoPixel();

private:
    std::unique_ptr<QWidget> host;
    Canvas *canvas = nullptr;
};

void TestCanvas::init() {
    host = std::make_unique<QWidget>();
    canvas = new Canvas(host.get());
    canvas->setGeometry(0, 0, 745, 665);
    canvas->Scale(-5, 115, 120, -5);
    canvas->Cls();
}

void TestCanvas::mappingCornersAndCentre_data() {
    QTest::addColumn<QPointF>("pixel");
    QTest::addColumn<QPointF>("world");
    QTest::newRow("top-left") << QPointF(0, 0) << QPointF(-5, 115);
    QTest::newRow("bottom-right") << QPointF(745, 665) << QPointF(120, -5);
    QTest::newRow("centre") << QPointF(372.5, 332.5) << QPointF(57.5, 55);
    QTest::newRow("origin") << QPointF(29.8, 637.2917) << QPointF(0, 0);
}

void TestCanvas::mappingCornersAndCentre() {
    QFETCH(QPointF, pixel);
    QFETCH(QPointF, world);
    const QPointF w = canvas->pixelToWorld(pixel);
    QVERIFY2(std::abs(w.x() - world.x()) < 1e-3 && std::abs(w.y() - world.y()) < 1e-3,
             qPrintable(QStringLiteral("%1, %2").arg(w.x()).arg(w.y())));
}

void TestCanvas::boxCornersInEitherOrder() {
    canvas->FilledBox(10, 20, 11, 21, Colors::RGB(0, 0, 255));
    const QImage forward = canvas->image().copy();
    canvas->Cls();
    canvas->FilledBox(11, 21, 10, 20, Colors::RGB(0, 0, 255));
    QCOMPARE(canvas->image(), forward);
    canvas->Cls();
    canvas->FilledBox(10, 21, 11, 20, Colors::RGB(0, 0, 255));
    QCOMPARE(canvas->image(), forward);
}

void TestCanvas::backgroundBoxesCoverTheirShare() {
    canvas->FilledBox(-5, -5, 125, 115, Colors::RGB(155, 155, 155));
    QCOMPARE(countPixels(canvas->image(), Colors::RGB(155, 155, 155)), 745 * 665);
    canvas->FilledBox(-5, -5, 105, 105, Colors::RGB(255, 255, 255));
    const QRect white = paintedRect(canvas->image(), Colors::RGB(255, 255, 255));
    QCOMPARE(white.left(), 0);
    QCOMPARE(white.bottom(), 664);
    // 110/125 of the width and 110/120 of the height, to a pixel.
    QVERIFY(std::abs(white.width() - 745.0 * 110 / 125) <= 1.0);
    QVERIFY(std::abs(white.height() - 665.0 * 110 / 120) <= 1.0);
}

void TestCanvas::clippingFailsNothing_data() {
    QTest::addColumn<QRectF>("segment");
    QTest::addColumn<int>("width");
    QTest::newRow("far right") << QRectF(QPointF(200, 50), QPointF(300, 60)) << 1;
    QTest::newRow("across everything") << QRectF(QPointF(-1e6, -1e6), QPointF(1e6, 1e6)) << 3;
    QTest::newRow("huge values") << QRectF(QPointF(-3e38, 0), QPointF(3e38, 1)) << 1;
    QTest::newRow("wide line outside") << QRectF(QPointF(-50, -50), QPointF(-40, -60)) << 6;
}

void TestCanvas::clippingFailsNothing() {
    QFETCH(QRectF, segment);
    QFETCH(int, width);
    canvas->setDrawWidth(width);
    canvas->Line(segment.left(), segment.top(), segment.right(), segment.bottom(),
                 Colors::RGB(1, 2, 3));
    canvas->FilledBox(segment.left(), segment.top(), segment.right(), segment.bottom(),
                      Colors::RGB(1, 2, 3));
    canvas->PSet(segment.right(), segment.bottom());
    QCOMPARE(canvas->image().size(), QSize(745, 665));
}

void TestCanvas::clippedLinesKeepTheirPath() {
    // Lines from inside or near a 200 x 200 image to far outside it: what shows is exactly the
    // part of the whole line's path that falls inside, each pixel widened to its square.
    QImage image(200, 200, QImage::Format_RGB32);
    Raster raster;
    raster.attach(&image);
    QRandomGenerator random(8122026);
    const QRgb ink = qRgb(0, 0, 0);
    const QRgb paper = qRgb(255, 255, 255);
    for (int i = 0; i < 300; ++i) {
        const int x0 = random.bounded(-20, 220);
        const int y0 = random.bounded(-20, 220);
        const int x1 = random.bounded(-3000, 3200);
        const int y1 = random.bounded(-3000, 3200);
        const int width = 1 + i % 3;
        QImage expected(image.size(), QImage::Format_RGB32);
        expected.fill(paper);
        for (const QPoint p : TestSupport::widePath(QPoint(x0, y0), QPoint(x1, y1), width))
            if (expected.valid(p))
                expected.setPixel(p, ink);
        raster.fill(paper);
        raster.line(x0, y0, x1, y1, width, ink);
        QVERIFY2(image == expected, qPrintable(QStringLiteral("(%1, %2)-(%3, %4) width %5")
                                                   .arg(x0)
                                                   .arg(y0)
                                                   .arg(x1)
                                                   .arg(y1)
                                                   .arg(width)));
    }
}

void TestCanvas::wholeRowsStayWholeAtEveryHeight() {
    // At every height the canvas can have, a horizontal line at y = k lands on the row
    // floor((115 - k) * H / 120), computed here in whole numbers; and wherever rows are at least
    // a world unit apart, the pointer on that row is read back as k's cell.
    canvas->resize(3, 1);
    const QRgb ink = Colors::RGB(0, 0, 0);
    for (int h = 1; h <= 665; ++h) {
        canvas->resize(3, h);
        canvas->Scale(-5, 115, 120, -5);
        for (int k = 0; k <= 100; ++k) {
            canvas->Cls();
            canvas->Line(-5, k, 120, k, ink);
            const int expected = (115 - k) * h / 120;
            int row = 0;
            while (row < h && (canvas->image().pixel(1, row) & 0xffffffu) != (ink & 0xffffffu))
                ++row;
            if (row != expected)
                QFAIL(qPrintable(QStringLiteral("height %1: line %2 on row %3, not %4")
                                     .arg(h)
                                     .arg(k)
                                     .arg(row)
                                     .arg(expected)));
            const double reported = canvas->pixelToWorld(QPointF(1, row)).y();
            if (h >= 120 && std::floor(reported) != k)
                QFAIL(qPrintable(QStringLiteral("height %1: row %2 of line %3 read as %4")
                                     .arg(h)
                                     .arg(row)
                                     .arg(k)
                                     .arg(reported)));
        }
    }
}

void TestCanvas::linesAndBoxEdgesMeet() {
    // A grid line and the left edge of a cell fall on the same pixel column; so does a child
    // placed at the same world coordinate.
    auto *child = new QLabel(canvas);
    for (int x = 1; x <= 100; x += 7) {
        canvas->Cls();
        canvas->Line(x, 0, x, 101, Colors::RGB(200, 200, 200));
        const int lineColumn = paintedRect(canvas->image(), Colors::RGB(200, 200, 200)).left();
        canvas->Cls();
        canvas->FilledBox(x, 30, x + 1, 31, Colors::RGB(0, 0, 255));
        const QRect cell = paintedRect(canvas->image(), Colors::RGB(0, 0, 255));
        QCOMPARE(cell.left(), lineColumn);
        canvas->placeChild(child, x, 30);
        QCOMPARE(child->x(), lineColumn);
    }
}

void TestCanvas::widthsWidenLinesAndPoints_data() {
    QTest::addColumn<int>("width");
    QTest::newRow("1") << 1;
    QTest::newRow("2") << 2;
    QTest::newRow("6") << 6;
}

void TestCanvas::widthsWidenLinesAndPoints() {
    QFETCH(int, width);
    canvas->setDrawWidth(width);
    canvas->setForeColor(Colors::RGB(0, 0, 0));
    canvas->PSet(50, 50);
    QCOMPARE(countPixels(canvas->image(), Colors::RGB(0, 0, 0)), width * width);
    canvas->Cls();
    canvas->Line(10, 50, 60, 50, Colors::RGB(0, 0, 0));
    QCOMPARE(paintedRect(canvas->image(), Colors::RGB(0, 0, 0)).height(), width);
    // A slanted line in the foreground colour, from the pixel (89, 581) that holds (10, 10) to
    // the pixel (387, 415) that holds (60, 40): 745 / 125 pixels to a unit across, 665 / 120 down.
    canvas->Cls();
    canvas->Line(10, 10, 60, 40);
    QCOMPARE(pixelsOf(canvas->image(), Colors::RGB(0, 0, 0), canvas->image().rect()),
             widePath(QPoint(89, 581), QPoint(387, 415), width));
}

// Print(0) writes " 0 ": exactly the pixels that QPainter inks for that text, with the top-left
// corner of its line box at the pixel (327, 360) that holds the current point (50, 50), and
// nothing else; the grey between the strokes stays.
void TestCanvas::printIsTransparentAndStartsAtTheCurrentPoint() {
    const QFont font(QStringLiteral("Times New Roman"), 10);
    canvas->setFont(font);
    canvas->FilledBox(-5, -5, 125, 115, Colors::RGB(155, 155, 155));
    canvas->setForeColor(Colors::RGB(0, 0, 0));
    canvas->setCurrentX(50);
    canvas->setCurrentY(50);
    canvas->Print(0);

    QImage text(60, 30, QImage::Format_RGB32);
    text.fill(Qt::white);
    {
        QPainter painter(&text);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(QPointF(0, QFontMetricsF(font).ascent()), QStringLiteral(" 0 "));
    }
    QSet<QPoint> inked;
    for (int y = 0; y < text.height(); ++y)
        for (int x = 0; x < text.width(); ++x)
            if ((text.pixel(x, y) & 0xffffffu) != 0xffffffu)
                inked.insert(QPoint(327 + x, 360 + y));
    QVERIFY(inked.size() > 10);
    QSet<QPoint> changed;
    for (int y = 0; y < 665; ++y)
        for (int x = 0; x < 745; ++x)
            if ((canvas->image().pixel(x, y) & 0xffffffu) != rgb(155, 155, 155))
                changed.insert(QPoint(x, y));
    QCOMPARE(changed, inked);
}

void TestCanvas::clsKeepsChildrenAndLines() {
    auto *child = new QLineEdit(canvas);
    child->setGeometry(10, 10, 30, 20);
    LineItem *line = canvas->createLineItem(QStringLiteral("line"), Qt::blue, 2);
    line->setX1(1);
    line->setY1(1);
    line->setX2(50);
    line->setY2(50);
    canvas->FilledBox(0, 0, 50, 50, Colors::RGB(1, 2, 3));
    canvas->Cls();
    QCOMPARE(countPixels(canvas->image(), Colors::RGB(255, 255, 255)), 745 * 665);
    QCOMPARE(child->parentWidget(), canvas);
    QCOMPARE(child->pos(), QPoint(10, 10));
    QCOMPARE(canvas->lineItems().size(), 1);
    QCOMPARE(line->x2(), 50.0f);
}

void TestCanvas::zeroHeightDrawsNothing() {
    canvas->setHeightTwips(0);
    QCOMPARE(canvas->height(), 0);
    canvas->Scale(-5, 115, 120, -5);
    canvas->Cls();
    canvas->FilledBox(-5, -5, 125, 115, Colors::RGB(155, 155, 155));
    canvas->Line(0, 0, 100, 100, Colors::RGB(0, 0, 0));
    canvas->PSet(10, 10);
    canvas->Print(42);
    QVERIFY(canvas->image().isNull());
    const QPointF w = canvas->pixelToWorld(QPointF(10, 0));
    QVERIFY(std::isfinite(w.x()) && std::isfinite(w.y()));
    canvas->grab(); // painting an empty canvas fails nothing
}

void TestCanvas::scaleWithoutExtentIsHarmless() {
    canvas->Scale(0, 0, 0, 0);
    canvas->Cls();
    canvas->Line(0, 0, 1, 1);
    canvas->FilledBox(0, 0, 1, 1);
    canvas->PSet(0, 0);
    canvas->Print(1);
    QCOMPARE(countPixels(canvas->image(), Colors::RGB(255, 255, 255)), 745 * 665);
    const QPointF w = canvas->pixelToWorld(QPointF(100, 100));
    QVERIFY(std::isfinite(w.x()) && std::isfinite(w.y()));
    // A valid world system later draws again; a negative extent mirrors.
    canvas->Scale(0, 0, -10, -10);
    canvas->setForeColor(Colors::RGB(0, 0, 0));
    canvas->PSet(-1, -1); // at (-1 / -10 * 745, -1 / -10 * 665)
    QCOMPARE(pixelsOf(canvas->image(), Colors::RGB(0, 0, 0), canvas->image().rect()),
             QSet<QPoint>{QPoint(74, 66)});
}

void TestCanvas::lineItemsStackAndDegenerate() {
    LineItem *a = canvas->createLineItem(QStringLiteral("a"), Qt::blue, 2);
    LineItem *b = canvas->createLineItem(QStringLiteral("b"), Qt::gray, 2);
    QCOMPARE(canvas->lineItems(), (QList<LineItem *>{a, b}));
    a->ZOrder();
    QCOMPARE(canvas->lineItems(), (QList<LineItem *>{b, a}));
    // A widget sharing the layer lies above the items before it and below those after it and
    // those brought forward since; later children lie above the whole layer.
    auto *label = new QLabel(canvas);
    label->setAutoFillBackground(true);
    label->setGeometry(100, 100, 60, 40);
    canvas->shareLineLayer(label);
    LineItem *c = canvas->createLineItem(QStringLiteral("c"), Qt::red, 2);
    auto *box = new QLineEdit(canvas);
    box->setGeometry(100, 150, 60, 40);
    const auto across = [](LineItem *item, int y) { // a horizontal line, pixel row y
        item->setX1(-5 + 90 * 125.0f / 745);
        item->setX2(-5 + 170 * 125.0f / 745);
        item->setY1(115 - (y + 0.5f) * 120 / 665);
        item->setY2(item->y1());
    };
    across(a, 110);
    across(b, 120);
    across(c, 160);
    const QImage layered = canvas->grab().toImage();
    QCOMPARE(layered.pixelColor(130, 110), label->palette().color(QPalette::Window)); // a below
    QCOMPARE(layered.pixelColor(130, 120), label->palette().color(QPalette::Window)); // b below
    QCOMPARE(layered.pixelColor(95, 120), QColor(Qt::gray));
    QVERIFY(layered.pixelColor(130, 160) != QColor(Qt::red)); // c below the later text box
    QCOMPARE(layered.pixelColor(95, 160), QColor(Qt::red));
    b->ZOrder();
    across(c, 130);
    const QImage raised = canvas->grab().toImage();
    QCOMPARE(raised.pixelColor(130, 110), label->palette().color(QPalette::Window));
    QCOMPARE(raised.pixelColor(130, 120), QColor(Qt::gray));
    QCOMPARE(raised.pixelColor(130, 130), QColor(Qt::red));
    delete box;
    delete label;
    a->ZOrder();
    // A line of no length shows as a dot.
    for (LineItem *item : {a, b}) {
        item->setX1(40.5f);
        item->setY1(40.5f);
        item->setX2(40.5f);
        item->setY2(40.5f);
    }
    const QImage shown = canvas->grab().toImage();
    const QPointF at = a->pixelStart();
    QCOMPARE(shown.pixelColor(at.toPoint()), QColor(Qt::blue));
    // Line items never land in the persistent image.
    QCOMPARE(countPixels(canvas->image(), QColor(Qt::blue).rgb()), 0);
}

void TestCanvas::pointerReportsWorldCoordinates() {
    QSignalSpy moves(canvas, &Canvas::mouseMove);
    QSignalSpy downs(canvas, &Canvas::mouseDown);
    host->show();
    QVERIFY(QTest::qWaitForWindowExposed(host.get()));
    QMouseEvent hover(QEvent::MouseMove, QPointF(0, 0), canvas->mapToGlobal(QPointF(0, 0)),
                      Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(canvas, &hover);
    QVERIFY(!moves.isEmpty());
    QCOMPARE(moves.last().at(2).toFloat(), -5.0f);
    QCOMPARE(moves.last().at(3).toFloat(), 115.0f);
    QTest::mousePress(canvas, Qt::RightButton, Qt::ShiftModifier, QPoint(745 / 2, 665 / 2));
    QCOMPARE(downs.size(), 1);
    QCOMPARE(downs.last().at(0).toInt(), 2);
    QCOMPARE(downs.last().at(1).toInt(), 1);
    QVERIFY(std::abs(downs.last().at(2).toFloat() - 57.5f) < 0.2f);
    QVERIFY(std::abs(downs.last().at(3).toFloat() - 55.0f) < 0.2f);
    // While the button is held, positions beyond the edges are reported.
    QMouseEvent drag(QEvent::MouseMove, QPointF(-30, 700), canvas->mapToGlobal(QPointF(-30, 700)),
                     Qt::NoButton, Qt::RightButton, Qt::NoModifier);
    QCoreApplication::sendEvent(canvas, &drag);
    QVERIFY(moves.last().at(2).toFloat() < -5.0f);
    QVERIFY(moves.last().at(3).toFloat() < -5.0f);
    QCOMPARE(moves.last().at(0).toInt(), 2);
    QTest::mouseRelease(canvas, Qt::RightButton, Qt::NoModifier, QPoint(10, 10));
}

// Repainting only the damaged columns of a remembered span, and dropping what later drawing
// covers from the record, must leave every pixel as a full repaint of everything would: the
// canvas's image against its record repainted pixel by pixel.
void TestCanvas::spanMemoryChangesNoPixel() {
    Canvas &fast = *canvas;
    QRandomGenerator random(20261208);
    const QRgb palette[] = {Colors::RGB(200, 200, 200), Colors::RGB(0, 0, 255),
                            Colors::RGB(255, 0, 0), Colors::RGB(155, 155, 155)};
    // A label printed across a remembered row, and the row painted again: its strokes in that
    // row are painted over.
    {
        Canvas *c = &fast;
        c->Line(0, 50, 101, 50, palette[0]);
        c->setCurrentX(40);
        c->setCurrentY(51.5f);
        c->Print(888);
        c->Line(0, 50, 101, 50, palette[0]);
    }
    QCOMPARE(fast.image(), fast.record().replay(Raster::Spans::Repainted));
    const auto coordinate = [&random] { return static_cast<float>(random.bounded(130.0) - 8); };
    for (int step = 0; step < 3000; ++step) {
        const int kind = random.bounded(7);
        const QRgb colour = palette[random.bounded(4)];
        const float x1 = coordinate();
        const float y1 = coordinate();
        const float x2 = kind == 0 ? x1 : coordinate();
        const float y2 = kind == 1 ? y1 : coordinate();
        const int width = 1 + random.bounded(3);
        const int column = random.bounded(101);
        const QRgb grid = palette[random.bounded(2)];
        {
            Canvas *c = &fast;
            c->setDrawWidth(width);
            c->setForeColor(colour);
            switch (kind) {
            case 0:
            case 1:
            case 2:
                c->Line(x1, y1, x2, y2, colour);
                break;
            case 3:
                c->FilledBox(x1, y1, x2, y2);
                break;
            case 4: // one column of the search: its line, then every row, with a few marks
                c->setDrawWidth(1);
                c->Line(column, 0, column, 101, colour);
                for (int row = 1; row <= 100; ++row) {
                    c->Line(0, row, 101, row, grid);
                    if ((row * 7 + column) % 13 == 0)
                        c->FilledBox(column, row, column + 1, row + 1, colour);
                }
                break;
            case 5: // a label printed across the remembered rows
                c->setCurrentX(x1);
                c->setCurrentY(y1);
                c->Print(column);
                break;
            default:
                if (step % 97 == 0)
                    c->Cls();
                c->PSet(x1, y1);
                break;
            }
        }
    }
    QCOMPARE(fast.image(), fast.record().replay(Raster::Spans::Repainted));
}

QTEST_MAIN(TestCanvas)
#include "tst_canvas.moc"
