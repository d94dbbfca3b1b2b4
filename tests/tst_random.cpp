// A long, seeded run of random user events against the shown main window: clicks on the
// buttons, every way of moving the six scroll bars, clicks, drags and moves over the plot, and
// hostile texts typed or pasted into the deviation, the radius label and the coordinate boxes.
// After every event the window must still be consistent:
//  - a scroll bar moved by an arrow, the track or a key lands one step on (Home and End: at its
//    end), a dragged thumb never ends on the far side of where it was pressed;
//  - a new radius or height redraws the plot, nothing else but the two redraw buttons does;
//  - the radius at rest lies in 0..139 and both radius texts show it; the radius label shows the
//    radius after every redraw, and otherwise only another form of it that the user typed;
//  - each coordinate box shows its scroll bar, unless the user typed into it since the bar last
//    changed (then it keeps what was typed);
//  - the segment and its mirror sit on the centres of the cells of the two points;
//  - the deviation text changes only by typing and by the "+1" and "-1" buttons;
//  - after a search, the count is that of a search done here by hand, and at the full canvas
//    height every cell of the plot away from the radius circle shows its mark or none; without
//    a search the count stays;
//  - after a move over the canvas, the preview shows exactly inside 0..102 and reads the cell's
//    coordinates, or its equation for a solution.
//
// ZAHLENLUPE_EVENTS sets the number of events (20000), ZAHLENLUPE_SEED the seed (a fixed one, so
// that every run is the same), and ZAHLENLUPE_TRACE=1 prints each event before it runs, to find
// the event that stops the program.
#include "testsupport.h"

#include "canvas/canvas.h"
#include "canvas/lineitem.h"
#include "numbers/conversions.h"
#include "window/form1.h"
#include "window/scrollbar.h"
#include "window/textarea.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <random>

using namespace TestSupport;

namespace {

constexpr quint64 defaultSeed = 1957;
constexpr qint64 defaultEvents = 20000;
constexpr int fullHeight = 9972; // twips: the canvas's design height and the bar's maximum
constexpr int eventsRemembered = 12;

// A reproducible source of choices: the 64-bit Mersenne Twister gives the same numbers on every
// platform, and the choices are made from its raw output.
class Random {
public:
    explicit Random(quint64 seed) : m_engine(seed) {}

    int below(int n) { return static_cast<int>(m_engine() % static_cast<quint64>(n)); }
    bool percent(int p) { return below(100) < p; }
    double between(double low, double high) {
        return low + (high - low) * static_cast<double>(m_engine() >> 11) * 0x1.0p-53;
    }
    template <typename T> const T &pick(const QList<T> &list) { return list[below(list.size())]; }

private:
    std::mt19937_64 m_engine;
};

// A text for one of the text boxes, typed key by key over the selected old text, or put in as
// a whole, as a paste does.
struct Entry {
    QString text;
    bool pasted;
};

QList<Entry> hostileTexts() {
    QString digits;
    digits.reserve(100000);
    while (digits.size() < 100000)
        digits += QStringLiteral("9876543210");
    return {
        {QStringLiteral("1e400"), false},
        {QStringLiteral("-1e400"), false},
        {QStringLiteral("&HFFFFFFFFFFFFFFFFFFFF"), false},
        {digits, true},
        {QLatin1Char('-') + digits, true},
        {QStringLiteral("-"), false},
        {QStringLiteral("139.5"), false},
        {QStringLiteral(u"\u221e"), false},
        {QStringLiteral("\x01\x02\x1b\x7f"), true},
        {QStringLiteral("5\t\r\n"), true},
        {QStringLiteral("\t7"), false},
        {QString(), false},
        {QString(), true},
        {QStringLiteral("07"), false},
        {QStringLiteral("2.5"), false},
        {QStringLiteral("150"), false},
        {QStringLiteral("-5"), false},
        {QStringLiteral("abc"), false},
        // Ordinary numbers as well, so that the plot and the radius keep changing.
        {QStringLiteral("0"), false},
        {QStringLiteral("2"), false},
        {QStringLiteral("3,5"), false},
        {QStringLiteral("0.5"), false},
        {QStringLiteral("20000"), false},
        {QStringLiteral("-1e20"), false},
        {QStringLiteral("1e-400"), false},
        {QStringLiteral("&O777"), false},
        {QStringLiteral("139"), false},
        {QStringLiteral("12"), false},
    };
}

// A text as it reads in a report: long ones by their length, control characters escaped.
QString shown(const QString &text) {
    if (text.size() > 40)
        return QStringLiteral("<%1 characters: %2...>").arg(text.size()).arg(text.left(12));
    QString out = QStringLiteral("\"");
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out + QLatin1Char('"');
}

QString pointText(QPointF p) {
    return QStringLiteral("(%1, %2)").arg(p.x(), 0, 'f', 3).arg(p.y(), 0, 'f', 3);
}

enum class BarAction {
    ArrowAdd,
    ArrowSub,
    TrackAdd,
    TrackSub,
    KeyLeft,
    KeyRight,
    KeyUp,
    KeyDown,
    KeyPageUp,
    KeyPageDown,
    KeyHome,
    KeyEnd,
    Drag,
};

constexpr int barActions = static_cast<int>(BarAction::Drag) + 1;

const char *actionName(BarAction action) {
    switch (action) {
    case BarAction::ArrowAdd:
        return "add arrow";
    case BarAction::ArrowSub:
        return "sub arrow";
    case BarAction::TrackAdd:
        return "add track";
    case BarAction::TrackSub:
        return "sub track";
    case BarAction::KeyLeft:
        return "Left";
    case BarAction::KeyRight:
        return "Right";
    case BarAction::KeyUp:
        return "Up";
    case BarAction::KeyDown:
        return "Down";
    case BarAction::KeyPageUp:
        return "PageUp";
    case BarAction::KeyPageDown:
        return "PageDown";
    case BarAction::KeyHome:
        return "Home";
    case BarAction::KeyEnd:
        return "End";
    case BarAction::Drag:
        return "thumb drag";
    }
    return "?";
}

// Which way an action moves the thumb: towards the maximum (+1) or the minimum (-1).
int directionOf(BarAction action) {
    switch (action) {
    case BarAction::ArrowAdd:
    case BarAction::TrackAdd:
    case BarAction::KeyRight:
    case BarAction::KeyDown:
    case BarAction::KeyPageDown:
    case BarAction::KeyEnd:
        return 1;
    default:
        return -1;
    }
}

Qt::Key keyOf(BarAction action) {
    switch (action) {
    case BarAction::KeyLeft:
        return Qt::Key_Left;
    case BarAction::KeyRight:
        return Qt::Key_Right;
    case BarAction::KeyUp:
        return Qt::Key_Up;
    case BarAction::KeyDown:
        return Qt::Key_Down;
    case BarAction::KeyPageUp:
        return Qt::Key_PageUp;
    case BarAction::KeyPageDown:
        return Qt::Key_PageDown;
    case BarAction::KeyHome:
        return Qt::Key_Home;
    case BarAction::KeyEnd:
        return Qt::Key_End;
    default:
        return Qt::Key_unknown;
    }
}

// Types a text key by key; a character beyond Latin-1 comes as the text of a key without a code,
// as an input method gives it.
void typeKeys(QWidget *widget, const QString &text) {
    for (const QChar c : text) {
        if (c.unicode() < 0x100)
            QTest::keyClick(widget, c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

// The number of pairs (x, y) in 1..100 x 1..100 whose x² + y² − d, in double precision, is a
// non-negative number with a whole square root.
bool isSolution(int x, int y, double d) {
    const double z2 = static_cast<double>(x * x + y * y) - d;
    return z2 >= 0 && std::sqrt(z2) == std::floor(std::sqrt(z2));
}

int solutionCount(double d) {
    int count = 0;
    for (int x = 1; x <= 100; ++x)
        for (int y = 1; y <= 100; ++y)
            if (isSolution(x, y, d))
                ++count;
    return count;
}

QString colourName(QRgb colour) {
    if (colour == mixed)
        return QStringLiteral("two colours");
    return QStringLiteral("#%1").arg(colour, 6, 16, QLatin1Char('0'));
}

// Holds back the uncategorised warnings while it lives. A change of the canvas height sets the
// window's height, and the offscreen platform of the test run answers every new size limit with
// a warning that it cannot pass it on to a window manager.
class QuietWarnings {
public:
    QuietWarnings() : m_wasEnabled(QLoggingCategory::defaultCategory()->isWarningEnabled()) {
        QLoggingCategory::defaultCategory()->setEnabled(QtWarningMsg, false);
    }
    ~QuietWarnings() {
        QLoggingCategory::defaultCategory()->setEnabled(QtWarningMsg, m_wasEnabled);
    }
    QuietWarnings(const QuietWarnings &) = delete;
    QuietWarnings &operator=(const QuietWarnings &) = delete;

private:
    bool m_wasEnabled;
};

// One user at the window: makes the random events and knows what the window must show after
// each of them.
class Session {
public:
    Session(Form1 &form, quint64 seed);

    // Runs one event and returns what it was.
    QString runEvent();
    // The first invariant the window breaks after the event, or an empty text.
    QString brokenInvariant() const;

    qint64 countsChecked() const { return m_countsChecked; }
    qint64 plotsChecked() const { return m_plotsChecked; }

private:
    // Where a scroll bar that the event moved must end: exactly at a value, or at least not on
    // the wrong side of where it was (direction 0: anywhere).
    struct BarMove {
        ScrollBar *bar = nullptr;
        int before = 0;
        int direction = 0;
        std::optional<int> exact;
    };

    QString clickButton();
    QString smallBarEvent();
    QString radiusBarEvent();
    QString heightBarEvent();
    QString onBar(ScrollBar *bar, BarAction action);
    QString dragThumb(ScrollBar *bar);
    QString pointerEvent();
    QString typeInto(QLineEdit *box);

    QPointF pointOver();
    QPointF pointAround();
    Qt::KeyboardModifiers randomModifiers();
    QWidget *widgetAt(QPointF canvasPosition) const;
    void sendPointer(QWidget *target, QEvent::Type type, QPointF canvasPosition,
                     Qt::MouseButton button, Qt::MouseButtons held,
                     Qt::KeyboardModifiers modifiers);

    QString barMoveProblem() const;
    QString redrawProblem() const;
    QString radiusProblem() const;
    QString text2Problem() const;
    QString coordinateProblem() const;
    QString lineProblem() const;
    QString searchProblem() const;
    QString plotProblem(double d) const;
    QString readoutProblem() const;

    Form1 &m_form;
    Random m_random;
    QList<Entry> m_texts;
    Canvas *m_canvas;
    Canvas *m_info;
    TextArea *m_infoText;
    LineItem *m_line4;
    LineItem *m_line5;
    QLineEdit *m_text1;
    QLineEdit *m_text2;
    QLineEdit *m_count;
    QLineEdit *m_radiusText;
    ScrollBar *m_radius;
    ScrollBar *m_height;
    QList<QPushButton *> m_buttons;
    std::array<ScrollBar *, 4> m_pointBars;
    std::array<QLineEdit *, 4> m_pointBoxes;

    // What the user did that the window must remember.
    bool m_radiusMoved = false;
    std::array<bool, 4> m_typed{};
    std::array<QString, 4> m_typedText;
    QString m_deviationText;

    // The state before the present event, and what the event did.
    Form1::Counters m_before;
    QString m_countBefore;
    bool m_text2Edited = false;
    bool m_parameterMoved = false;    // the radius or the height took a new value
    bool m_halfClicked = false;       // "Tripel anzeigen" or "cls" was clicked
    std::optional<QPointF> m_pointer; // the world point of the last move the canvas got
    std::optional<BarMove> m_barMove;

    // How often the count and the plot were checked after a search.
    mutable qint64 m_countsChecked = 0;
    mutable qint64 m_plotsChecked = 0;
};

Session::Session(Form1 &form, quint64 seed)
    : m_form(form), m_random(seed), m_texts(hostileTexts()),
      m_canvas(control<Canvas>(form, "picAusgabe")), m_info(control<Canvas>(form, "picInfo")),
      m_infoText(control<TextArea>(form, "txtInfo")), m_line4(control<LineItem>(form, "Line4")),
      m_line5(control<LineItem>(form, "Line5")), m_text1(control<QLineEdit>(form, "Text1")),
      m_text2(control<QLineEdit>(form, "Text2")), m_count(control<QLineEdit>(form, "txtAnzahl")),
      m_radiusText(control<QLineEdit>(form, "txtRadius")),
      m_radius(control<ScrollBar>(form, "hscRadius")),
      m_height(control<ScrollBar>(form, "vscBildschirm")),
      m_buttons({control<QPushButton>(form, "Command1"), control<QPushButton>(form, "Command2"),
                 control<QPushButton>(form, "Command3"), control<QPushButton>(form, "Command4")}),
      m_pointBars({control<ScrollBar>(form, "hscX1"), control<ScrollBar>(form, "hscY1"),
                   control<ScrollBar>(form, "hscX2"), control<ScrollBar>(form, "hscY2")}),
      m_pointBoxes({control<QLineEdit>(form, "txtX1"), control<QLineEdit>(form, "txtY1"),
                    control<QLineEdit>(form, "txtX2"), control<QLineEdit>(form, "txtY2")}),
      m_deviationText(m_text1->text()), m_before(form.counters()), m_countBefore(m_count->text()) {
    QObject::connect(m_radius, &QAbstractSlider::valueChanged, m_radius,
                     [this] { m_radiusMoved = m_parameterMoved = true; });
    QObject::connect(m_height, &QAbstractSlider::valueChanged, m_height,
                     [this] { m_parameterMoved = true; });
    for (std::size_t k = 0; k < m_pointBars.size(); ++k)
        QObject::connect(m_pointBars[k], &QAbstractSlider::valueChanged, m_pointBars[k],
                         [this, k] { m_typed[k] = false; });
}

QString Session::runEvent() {
    m_before = m_form.counters();
    m_countBefore = m_count->text();
    m_text2Edited = false;
    m_parameterMoved = false;
    m_halfClicked = false;
    m_pointer.reset();
    m_barMove.reset();
    const int roll = m_random.below(1000);
    if (roll < 60)
        return clickButton();
    if (roll < 250)
        return smallBarEvent();
    if (roll < 350)
        return radiusBarEvent();
    if (roll < 430)
        return heightBarEvent();
    if (roll < 850)
        return pointerEvent();
    if (roll < 920)
        return typeInto(m_text1);
    if (roll < 970)
        return typeInto(m_text2);
    return typeInto(m_pointBoxes[static_cast<std::size_t>(m_random.below(4))]);
}

// ---------------------------------------------------------------------------------------------
// The events

QString Session::clickButton() {
    QPushButton *button = m_buttons[m_random.below(static_cast<int>(m_buttons.size()))];
    const double d = Conv::Val(m_text1->text());
    QTest::mouseClick(button, Qt::LeftButton);
    m_halfClicked = button->objectName() == QLatin1String("Command1") ||
                    button->objectName() == QLatin1String("Command2");
    if (button->objectName() == QLatin1String("Command3"))
        m_deviationText = Conv::Str(d + 1.0);
    else if (button->objectName() == QLatin1String("Command4"))
        m_deviationText = Conv::Str(d - 1.0);
    return QStringLiteral("click %1").arg(button->objectName());
}

QString Session::smallBarEvent() {
    ScrollBar *bar = m_pointBars[static_cast<std::size_t>(m_random.below(4))];
    return onBar(bar, static_cast<BarAction>(m_random.below(barActions)));
}

QString Session::radiusBarEvent() {
    return onBar(m_radius, static_cast<BarAction>(m_random.below(barActions)));
}

// The compression bar stays near its maximum most of the time, so that most searches run at the
// full height where the plot is checked cell by cell: single steps by arrows, track and keys,
// now and then a jump to an end or a drag, and a way back to the maximum soon after.
QString Session::heightBarEvent() {
    const QuietWarnings quiet;
    if (m_height->value() != fullHeight && m_random.percent(75)) {
        if (m_random.percent(50))
            return onBar(m_height, BarAction::KeyEnd);
        m_barMove = BarMove{m_height, m_height->value(), 1, fullHeight};
        m_height->setValue(fullHeight);
        return QStringLiteral("vscBildschirm set to %1 by the program").arg(fullHeight);
    }
    const int roll = m_random.below(100);
    if (roll < 4)
        return onBar(m_height, BarAction::KeyHome);
    if (roll < 8)
        return onBar(m_height, BarAction::Drag);
    if (roll < 16)
        return onBar(m_height, BarAction::KeyEnd);
    // Everything else is a single step.
    static constexpr std::array steps = {
        BarAction::ArrowAdd, BarAction::ArrowSub,  BarAction::TrackAdd,   BarAction::TrackSub,
        BarAction::KeyLeft,  BarAction::KeyRight,  BarAction::KeyUp,      BarAction::KeyDown,
        BarAction::KeyUp,    BarAction::KeyPageUp, BarAction::KeyPageDown};
    return onBar(m_height, steps[static_cast<std::size_t>(m_random.below(steps.size()))]);
}

QString Session::onBar(ScrollBar *bar, BarAction action) {
    const QString what = QStringLiteral("%1 %2 at %3")
                             .arg(bar->objectName(), QLatin1String(actionName(action)))
                             .arg(bar->value());
    BarMove move{bar, bar->value(), directionOf(action), std::nullopt};
    if (action == BarAction::KeyHome)
        move.exact = bar->minimum();
    else if (action == BarAction::KeyEnd)
        move.exact = bar->maximum();
    else if (action != BarAction::Drag) // every bar steps by 1, by arrow, track and key alike
        move.exact = std::clamp(move.before + move.direction, bar->minimum(), bar->maximum());
    m_barMove = move;
    QStyle::SubControl part = QStyle::SC_None;
    switch (action) {
    case BarAction::ArrowAdd:
        part = QStyle::SC_ScrollBarAddLine;
        break;
    case BarAction::ArrowSub:
        part = QStyle::SC_ScrollBarSubLine;
        break;
    case BarAction::TrackAdd:
        part = QStyle::SC_ScrollBarAddPage;
        break;
    case BarAction::TrackSub:
        part = QStyle::SC_ScrollBarSubPage;
        break;
    case BarAction::Drag:
        return what + dragThumb(bar);
    default:
        bar->setFocus(Qt::TabFocusReason);
        QTest::keyClick(bar, keyOf(action));
        return what;
    }
    const QRect rect = partRect(bar, part);
    if (rect.isEmpty()) { // the thumb fills the track up to the arrow: nothing to click
        m_barMove.reset();
        return what + QStringLiteral(" (no such part)");
    }
    QTest::mouseClick(bar, Qt::LeftButton, randomModifiers(), rect.center());
    return what;
}

// Presses the thumb, moves it along (and now and then across) the bar, past both ends at
// times, and lets go at the last point.
QString Session::dragThumb(ScrollBar *bar) {
    const bool horizontal = bar->orientation() == Qt::Horizontal;
    const int length = horizontal ? bar->width() : bar->height();
    const QPoint start = thumbRect(bar).center();
    QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, start);
    QString path;
    QPoint at = start;
    const int moves = 1 + m_random.below(5);
    for (int n = 0; n < moves; ++n) {
        const int along = static_cast<int>(m_random.between(-1.3 * length, 1.3 * length));
        const int across = m_random.percent(15) ? m_random.below(81) - 40 : 0;
        at = start + (horizontal ? QPoint(along, across) : QPoint(across, along));
        QMouseEvent move(QEvent::MouseMove, at, bar->mapToGlobal(at), Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(bar, &move);
        path += QStringLiteral(" (%1, %2)").arg(at.x() - start.x()).arg(at.y() - start.y());
    }
    QTest::mouseRelease(bar, Qt::LeftButton, Qt::NoModifier, at);
    const int along = horizontal ? at.x() - start.x() : at.y() - start.y();
    // Back where it was pressed, the thumb may rest a value off its start on a bar with more
    // values than pixels; either way is right then.
    m_barMove = BarMove{bar, m_barMove ? m_barMove->before : bar->value(),
                        along > 0   ? 1
                        : along < 0 ? -1
                                    : 0,
                        std::nullopt};
    return QStringLiteral(" by") + path;
}

// A point over the canvas, in its logical pixels: anywhere, or on one of the places where the
// readout or the click guard changes its mind.
QPointF Session::pointOver() {
    if (m_random.percent(20)) {
        static constexpr std::array edges = {-0.001f, 0.0f,   0.001f,  50.5f,   100.999f,
                                             101.0f,  102.0f, 102.01f, 114.99f, -4.99f};
        const float x = edges[static_cast<std::size_t>(m_random.below(edges.size()))];
        const float y = edges[static_cast<std::size_t>(m_random.below(edges.size()))];
        return m_canvas->worldToPixel(QPointF(x, y));
    }
    return {m_random.between(0, m_canvas->width()), m_random.between(0, m_canvas->height())};
}

// A point for a pointer that holds a button: over the canvas, beside it, or far away.
QPointF Session::pointAround() {
    const double w = m_canvas->width();
    const double h = m_canvas->height();
    const int roll = m_random.below(100);
    if (roll < 30)
        return pointOver();
    if (roll < 90)
        return {m_random.between(-w, 2 * w), m_random.between(-h - 50, 2 * h + 50)};
    return {m_random.between(-4000, 4000), m_random.between(-4000, 4000)};
}

Qt::KeyboardModifiers Session::randomModifiers() {
    if (m_random.percent(85))
        return Qt::NoModifier;
    static constexpr std::array<Qt::KeyboardModifier, 3> keys = {
        Qt::ShiftModifier, Qt::ControlModifier, Qt::AltModifier};
    Qt::KeyboardModifiers held;
    for (const Qt::KeyboardModifier key : keys)
        if (m_random.percent(50))
            held |= key;
    return held;
}

// The control a pointer at this place of the canvas reaches: one inside the canvas, or the
// canvas itself.
QWidget *Session::widgetAt(QPointF canvasPosition) const {
    const QPoint pixel(static_cast<int>(std::floor(canvasPosition.x())),
                       static_cast<int>(std::floor(canvasPosition.y())));
    QWidget *child = m_canvas->childAt(pixel);
    return child != nullptr ? child : m_canvas;
}

void Session::sendPointer(QWidget *target, QEvent::Type type, QPointF canvasPosition,
                          Qt::MouseButton button, Qt::MouseButtons held,
                          Qt::KeyboardModifiers modifiers) {
    const QPointF local =
        target == m_canvas ? canvasPosition : target->mapFrom(m_canvas, canvasPosition);
    QMouseEvent event(type, local, m_canvas->mapToGlobal(canvasPosition), button, held, modifiers);
    QCoreApplication::sendEvent(target, &event);
    if (type == QEvent::MouseMove)
        m_pointer = target == m_canvas
                        ? std::optional<QPointF>(m_canvas->pixelToWorld(canvasPosition))
                        : std::nullopt;
}

// A move, a click, or a press, moves with the button held (past the canvas's edges, where the
// control that got the press keeps the pointer) and a release.
QString Session::pointerEvent() {
    const QPointF start = pointOver();
    QWidget *target = widgetAt(start);
    const QString where =
        QStringLiteral("%1 world %2 on %3")
            .arg(pointText(start), pointText(m_canvas->pixelToWorld(start)), target->objectName());
    const Qt::KeyboardModifiers modifiers = randomModifiers();
    sendPointer(target, QEvent::MouseMove, start, Qt::NoButton, Qt::NoButton, modifiers);
    const int roll = m_random.below(100);
    if (roll < 55)
        return QStringLiteral("pointer move to ") + where;

    const int which = m_random.below(100);
    const Qt::MouseButton button = which < 45   ? Qt::LeftButton
                                   : which < 85 ? Qt::RightButton
                                                : Qt::MiddleButton;
    const QString name = button == Qt::LeftButton    ? QStringLiteral("left")
                         : button == Qt::RightButton ? QStringLiteral("right")
                                                     : QStringLiteral("middle");
    // The press may have moved or hidden what lay under the pointer; the grab stays.
    const QPointer<QWidget> grab(target);
    sendPointer(target, QEvent::MouseButtonPress, start, button, button, modifiers);
    QPointF at = start;
    QString path;
    if (roll >= 80) {
        const int moves = 1 + m_random.below(5);
        for (int n = 0; n < moves && !grab.isNull(); ++n) {
            at = pointAround();
            sendPointer(target, QEvent::MouseMove, at, Qt::NoButton, button, modifiers);
            path += QLatin1Char(' ') + pointText(m_canvas->pixelToWorld(at));
        }
    }
    if (!grab.isNull())
        sendPointer(target, QEvent::MouseButtonRelease, at, button, Qt::NoButton, modifiers);
    if (path.isEmpty())
        return QStringLiteral("%1 click at %2").arg(name, where);
    return QStringLiteral("%1 drag from %2 through%3").arg(name, where, path);
}

QString Session::typeInto(QLineEdit *box) {
    const Entry &entry = m_random.pick(m_texts);
    box->setFocus(Qt::MouseFocusReason);
    if (entry.pasted) {
        box->setText(entry.text);
    } else {
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        if (entry.text.isEmpty())
            QTest::keyClick(box, Qt::Key_Backspace);
        else
            typeKeys(box, entry.text);
    }
    if (box == m_text1) {
        m_deviationText = box->text();
    } else if (box == m_text2) {
        m_text2Edited = true;
    } else {
        for (std::size_t k = 0; k < m_pointBoxes.size(); ++k)
            if (m_pointBoxes[k] == box) {
                m_typed[k] = true;
                m_typedText[k] = box->text();
            }
    }
    return QStringLiteral("%1 %2 into %3")
        .arg(entry.pasted ? QStringLiteral("paste") : QStringLiteral("type"), shown(entry.text),
             box->objectName());
}

// ---------------------------------------------------------------------------------------------
// The invariants

QString Session::brokenInvariant() const {
    if (!m_form.isVisible())
        return QStringLiteral("the window is gone");
    for (const QString &problem :
         {barMoveProblem(), redrawProblem(), radiusProblem(), text2Problem(), coordinateProblem(),
          lineProblem(), searchProblem(), readoutProblem()})
        if (!problem.isEmpty())
            return problem;
    if (m_text1->text() != m_deviationText)
        return QStringLiteral("Text1 shows %1 instead of %2")
            .arg(shown(m_text1->text()), shown(m_deviationText));
    const int canvasHeight = static_cast<int>(std::lround(m_height->value() / 15.0));
    if (m_canvas->height() != canvasHeight)
        return QStringLiteral("the canvas is %1 pixels high for vscBildschirm at %2")
            .arg(m_canvas->height())
            .arg(m_height->value());
    for (ScrollBar *bar :
         {m_radius, m_height, m_pointBars[0], m_pointBars[1], m_pointBars[2], m_pointBars[3]})
        if (bar->isSliderDown() || bar->sliderPosition() != bar->value())
            return QStringLiteral("the thumb of %1 rests at %2 for the value %3")
                .arg(bar->objectName())
                .arg(bar->sliderPosition())
                .arg(bar->value());
    return {};
}

// A step lands on its value, a drag never ends on the far side of where it began. A radius of
// 140 or more comes back as 0.
QString Session::barMoveProblem() const {
    if (!m_barMove)
        return {};
    const BarMove &move = *m_barMove;
    const int value = move.bar->value();
    const bool reset = move.bar == m_radius && value == 0;
    QString expected;
    if (move.exact) {
        const int exact = move.bar == m_radius && *move.exact >= 140 ? 0 : *move.exact;
        if (value != exact)
            expected = QString::number(exact);
    } else if (move.direction > 0 ? value < move.before && !reset
                                  : move.direction < 0 && value > move.before) {
        expected = move.direction > 0 ? QStringLiteral("at least %1").arg(move.before)
                                      : QStringLiteral("at most %1").arg(move.before);
    }
    if (expected.isEmpty())
        return {};
    return QStringLiteral("%1 went from %2 to %3; %4 expected")
        .arg(move.bar->objectName())
        .arg(move.before)
        .arg(value)
        .arg(expected);
}

// A new radius or height redraws the plot (clear half and search half); nothing else but the
// two buttons of the halves draws it.
QString Session::redrawProblem() const {
    const Form1::Counters &now = m_form.counters();
    const int clears = now.clears - m_before.clears;
    const int searches = now.searches - m_before.searches;
    if (m_parameterMoved && (clears == 0 || searches == 0))
        return QStringLiteral("a new radius or height ran %1 clears and %2 searches")
            .arg(clears)
            .arg(searches);
    if (!m_parameterMoved && !m_halfClicked && (clears != 0 || searches != 0))
        return QStringLiteral("%1 clears and %2 searches ran without a new radius or height")
            .arg(clears)
            .arg(searches);
    return {};
}

QString Session::radiusProblem() const {
    const int r = m_radius->value();
    if (r < 0 || r > 139)
        return QStringLiteral("the radius rests at %1").arg(r);
    const QString expected = m_radiusMoved ? Conv::Str(r) : QStringLiteral("25");
    if (m_radiusText->text() != expected)
        return QStringLiteral("txtRadius shows %1 for the radius %2")
            .arg(shown(m_radiusText->text()))
            .arg(r);
    return {};
}

// The radius label shows the plain digits of the radius after every drawing of the frame; what
// the user typed stays only while its number is the present radius (or, emptied, while the
// radius is 0).
QString Session::text2Problem() const {
    const int r = m_radius->value();
    const QString text = m_text2->text();
    const Form1::Counters &now = m_form.counters();
    const bool drawn = now.clears != m_before.clears || now.searches != m_before.searches;
    if (text == Conv::wholeNumberText(r))
        return {};
    if (drawn && !m_text2Edited)
        return QStringLiteral("Text2 shows %1 after a redraw for the radius %2")
            .arg(shown(text))
            .arg(r);
    if (text.isEmpty() && r == 0)
        return {};
    const double v = Conv::Val(text);
    if (!text.isEmpty() && v >= 0 && v < 140 && Conv::CInt(v) == r)
        return {};
    return QStringLiteral("Text2 shows %1 for the radius %2").arg(shown(text)).arg(r);
}

QString Session::coordinateProblem() const {
    for (std::size_t k = 0; k < m_pointBoxes.size(); ++k) {
        const QString expected =
            m_typed[k] ? m_typedText[k] : Conv::wholeNumberText(m_pointBars[k]->value());
        if (m_pointBoxes[k]->text() != expected)
            return QStringLiteral("%1 shows %2 instead of %3 (%4 at %5)")
                .arg(m_pointBoxes[k]->objectName(), shown(m_pointBoxes[k]->text()), shown(expected),
                     m_pointBars[k]->objectName())
                .arg(m_pointBars[k]->value());
    }
    return {};
}

QString Session::lineProblem() const {
    const float x1 = m_pointBars[0]->value() + 0.5f;
    const float y1 = m_pointBars[1]->value() + 0.5f;
    const float x2 = m_pointBars[2]->value() + 0.5f;
    const float y2 = m_pointBars[3]->value() + 0.5f;
    const auto sits = [this](const LineItem *line, float ax, float ay, float bx, float by) {
        return line->x1() == ax && line->y1() == ay && line->x2() == bx && line->y2() == by &&
               line->pixelStart() == m_canvas->lineDevicePixel(QPointF(ax, ay)) &&
               line->pixelEnd() == m_canvas->lineDevicePixel(QPointF(bx, by));
    };
    const auto describe = [](const LineItem *line) {
        return QStringLiteral("%1 (%2, %3)-(%4, %5)")
            .arg(line->objectName())
            .arg(line->x1())
            .arg(line->y1())
            .arg(line->x2())
            .arg(line->y2());
    };
    const QString points = QStringLiteral(" for the points (%1, %2) and (%3, %4)")
                               .arg(x1 - 0.5f)
                               .arg(y1 - 0.5f)
                               .arg(x2 - 0.5f)
                               .arg(y2 - 0.5f);
    if (!sits(m_line4, x1, y1, x2, y2))
        return describe(m_line4) + points;
    if (!sits(m_line5, y1, x1, y2, x2))
        return describe(m_line5) + points;
    if (m_canvas->lineItems().isEmpty() || m_canvas->lineItems().last() != m_line4)
        return QStringLiteral("Line4 lies beneath its mirror");
    return {};
}

// After a search the count is that of the search done here; without one it stays.
QString Session::searchProblem() const {
    if (m_form.counters().searches == m_before.searches) {
        if (m_count->text() != m_countBefore)
            return QStringLiteral("txtAnzahl changed from %1 to %2 without a search")
                .arg(shown(m_countBefore), shown(m_count->text()));
        return {};
    }
    ++m_countsChecked;
    const double d = Conv::Val(m_text1->text());
    const QString expected = Conv::Str(solutionCount(d));
    if (m_count->text() != expected)
        return QStringLiteral("txtAnzahl shows %1 after a search for the deviation %2; %3 expected")
            .arg(shown(m_count->text()), Conv::Str(d), shown(expected));
    if (m_height->value() == fullHeight) {
        ++m_plotsChecked;
        return plotProblem(d);
    }
    return {};
}

// Every cell of the plot away from the radius circle shows the mark of its pair or none.
QString Session::plotProblem(double d) const {
    const double circle = m_radius->value() + 0.5;
    for (int x = 1; x <= 100; ++x)
        for (int y = 1; y <= 100; ++y) {
            if (circle >= std::hypot(x, y) - 1.5 && circle <= std::hypot(x + 1, y + 1) + 1.5)
                continue;
            const QRgb expected = !isSolution(x, y, d) ? white
                                  : x == y             ? markBlack
                                  : x < y              ? markBlue
                                                       : markRed;
            const QRgb seen = cellColour(*m_canvas, x, y);
            if (seen != expected)
                return QStringLiteral("the cell (%1, %2) shows %3 after a search for the "
                                      "deviation %4 with the radius %5; %6 expected")
                    .arg(x)
                    .arg(y)
                    .arg(colourName(seen), Conv::Str(d))
                    .arg(m_radius->value())
                    .arg(colourName(expected));
        }
    return {};
}

// After a move the canvas itself got: the preview shows exactly while the pointer is within
// 0..102 on both axes, and reads the cell's coordinates or, for a solution, its equation.
QString Session::readoutProblem() const {
    if (!m_pointer)
        return {};
    const double x = m_pointer->x();
    const double y = m_pointer->y();
    const bool inside = x >= 0 && x <= 102 && y >= 0 && y <= 102;
    if (m_info->isVisible() != inside || m_infoText->isVisible() != inside)
        return QStringLiteral("the preview is %1 for the pointer at %2")
            .arg(m_info->isVisible() ? QStringLiteral("shown") : QStringLiteral("hidden"),
                 pointText(*m_pointer));
    const int i = static_cast<int>(std::floor(static_cast<float>(x)));
    const int j = static_cast<int>(std::floor(static_cast<float>(y)));
    const double d = Conv::Val(m_text1->text());
    const double z2 = static_cast<double>(i) * i + static_cast<double>(j) * j - d;
    const bool solution = z2 >= 0 && std::sqrt(z2) == std::floor(std::sqrt(z2));
    const QString coordinates = Conv::Str(i) + QLatin1Char(',') + Conv::Str(j);
    const QString equation = Conv::Str(i) + QStringLiteral(" Quadrat +") + Conv::Str(j) +
                             QStringLiteral(" Quadrat\r\n = ");
    const QString text = m_infoText->text();
    if (solution ? !text.startsWith(equation) : text != coordinates)
        return QStringLiteral("the readout shows %1 for the cell (%2, %3) and the deviation %4")
            .arg(shown(text))
            .arg(i)
            .arg(j)
            .arg(Conv::Str(d));
    return {};
}

quint64 seedFromEnvironment() {
    bool ok = false;
    const quint64 seed = qEnvironmentVariable("ZAHLENLUPE_SEED").toULongLong(&ok);
    return ok ? seed : defaultSeed;
}

qint64 eventsFromEnvironment() {
    bool ok = false;
    const qint64 events = qEnvironmentVariable("ZAHLENLUPE_EVENTS").toLongLong(&ok);
    return ok && events >= 0 ? events : defaultEvents;
}

} // namespace

class TestRandom : public QObject {
    Q_OBJECT

private slots:
    void randomUserEvents();
};

void TestRandom::randomUserEvents() {
    const quint64 seed = seedFromEnvironment();
    const qint64 events = eventsFromEnvironment();
    const bool trace = qEnvironmentVariableIntValue("ZAHLENLUPE_TRACE") != 0;
    qInfo("seed %llu, %lld events", static_cast<unsigned long long>(seed),
          static_cast<long long>(events));

    Form1 form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    Session session(form, seed);
    const QString atStart = session.brokenInvariant();
    QVERIFY2(atStart.isEmpty(), qPrintable(atStart));

    QStringList recent;
    QElapsedTimer clock;
    clock.start();
    qint64 done = 0;
    for (; done < events; ++done) {
        if (trace)
            qInfo("event %lld ...", static_cast<long long>(done));
        const QString event = session.runEvent();
        if (trace)
            qInfo("event %lld: %s", static_cast<long long>(done), qPrintable(event));
        recent.append(QStringLiteral("  %1: %2").arg(done).arg(event));
        if (recent.size() > eventsRemembered)
            recent.removeFirst();
        // Between two user events the window gets its paint and other posted events.
        QCoreApplication::processEvents();
        const QString broken = session.brokenInvariant();
        if (!broken.isEmpty())
            QFAIL(qPrintable(QStringLiteral("seed %1, event %2: %3\nlast events:\n%4")
                                 .arg(seed)
                                 .arg(done)
                                 .arg(broken, recent.join(QLatin1Char('\n')))));
    }
    qInfo("%lld events run in %lld ms; %lld searches checked, %lld of them cell by cell",
          static_cast<long long>(done), static_cast<long long>(clock.elapsed()),
          static_cast<long long>(session.countsChecked()),
          static_cast<long long>(session.plotsChecked()));
}

QTEST_MAIN(TestRandom)
#include "tst_random.moc"
