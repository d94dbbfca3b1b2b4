#pragma once

// Helpers shared by the tests: finding controls by name, the tables of what the window shows
// (help texts, the order of the focus), an exact oracle of the solutions, reading the plot at
// world coordinates by the test's own mapping, counting the marks of a search, and driving scroll
// bars like a user.

#include "canvas/canvas.h"
#include "canvas/lineitem.h"
#include "window/form1.h"
#include "window/scrollbar.h"

#include <QImage>
#include <QLineEdit>
#include <QList>
#include <QPoint>
#include <QSet>
#include <QStringList>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <QWidget>
#include <cmath>
#include <optional>

namespace TestSupport {

template <typename T> T *control(const QObject &form, const char *name) {
    T *found = form.findChild<T *>(QLatin1String(name));
    if (found == nullptr)
        qFatal("control %s not found", name);
    return found;
}

inline QString text(const QObject &form, const char *name) {
    return control<QLineEdit>(form, name)->text();
}

// The help line's text for every control that writes one there, as the pointer moving over it
// brings it up (txtY1: a press on it). Screen readers read the same text as its description.
struct Help {
    const char *control;
    QString text;
    bool onPress = false;
};

inline const QList<Help> &helpTexts() {
    static const QString search = QStringLiteral("Tripel anzeigen (Katheten sind x und y)");
    static const QString count = QStringLiteral("Anzahl der Lösungen im betrachteten Bereich");
    static const QString radius =
        QStringLiteral("Radius des Kreises um den Ursprung (das ist die Hypothenusenlänge)");
    static const QString deviation = QStringLiteral(
        "Tripel (a, b, c) mit    a^2 + b^2 = c^2 + Abweichung      werden angezeigt");
    static const QString segment = QStringLiteral("Strecke einzeichnen (Analysewerkzeug)");
    static const QList<Help> table = {
        {"Command1", search},
        {"Command2", QStringLiteral("Bildschirm löschen")},
        {"Command5", QStringLiteral("Info zum Programm")},
        {"Command6", QStringLiteral("Programm beenden")},
        {"Label1", count},
        {"txtAnzahl", count},
        {"Label2", radius},
        {"Label3", deviation},
        {"Text1", deviation},
        {"Label4", QStringLiteral("Ausgabefenster senkrecht stauchen")},
        {"txtX1", segment},
        {"txtX2", segment},
        {"txtY2", segment},
        {"txtY1", segment, true},
    };
    return table;
}

// The help text a move over the control (or a press on it) writes; none for the others.
inline std::optional<QString> helpText(const QString &control, bool press = false) {
    for (const Help &help : helpTexts())
        if (control == QLatin1String(help.control) && press == help.onPress)
            return help.text;
    return std::nullopt;
}

// The controls that take the keyboard focus, in the order Tab visits them.
inline const QStringList tabOrder = {
    QStringLiteral("picAusgabe"), QStringLiteral("Command1"),  QStringLiteral("Text1"),
    QStringLiteral("Command2"),   QStringLiteral("Command3"),  QStringLiteral("Command4"),
    QStringLiteral("Command5"),   QStringLiteral("txtAnzahl"), QStringLiteral("vscBildschirm"),
    QStringLiteral("txtX1"),      QStringLiteral("txtY1"),     QStringLiteral("txtX2"),
    QStringLiteral("txtY2"),      QStringLiteral("hscX1"),     QStringLiteral("hscY1"),
    QStringLiteral("hscX2"),      QStringLiteral("hscY2"),     QStringLiteral("hscRadius"),
    QStringLiteral("Text2"),      QStringLiteral("picInfo"),   QStringLiteral("txtInfo"),
    QStringLiteral("txtHilfe"),   QStringLiteral("Command6"),  QStringLiteral("txtRadius")};

// The whole square root of n, when n is the square of a whole number.
inline std::optional<long long> wholeRoot(long long n) {
    if (n < 0)
        return std::nullopt;
    auto root = static_cast<long long>(std::sqrt(static_cast<double>(n)));
    while (root * root > n)
        --root;
    while ((root + 1) * (root + 1) <= n)
        ++root;
    return root * root == n ? std::optional(root) : std::nullopt;
}

// Exact in whole numbers: the z ≥ 0 with x² + y² − d = z², if there is one.
inline std::optional<long long> wholeHypotenuse(long long x, long long y, long long d) {
    return wholeRoot(x * x + y * y - d);
}

// The plot's world system, as the window sets it: x from −5 at the left edge to 120 at the right,
// y from 115 at the top to −5 at the bottom. The continuous position of a world point on an area
// of this size, and the pixel that holds it.
inline QPointF plotPosition(QSizeF area, double x, double y) {
    return {(x + 5) * area.width() / 125, (115 - y) * area.height() / 120};
}

inline QPoint plotPixel(QSizeF area, double x, double y) {
    const QPointF p = plotPosition(area, x, y);
    return {static_cast<int>(std::floor(p.x())), static_cast<int>(std::floor(p.y()))};
}

// The colour (without alpha) of the image pixel that holds the plot's world point (x, y).
inline QRgb colourAt(const Canvas &canvas, float x, float y) {
    const QImage &image = canvas.image();
    const QPoint p = plotPixel(image.size(), x, y);
    if (!image.valid(p))
        return 0xff000000u; // outside: an impossible opaque value below
    return image.pixel(p) & 0x00ffffffu;
}

inline constexpr QRgb rgb(int r, int g, int b) { return qRgb(r, g, b) & 0x00ffffffu; }

inline constexpr QRgb markBlack = rgb(0, 0, 0);
inline constexpr QRgb markBlue = rgb(0, 0, 255);
inline constexpr QRgb markRed = rgb(255, 0, 0);
inline constexpr QRgb white = rgb(255, 255, 255);

struct MarkCount {
    int black = 0;
    int blue = 0;
    int red = 0;
    int total() const { return black + blue + red; }
};

// The colour of the cell (x, y) as the search paints it: read at two points inside the cell that
// the frame never covers (off the grid lines and off the diagonal). A single circle point or
// label stroke can cover one of them, so the colour counts only where both agree; otherwise
// `mixed` is returned.
inline constexpr QRgb mixed = 0x01000000u;

inline QRgb cellColour(const Canvas &canvas, int x, int y) {
    const QRgb a = colourAt(canvas, x + 0.75f, y + 0.4f);
    const QRgb b = colourAt(canvas, x + 0.5f, y + 0.25f);
    return a == b ? a : mixed;
}

// Reads the marks of the plot from the cells of (1..100) x (1..100). The radius circle crosses
// the cells it passes; for exact counts set the radius to 0 first (its circle then stays in the
// corner below the cell (1, 1)).
inline MarkCount countMarks(const Canvas &canvas) {
    MarkCount count;
    for (int x = 1; x <= 100; ++x)
        for (int y = 1; y <= 100; ++y) {
            const QRgb c = cellColour(canvas, x, y);
            if (c == markBlack)
                ++count.black;
            else if (c == markBlue)
                ++count.blue;
            else if (c == markRed)
                ++count.red;
        }
    return count;
}

// A part (arrow, track, thumb) of a scroll bar, in its own coordinates.
inline QRect partRect(QScrollBar *bar, QStyle::SubControl part) {
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.subControls = QStyle::SC_All;
    option.orientation = bar->orientation();
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = bar->sliderPosition();
    option.sliderValue = bar->value();
    option.singleStep = bar->singleStep();
    option.pageStep = bar->pageStep();
    option.upsideDown = bar->invertedAppearance();
    if (bar->orientation() == Qt::Horizontal)
        option.state |= QStyle::State_Horizontal;
    return bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, part, bar);
}

inline QRect thumbRect(QScrollBar *bar) { return partRect(bar, QStyle::SC_ScrollBarSlider); }

// Presses the thumb, moves it by `steps` pixel offsets given in `path` (relative to the press
// point), and releases it at the last one.
inline void dragThumb(QScrollBar *bar, const QList<int> &path) {
    const QPoint start = thumbRect(bar).center();
    QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, start);
    QPoint at = start;
    for (const int offset : path) {
        at = bar->orientation() == Qt::Horizontal ? start + QPoint(offset, 0)
                                                  : start + QPoint(0, offset);
        QMouseEvent move(QEvent::MouseMove, at, bar->mapToGlobal(at), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(bar, &move);
    }
    QTest::mouseRelease(bar, Qt::LeftButton, Qt::NoModifier, at);
}

// The plot as Qt itself paints the shown canvas, with the controls that are not part of the plot
// hidden: what a saved picture must equal.
inline QImage shownPlot(const Form1 &form) {
    for (const char *name : {"Label2", "txtRadius", "hscRadius", "txtHilfe", "picInfo"})
        control<QWidget>(form, name)->hide();
    return control<Canvas>(form, "picAusgabe")
        ->grab()
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

// Every pixel of the line from (x0, y0) to (x1, y1), by the textbook integer Bresenham loop
// over the whole line.
inline QList<QPoint> bresenham(int x0, int y0, int x1, int y1) {
    QList<QPoint> path;
    const int dx = std::abs(x1 - x0);
    const int dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1;
    const int sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        path.append(QPoint(x0, y0));
        if (x0 == x1 && y0 == y1)
            return path;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

// The pixels of a line `width` pixels wide along that path: each path pixel widened to a square
// whose top-left corner lies (width - 1) / 2 pixels up and left of it.
inline QSet<QPoint> widePath(QPoint from, QPoint to, int width) {
    QSet<QPoint> pixels;
    const int low = -((width - 1) / 2);
    for (const QPoint p : bresenham(from.x(), from.y(), to.x(), to.y()))
        for (int dy = 0; dy < width; ++dy)
            for (int dx = 0; dx < width; ++dx)
                pixels.insert(p + QPoint(low + dx, low + dy));
    return pixels;
}

// The pixels of an image that have exactly this colour (alpha ignored), within an area.
inline QSet<QPoint> pixelsOf(const QImage &image, QRgb colour, QRect area) {
    QSet<QPoint> found;
    area &= image.rect();
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if ((image.pixel(x, y) & 0xffffffu) == (colour & 0xffffffu))
                found.insert(QPoint(x, y));
    return found;
}

// The logical pixel of the canvas that shows a world point of the plot (for mouse events).
inline QPoint pixelFor(const Canvas &canvas, float x, float y) {
    return plotPixel(canvas.size(), x, y);
}

// The segment between the cells (x1, y1) and (x2, y2) as the window shows it: the four small bars
// and their boxes, the segment from the centre of one cell to the centre of the other, in front of
// its mirror image at the diagonal.
inline void checkSegment(const QObject &form, int x1, int y1, int x2, int y2) {
    const int points[] = {x1, y1, x2, y2};
    const char *bars[] = {"hscX1", "hscY1", "hscX2", "hscY2"};
    const char *boxes[] = {"txtX1", "txtY1", "txtX2", "txtY2"};
    for (int k = 0; k < 4; ++k) {
        QCOMPARE(control<QScrollBar>(form, bars[k])->value(), points[k]);
        QCOMPARE(text(form, boxes[k]), QString::number(points[k]));
    }
    const auto ends = [](const LineItem *line) {
        return QList<float>{line->x1(), line->y1(), line->x2(), line->y2()};
    };
    const auto *segment = control<LineItem>(form, "Line4");
    QCOMPARE(ends(segment), (QList<float>{x1 + 0.5f, y1 + 0.5f, x2 + 0.5f, y2 + 0.5f}));
    QCOMPARE(ends(control<LineItem>(form, "Line5")),
             (QList<float>{y1 + 0.5f, x1 + 0.5f, y2 + 0.5f, x2 + 0.5f}));
    QCOMPARE(control<Canvas>(form, "picAusgabe")->lineItems().last(), segment);
}

} // namespace TestSupport
