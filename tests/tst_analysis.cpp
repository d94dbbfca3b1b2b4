// The analysis tools on the canvas: the segment between two picked grid points with its mirror
// image, and the pointer readout with its triangle preview.

#include "testsupport.h"

#include "canvas/canvas.h"
#include "canvas/lineitem.h"
#include "window/form1.h"
#include "window/scrollbar.h"
#include "window/textarea.h"

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>
#include <cmath>
#include <memory>

using TestSupport::control;
using TestSupport::plotPixel;
using TestSupport::rgb;

enum class Preview { Triangle, TopBar, LeftBar, Empty, Unchecked };
Q_DECLARE_METATYPE(Preview)

namespace {

constexpr QRgb darkBlue = rgb(0, 0, 192);
// The preview's ground: the palette's base colour, on which the triangle's blue stands out.
QRgb ground() { return QGuiApplication::palette().color(QPalette::Base).rgb() & 0x00ffffffu; }

// The world position the canvas reports for a pointer at the position that shows (x, y).
QPointF reportedAt(const Canvas &canvas, float x, float y) {
    return canvas.pixelToWorld(TestSupport::plotPosition(canvas.size(), x, y));
}

void sendPointer(Canvas *canvas, QEvent::Type type, float x, float y, Qt::MouseButton button,
                 Qt::MouseButtons held, Qt::KeyboardModifiers modifiers) {
    const QPointF local = TestSupport::plotPosition(canvas->size(), x, y);
    QMouseEvent event(type, local, canvas->mapToGlobal(local), button, held, modifiers);
    QApplication::sendEvent(canvas, &event);
}

// A press and release of one button at the exact (sub-pixel) spot that shows the world point.
void clickAt(Canvas *canvas, Qt::MouseButton button, float x, float y,
             Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    sendPointer(canvas, QEvent::MouseButtonPress, x, y, button, button, modifiers);
    sendPointer(canvas, QEvent::MouseButtonRelease, x, y, button, Qt::NoButton, modifiers);
}

void moveTo(Canvas *canvas, float x, float y, Qt::MouseButtons held = Qt::NoButton) {
    sendPointer(canvas, QEvent::MouseMove, x, y, Qt::NoButton, held, Qt::NoModifier);
}

Qt::MouseButton qtButton(int code) {
    switch (code) {
    case 1:
        return Qt::LeftButton;
    case 2:
        return Qt::RightButton;
    case 4:
        return Qt::MiddleButton;
    default:
        return Qt::NoButton;
    }
}

struct Points {
    int x1, y1, x2, y2;
};

} // namespace
Q_DECLARE_METATYPE(Points)
namespace {

// Pixel of the preview box that shows the point (u, v) of a triangle whose longer leg is m, with
// the right angle at the box's top-left corner and the box side 1.4 m.
QPoint boxPixel(const QImage &image, double u, double v, int m) {
    const double side = 1.4 * m;
    return {static_cast<int>(std::floor(u / side * image.width())),
            static_cast<int>(std::floor(v / side * image.height()))};
}

QRgb boxColour(const QImage &image, QPoint p) {
    if (!image.valid(p))
        return 0xff000000u;
    return image.pixel(p) & 0x00ffffffu;
}

int pixelsNotOf(const QImage &image, QRgb colour) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0x00ffffffu) != colour)
                ++count;
    return count;
}

} // namespace

class TestAnalysis : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    // The segment tool.
    void startupPlacesSegmentOnDiagonal();
    void clickPicksCell_data();
    void clickPicksCell();
    void clickOnTheSameCellMovesNothing_data();
    void clickOnTheSameCellMovesNothing();
    void thumbDragMovesSegmentEnds_data();
    void thumbDragMovesSegmentEnds();
    void segmentStaysInFrontOfMirror();
    void typedCoordinateTextMovesNothing();
    void redrawKeepsSegmentPoints();
    void segmentShowsOnItsPixels_data();
    void segmentShowsOnItsPixels();

    // The pointer readout.
    void readoutVisibilityAndPosition_data();
    void readoutVisibilityAndPosition();
    void readoutTextAndPreview_data();
    void readoutTextAndPreview();
    void readoutIgnoresButtonsAndRedrawsSameCell();
    void hiddenBoxKeepsUpdating();
    void swappedLegsGiveMirrorImages();
    void realPointerPathUpdatesReadout();

private:
    void checkSegment(Points p) const {
        TestSupport::checkSegment(*m_form, p.x1, p.y1, p.x2, p.y2);
    }

    std::unique_ptr<Form1> m_form;
    Canvas *m_canvas = nullptr;
    Canvas *m_info = nullptr;
    TextArea *m_infoText = nullptr;
    LineItem *m_line4 = nullptr;
    LineItem *m_line5 = nullptr;
};

void TestAnalysis::init() {
    m_form = std::make_unique<Form1>();
    m_canvas = control<Canvas>(*m_form, "picAusgabe");
    m_info = control<Canvas>(*m_form, "picInfo");
    m_infoText = control<TextArea>(*m_form, "txtInfo");
    m_line4 = control<LineItem>(*m_form, "Line4");
    m_line5 = control<LineItem>(*m_form, "Line5");
}

void TestAnalysis::cleanup() { m_form.reset(); }

// At start-up the segment runs along the diagonal from the cell (1, 1) to the cell (100, 100),
// in front of its mirror, which covers the same cells; showing the window changes nothing.
void TestAnalysis::startupPlacesSegmentOnDiagonal() {
    checkSegment({1, 1, 100, 100});
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    checkSegment({1, 1, 100, 100});
}

// A press of the left button sets the first point to the cell under the pointer, the right
// button the second; other buttons and places outside 0..100 set nothing, and the keys held
// make no difference.
void TestAnalysis::clickPicksCell_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<float>("x");
    QTest::addColumn<float>("y");
    QTest::addColumn<bool>("accepted");

    struct Spot {
        const char *name;
        float x, y;
        bool accepted;
    };
    const Spot spots[] = {
        {"inside cell 37,12", 37.99f, 12.01f, true},
        {"x 100.999", 100.999f, 50.5f, true},
        {"y 100.999", 50.5f, 100.999f, true},
        {"origin corner", 0.0f, 0.0f, true},
        {"x 101", 101.0f, 50.5f, false},
        {"y 101", 50.5f, 101.0f, false},
        {"x -0.001", -0.001f, 50.5f, false},
        {"y -0.001", 50.5f, -0.001f, false},
        {"right margin", 115.0f, 50.5f, false},
        {"bottom-left margin", -4.5f, -4.5f, false},
        {"top-right corner", 119.5f, 114.5f, false},
    };
    for (const int button : {1, 2, 4})
        for (const Spot &spot : spots)
            QTest::addRow("button %d %s", button, spot.name)
                << button << Qt::KeyboardModifiers() << spot.x << spot.y
                << (spot.accepted && button != 4);
    const std::pair<const char *, Qt::KeyboardModifiers> held[] = {
        {"Shift", Qt::ShiftModifier},
        {"Ctrl", Qt::ControlModifier},
        {"Alt", Qt::AltModifier},
        {"Shift+Ctrl", Qt::ShiftModifier | Qt::ControlModifier},
    };
    for (const int button : {1, 2})
        for (const auto &[name, modifiers] : held)
            QTest::addRow("button %d %s inside cell 37,12", button, name)
                << button << modifiers << 37.99f << 12.01f << true;
}

void TestAnalysis::clickPicksCell() {
    QFETCH(int, button);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(float, x);
    QFETCH(float, y);
    QFETCH(bool, accepted);

    // Start away from every cell the rows pick, so that an accepted click always changes both.
    Points expected{60, 70, 80, 90};
    control<ScrollBar>(*m_form, "hscX1")->setValue(expected.x1);
    control<ScrollBar>(*m_form, "hscY1")->setValue(expected.y1);
    control<ScrollBar>(*m_form, "hscX2")->setValue(expected.x2);
    control<ScrollBar>(*m_form, "hscY2")->setValue(expected.y2);

    const QPointF at = reportedAt(*m_canvas, x, y);
    QCOMPARE(static_cast<float>(at.x()), x);
    QCOMPARE(static_cast<float>(at.y()), y);
    clickAt(m_canvas, qtButton(button), x, y, modifiers);

    if (accepted) {
        const int cx = static_cast<int>(std::floor(x));
        const int cy = static_cast<int>(std::floor(y));
        if (button == 1)
            expected = {cx, cy, expected.x2, expected.y2};
        else
            expected = {expected.x1, expected.y1, cx, cy};
    }
    checkSegment(expected);
}

void TestAnalysis::clickOnTheSameCellMovesNothing_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<float>("x");
    QTest::addColumn<float>("y");
    QTest::addColumn<bool>("moves");

    // P1 starts at (1, 1), P2 at (100, 100).
    QTest::newRow("left, only x changes") << 1 << 37.5f << 1.5f << true;
    QTest::newRow("left, only y changes") << 1 << 1.2f << 12.5f << true;
    QTest::newRow("left, same cell") << 1 << 1.9f << 1.1f << false;
    QTest::newRow("left, same cell corner") << 1 << 1.0f << 1.0f << false;
    QTest::newRow("right, only x changes") << 2 << 37.5f << 100.5f << true;
    QTest::newRow("right, only y changes") << 2 << 100.5f << 12.5f << true;
    QTest::newRow("right, same cell") << 2 << 100.999f << 100.001f << false;
}

// A click that changes a coordinate re-places the segment, in front of its mirror again; a click
// on the cell the point already has re-places nothing, and the mirror brought forward stays there.
void TestAnalysis::clickOnTheSameCellMovesNothing() {
    QFETCH(int, button);
    QFETCH(float, x);
    QFETCH(float, y);
    QFETCH(bool, moves);

    m_line5->ZOrder();
    clickAt(m_canvas, qtButton(button), x, y);
    const int cx = static_cast<int>(std::floor(x));
    const int cy = static_cast<int>(std::floor(y));
    if (!moves) {
        QCOMPARE(m_canvas->lineItems().last(), m_line5);
        return;
    }
    checkSegment(button == 1 ? Points{cx, cy, 100, 100} : Points{1, 1, cx, cy});
}

void TestAnalysis::thumbDragMovesSegmentEnds_data() {
    QTest::addColumn<QString>("barName");
    QTest::addColumn<QString>("boxName");
    QTest::addColumn<int>("end"); // index of the end coordinate: x1, y1, x2, y2 of Line4
    QTest::addColumn<int>("start");
    QTest::addColumn<QList<int>>("path");
    // From the start-up value, and the other way from the middle of the bar: the small bars
    // leave room for a thumb that can be dragged either way.
    const QList<int> right{2, 5, 9, 14};
    const QList<int> left{-2, -5, -9, -14};
    QTest::newRow("hscX1 from 1") << "hscX1"
                                  << "txtX1" << 0 << 1 << right;
    QTest::newRow("hscY1 from 1") << "hscY1"
                                  << "txtY1" << 1 << 1 << right;
    QTest::newRow("hscX2 from 100") << "hscX2"
                                    << "txtX2" << 2 << 100 << left;
    QTest::newRow("hscY2 from 100") << "hscY2"
                                    << "txtY2" << 3 << 100 << left;
    QTest::newRow("hscX1 from 50") << "hscX1"
                                   << "txtX1" << 0 << 50 << left;
    QTest::newRow("hscY1 from 50") << "hscY1"
                                   << "txtY1" << 1 << 50 << left;
    QTest::newRow("hscX2 from 50") << "hscX2"
                                   << "txtX2" << 2 << 50 << right;
    QTest::newRow("hscY2 from 50") << "hscY2"
                                   << "txtY2" << 3 << 50 << right;
}

// While a thumb is dragged, its box counts along and the segment's end follows at once, with the
// mirror's end on the swapped axis; the other ends stay where they were.
void TestAnalysis::thumbDragMovesSegmentEnds() {
    QFETCH(QString, barName);
    QFETCH(QString, boxName);
    QFETCH(int, end);
    QFETCH(int, start);
    QFETCH(QList<int>, path);
    auto *bar = control<ScrollBar>(*m_form, qPrintable(barName));
    bar->setValue(start);
    const auto ends = [](const LineItem *line) {
        return QList<float>{line->x1(), line->y1(), line->x2(), line->y2()};
    };
    QList<int> points{1, 1, 100, 100};
    QList<int> values;
    QList<QString> texts;
    QList<QList<float>> segment;
    QList<QList<float>> mirror;
    connect(bar, &ScrollBar::scroll, this, [&] {
        values.append(bar->value());
        texts.append(TestSupport::text(*m_form, qPrintable(boxName)));
        segment.append(ends(m_line4));
        mirror.append(ends(m_line5));
    });
    TestSupport::dragThumb(bar, path);
    disconnect(bar, &ScrollBar::scroll, this, nullptr);

    QVERIFY(!values.isEmpty());
    const int direction = path.first() > 0 ? 1 : -1;
    QVERIFY(values.size() > 1); // a short first step does not jump to the end of the bar
    for (qsizetype step = 0; step < values.size(); ++step) {
        // The thumb follows the pointer step by step.
        QVERIFY((values[step] - (step > 0 ? values[step - 1] : start)) * direction > 0);
        QCOMPARE(texts[step], QString::number(values[step]));
        QList<float> expected{1.5f, 1.5f, 100.5f, 100.5f};
        expected[end] = values[step] + 0.5f;
        QCOMPARE(segment[step], expected);
        std::swap(expected[0], expected[1]);
        std::swap(expected[2], expected[3]);
        QCOMPARE(mirror[step], expected);
    }
    points[end] = values.last();
    checkSegment({points[0], points[1], points[2], points[3]});
}

void TestAnalysis::segmentStaysInFrontOfMirror() {
    m_line5->ZOrder();
    QCOMPARE(m_canvas->lineItems().last(), m_line5);
    control<ScrollBar>(*m_form, "hscY1")->setValue(40);
    checkSegment({1, 40, 100, 100});

    m_line5->ZOrder();
    m_form->Command2_Click(); // the frame drawing re-places the lines as well
    checkSegment({1, 40, 100, 100});
}

void TestAnalysis::typedCoordinateTextMovesNothing() {
    auto *box = control<QLineEdit>(*m_form, "txtX1");
    box->setFocus();
    box->end(false);
    QTest::keyClicks(box, "55");
    QCOMPARE(box->text(), QStringLiteral("155"));
    QCOMPARE(control<ScrollBar>(*m_form, "hscX1")->value(), 1);
    QCOMPARE(m_line4->x1(), 1.5f);
    QCOMPARE(m_line5->y1(), 1.5f);

    // The next change of the bar writes over the typed text.
    control<ScrollBar>(*m_form, "hscX1")->setValue(7);
    checkSegment({7, 1, 100, 100});
}

void TestAnalysis::redrawKeepsSegmentPoints() {
    clickAt(m_canvas, Qt::LeftButton, 37.5f, 12.5f);
    clickAt(m_canvas, Qt::RightButton, 5.5f, 80.5f);
    m_form->Command2_Click();
    m_form->Command1_Click();
    checkSegment({37, 12, 5, 80});
}

void TestAnalysis::segmentShowsOnItsPixels_data() {
    QTest::addColumn<Points>("picked");
    QTest::addColumn<int>("heightTwips");
    QTest::newRow("start-up diagonal") << Points{1, 1, 100, 100} << 9972;
    QTest::newRow("steep, after a redraw") << Points{37, 12, 5, 80} << 9972;
    QTest::newRow("compressed, across the radius caption") << Points{1, 100, 20, 100} << 1800;
    QTest::newRow("compressed to 168 px") << Points{92, 69, 30, 25} << 2520;
}

// The segment and its mirror, each 2 pixels wide from the centre of one cell to the centre of
// the other, with the segment in front of its mirror and both in front of the radius caption.
// The expected pixels come from whole-number arithmetic on the canvas's size: the centre of the
// cell (x, y) lies at ((2x + 11) W / 250, (229 - 2y) H / 240).
void TestAnalysis::segmentShowsOnItsPixels() {
    QFETCH(Points, picked);
    QFETCH(int, heightTwips);
    control<ScrollBar>(*m_form, "vscBildschirm")->setValue(heightTwips);
    for (const auto &[bar, value] : {std::pair{"hscX1", picked.x1}, std::pair{"hscY1", picked.y1},
                                     std::pair{"hscX2", picked.x2}, std::pair{"hscY2", picked.y2}})
        control<ScrollBar>(*m_form, bar)->setValue(value);
    m_form->Command2_Click();
    m_form->Command1_Click();
    for (const char *name : {"txtRadius", "hscRadius", "txtHilfe", "Text2", "picInfo"})
        control<QWidget>(*m_form, name)->hide();
    const int w = m_canvas->width();
    const int h = m_canvas->height();
    QCOMPARE(w, 745);
    const auto centre = [w, h](int x, int y) {
        return QPoint((2 * x + 11) * w / 250, (229 - 2 * y) * h / 240);
    };
    const QSet<QPoint> segment =
        TestSupport::widePath(centre(picked.x1, picked.y1), centre(picked.x2, picked.y2), 2);
    const QSet<QPoint> mirror =
        TestSupport::widePath(centre(picked.y1, picked.x1), centre(picked.y2, picked.x2), 2);
    const QImage shown = m_canvas->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(TestSupport::pixelsOf(shown, darkBlue, shown.rect()), segment);
    // The caption's smoothed letters may hold the mirror's grey here and there.
    const QSet<QPoint> grey = TestSupport::pixelsOf(shown, rgb(128, 128, 128), shown.rect());
    const QRect caption = control<QWidget>(*m_form, "Label2")->geometry();
    const auto besideCaption = [&caption](QSet<QPoint> pixels) {
        pixels.removeIf([&caption](QPoint p) { return caption.contains(p); });
        return pixels;
    };
    QCOMPARE(besideCaption(grey), besideCaption(mirror - segment));
    QVERIFY((mirror - segment).subtract(grey).isEmpty());
}

void TestAnalysis::readoutVisibilityAndPosition_data() {
    QTest::addColumn<float>("x");
    QTest::addColumn<float>("y");
    QTest::addColumn<bool>("visible");

    QTest::newRow("plot") << 50.5f << 50.5f << true;
    QTest::newRow("origin") << 0.0f << 0.0f << true;
    QTest::newRow("x 102") << 102.0f << 0.0f << true;
    QTest::newRow("y 102") << 0.0f << 102.0f << true;
    QTest::newRow("102, 102") << 102.0f << 102.0f << true;
    QTest::newRow("beside the plot") << 101.5f << 101.5f << true;
    QTest::newRow("x 102.01") << 102.01f << 0.0f << false;
    QTest::newRow("y 102.01") << 0.0f << 102.01f << false;
    QTest::newRow("x -0.01") << -0.01f << 5.0f << false;
    QTest::newRow("y -0.01") << 5.0f << -0.01f << false;
    QTest::newRow("left margin") << -4.0f << 50.0f << false;
    QTest::newRow("top-right corner") << 119.5f << 114.5f << false;
}

void TestAnalysis::readoutVisibilityAndPosition() {
    QFETCH(float, x);
    QFETCH(float, y);
    QFETCH(bool, visible);

    const QPointF at = reportedAt(*m_canvas, x, y);
    QCOMPARE(static_cast<float>(at.x()), x);
    QCOMPARE(static_cast<float>(at.y()), y);

    // Come from the opposite state, so that both showing and hiding are exercised.
    if (visible)
        moveTo(m_canvas, 110.0f, 110.0f);
    else
        moveTo(m_canvas, 50.0f, 50.0f);
    QCOMPARE(m_info->isHidden(), visible);

    moveTo(m_canvas, x, y);
    QCOMPARE(m_info->isHidden(), !visible);
    QCOMPARE(m_infoText->isHidden(), !visible);
    QCOMPARE(m_infoText->isVisibleTo(m_canvas), visible);

    QCOMPARE(m_info->pos(), plotPixel(m_canvas->size(), x + 5.0f, y + 12.0f));
}

void TestAnalysis::readoutTextAndPreview_data() {
    QTest::addColumn<QString>("deviation");
    QTest::addColumn<float>("x");
    QTest::addColumn<float>("y");
    QTest::addColumn<QString>("text");
    QTest::addColumn<Preview>("preview");

    const auto equation = [](const char *i, const char *j, const char *z, const char *d) {
        return QStringLiteral("%1 Quadrat +%2 Quadrat\r\n = %3 Quadrat plus %4")
            .arg(QLatin1String(i), QLatin1String(j), QLatin1String(z), QLatin1String(d));
    };

    QTest::newRow("37,12") << "0" << 37.5f << 12.5f << " 37, 12" << Preview::Triangle;
    QTest::newRow("3,4") << "0" << 3.5f << 4.5f << equation(" 3", " 4", " 5", " 0")
                         << Preview::Triangle;
    QTest::newRow("4,3") << "0" << 4.5f << 3.5f << equation(" 4", " 3", " 5", " 0")
                         << Preview::Triangle;
    QTest::newRow("3,4 at the cell's corner")
        << "0" << 3.0f << 4.0f << equation(" 3", " 4", " 5", " 0") << Preview::Triangle;
    QTest::newRow("3,4 at the cell's far edge")
        << "0" << 3.999f << 4.999f << equation(" 3", " 4", " 5", " 0") << Preview::Triangle;
    QTest::newRow("5,12") << "0" << 5.5f << 12.5f << equation(" 5", " 12", " 13", " 0")
                          << Preview::Triangle;
    QTest::newRow("20,21") << "0" << 20.5f << 21.5f << equation(" 20", " 21", " 29", " 0")
                           << Preview::Triangle;
    QTest::newRow("not a number acts as 0")
        << "abc" << 3.5f << 4.5f << equation(" 3", " 4", " 5", " 0") << Preview::Triangle;
    QTest::newRow("d 1 at 1,1") << "1" << 1.5f << 1.5f << equation(" 1", " 1", " 1", " 1")
                                << Preview::Triangle;
    QTest::newRow("d 25 at 3,4, z 0")
        << "25" << 3.5f << 4.5f << equation(" 3", " 4", " 0", " 25") << Preview::Triangle;
    QTest::newRow("d -11 at 1,2") << "-11" << 1.5f << 2.5f << equation(" 1", " 2", " 4", "-11")
                                  << Preview::Triangle;
    QTest::newRow("d 10 at 1,2, negative") << "10" << 1.5f << 2.5f << " 1, 2" << Preview::Empty;
    QTest::newRow("d 1 at 0,0, negative") << "1" << 0.5f << 0.5f << " 0, 0" << Preview::Empty;
    QTest::newRow("d -3 at 1,2") << "-3" << 1.5f << 2.5f << " 1, 2" << Preview::Triangle;
    QTest::newRow("5,0 bar") << "0" << 5.5f << 0.5f << equation(" 5", " 0", " 5", " 0")
                             << Preview::TopBar;
    QTest::newRow("0,7 bar") << "0" << 0.5f << 7.5f << equation(" 0", " 7", " 7", " 0")
                             << Preview::LeftBar;
    QTest::newRow("0,0") << "0" << 0.5f << 0.5f << equation(" 0", " 0", " 0", " 0")
                         << Preview::Empty;
    QTest::newRow("-3,0") << "0" << -2.5f << 0.5f << equation("-3", " 0", " 3", " 0")
                          << Preview::Empty;
    QTest::newRow("0,-3") << "0" << 0.5f << -2.5f << equation(" 0", "-3", " 3", " 0")
                          << Preview::Empty;
    QTest::newRow("-1,5") << "0" << -0.5f << 5.5f << "-1, 5" << Preview::Unchecked;
    QTest::newRow("-3,4") << "0" << -2.5f << 4.5f << equation("-3", " 4", " 5", " 0")
                          << Preview::Unchecked;
    QTest::newRow("-3,-4") << "0" << -2.5f << -3.5f << equation("-3", "-4", " 5", " 0")
                           << Preview::Unchecked;
    QTest::newRow("110,3 right margin") << "0" << 110.5f << 3.5f << " 110, 3" << Preview::Triangle;
    QTest::newRow("beyond the canvas while dragging")
        << "0" << 130.25f << -10.5f << " 130,-11" << Preview::Unchecked;
}

void TestAnalysis::readoutTextAndPreview() {
    QFETCH(QString, deviation);
    QFETCH(float, x);
    QFETCH(float, y);
    QFETCH(QString, text);
    QFETCH(Preview, preview);

    const QImage plot = m_canvas->image();
    auto *deviationBox = control<QLineEdit>(*m_form, "Text1");
    // Something in the box first, so that an empty box shows that it was cleared.
    moveTo(m_canvas, 3.5f, 4.5f);
    QVERIFY(pixelsNotOf(m_info->image(), ground()) > 0);

    deviationBox->setText(deviation);
    moveTo(m_canvas, x, y);
    QCOMPARE(m_infoText->text(), text);
    // The readout draws only in its box.
    QCOMPARE(m_canvas->image(), plot);

    const QImage &box = m_info->image();
    const QRgb background = ground();
    const int i = static_cast<int>(std::floor(x));
    const int j = static_cast<int>(std::floor(y));
    const int m = std::max(i, j);
    switch (preview) {
    case Preview::Empty:
        QCOMPARE(pixelsNotOf(box, background), 0);
        break;
    case Preview::Triangle:
        // Near the right angle inside, beyond the hypotenuse outside.
        QCOMPARE(boxColour(box, boxPixel(box, i / 4.0, j / 4.0, m)), darkBlue);
        QCOMPARE(boxColour(box, boxPixel(box, i / 2.0 + 0.3 * m, j / 2.0 + 0.3 * m, m)),
                 background);
        // The longer leg ends at 1/1.4 of the box side.
        if (i >= j) {
            QCOMPARE(boxColour(box, boxPixel(box, i - 0.1 * m, 0, m)), darkBlue);
            QCOMPARE(boxColour(box, boxPixel(box, i + 0.1 * m, 0, m)), background);
        } else {
            QCOMPARE(boxColour(box, boxPixel(box, 0, j - 0.1 * m, m)), darkBlue);
            QCOMPARE(boxColour(box, boxPixel(box, 0, j + 0.1 * m, m)), background);
        }
        break;
    case Preview::TopBar:
        QCOMPARE(boxColour(box, boxPixel(box, i / 2.0, 0, m)), darkBlue);
        QCOMPARE(boxColour(box, boxPixel(box, i - 0.1 * m, 0, m)), darkBlue);
        QCOMPARE(boxColour(box, boxPixel(box, i / 2.0, 0.3 * m, m)), background);
        QCOMPARE(boxColour(box, boxPixel(box, i + 0.1 * m, 0, m)), background);
        break;
    case Preview::LeftBar:
        QCOMPARE(boxColour(box, boxPixel(box, 0, j / 2.0, m)), darkBlue);
        QCOMPARE(boxColour(box, boxPixel(box, 0, j - 0.1 * m, m)), darkBlue);
        QCOMPARE(boxColour(box, boxPixel(box, 0.3 * m, j / 2.0, m)), background);
        QCOMPARE(boxColour(box, boxPixel(box, 0, j + 0.1 * m, m)), background);
        break;
    case Preview::Unchecked:
        break;
    }
}

void TestAnalysis::readoutIgnoresButtonsAndRedrawsSameCell() {
    auto *deviationBox = control<QLineEdit>(*m_form, "Text1");
    moveTo(m_canvas, 3.5f, 4.5f, Qt::LeftButton);
    QCOMPARE(m_infoText->text(), QStringLiteral(" 3 Quadrat + 4 Quadrat\r\n =  5 Quadrat plus  0"));
    // Shown as two lines.
    QCOMPARE(m_infoText->toPlainText(),
             QStringLiteral(" 3 Quadrat + 4 Quadrat\n =  5 Quadrat plus  0"));
    QVERIFY(!m_info->isHidden());
    const QImage drawn = m_info->image();

    // Same cell, new deviation: everything is worked out afresh.
    deviationBox->setText(QStringLiteral("10"));
    moveTo(m_canvas, 3.6f, 4.6f, Qt::RightButton);
    QCOMPARE(m_infoText->text(), QStringLiteral(" 3, 4"));
    QCOMPARE(m_info->image(), drawn);

    deviationBox->setText(QStringLiteral("26"));
    moveTo(m_canvas, 3.7f, 4.7f);
    QCOMPARE(m_infoText->text(), QStringLiteral(" 3, 4"));
    QCOMPARE(pixelsNotOf(m_info->image(), ground()), 0);
}

// In the margins and beyond the canvas the box is hidden but follows the pointer all the same.
void TestAnalysis::hiddenBoxKeepsUpdating() {
    moveTo(m_canvas, 110.5f, 3.5f);
    QVERIFY(m_info->isHidden());
    QCOMPARE(m_infoText->text(), QStringLiteral(" 110, 3"));
    QCOMPARE(m_info->pos(), plotPixel(m_canvas->size(), 115.5, 15.5));
    // A flat triangle along the top edge, drawn while hidden.
    const QImage &box = m_info->image();
    QCOMPARE(boxColour(box, boxPixel(box, 50, 0, 110)), darkBlue);
    QCOMPARE(boxColour(box, boxPixel(box, 50, 20, 110)), ground());

    // Dragging beyond the canvas's edge keeps the reports coming.
    moveTo(m_canvas, -20.0f, 60.5f, Qt::LeftButton);
    QVERIFY(m_info->isHidden());
    QCOMPARE(m_infoText->text(), QStringLiteral("-20, 60"));
    QCOMPARE(m_info->pos(), plotPixel(m_canvas->size(), -15.0, 72.5));

    // Back over the plot it shows again, with the new cell.
    moveTo(m_canvas, 20.5f, 21.5f);
    QVERIFY(!m_info->isHidden());
    QVERIFY(!m_infoText->isHidden());
    QCOMPARE(m_infoText->text(),
             QStringLiteral(" 20 Quadrat + 21 Quadrat\r\n =  29 Quadrat plus  0"));
}

// (3, 4) has the longer leg down the left edge, (4, 3) along the top edge: each picture is the
// other mirrored at the box's diagonal. Pixels close to the hypotenuse are left out.
void TestAnalysis::swappedLegsGiveMirrorImages() {
    moveTo(m_canvas, 3.5f, 4.5f);
    const QImage tall = m_info->image();
    moveTo(m_canvas, 4.5f, 3.5f);
    const QImage wide = m_info->image();
    QCOMPARE(tall.size(), wide.size());
    QCOMPARE(tall.width(), tall.height());

    const QRgb background = ground();
    const double unit = wide.width() / 5.6; // pixels per leg unit
    const double a = 4 * unit;              // the wide picture's top leg
    const double b = 3 * unit;              // its left leg
    const double norm = std::sqrt(1 / (a * a) + 1 / (b * b));
    int inside = 0;
    int outside = 0;
    for (int py = 0; py < wide.height(); py += 3)
        for (int px = 0; px < wide.width(); px += 3) {
            const double f = (px + 0.5) / a + (py + 0.5) / b - 1;
            if (std::abs(f) / norm < 8)
                continue;
            const QRgb expected = f < 0 ? darkBlue : background;
            (f < 0 ? inside : outside)++;
            QCOMPARE(boxColour(wide, QPoint(px, py)), expected);
            QCOMPARE(boxColour(tall, QPoint(py, px)), expected);
        }
    QVERIFY(inside > 100);
    QVERIFY(outside > 100);
}

// The pointer as the window system delivers it, over the canvas and clear of its children.
void TestAnalysis::realPointerPathUpdatesReadout() {
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    QTest::mouseMove(m_canvas, TestSupport::pixelFor(*m_canvas, 37.5f, 12.5f));
    QTRY_COMPARE(m_infoText->text(), QStringLiteral(" 37, 12"));
    QTest::mouseMove(m_canvas, TestSupport::pixelFor(*m_canvas, 81.5f, 60.5f));
    QTRY_COMPARE(m_infoText->text(), QStringLiteral(" 81, 60"));
    QTest::mouseMove(m_canvas, TestSupport::pixelFor(*m_canvas, 3.5f, 4.5f));
    QTRY_COMPARE(m_infoText->text(),
                 QStringLiteral(" 3 Quadrat + 4 Quadrat\r\n =  5 Quadrat plus  0"));
    QVERIFY(!m_info->isHidden());
}

QTEST_MAIN(TestAnalysis)
#include "tst_analysis.moc"
