// A long, seeded run of random user events against the shown main window: clicks, double clicks,
// Space and Enter on all six buttons (the information box is closed again, and a quit is held back
// so that the run goes on), every way of moving the six scroll bars, the wheel, Tab, moves over
// the whole window, clicks, drags and two held buttons over the plot, hostile texts and odd
// spellings of numbers typed, pasted (as a whole and through the clipboard), edited in the middle
// and undone in every text box, and the window minimised, maximised and resized.
// After every event the window must still be consistent:
//  - a scroll bar moved by an arrow, the track or a key lands one step on (Home and End: at its
//    end), a dragged thumb never ends on the far side of where it was pressed, and the wheel
//    moves it a few steps its way;
//  - a new radius or height redraws the plot, nothing else but the two redraw buttons draws on it;
//  - the radius at rest lies in 0..139 and both radius texts show it; the radius label shows the
//    radius after every redraw, and otherwise only another form of it that the user typed;
//  - each coordinate box shows its scroll bar, unless the user typed into it since the bar last
//    changed (then it keeps what was typed); a press on the plot sets the point of its button;
//  - the segment and its mirror sit on the centres of the cells of the two points;
//  - the deviation text changes only by the user and by the "+1" and "-1" buttons, which step
//    its number by one; an edit in the middle of a text gives the text with the edit;
//  - the read-only count box never takes an edit;
//  - after a search, the count is that of a search done here with whole numbers, and at the full
//    canvas height every cell of the plot away from the radius circle shows its mark or none;
//    after "cls" no cell shows a mark; without a search the count stays;
//  - after a move over the canvas, the preview shows exactly inside 0..102 and reads the cell's
//    coordinates, or its equation for a solution;
//  - the help line shows the text of the last control the pointer moved over;
//  - every click on "i" shows the information box once, every quit asks the window to close once,
//    and the window keeps its height for the canvas whenever it is neither minimised nor
//    maximised.
// The numbers the test expects come from its own reading of the texts (readNumber), not from the
// program's.
//
// ZAHLENLUPE_EVENTS sets the number of events (2500), ZAHLENLUPE_SEED the seed (without it every
// run draws a fresh one and prints it), and ZAHLENLUPE_TRACE=1 prints each event before it runs,
// to find the event that stops the program. A failure prints the command that repeats it.
#include "testsupport.h"

#include "results/windowkeys.h"

#include "canvas/canvas.h"
#include "canvas/lineitem.h"
#include "window/form1.h"
#include "window/scrollbar.h"
#include "window/textarea.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <functional>
#include <limits>
#include <optional>
#include <random>

using namespace TestSupport;

namespace {

constexpr qint64 defaultEvents = 2500;
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
        // Spellings of numbers that other readers take and this program must not, or the other
        // way round, and the ends of the double range.
        {QStringLiteral("NaN"), false},
        {QStringLiteral("-nan"), true},
        {QStringLiteral("inf"), false},
        {QStringLiteral("-Infinity"), false},
        {QStringLiteral("1.#INF"), false},
        {QStringLiteral("1e309"), false},
        {QStringLiteral("1.797e308"), false},
        {QStringLiteral("-1.797e308"), false},
        {QStringLiteral("-1.7976931348623157E+308"), true},
        {QStringLiteral("1.7976931348623159e308"), false},
        {QStringLiteral("4.9e-324"), false},
        {QStringLiteral("-2.2250738585072014e-308"), true},
        {QStringLiteral("1e-310"), false},
        {QStringLiteral("+5"), false},
        {QStringLiteral("1 2 3"), false},
        {QStringLiteral("- 4 2"), true},
        {QStringLiteral("1 e 3"), false},
        {QStringLiteral("1\n5"), true},
        {QStringLiteral(".5"), false},
        {QStringLiteral("5."), false},
        {QStringLiteral("-.5e1"), false},
        {QStringLiteral("7e"), false},
        {QStringLiteral("&h1F"), false},
        {QStringLiteral("&o19"), false},
        {QStringLiteral("&"), false},
        {QStringLiteral(u"\uff11\uff12"), false},
        {QStringLiteral("0x10"), false},
        {QStringLiteral("1,5e3"), false},
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

// The number at the start of a text, read by this test's own grammar for the program's number
// boxes: blanks, tabs and line feeds count for nothing wherever they stand; then a sign, digits
// with at most one point, and an exponent (E or e, a sign, digits); or &H or &O and hexadecimal
// or octal digits. Whatever does not fit ends the number, and a text without digits reads 0.
// Beyond the double range a number reads as the largest double of its sign, below it as 0.
double readNumber(const QString &text) {
    QString s;
    for (const QChar c : text)
        if (c != u' ' && c != u'\t' && c != u'\n')
            s += c;
    constexpr double largest = std::numeric_limits<double>::max();
    if (s.startsWith(u'&')) {
        const QChar prefix = s.size() > 1 ? s[1].toUpper() : QChar();
        const int base = prefix == u'H' ? 16 : prefix == u'O' ? 8 : 0;
        double value = 0;
        for (qsizetype k = 2; base != 0 && k < s.size(); ++k) {
            const auto digit = QStringView(u"0123456789ABCDEF").indexOf(s[k].toUpper());
            if (digit < 0 || digit >= base)
                break;
            value = std::min(value * base + static_cast<double>(digit), largest);
        }
        return value;
    }
    static const QRegularExpression number(
        QStringLiteral("^([+-]?)([0-9]*)(?:\\.([0-9]*))?(?:[eE]([+-]?[0-9]+))?"));
    const QRegularExpressionMatch match = number.match(s);
    const QString whole = match.captured(2);
    const QString digits = whole + match.captured(3);
    const auto first = digits.indexOf(QRegularExpression(QStringLiteral("[1-9]")));
    if (first < 0)
        return 0;
    qint64 exponent = 0;
    for (const QChar c : match.captured(4))
        if (c.isDigit() && exponent < 100000)
            exponent = exponent * 10 + c.digitValue();
    if (match.captured(4).startsWith(u'-'))
        exponent = -exponent;
    // The order of the leading digit: the number is 0.ddd times ten to it.
    const qint64 order = whole.size() - first + exponent;
    const bool negative = match.captured(1) == u"-";
    double value = 0;
    if (order > 400)
        value = largest;
    else if (order > -400)
        value = QStringLiteral("0.%1e%2").arg(digits.mid(first)).arg(order).toDouble();
    value = std::isfinite(value) ? value : largest;
    return negative ? -value : value;
}

// Whether x² + y² − d, formed in double precision, is a perfect square. Below 2^52 the double is
// a whole number or not, and its root is found in whole numbers. Beyond, the root taken in double
// precision decides: at that size the rounding of the double, not the arithmetic, makes squares
// (the deviation −1e20 marks every pair).
bool isSolution(int x, int y, double d) {
    const double z2 = static_cast<double>(x * x + y * y) - d;
    if (!(z2 >= 0))
        return false;
    if (z2 >= 0x1p52)
        return std::sqrt(z2) == std::floor(std::sqrt(z2));
    return z2 == std::floor(z2) && wholeRoot(static_cast<long long>(z2)).has_value();
}

int solutionCount(double d) {
    int count = 0;
    for (int x = 1; x <= 100; ++x)
        for (int y = 1; y <= 100; ++y)
            if (isSolution(x, y, d))
                ++count;
    return count;
}

// A whole number as the program writes it into its text boxes: a blank or '-' before the digits.
QString basicText(int n) { return (n < 0 ? QString() : QStringLiteral(" ")) + QString::number(n); }

// Whether a world coordinate lies so close to a whole number that the rounding of the pointer's
// position may put it on either side.
bool nearWhole(double v) { return std::abs(v - std::round(v)) < 1e-3; }

bool isPrintable(const QString &text) {
    return std::all_of(text.begin(), text.end(),
                       [](QChar c) { return c.unicode() >= 0x20 && c.unicode() != 0x7f; });
}

QString colourName(QRgb colour) {
    if (colour == mixed)
        return QStringLiteral("two colours");
    return QStringLiteral("#%1").arg(colour, 6, 16, QLatin1Char('0'));
}

// Holds back the uncategorised warnings while it lives. A change of the canvas height sets the
// window's height, and the offscreen platform of the test run answers every new size limit (and
// every change of the window's state) with a warning that it cannot pass it on to a window
// manager; so many of them would end the test's output before its summary.
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

// What the user does with the program's message boxes and with its end: closes each box as soon
// as it shows, in the way set beforehand (OK clicked, Escape, Enter, or the frame's close button),
// and holds back every close of the window, so that a quit leaves the window open and the run
// goes on. Counts both.
class Intercepts : public QObject {
public:
    explicit Intercepts(QWidget &form) : m_form(form) {
        qApp->installEventFilter(this);
        m_form.installEventFilter(this);
    }
    ~Intercepts() override { qApp->removeEventFilter(this); }
    Intercepts(const Intercepts &) = delete;
    Intercepts &operator=(const Intercepts &) = delete;

    void setCloseWay(int way) { m_way = way; }

    int infoBoxes = 0;
    int warnings = 0;
    int closed = 0; // boxes the user closed
    int closeRequests = 0;
    QString problem;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (watched == &m_form && event->type() == QEvent::Close) {
            ++closeRequests;
            event->ignore();
            return true;
        }
        auto *box = qobject_cast<QMessageBox *>(watched);
        if (box == nullptr || event->type() != QEvent::Show)
            return false;
        if (box->windowTitle() == QStringLiteral("Programmiert von")) {
            ++infoBoxes;
            if (box->icon() != QMessageBox::Information || box->buttons().size() != 1 ||
                box->button(QMessageBox::Ok) == nullptr)
                problem = QStringLiteral("the information box lacks its symbol or its one OK");
        } else {
            ++warnings;
        }
        // Closed from the box's own event loop, once it runs.
        QTimer::singleShot(0, box, [this, box] { close(box); });
        return false;
    }

private:
    void close(QMessageBox *box) {
        static constexpr std::array ways = {"OK", "Escape", "Enter", "close button"};
        switch (m_way) {
        case 0:
            if (QAbstractButton *ok = box->button(QMessageBox::Ok))
                QTest::mouseClick(ok, Qt::LeftButton);
            break;
        case 1:
            QTest::keyClick(box, Qt::Key_Escape);
            break;
        case 2:
            QTest::keyClick(box, Qt::Key_Return);
            break;
        default:
            box->close();
            break;
        }
        ++closed;
        if (box->isVisible()) {
            problem =
                QStringLiteral("%1 left the box \"%2\" open")
                    .arg(QLatin1String(ways[static_cast<std::size_t>(m_way)]), box->windowTitle());
            box->done(0);
        }
    }

    QWidget &m_form;
    int m_way = 0;
};

// One user at the window: makes the random events and knows what the window must show after
// each of them.
class Session {
public:
    Session(Form1 &form, Intercepts &intercepts, quint64 seed);

    // Runs one event and returns what it was.
    QString runEvent();
    // The first invariant the window breaks after the event, or an empty text.
    QString brokenInvariant();

    qint64 countsChecked() const { return m_countsChecked; }
    qint64 plotsChecked() const { return m_plotsChecked; }

private:
    // Where a scroll bar that the event moved must end: exactly at a value, or at least not on
    // the wrong side of where it was (direction 0: anywhere), and at most `reach` steps away.
    struct BarMove {
        ScrollBar *bar = nullptr;
        int before = 0;
        int direction = 0;
        std::optional<int> exact;
        std::optional<int> reach;
    };

    QString pressButton();
    void runPerhapsQuitting(bool quits, const std::function<void()> &action);
    QString smallBarEvent();
    QString radiusBarEvent();
    QString heightBarEvent();
    QString onBar(ScrollBar *bar, BarAction action);
    QString dragThumb(ScrollBar *bar);
    QString wheelEvent();
    QString keyEvent();
    QString pointerEvent();
    QString windowPointerEvent();
    QString editEvent();
    QString typeInto(QLineEdit *box);
    QString pasteFromClipboard(QLineEdit *box, const QString &text, bool whole);
    QString editInMiddle(QLineEdit *box);
    QString undoOrRedo(QLineEdit *box);
    QString windowStateEvent();

    QPointF pointOver();
    QPointF pointAround();
    Qt::KeyboardModifiers randomModifiers();
    QWidget *widgetAt(QPointF canvasPosition) const;
    std::optional<QPointF> worldOf(QPointF canvasPosition) const;
    void sendPointer(QWidget *target, QEvent::Type type, QPointF canvasPosition,
                     Qt::MouseButton button, Qt::MouseButtons held,
                     Qt::KeyboardModifiers modifiers);
    int placeCursor(QLineEdit *box);
    void expectEdit(QLineEdit *box, const QString &before, std::optional<QString> expected);
    void acceptUserText(QLineEdit *box);

    QString barMoveProblem() const;
    bool redraws() const;
    QString redrawProblem() const;
    QString radiusProblem() const;
    QString text2Problem() const;
    QString coordinateProblem() const;
    QString segmentProblem() const;
    QString lineProblem() const;
    QString deviationProblem();
    QString buttonProblem() const;
    QString windowProblem() const;
    QString searchProblem() const;
    QString plotProblem(std::optional<double> d) const;
    QString readoutProblem() const;

    Form1 &m_form;
    Intercepts &m_intercepts;
    Random m_random;
    QList<Entry> m_texts;
    QTemporaryDir m_folder;
    Canvas *m_canvas;
    Canvas *m_info;
    TextArea *m_infoText;
    LineItem *m_line4;
    LineItem *m_line5;
    QLineEdit *m_text1;
    QLineEdit *m_text2;
    QLineEdit *m_count;
    QLineEdit *m_radiusText;
    QLineEdit *m_help;
    ScrollBar *m_radius;
    ScrollBar *m_height;
    std::array<QPushButton *, 6> m_buttons;
    std::array<ScrollBar *, 4> m_pointBars;
    std::array<QLineEdit *, 4> m_pointBoxes;

    // What the user did that the window must remember.
    bool m_radiusMoved = false;
    std::optional<QString> m_radiusTyped; // typed into txtRadius since the radius last changed
    std::array<bool, 4> m_typed{};
    std::array<QString, 4> m_typedText;
    QString m_deviationText;
    QString m_helpText = QStringLiteral("Text3");
    // The height the window must have in its normal state: its design height, then what each
    // height change gives it. Once the window was minimised, maximised or resized, the window
    // system has its own say in it (the offscreen one keeps a height from before), and the
    // height is no longer checked.
    std::optional<int> m_windowHeight;

    // The state before the present event, and what the event did.
    QImage m_plotBefore;
    QString m_countBefore;
    bool m_text2Edited = false;
    bool m_parameterMoved = false;    // the radius or the height took a new value
    std::optional<QPointF> m_pointer; // the world point of the last move the canvas got
    std::optional<BarMove> m_barMove;
    std::array<int, 6> m_clicks{};       // clicks on each button in this event
    std::optional<int> m_expectedClicks; // on m_pressed, when the event is a press
    QPushButton *m_pressed = nullptr;    // the button the event pressed
    int m_quits = 0;                     // quits asked for other than by Command6
    std::optional<int> m_exitStatus;     // of the event loop an action quit
    int m_infoBoxesBefore = 0;
    int m_closeRequestsBefore = 0;
    std::array<std::optional<QPoint>, 2> m_segmentPress; // the cells of the two points pressed
    bool m_segmentUnsure = false;                        // a press too close to a cell edge
    QString m_editProblem;

    // How often the count and the plot were checked after a search.
    mutable qint64 m_countsChecked = 0;
    mutable qint64 m_plotsChecked = 0;
};

Session::Session(Form1 &form, Intercepts &intercepts, quint64 seed)
    : m_form(form), m_intercepts(intercepts), m_random(seed), m_texts(hostileTexts()),
      m_canvas(control<Canvas>(form, "picAusgabe")), m_info(control<Canvas>(form, "picInfo")),
      m_infoText(control<TextArea>(form, "txtInfo")), m_line4(control<LineItem>(form, "Line4")),
      m_line5(control<LineItem>(form, "Line5")), m_text1(control<QLineEdit>(form, "Text1")),
      m_text2(control<QLineEdit>(form, "Text2")), m_count(control<QLineEdit>(form, "txtAnzahl")),
      m_radiusText(control<QLineEdit>(form, "txtRadius")),
      m_help(control<QLineEdit>(form, "txtHilfe")), m_radius(control<ScrollBar>(form, "hscRadius")),
      m_height(control<ScrollBar>(form, "vscBildschirm")),
      m_buttons({control<QPushButton>(form, "Command1"), control<QPushButton>(form, "Command2"),
                 control<QPushButton>(form, "Command3"), control<QPushButton>(form, "Command4"),
                 control<QPushButton>(form, "Command5"), control<QPushButton>(form, "Command6")}),
      m_pointBars({control<ScrollBar>(form, "hscX1"), control<ScrollBar>(form, "hscY1"),
                   control<ScrollBar>(form, "hscX2"), control<ScrollBar>(form, "hscY2")}),
      m_pointBoxes({control<QLineEdit>(form, "txtX1"), control<QLineEdit>(form, "txtY1"),
                    control<QLineEdit>(form, "txtX2"), control<QLineEdit>(form, "txtY2")}),
      m_deviationText(m_text1->text()), m_windowHeight(form.height()),
      m_plotBefore(m_canvas->image()), m_countBefore(m_count->text()) {
    QObject::connect(m_radius, &QAbstractSlider::valueChanged, m_radius, [this] {
        m_radiusMoved = m_parameterMoved = true;
        m_radiusTyped.reset();
    });
    QObject::connect(m_height, &QAbstractSlider::valueChanged, m_height, [this](int value) {
        m_parameterMoved = true;
        // The window follows the canvas: h + 1452 twips with its frame.
        if (m_windowHeight)
            m_windowHeight = static_cast<int>(std::lround((value + 1452) / 15.0)) -
                             (m_form.frameGeometry().height() - m_form.geometry().height());
    });
    for (std::size_t k = 0; k < m_pointBars.size(); ++k)
        QObject::connect(m_pointBars[k], &QAbstractSlider::valueChanged, m_pointBars[k],
                         [this, k] { m_typed[k] = false; });
    for (std::size_t k = 0; k < m_buttons.size(); ++k)
        QObject::connect(m_buttons[k], &QPushButton::clicked, m_buttons[k],
                         [this, k] { ++m_clicks[k]; });
    // Ctrl+S saves into a folder that is not there, and gets a warning box.
    (new WindowKeys(m_form))
        ->setFileChooser([this](const QString &, const QString &, const QString &) {
            return m_folder.filePath(QStringLiteral("none/plot.png"));
        });
}

QString Session::runEvent() {
    m_plotBefore = m_canvas->image();
    m_countBefore = m_count->text();
    m_text2Edited = false;
    m_parameterMoved = false;
    m_pointer.reset();
    m_barMove.reset();
    m_clicks = {};
    m_expectedClicks.reset();
    m_pressed = nullptr;
    m_quits = 0;
    m_exitStatus.reset();
    m_infoBoxesBefore = m_intercepts.infoBoxes;
    m_closeRequestsBefore = m_intercepts.closeRequests;
    m_segmentPress = {};
    m_segmentUnsure = false;
    m_editProblem.clear();
    m_intercepts.setCloseWay(m_random.below(4));
    const int roll = m_random.below(1000);
    if (roll < 60)
        return pressButton();
    if (roll < 220)
        return smallBarEvent();
    if (roll < 310)
        return radiusBarEvent();
    if (roll < 380)
        return heightBarEvent();
    if (roll < 420)
        return wheelEvent();
    if (roll < 740)
        return pointerEvent();
    if (roll < 800)
        return windowPointerEvent();
    if (roll < 840)
        return keyEvent();
    if (roll < 990)
        return editEvent();
    return windowStateEvent();
}

// ---------------------------------------------------------------------------------------------
// The events

// A click, a double click, or Space or Enter on the focused button. A double click is two
// clicks; the effects follow from the clicks each button got (see buttonProblem).
QString Session::pressButton() {
    QPushButton *button = m_buttons[static_cast<std::size_t>(m_random.below(6))];
    m_pressed = button;
    m_expectedClicks = 1;
    const QPoint at(1 + m_random.below(std::max(1, button->width() - 2)),
                    1 + m_random.below(std::max(1, button->height() - 2)));
    const bool quits = button == m_buttons[5];
    const int how = m_random.below(100);
    if (how < 70) {
        const Qt::KeyboardModifiers modifiers = randomModifiers();
        runPerhapsQuitting(quits,
                           [&] { QTest::mouseClick(button, Qt::LeftButton, modifiers, at); });
        return QStringLiteral("click %1").arg(button->objectName());
    }
    if (how < 80) {
        m_expectedClicks = 2;
        runPerhapsQuitting(quits, [&] {
            QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, at);
            QMouseEvent second(QEvent::MouseButtonDblClick, at, button->mapToGlobal(at),
                               Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(button, &second);
            QTest::mouseRelease(button, Qt::LeftButton, Qt::NoModifier, at);
        });
        return QStringLiteral("double click %1").arg(button->objectName());
    }
    static constexpr std::array keys = {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter};
    const Qt::Key key = keys[static_cast<std::size_t>(m_random.below(keys.size()))];
    button->setFocus(Qt::TabFocusReason);
    runPerhapsQuitting(quits, [&] { QTest::keyClick(button, key); });
    return QStringLiteral("%1 on %2").arg(QKeySequence(key).toString(), button->objectName());
}

// Runs a user action that may end the program inside the application's event loop, as the
// program runs, and notes the status the loop ended with (a second at most: then the action did
// not end it). Without the loop, a quit would only leave its mark for the next loop to find.
void Session::runPerhapsQuitting(bool quits, const std::function<void()> &action) {
    if (!quits) {
        action();
        return;
    }
    QTimer giveUp;
    giveUp.setSingleShot(true);
    QObject::connect(&giveUp, &QTimer::timeout, &giveUp, [] { QCoreApplication::exit(-2); });
    giveUp.start(1000);
    QTimer::singleShot(0, &giveUp, action);
    m_exitStatus = QCoreApplication::exec();
    giveUp.stop();
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
    if (m_height->value() != fullHeight && m_random.percent(75)) {
        if (m_random.percent(50))
            return onBar(m_height, BarAction::KeyEnd);
        m_barMove = BarMove{m_height, m_height->value(), 1, fullHeight, std::nullopt};
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
    BarMove move{bar, bar->value(), directionOf(action), std::nullopt, std::nullopt};
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
                        std::nullopt, std::nullopt};
    return QStringLiteral(" by") + path;
}

// A turn of the wheel, one or two notches either way, over a scroll bar (which moves by a few
// steps the way the wheel turns: up and left towards the minimum), the plot, a text box or the
// window (none of which changes anything).
QString Session::wheelEvent() {
    const int notches = m_random.percent(50) ? 1 + m_random.below(2) : -1 - m_random.below(2);
    QWidget *target = nullptr;
    const int roll = m_random.below(10);
    if (roll < 6)
        target = m_pointBars[static_cast<std::size_t>(m_random.below(4))];
    else if (roll < 7)
        target = m_radius;
    else if (roll < 8)
        target = m_height;
    else
        target = m_random.pick(QList<QWidget *>{m_canvas, m_text1, &m_form});
    const QPoint at = target->rect().center();
    Qt::KeyboardModifiers modifiers = randomModifiers();
    modifiers.setFlag(Qt::AltModifier, false);
    auto *bar = qobject_cast<ScrollBar *>(target);
    if (bar != nullptr)
        m_barMove =
            BarMove{bar, bar->value(), notches > 0 ? -1 : 1, std::nullopt, 3 * std::abs(notches)};
    QWheelEvent wheel(at, target->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                      modifiers, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(target, &wheel);
    return QStringLiteral("wheel %1 notches over %2").arg(notches).arg(target->objectName());
}

// Tab, Shift+Tab, Space or Enter to whatever has the focus (Space and Enter on a focused button
// click it once; in a text box they are typing), or a key of the window: Ctrl+Q quits, Ctrl+Shift+C
// copies the plot, Ctrl+S tries to save it where it cannot and gets a warning.
QString Session::keyEvent() {
    QWidget *focus = m_form.focusWidget() != nullptr ? m_form.focusWidget() : &m_form;
    static constexpr std::array keys = {
        Qt::Key_Tab,    Qt::Key_Tab,   Qt::Key_Backtab, Qt::Key_Space, Qt::Key_Space,
        Qt::Key_Return, Qt::Key_Enter, Qt::Key_Q,       Qt::Key_C,     Qt::Key_S};
    const Qt::Key key = keys[static_cast<std::size_t>(m_random.below(keys.size()))];
    Qt::KeyboardModifiers modifiers = key == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier;
    if (key == Qt::Key_Q || key == Qt::Key_S)
        modifiers = Qt::ControlModifier;
    else if (key == Qt::Key_C)
        modifiers = Qt::ControlModifier | Qt::ShiftModifier;
    const bool shortcut = modifiers & Qt::ControlModifier;
    // Window keys reach the program only while its window is the active one.
    const bool active = QApplication::activeWindow() == &m_form;
    if (key == Qt::Key_Q && active)
        m_quits = 1;
    auto *box = qobject_cast<QLineEdit *>(focus);
    const QString before = box != nullptr ? box->text() : QString();
    auto *button = qobject_cast<QPushButton *>(focus);
    if (button != nullptr && !shortcut) {
        m_pressed = button;
        m_expectedClicks = key == Qt::Key_Tab || key == Qt::Key_Backtab ? 0 : 1;
    }
    runPerhapsQuitting((key == Qt::Key_Q && active) || (button == m_buttons[5] && !shortcut),
                       [&] { QTest::keyClick(focus, key, modifiers); });
    if (box != nullptr && !shortcut)
        expectEdit(box, before, std::nullopt);
    return QStringLiteral("%1 to %2%3")
        .arg(QKeySequence(key | modifiers).toString(), focus->objectName(),
             active ? QString() : QStringLiteral(" (window not active)"));
}

// A point over the canvas, in its logical pixels: anywhere, or near one of the places where the
// readout or the click guard changes its mind.
QPointF Session::pointOver() {
    const double w = m_canvas->width();
    const double h = m_canvas->height();
    if (m_random.percent(20)) {
        static constexpr std::array edges = {-0.01,  0.01,   50.5,   100.99, 101.01,
                                             101.99, 102.01, 114.99, -4.99};
        const double x = edges[static_cast<std::size_t>(m_random.below(edges.size()))];
        const double y = edges[static_cast<std::size_t>(m_random.below(edges.size()))];
        return {(x + 5) * w / 125, (115 - y) * h / 120};
    }
    return {m_random.between(0, w), m_random.between(0, h)};
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

// The world point of a position over the canvas: x runs from −5 at the left edge to 120 at the
// right edge, y from 115 at the top to −5 at the bottom. A canvas without height has none.
std::optional<QPointF> Session::worldOf(QPointF canvasPosition) const {
    const double w = m_canvas->width();
    const double h = m_canvas->height();
    if (w <= 0 || h <= 0)
        return std::nullopt;
    return QPointF(-5 + canvasPosition.x() * 125 / w, 115 - canvasPosition.y() * 120 / h);
}

// Sends a pointer event to a control at a place given over the canvas, and notes what the
// window must show for it: the help text of the control moved over, the readout of a move over
// the canvas, and the segment point a press on the canvas sets.
void Session::sendPointer(QWidget *target, QEvent::Type type, QPointF canvasPosition,
                          Qt::MouseButton button, Qt::MouseButtons held,
                          Qt::KeyboardModifiers modifiers) {
    const QPointF global = QPointF(m_canvas->mapToGlobal(QPoint(0, 0))) + canvasPosition;
    const QPointF local = global - QPointF(target->mapToGlobal(QPoint(0, 0)));
    const QString name = target->objectName();
    QMouseEvent event(type, local, global, button, held, modifiers);
    QCoreApplication::sendEvent(target, &event);
    if (type == QEvent::MouseMove) {
        if (target == &m_form)
            m_helpText.clear();
        else if (const auto help = helpText(name))
            m_helpText = *help;
        m_pointer = target == m_canvas ? worldOf(canvasPosition) : std::nullopt;
    }
    const bool press = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick;
    if (press && type == QEvent::MouseButtonPress && name == QLatin1String("txtY1"))
        m_helpText = *helpText(name, true);
    if (!press || target != m_canvas || (button != Qt::LeftButton && button != Qt::RightButton))
        return;
    // Left sets the first point, right the second, to the cell pressed within 0..100.
    const std::optional<QPointF> world = worldOf(canvasPosition);
    if (!world || nearWhole(world->x()) || nearWhole(world->y())) {
        m_segmentUnsure = true;
        return;
    }
    const int x = static_cast<int>(std::floor(world->x()));
    const int y = static_cast<int>(std::floor(world->y()));
    const std::size_t pair = button == Qt::LeftButton ? 0 : 1;
    if (x >= 0 && y >= 0 && x <= 100 && y <= 100)
        m_segmentPress[pair] = QPoint(x, y);
}

// A move, a click, a double click, or a press, moves with the button held (past the canvas's
// edges, where the control that got the press keeps the pointer) and a release; now and then a
// second button goes down and up while the first is held.
QString Session::pointerEvent() {
    const QPointF start = pointOver();
    QWidget *target = widgetAt(start);
    const std::optional<QPointF> world = worldOf(start);
    const QString where =
        QStringLiteral("%1 world %2 on %3")
            .arg(pointText(start), world ? pointText(*world) : QStringLiteral("none"),
                 target->objectName());
    const Qt::KeyboardModifiers modifiers = randomModifiers();
    sendPointer(target, QEvent::MouseMove, start, Qt::NoButton, Qt::NoButton, modifiers);
    const int roll = m_random.below(100);
    if (roll < 55)
        return QStringLiteral("pointer move to ") + where;

    static constexpr std::array buttons = {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton};
    const int roll2 = m_random.below(100);
    const std::size_t which = roll2 < 45 ? 0 : roll2 < 85 ? 1 : 2;
    const Qt::MouseButton button = buttons[which];
    const auto buttonName = [](Qt::MouseButton b) {
        return b == Qt::LeftButton    ? QStringLiteral("left")
               : b == Qt::RightButton ? QStringLiteral("right")
                                      : QStringLiteral("middle");
    };
    const QString name = buttonName(button);
    // The press may have moved or hidden what lay under the pointer; the grab stays.
    const QPointer<QWidget> grab(target);
    sendPointer(target, QEvent::MouseButtonPress, start, button, button, modifiers);
    QPointF at = start;
    QString path;
    if (roll >= 90 && roll < 95 && !grab.isNull()) {
        sendPointer(target, QEvent::MouseButtonRelease, at, button, Qt::NoButton, modifiers);
        if (!grab.isNull())
            sendPointer(target, QEvent::MouseButtonDblClick, at, button, button, modifiers);
        if (!grab.isNull())
            sendPointer(target, QEvent::MouseButtonRelease, at, button, Qt::NoButton, modifiers);
        return QStringLiteral("%1 double click at %2").arg(name, where);
    }
    if (roll >= 80) {
        const int moves = 1 + m_random.below(5);
        for (int n = 0; n < moves && !grab.isNull(); ++n) {
            at = pointAround();
            sendPointer(target, QEvent::MouseMove, at, Qt::NoButton, button, modifiers);
            const std::optional<QPointF> w = worldOf(at);
            path += QLatin1Char(' ') + (w ? pointText(*w) : pointText(at));
        }
    }
    if (roll >= 95 && !grab.isNull()) {
        const Qt::MouseButton second =
            buttons[(which + 1 + static_cast<std::size_t>(m_random.below(2))) % 3];
        at = pointAround();
        sendPointer(target, QEvent::MouseButtonPress, at, second, button | second, modifiers);
        if (!grab.isNull())
            sendPointer(target, QEvent::MouseButtonRelease, at, second, button, modifiers);
        const std::optional<QPointF> w = worldOf(at);
        path += QStringLiteral(" %1 pressed at %2")
                    .arg(buttonName(second), w ? pointText(*w) : pointText(at));
    }
    if (!grab.isNull())
        sendPointer(target, QEvent::MouseButtonRelease, at, button, Qt::NoButton, modifiers);
    if (path.isEmpty())
        return QStringLiteral("%1 click at %2").arg(name, where);
    return QStringLiteral("%1 drag from %2 through%3").arg(name, where, path);
}

// A move over the window, mostly over its top strip and the canvas's radius row and help line,
// where the help line answers; over a text box or a label now and then a press as well.
QString Session::windowPointerEvent() {
    const int strip = m_canvas->y() + 41; // the canvas's top rows hold the radius and the help
    const QPoint at(m_random.below(m_form.width()),
                    m_random.below(m_random.percent(75) ? strip : m_form.height()));
    QWidget *target = m_form.childAt(at);
    if (target == nullptr)
        target = &m_form;
    const QPointF overCanvas = QPointF(at) - QPointF(m_canvas->mapTo(&m_form, QPoint(0, 0)));
    const Qt::KeyboardModifiers modifiers = randomModifiers();
    sendPointer(target, QEvent::MouseMove, overCanvas, Qt::NoButton, Qt::NoButton, modifiers);
    const bool pressable =
        qobject_cast<QLineEdit *>(target) != nullptr || qobject_cast<QLabel *>(target) != nullptr;
    if (!pressable || !m_random.percent(40))
        return QStringLiteral("move over %1 at (%2, %3)")
            .arg(target->objectName())
            .arg(at.x())
            .arg(at.y());
    const Qt::MouseButton button = m_random.percent(60) ? Qt::LeftButton : Qt::RightButton;
    sendPointer(target, QEvent::MouseButtonPress, overCanvas, button, button, modifiers);
    sendPointer(target, QEvent::MouseButtonRelease, overCanvas, button, Qt::NoButton, modifiers);
    return QStringLiteral("move and click over %1 at (%2, %3)")
        .arg(target->objectName())
        .arg(at.x())
        .arg(at.y());
}

// An edit in one of the text boxes: the deviation, the radius label, a coordinate box, or one
// of the boxes only the program writes.
QString Session::editEvent() {
    const int roll = m_random.below(100);
    QLineEdit *box = roll < 35   ? m_text1
                     : roll < 60 ? m_text2
                     : roll < 85 ? m_pointBoxes[static_cast<std::size_t>(m_random.below(4))]
                                 : m_random.pick(QList<QLineEdit *>{m_count, m_radiusText, m_help});
    const int kind = m_random.below(100);
    if (kind < 40)
        return typeInto(box);
    if (kind < 60)
        return pasteFromClipboard(box, m_random.pick(m_texts).text, m_random.percent(40));
    if (kind < 85)
        return editInMiddle(box);
    return undoOrRedo(box);
}

// Types a text over the selected old one, or pastes it over the old one (texts meant to be
// pasted), or pastes any text over the old one or at a place in it.
QString Session::typeInto(QLineEdit *box) {
    const Entry &entry = m_random.pick(m_texts);
    if (entry.pasted)
        return pasteFromClipboard(box, entry.text, true);
    const QString before = box->text();
    box->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    if (entry.text.isEmpty())
        QTest::keyClick(box, Qt::Key_Backspace);
    else
        typeKeys(box, entry.text);
    expectEdit(box, before, std::nullopt);
    return QStringLiteral("type %1 into %2").arg(shown(entry.text), box->objectName());
}

// Puts the text on the clipboard and pastes it with Ctrl+V over the whole text or at a place in
// it.
QString Session::pasteFromClipboard(QLineEdit *box, const QString &text, bool whole) {
    QGuiApplication::clipboard()->setText(text);
    box->setFocus(Qt::MouseFocusReason);
    const QString before = box->text();
    const int at = whole ? 0 : placeCursor(box);
    if (whole)
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    const QString expected = whole ? text : before.left(at) + text + before.mid(at);
    expectEdit(box, before,
               isPrintable(text) && expected.size() <= box->maxLength()
                   ? std::optional<QString>(expected)
                   : std::nullopt);
    return QStringLiteral("paste %1 into %2 %3")
        .arg(shown(text), box->objectName(),
             whole ? QStringLiteral("over all") : QStringLiteral("at %1").arg(at));
}

// Goes to a place in the text with Home and Right, and types there or deletes a few characters
// before or after it.
QString Session::editInMiddle(QLineEdit *box) {
    static const QStringList inserts = {
        QStringLiteral("1"), QStringLiteral(" "),   QStringLiteral("e"), QStringLiteral("-"),
        QStringLiteral("."), QStringLiteral("5 0"), QStringLiteral("+"), QStringLiteral("E9")};
    box->setFocus(Qt::MouseFocusReason);
    const QString before = box->text();
    const int at = placeCursor(box);
    const int roll = m_random.below(3);
    const int n = 1 + m_random.below(3);
    QString expected;
    QString what;
    if (roll == 0) {
        const QString insert = m_random.pick(inserts);
        typeKeys(box, insert);
        expected = before.left(at) + insert + before.mid(at);
        what = QStringLiteral("type %1").arg(shown(insert));
    } else {
        const Qt::Key key = roll == 1 ? Qt::Key_Backspace : Qt::Key_Delete;
        for (int k = 0; k < n; ++k)
            QTest::keyClick(box, key);
        expected = roll == 1 ? before.left(std::max(0, at - n)) + before.mid(at)
                             : before.left(at) + before.mid(at + n);
        what = QStringLiteral("%1 x %2").arg(QKeySequence(key).toString()).arg(n);
    }
    expectEdit(box, before,
               expected.size() <= box->maxLength() ? std::optional<QString>(expected)
                                                   : std::nullopt);
    return QStringLiteral("%1 at %2 in %3").arg(what).arg(at).arg(box->objectName());
}

QString Session::undoOrRedo(QLineEdit *box) {
    box->setFocus(Qt::MouseFocusReason);
    const QString before = box->text();
    const int roll = m_random.below(3);
    const QKeyCombination keys = roll == 0   ? Qt::ControlModifier | Qt::Key_Z
                                 : roll == 1 ? Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_Z
                                             : Qt::ControlModifier | Qt::Key_Y;
    QTest::keyClick(box, keys.key(), keys.keyboardModifiers());
    expectEdit(box, before, std::nullopt);
    return QStringLiteral("%1 in %2").arg(QKeySequence(keys).toString(), box->objectName());
}

// Home, then Right up to 30 times; the cursor stands after that many characters.
int Session::placeCursor(QLineEdit *box) {
    const int at =
        m_random.below(static_cast<int>(std::min<qsizetype>(box->text().size(), 30)) + 1);
    QTest::keyClick(box, Qt::Key_Home);
    for (int k = 0; k < at; ++k)
        QTest::keyClick(box, Qt::Key_Right);
    return at;
}

// After an edit: a read-only box keeps its text; otherwise the text must be the expected one,
// if there is one, and the window takes it as the user's.
void Session::expectEdit(QLineEdit *box, const QString &before, std::optional<QString> expected) {
    if (box->isReadOnly())
        expected = before;
    // The radius label answers every edit; what it must show is checked on its own.
    if (box == m_text2)
        expected.reset();
    if (expected && box->text() != *expected && m_editProblem.isEmpty())
        m_editProblem =
            QStringLiteral("%1 shows %2 after the edit of %3; %4 expected")
                .arg(box->objectName(), shown(box->text()), shown(before), shown(*expected));
    if (!box->isReadOnly())
        acceptUserText(box);
}

void Session::acceptUserText(QLineEdit *box) {
    if (box == m_text1)
        m_deviationText = box->text();
    else if (box == m_text2)
        m_text2Edited = true;
    else if (box == m_help)
        m_helpText = box->text();
    else if (box == m_radiusText)
        m_radiusTyped = box->text();
    for (std::size_t k = 0; k < m_pointBoxes.size(); ++k)
        if (m_pointBoxes[k] == box) {
            m_typed[k] = true;
            m_typedText[k] = box->text();
        }
}

// Minimises, maximises, restores or tries to resize the window (its size is fixed).
QString Session::windowStateEvent() {
    m_windowHeight.reset();
    const int roll = m_random.below(4);
    if (roll == 0) {
        m_form.showMinimized();
        return QStringLiteral("minimise");
    }
    if (roll == 1) {
        m_form.showMaximized();
        return QStringLiteral("maximise");
    }
    if (roll == 2) {
        m_form.showNormal();
        m_form.activateWindow();
        return QStringLiteral("restore");
    }
    const QSize size(100 + m_random.below(1200), 100 + m_random.below(1000));
    m_form.resize(size);
    return QStringLiteral("resize to %1 x %2").arg(size.width()).arg(size.height());
}

// ---------------------------------------------------------------------------------------------
// The invariants

QString Session::brokenInvariant() {
    if (!m_form.isVisible())
        return QStringLiteral("the window is gone");
    if (!m_intercepts.problem.isEmpty())
        return std::exchange(m_intercepts.problem, QString());
    if (!m_editProblem.isEmpty())
        return m_editProblem;
    for (const QString &problem :
         {barMoveProblem(), redrawProblem(), radiusProblem(), text2Problem(), coordinateProblem(),
          segmentProblem(), lineProblem(), deviationProblem(), buttonProblem(), windowProblem(),
          searchProblem(), readoutProblem()})
        if (!problem.isEmpty())
            return problem;
    if (m_help->text() != m_helpText)
        return QStringLiteral("the help line shows %1 instead of %2")
            .arg(shown(m_help->text()), shown(m_helpText));
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
    } else if (move.reach && std::abs(value - move.before) > *move.reach && !reset) {
        expected = QStringLiteral("at most %1 steps").arg(*move.reach);
    }
    if (expected.isEmpty())
        return {};
    return QStringLiteral("%1 went from %2 to %3; %4 expected")
        .arg(move.bar->objectName())
        .arg(move.before)
        .arg(value)
        .arg(expected);
}

// Whether the event redraws the plot: a new radius or height, or a click on "Tripel anzeigen" or
// "cls". Nothing else draws on it.
bool Session::redraws() const { return m_parameterMoved || m_clicks[0] > 0 || m_clicks[1] > 0; }

QString Session::redrawProblem() const {
    if (!redraws() && !(m_canvas->image() == m_plotBefore))
        return QStringLiteral("the plot changed without a new radius or height or a redraw click");
    return {};
}

QString Session::radiusProblem() const {
    const int r = m_radius->value();
    if (r < 0 || r > 139)
        return QStringLiteral("the radius rests at %1").arg(r);
    const QString expected = m_radiusTyped   ? *m_radiusTyped
                             : m_radiusMoved ? basicText(r)
                                             : QStringLiteral("25");
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
    if (text == QString::number(r))
        return {};
    if (redraws() && !m_text2Edited)
        return QStringLiteral("Text2 shows %1 after a redraw for the radius %2")
            .arg(shown(text))
            .arg(r);
    if (text.isEmpty() && r == 0)
        return {};
    // A number the label takes is rounded to the nearest whole one, halves to the even one.
    const double v = readNumber(text);
    if (!text.isEmpty() && v >= 0 && v < 140 && std::nearbyint(v) == r)
        return {};
    return QStringLiteral("Text2 shows %1 for the radius %2").arg(shown(text)).arg(r);
}

QString Session::coordinateProblem() const {
    for (std::size_t k = 0; k < m_pointBoxes.size(); ++k) {
        const QString expected =
            m_typed[k] ? m_typedText[k] : QString::number(m_pointBars[k]->value());
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
    const auto sits = [](const LineItem *line, float ax, float ay, float bx, float by) {
        return line->x1() == ax && line->y1() == ay && line->x2() == bx && line->y2() == by;
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

// A press on the plot set the point of its button to the cell pressed.
QString Session::segmentProblem() const {
    if (m_segmentUnsure)
        return {};
    for (std::size_t pair = 0; pair < m_segmentPress.size(); ++pair) {
        const std::optional<QPoint> &cell = m_segmentPress[pair];
        if (!cell)
            continue;
        const QPoint point(m_pointBars[2 * pair]->value(), m_pointBars[2 * pair + 1]->value());
        if (point != *cell)
            return QStringLiteral("point %1 is (%2, %3) after a press on the cell (%4, %5)")
                .arg(pair + 1)
                .arg(point.x())
                .arg(point.y())
                .arg(cell->x())
                .arg(cell->y());
    }
    return {};
}

// The deviation text changes only by the user, and by "+1" and "-1", which write the number one
// up or down in the program's form: a blank or '-' first, at most 15 digits.
QString Session::deviationProblem() {
    const int steps = m_clicks[2] - m_clicks[3];
    if (m_clicks[2] + m_clicks[3] > 0) {
        const double before = readNumber(m_deviationText);
        const double expected = before + steps;
        const QString text = m_text1->text();
        const double now = readNumber(text);
        const bool form = text.startsWith(now < 0 ? u'-' : u' ');
        if (!form || std::abs(now - expected) > 1e-13 * std::max(1.0, std::abs(expected)))
            return QStringLiteral("Text1 shows %1 after %2 steps from %3")
                .arg(shown(text))
                .arg(steps)
                .arg(shown(m_deviationText));
        m_deviationText = text;
    }
    if (m_text1->text() != m_deviationText)
        return QStringLiteral("Text1 shows %1 instead of %2")
            .arg(shown(m_text1->text()), shown(m_deviationText));
    return {};
}

// A press of a button clicks it once (a double click twice), and nothing else clicks one. Each
// click on "i" shows the information box once; each click on "X", and Ctrl+Q, asks the window to
// close once.
QString Session::buttonProblem() const {
    for (std::size_t k = 0; k < m_buttons.size(); ++k) {
        const int expected = m_buttons[k] == m_pressed ? m_expectedClicks.value_or(0) : 0;
        if (m_clicks[k] != expected)
            return QStringLiteral("%1 got %2 clicks; %3 expected")
                .arg(m_buttons[k]->objectName())
                .arg(m_clicks[k])
                .arg(expected);
    }
    const int boxes = m_intercepts.infoBoxes - m_infoBoxesBefore;
    if (boxes != m_clicks[4])
        return QStringLiteral("%1 clicks on Command5 showed %2 information boxes")
            .arg(m_clicks[4])
            .arg(boxes);
    const int quits = m_clicks[5] + m_quits;
    const int closes = m_intercepts.closeRequests - m_closeRequestsBefore;
    if (closes != quits)
        return QStringLiteral("%1 quits asked the window %2 times to close").arg(quits).arg(closes);
    if (quits > 0 && m_exitStatus != 0)
        return QStringLiteral("a quit ended the program with the status %1")
            .arg(m_exitStatus ? QString::number(*m_exitStatus) : QStringLiteral("none"));
    return {};
}

// Until the window was first minimised, maximised or resized, it has the height the last height
// change gave it (or its design height).
QString Session::windowProblem() const {
    if (!m_windowHeight)
        return {};
    if (std::abs(m_form.height() - *m_windowHeight) > 1)
        return QStringLiteral("the window is %1 pixels high; %2 expected for vscBildschirm at %3")
            .arg(m_form.height())
            .arg(*m_windowHeight)
            .arg(m_height->value());
    return {};
}

// After a search the count is that of the search done here; without one it stays. A search
// follows a new radius or height and a click on "Tripel anzeigen"; a click on "cls" only clears.
QString Session::searchProblem() const {
    if (!m_parameterMoved && m_clicks[0] == 0) {
        if (m_count->text() != m_countBefore)
            return QStringLiteral("txtAnzahl changed from %1 to %2 without a search")
                .arg(shown(m_countBefore), shown(m_count->text()));
        if (m_clicks[1] > 0 && m_height->value() == fullHeight)
            return plotProblem(std::nullopt);
        return {};
    }
    ++m_countsChecked;
    const double d = readNumber(m_text1->text());
    const QString expected = basicText(solutionCount(d));
    if (m_count->text() != expected)
        return QStringLiteral("txtAnzahl shows %1 after a search for the deviation %2; %3 expected")
            .arg(shown(m_count->text()), QString::number(d), shown(expected));
    if (m_height->value() == fullHeight) {
        ++m_plotsChecked;
        return plotProblem(d);
    }
    return {};
}

// Every cell of the plot away from the radius circle shows the mark of its pair for the deviation
// d, or none; without a deviation, none.
QString Session::plotProblem(std::optional<double> d) const {
    const double circle = m_radius->value() + 0.5;
    for (int x = 1; x <= 100; ++x)
        for (int y = 1; y <= 100; ++y) {
            if (circle >= std::hypot(x, y) - 1.5 && circle <= std::hypot(x + 1, y + 1) + 1.5)
                continue;
            const QRgb expected = !d || !isSolution(x, y, *d) ? white
                                  : x == y                    ? markBlack
                                  : x < y                     ? markBlue
                                                              : markRed;
            const QRgb seen = cellColour(*m_canvas, x, y);
            if (seen != expected)
                return QStringLiteral("the cell (%1, %2) shows %3 after %4 with the radius %5; "
                                      "%6 expected")
                    .arg(x)
                    .arg(y)
                    .arg(colourName(seen),
                         d ? QStringLiteral("a search for the deviation ") + QString::number(*d)
                           : QStringLiteral("cls"))
                    .arg(m_radius->value())
                    .arg(colourName(expected));
        }
    return {};
}

// After a move the canvas itself got: the preview shows exactly while the pointer is within
// 0..102 on both axes, and reads the cell's coordinates or, for a solution, its equation. Where
// the pointer is too close to a cell's edge to tell its cell, nothing is checked.
QString Session::readoutProblem() const {
    if (!m_pointer || nearWhole(m_pointer->x()) || nearWhole(m_pointer->y()))
        return {};
    const double x = m_pointer->x();
    const double y = m_pointer->y();
    const bool inside = x >= 0 && x <= 102 && y >= 0 && y <= 102;
    if (m_info->isVisible() != inside || m_infoText->isVisible() != inside)
        return QStringLiteral("the preview is %1 for the pointer at %2")
            .arg(m_info->isVisible() ? QStringLiteral("shown") : QStringLiteral("hidden"),
                 pointText(*m_pointer));
    const int i = static_cast<int>(std::floor(x));
    const int j = static_cast<int>(std::floor(y));
    const double d = readNumber(m_text1->text());
    const bool solution = isSolution(i, j, d);
    const QString coordinates = basicText(i) + QLatin1Char(',') + basicText(j);
    const QString equation = basicText(i) + QStringLiteral(" Quadrat +") + basicText(j) +
                             QStringLiteral(" Quadrat\r\n = ");
    const QString text = m_infoText->text();
    if (solution ? !text.startsWith(equation) : text != coordinates)
        return QStringLiteral("the readout shows %1 for the cell (%2, %3) and the deviation %4")
            .arg(shown(text))
            .arg(i)
            .arg(j)
            .arg(QString::number(d));
    return {};
}

// The seed of ZAHLENLUPE_SEED, or a fresh one, so that every run explores other events.
quint64 seedFromEnvironment() {
    bool ok = false;
    const quint64 seed = qEnvironmentVariable("ZAHLENLUPE_SEED").toULongLong(&ok);
    return ok ? seed : QRandomGenerator::system()->generate64();
}

// The command that runs the same events again, up to the given one.
QString replayCommand(quint64 seed, qint64 events) {
    return QStringLiteral("cd %1 && QT_QPA_PLATFORM=offscreen ZAHLENLUPE_SEED=%2 "
                          "ZAHLENLUPE_EVENTS=%3 %4")
        .arg(QDir::currentPath())
        .arg(seed)
        .arg(events)
        .arg(QCoreApplication::applicationFilePath());
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
    qInfo("seed %llu, %lld events; to run them again: ZAHLENLUPE_SEED=%llu",
          static_cast<unsigned long long>(seed), static_cast<long long>(events),
          static_cast<unsigned long long>(seed));

    Form1 form;
    Intercepts intercepts(form);
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    Session session(form, intercepts, seed);
    const QString atStart = session.brokenInvariant();
    QVERIFY2(atStart.isEmpty(), qPrintable(atStart));

    const QuietWarnings quiet;
    QStringList recent;
    QElapsedTimer clock;
    clock.start();
    qint64 done = 0;
    for (; done < events; ++done) {
        if (trace)
            std::fprintf(stderr, "event %lld ...\n", static_cast<long long>(done));
        const QString event = session.runEvent();
        if (trace)
            std::fprintf(stderr, "event %lld: %s\n", static_cast<long long>(done),
                         qPrintable(event));
        recent.append(QStringLiteral("  %1: %2").arg(done).arg(event));
        if (recent.size() > eventsRemembered)
            recent.removeFirst();
        // Between two user events the window gets its paint and other posted events.
        QCoreApplication::processEvents();
        const QString broken = session.brokenInvariant();
        if (!broken.isEmpty())
            QFAIL(qPrintable(
                QStringLiteral("seed %1, event %2: %3\nlast events:\n%4\n"
                               "again, with ZAHLENLUPE_TRACE=1 for every event:\n%5")
                    .arg(seed)
                    .arg(done)
                    .arg(broken, recent.join(QLatin1Char('\n')), replayCommand(seed, done + 1))));
    }
    qInfo("%lld events run in %lld ms; %lld searches checked, %lld of them cell by cell; "
          "%d information boxes and %d warnings shown, %d closed; %d quits held back",
          static_cast<long long>(done), static_cast<long long>(clock.elapsed()),
          static_cast<long long>(session.countsChecked()),
          static_cast<long long>(session.plotsChecked()), intercepts.infoBoxes, intercepts.warnings,
          intercepts.closed, intercepts.closeRequests);
}

QTEST_MAIN(TestRandom)
#include "tst_random.moc"
