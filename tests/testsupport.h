#pragma once

// Helpers shared by the window's tests: finding controls by name, the tables of what the window
// shows (help texts, the order of the focus), driving scroll bars like a user, and the plot's
// helpers of plotsupport.h.

#include "plotsupport.h"

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
