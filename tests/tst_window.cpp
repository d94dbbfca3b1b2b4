// The main window: its controls (kind, container, place, texts, fonts, colours, ranges), the
// keyboard focus sequence, the help line, the information box and the exit button.

#include "testsupport.h"

#include "window/textarea.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QIcon>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTextDocument>
#include <QTimer>
#include <QWindow>
#include <cmath>
#include <memory>

using TestSupport::control;
using TestSupport::helpText;

namespace {

// Twips to logical pixels, as the window lays out its controls (15 twips to the pixel).
int px(int twips) { return static_cast<int>(std::lround(twips / 15.0)); }

QRect twipsRect(int left, int top, int width, int height) {
    return {px(left), px(top), px(width), px(height)};
}

// The help texts, by the control a move over which writes them.
QString help(const char *control) { return *helpText(QLatin1String(control)); }
const QString helpSearch = help("Command1");
const QString helpInfo = help("Command5");
const QString helpSegment = help("txtX1");

// A text no handler ever writes: it shows whether anything wrote the help line.
const QString untouched = QStringLiteral("\u00a7 untouched \u00a7");

// The control under a point of the window: the widget there, or the control it is part of (the
// inner viewport of a text area, for instance).
QWidget *controlAt(QWidget &form, QPoint at) {
    QWidget *hit = form.childAt(at);
    while (hit != nullptr && (hit->objectName().isEmpty() || hit->objectName().startsWith("qt_")))
        hit = hit->parentWidget();
    return hit;
}

// What the window shows of one control at start-up. A member left at its default is not checked
// for that control.
struct Control {
    const char *kind = "";      // the class the control is or derives from
    const char *container = ""; // the object it sits in
    QRect place{};              // in pixels
    bool moves = false;         // placed by the program at start-up: only the size is fixed
    const char *text = nullptr; // the caption or text
    double points = -1;         // a Times New Roman font of this size; 0: the window's own font
    Qt::Alignment align{};      // the horizontal alignment of the text
    QColor colour{};            // a button's face, a box's background
    QPoint paintedAt{}; // where the window paints `colour`, from the control's top-left corner
    Qt::Orientation orientation = Qt::Horizontal;
    int maximum = -1; // a scroll bar's range is 0 to this
    int value = -1;
    const char *tip = nullptr;
};

// The caption or text a control shows.
QString shownText(QObject *object) {
    if (auto *button = qobject_cast<QAbstractButton *>(object))
        return button->text();
    if (auto *label = qobject_cast<QLabel *>(object))
        return label->text();
    if (auto *box = qobject_cast<QLineEdit *>(object))
        return box->text();
    if (auto *area = qobject_cast<TextArea *>(object))
        return area->text();
    return QStringLiteral("(no caption or text)");
}

Qt::Alignment shownAlignment(QObject *object) {
    if (auto *label = qobject_cast<QLabel *>(object))
        return label->alignment();
    if (auto *box = qobject_cast<QLineEdit *>(object))
        return box->alignment();
    if (auto *area = qobject_cast<TextArea *>(object))
        return area->document()->defaultTextOption().alignment();
    return {};
}

// Moves the pointer off every window; leaving a window raises nothing.
void parkPointer() {
    QCursor::setPos(-3000, -3000);
    QCoreApplication::processEvents();
}

// Everything a user could see change, to compare before and after an action.
struct Snapshot {
    QString help;
    QStringList texts;
    QList<int> values;
    QImage picture;
    QRect infoPlace;

    static Snapshot of(const Form1 &form) {
        Snapshot s;
        s.help = TestSupport::text(form, "txtHilfe");
        for (const char *name :
             {"Text1", "Text2", "txtAnzahl", "txtRadius", "txtX1", "txtY1", "txtX2", "txtY2"})
            s.texts << TestSupport::text(form, name);
        s.texts << control<TextArea>(form, "txtInfo")->text();
        for (const char *name : {"hscX1", "hscY1", "hscX2", "hscY2", "hscRadius", "vscBildschirm"})
            s.values << control<ScrollBar>(form, name)->value();
        s.picture = control<Canvas>(form, "picAusgabe")->image();
        s.infoPlace = control<Canvas>(form, "picInfo")->geometry();
        return s;
    }
};

void compareSnapshots(const Snapshot &after, const Snapshot &before) {
    QCOMPARE(after.help, before.help);
    QCOMPARE(after.texts, before.texts);
    QCOMPARE(after.values, before.values);
    QVERIFY(after.picture == before.picture);
    QCOMPARE(after.infoPlace, before.infoPlace);
}

// What the test saw of the information box while it was open.
struct BoxReport {
    bool seen = false;
    QString title;
    QString message;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    int buttonCount = 0;
    QMessageBox::StandardButtons standardButtons;
    bool modal = false;
    bool blocksWindow = false;
    QString helpWhileOpen;
};

enum class Activation { Click, Space, Return, Enter };

void activate(QPushButton *button, Activation how) {
    switch (how) {
    case Activation::Click:
        QTest::mouseClick(button, Qt::LeftButton);
        break;
    case Activation::Space:
        button->setFocus(Qt::TabFocusReason);
        QTest::keyClick(button, Qt::Key_Space);
        break;
    case Activation::Return:
        button->setFocus(Qt::TabFocusReason);
        QTest::keyClick(button, Qt::Key_Return);
        break;
    case Activation::Enter:
        button->setFocus(Qt::TabFocusReason);
        QTest::keyClick(button, Qt::Key_Enter, Qt::KeypadModifier);
        break;
    }
}

} // namespace

Q_DECLARE_METATYPE(Activation)
Q_DECLARE_METATYPE(Control)

class TestWindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void window();
    void icon();
    void controls_data();
    void controls();
    void arrowShowsOnItsPixels();
    void firstPictureIsOnScreen();

    void tabKeyVisitsTheControlsInOrder();
    void labelsNeverTakeFocus_data();
    void labelsNeverTakeFocus();
    void scrollBarsTakeFocusByClick_data();
    void scrollBarsTakeFocusByClick();

    void helpLineStartsWithItsInitialText();
    void helpTexts_data();
    void helpTexts();
    void helpOnPressOverTxtY1_data();
    void helpOnPressOverTxtY1();
    void helpAlongPointerPaths_data();
    void helpAlongPointerPaths();

    void infoBox_data();
    void infoBox();
    void exitEndsTheProgram_data();
    void exitEndsTheProgram();

private:
    Form1 &form() { return *m_form; }
    void showForm(bool active = false);
    // A point inside `control` (in its own coordinates) where the window finds that control under
    // the pointer, not a control inside it or one covering it; searched from the top-left or the
    // bottom-right.
    QPoint pointOn(QWidget *control, bool fromBottomRight = false);
    void hover(QWidget *control, QPoint local);

    std::unique_ptr<Form1> m_form;
};

void TestWindow::initTestCase() { parkPointer(); }

void TestWindow::init() {
    parkPointer();
    m_form = std::make_unique<Form1>();
}

void TestWindow::cleanup() {
    m_form.reset();
    parkPointer();
}

void TestWindow::showForm(bool active) {
    form().show();
    QVERIFY(QTest::qWaitForWindowExposed(&form()));
    if (active) {
        form().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form()));
    }
}

QPoint TestWindow::pointOn(QWidget *control, bool fromBottomRight) {
    const QRect r = control->rect().adjusted(1, 1, -1, -1);
    for (int dy = 0; dy < r.height(); ++dy)
        for (int dx = 0; dx < r.width(); ++dx) {
            const QPoint local = fromBottomRight ? QPoint(r.right() - dx, r.bottom() - dy)
                                                 : QPoint(r.left() + dx, r.top() + dy);
            if (local.isNull())
                continue; // a null position means "the centre" to the mouse helpers
            if (controlAt(form(), control->mapTo(&form(), local)) == control)
                return local;
        }
    return {};
}

void TestWindow::hover(QWidget *control, QPoint local) { QTest::mouseMove(control, local); }

// ---------------------------------------------------------------------------------------------
// Layout and initial values

void TestWindow::window() {
    const QString title = QStringLiteral("Zahlenlupe, pythagoreische Tripel und \"Fast-Tripel\":"
                                         "  x^2 + y^2  =  z^2 + Abweichung");
    QCOMPARE(form().windowTitle(), title);
    QCOMPARE(form().windowTitle().toUtf8(), QByteArray("Zahlenlupe, pythagoreische Tripel und \x22"
                                                       "Fast-Tripel\x22:  x^2 + "
                                                       "y^2  =  z^2 + Abweichung"));
    QVERIFY(form().isWindow());
    QCOMPARE(form().objectName(), QStringLiteral("Form1"));

    showForm();
    const QSize client(px(12165), px(10875));
    QCOMPARE(client, QSize(811, 725));
    QCOMPARE(form().size(), client);
    QCOMPARE(form().minimumSize(), client);
    QCOMPARE(form().maximumSize(), client);
}

void TestWindow::icon() {
    const QIcon icon = form().windowIcon();
    QVERIFY(!icon.isNull());
    const QList<QSize> sizes = icon.availableSizes();
    QVERIFY2(sizes.contains(QSize(16, 16)), "no 16 x 16 image");
    QVERIFY2(sizes.contains(QSize(32, 32)), "no 32 x 32 image");

    for (const int side : {16, 32}) {
        const QImage image =
            icon.pixmap(QSize(side, side)).toImage().convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(image.size(), QSize(side, side));
        // Transparent corners, a yellow face, and no more than sixteen colours.
        for (const QPoint corner :
             {QPoint(0, 0), QPoint(side - 1, 0), QPoint(0, side - 1), QPoint(side - 1, side - 1)})
            QCOMPARE(qAlpha(image.pixel(corner)), 0);
        QSet<QRgb> colours;
        int yellow = 0;
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x) {
                const QRgb c = image.pixel(x, y);
                colours.insert(c);
                if (qAlpha(c) == 255 && qRed(c) > 200 && qGreen(c) > 200 && qBlue(c) < 80)
                    ++yellow;
            }
        QVERIFY2(colours.size() <= 16, qPrintable(QString::number(colours.size())));
        QVERIFY2(yellow > side * side / 4, qPrintable(QString::number(yellow)));
    }
}

void TestWindow::controls_data() {
    QTest::addColumn<Control>("expected");

    // kind, container and place (left, top, width, height in twips), then what else it shows.
    const auto row = [](const char *name, const char *kind, const char *container, QRect twips,
                        Control expected) {
        expected.kind = kind;
        expected.container = container;
        expected.place = twipsRect(twips.x(), twips.y(), twips.width(), twips.height());
        QTest::newRow(name) << expected;
    };
    const char *inForm = "Form1";
    const char *inPlot = "picAusgabe";
    const Qt::Alignment centre = Qt::AlignHCenter;
    const auto h = Qt::Horizontal;
    // The start-up segment (the values of its four bars, the texts of its boxes, the ends of its
    // lines) is checked in one place, with the segment tool.
    row("Command5", "QPushButton", inForm, {0, 0, 252, 252}, {.text = "i", .points = 0, .tip = ""});
    row("Label3", "QLabel", inForm, {360, 240, 1332, 372},
        {.text = "Abweichung:", .points = 10.5, .align = Qt::AlignLeft});
    row("Text1", "QLineEdit", inForm, {1560, 240, 972, 372},
        {.text = "0", .points = 13.5, .align = centre});
    row("Command3", "QPushButton", inForm, {2640, 240, 492, 192},
        {.text = "+1", .points = 0, .tip = "Abweichung einstellen"});
    row("Command4", "QPushButton", inForm, {2640, 480, 492, 192},
        {.text = "-1", .points = 0, .tip = "Abweichung einstellen"});
    row("Command2", "QPushButton", inForm, {3240, 240, 612, 372},
        {.text = "cls", .points = 10.5, .tip = "Bildschirm löschen"});
    row("Command1", "QPushButton", inForm, {3840, 240, 1692, 372},
        {.text = "Tripel anzeigen", .points = 10.5, .tip = ""});
    row("Command6", "QPushButton", inForm, {5640, 240, 375, 375},
        {.text = "X", .points = 12.0, .colour = {255, 0, 0}, .paintedAt = {5, 12}, .tip = ""});
    row("txtX1", "QLineEdit", inForm, {6240, 240, 492, 288}, {.points = 9.0, .align = centre});
    row("hscX1", "ScrollBar", inForm, {6240, 480, 732, 132}, {.orientation = h, .maximum = 100});
    row("hscY1", "ScrollBar", inForm, {6480, 120, 732, 132}, {.orientation = h, .maximum = 100});
    row("txtY1", "QLineEdit", inForm, {6720, 240, 492, 288}, {.points = 9.0, .align = centre});
    row("txtX2", "QLineEdit", inForm, {8040, 240, 492, 288}, {.points = 9.0, .align = centre});
    row("hscX2", "ScrollBar", inForm, {8040, 480, 732, 132}, {.orientation = h, .maximum = 100});
    row("hscY2", "ScrollBar", inForm, {8280, 120, 732, 132}, {.orientation = h, .maximum = 100});
    row("txtY2", "QLineEdit", inForm, {8520, 240, 492, 288}, {.points = 9.0, .align = centre});
    row("Label1", "QLabel", inForm, {9360, 240, 972, 372},
        {.text = "Anzahl:", .points = 10.5, .align = Qt::AlignRight});
    // Written by the first search.
    row("txtAnzahl", "QLineEdit", inForm, {10560, 240, 972, 372},
        {.text = " 126", .points = 13.5, .align = centre});
    row("Label4", "QLabel", inForm, {11640, 720, 375, 375},
        {.text = "H", .points = 11.25, .align = centre});
    row("vscBildschirm", "ScrollBar", inForm, {11640, 960, 372, 2295},
        {.orientation = Qt::Vertical, .maximum = 9972, .value = 9972});
    row("picAusgabe", "Canvas", inForm, {360, 720, 11172, 9972}, {.points = 10.5});
    row("Label2", "QLabel", inPlot, {0, 0, 2055, 255},
        {.text = "Radius des Kreises", .points = 11.25, .align = centre});
    row("txtRadius", "QLineEdit", inPlot, {2040, 0, 855, 285},
        {.text = "25", .points = 11.25, .align = centre});
    row("hscRadius", "ScrollBar", inPlot, {2880, 0, 8175, 252},
        {.orientation = h, .maximum = 141, .value = 25});
    row("txtHilfe", "QLineEdit", inPlot, {0, 240, 11055, 375},
        {.text = "Text3",
         .points = 12.0,
         .align = centre,
         .colour = {255, 255, 192},
         .paintedAt = {6, 12}});
    // Written and moved by the first frame drawing.
    row("Text2", "QLineEdit", inPlot, {1560, 9360, 372, 336},
        {.moves = true,
         .text = "25",
         .points = 10.5,
         .align = centre,
         .colour = {255, 192, 128},
         .paintedAt = {3, 11}});
    row("picInfo", "Canvas", inPlot, {6720, 3480, 2412, 2412}, {.moves = true, .points = 0});
    row("txtInfo", "TextArea", "picInfo", {0, 1680, 2412, 735},
        {.text = "Text4",
         .points = 10.5,
         .align = centre,
         .colour = {255, 255, 255},
         .paintedAt = {4, 42}});
    // The lines' pixels are checked where they show: the arrow and the segment with its mirror.
    for (const char *line : {"Line1", "Line2", "Line3"})
        row(line, "LineItem", inForm, {}, {});
    for (const char *line : {"Line4", "Line5"})
        row(line, "LineItem", inPlot, {}, {});
}

void TestWindow::controls() {
    QFETCH(Control, expected);

    const char *name = QTest::currentDataTag();
    QObject *object = control<QObject>(form(), name);
    QVERIFY2(object->inherits(expected.kind), object->metaObject()->className());
    QVERIFY(object->parent() != nullptr);
    QCOMPARE(object->parent()->objectName(), QString::fromLatin1(expected.container));
    QCOMPARE(form().findChildren<QObject *>(QString::fromLatin1(name)).size(), 1);

    if (qobject_cast<LineItem *>(object) != nullptr) {
        QVERIFY2(!object->isWidgetType(), "a line is no widget");
        return;
    }

    auto *widget = qobject_cast<QWidget *>(object);
    QVERIFY(widget != nullptr);
    if (expected.moves)
        QCOMPARE(widget->size(), expected.place.size());
    else
        QCOMPARE(widget->geometry(), expected.place);

    if (expected.text != nullptr)
        QCOMPARE(shownText(object), QString::fromUtf8(expected.text));
    if (expected.points > 0) {
        const QFont font = widget->font();
        QCOMPARE(font.family(), QStringLiteral("Times New Roman"));
        QCOMPARE(font.pointSizeF(), expected.points);
        QCOMPARE(font.weight(), QFont::Normal);
        QVERIFY(!font.italic());
        QVERIFY(!font.underline());
        QVERIFY(!font.strikeOut());
    } else if (expected.points == 0) {
        const QFont windowFont = form().font();
        QVERIFY(windowFont.family() != QStringLiteral("Times New Roman"));
        const QFont font = widget->font();
        QCOMPARE(font.family(), windowFont.family());
        QCOMPARE(font.pointSizeF(), windowFont.pointSizeF());
        QCOMPARE(font.weight(), windowFont.weight());
        QCOMPARE(font.italic(), windowFont.italic());
    }
    if (expected.align != Qt::Alignment())
        QCOMPARE(shownAlignment(object) & Qt::AlignHorizontal_Mask, expected.align);
    if (expected.tip != nullptr)
        QCOMPARE(widget->toolTip(), QString::fromUtf8(expected.tip));

    if (expected.colour.isValid()) {
        const auto role = object->inherits("QAbstractButton") ? QPalette::Button : QPalette::Base;
        QCOMPARE(widget->palette().color(role), expected.colour);
    }

    if (expected.maximum >= 0) {
        const auto *bar = qobject_cast<ScrollBar *>(object);
        QVERIFY(bar != nullptr);
        QCOMPARE(bar->orientation(), expected.orientation);
        QCOMPARE(bar->minimum(), 0);
        QCOMPARE(bar->maximum(), expected.maximum);
        QCOMPARE(bar->singleStep(), 1);
        QCOMPARE(bar->pageStep(), 1);
        if (expected.value >= 0)
            QCOMPARE(bar->value(), expected.value);
        QVERIFY(!bar->invertedAppearance());
    }

    showForm();
    QVERIFY2(widget->isVisible(), "every control is visible from the start");
    if (expected.text != nullptr) // showing the window changes no text
        QCOMPARE(shownText(object), QString::fromUtf8(expected.text));
    if (!expected.paintedAt.isNull()) {
        // What the window really paints there, away from the control's text.
        const QImage shot = form().grab().toImage();
        const QPoint at = widget->mapTo(&form(), expected.paintedAt);
        QWidget *inner = widget->childAt(expected.paintedAt);
        QCOMPARE(form().childAt(at), inner != nullptr ? inner : widget);
        const QColor seen = shot.pixelColor(at * shot.devicePixelRatio());
        QCOMPARE(seen.rgb() & 0x00ffffffu, expected.colour.rgb() & 0x00ffffffu);
    }
}

// The arrow beside the segment boxes, pixel by pixel: a shaft on row 24 from column 488 to 528
// and two barbs meeting it at its tip (528, 24), one pixel wide.
void TestWindow::arrowShowsOnItsPixels() {
    showForm();
    QSet<QPoint> arrow;
    for (int x = 488; x <= 528; ++x)
        arrow.insert(QPoint(x, 24));
    for (int k = 0; k <= 8; ++k) {
        arrow.insert(QPoint(520 + k, 16 + k));
        arrow.insert(QPoint(520 + k, 32 - k));
    }
    const QImage shot = form().grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRgb ink = form().palette().color(QPalette::WindowText).rgb();
    QCOMPARE(TestSupport::pixelsOf(shot, ink, QRect(482, 8, 53, 33)), arrow);
}

// The picture drawn at start-up is on screen as soon as the window opens. Also leaves a picture
// of the opened window, window.png, beside the test program.
void TestWindow::firstPictureIsOnScreen() {
    showForm();
    QTest::qWait(50);
    const QImage shot = form().grab().toImage().convertToFormat(QImage::Format_RGB32);
    QVERIFY(shot.save(QDir(QCoreApplication::applicationDirPath()).filePath("window.png")));
    QCOMPARE(shot.devicePixelRatio(), 1.0);

    auto *canvas = control<Canvas>(form(), "picAusgabe");
    QList<QLineF> lines;
    for (const LineItem *line : canvas->lineItems())
        lines << QLineF(line->pixelStart(), line->pixelEnd());
    const auto nearLine = [&lines](QPointF p) {
        for (const QLineF &l : lines) {
            const QPointF d = l.p2() - l.p1();
            const double len2 = QPointF::dotProduct(d, d);
            const double t =
                len2 > 0 ? std::clamp(QPointF::dotProduct(p - l.p1(), d) / len2, 0.0, 1.0) : 0;
            const QPointF q = l.p1() + t * d - p;
            if (std::hypot(q.x(), q.y()) < 4)
                return true;
        }
        return false;
    };

    int compared = 0;
    int marks = 0;
    for (int x = 1; x <= 100; ++x)
        for (int y = 1; y <= 100; ++y) {
            const QPoint inCanvas = TestSupport::plotPixel(canvas->size(), x + 0.5, y + 0.5);
            const QPoint inWindow = canvas->mapTo(&form(), inCanvas);
            if (form().childAt(inWindow) != canvas || nearLine(QPointF(inCanvas) + QPointF(.5, .5)))
                continue; // covered by a control or a segment line
            const QRgb drawn = canvas->image().pixel(inCanvas) & 0x00ffffffu;
            const QRgb shown = shot.pixel(inWindow) & 0x00ffffffu;
            QVERIFY2(drawn == shown, qPrintable(QStringLiteral("cell %1,%2").arg(x).arg(y)));
            ++compared;
            if (drawn == TestSupport::markBlue || drawn == TestSupport::markRed ||
                drawn == TestSupport::markBlack)
                ++marks;
        }
    QVERIFY2(compared > 8000, qPrintable(QString::number(compared)));
    QVERIFY2(marks > 100, qPrintable(QString::number(marks)));
}

// ---------------------------------------------------------------------------------------------
// Keyboard focus

void TestWindow::tabKeyVisitsTheControlsInOrder() {
    using TestSupport::tabOrder;
    showForm(true);
    control<QWidget>(form(), "picAusgabe")->setFocus(Qt::OtherFocusReason);
    QCOMPARE(QApplication::focusWidget(), control<QWidget>(form(), "picAusgabe"));

    QStringList forward;
    for (qsizetype i = 0; i < tabOrder.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY(QApplication::focusWidget() != nullptr);
        forward << QApplication::focusWidget()->objectName();
    }
    QStringList expected = tabOrder.mid(1);
    expected << tabOrder.first(); // round to the start
    QCOMPARE(forward, expected);

    QStringList backward;
    for (qsizetype i = 0; i < tabOrder.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        backward << QApplication::focusWidget()->objectName();
    }
    QStringList reversed(tabOrder.crbegin(), tabOrder.crend());
    QCOMPARE(backward, reversed);
}

void TestWindow::labelsNeverTakeFocus_data() {
    QTest::addColumn<int>("unused");
    for (const char *name : {"Label1", "Label2", "Label3", "Label4"})
        QTest::newRow(name) << 0;
}

void TestWindow::labelsNeverTakeFocus() {
    showForm(true);
    auto *label = control<QLabel>(form(), QTest::currentDataTag());
    QCOMPARE(label->focusPolicy(), Qt::NoFocus);
    auto *text1 = control<QWidget>(form(), "Text1");
    text1->setFocus(Qt::OtherFocusReason);
    QTest::mouseClick(label, Qt::LeftButton, Qt::NoModifier, pointOn(label));
    QVERIFY(QApplication::focusWidget() != label);
    QVERIFY(!label->hasFocus());
}

void TestWindow::scrollBarsTakeFocusByClick_data() {
    QTest::addColumn<int>("unused");
    for (const char *name : {"hscX1", "hscY1", "hscX2", "hscY2", "hscRadius", "vscBildschirm"})
        QTest::newRow(name) << 0;
}

void TestWindow::scrollBarsTakeFocusByClick() {
    showForm(true);
    auto *bar = control<ScrollBar>(form(), QTest::currentDataTag());
    QVERIFY((bar->focusPolicy() & Qt::StrongFocus) == Qt::StrongFocus);
    control<QWidget>(form(), "Text1")->setFocus(Qt::OtherFocusReason);
    const int value = bar->value();
    // A click on the thumb that does not move it.
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, TestSupport::thumbRect(bar).center());
    QCOMPARE(QApplication::focusWidget(), bar);
    QCOMPARE(bar->value(), value);
}

// ---------------------------------------------------------------------------------------------
// Help line

void TestWindow::helpLineStartsWithItsInitialText() {
    QCOMPARE(TestSupport::text(form(), "txtHilfe"), QStringLiteral("Text3"));
    showForm(true);
    QTest::qWait(20);
    QCOMPARE(TestSupport::text(form(), "txtHilfe"), QStringLiteral("Text3"));
}

// What a move over each control writes into the help line, and what screen readers read as its
// description: the same text. The controls without one leave the line as it is.
void TestWindow::helpTexts_data() {
    QTest::addColumn<bool>("writes");
    QTest::addColumn<QString>("help");

    for (const TestSupport::Help &entry : TestSupport::helpTexts())
        QTest::newRow(entry.control) << !entry.onPress << entry.text; // txtY1: only a press writes
    for (const char *name :
         {"Command3", "Command4", "hscX1", "hscY1", "hscX2", "hscY2", "vscBildschirm", "picAusgabe",
          "hscRadius", "txtRadius", "txtHilfe", "Text2", "picInfo", "txtInfo"})
        QTest::newRow(name) << false << QString();
}

void TestWindow::helpTexts() {
    QFETCH(bool, writes);
    QFETCH(QString, help);

    showForm();
    auto *target = control<QWidget>(form(), QTest::currentDataTag());
    auto *helpLine = control<QLineEdit>(form(), "txtHilfe");
    const QString expected = writes ? help : untouched;
    if (!help.isNull())
        QCOMPARE(QAccessible::queryAccessibleInterface(target)->text(QAccessible::Description),
                 help);

    // Two places on the control, and each move writes the text again.
    for (const bool fromBottomRight : {false, true}) {
        parkPointer();
        helpLine->setText(untouched);
        const QPoint at = pointOn(target, fromBottomRight);
        QVERIFY2(!at.isNull(), "the control is covered everywhere");
        hover(target, at);
        QCOMPARE(helpLine->text(), expected);
    }

    // The pressed buttons and the shift state make no difference.
    helpLine->setText(untouched);
    const QPoint at = pointOn(target);
    QWidget *under = form().childAt(target->mapTo(&form(), at));
    const QPoint local = under->mapFrom(&form(), target->mapTo(&form(), at));
    QMouseEvent move(QEvent::MouseMove, local, under->mapToGlobal(local), Qt::NoButton,
                     Qt::RightButton, Qt::ShiftModifier);
    QApplication::sendEvent(under, &move);
    QCOMPARE(helpLine->text(), expected);
}

void TestWindow::helpOnPressOverTxtY1_data() {
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");

    QTest::newRow("left") << Qt::LeftButton << Qt::KeyboardModifiers();
    QTest::newRow("right") << Qt::RightButton << Qt::KeyboardModifiers();
    QTest::newRow("middle") << Qt::MiddleButton << Qt::KeyboardModifiers();
    QTest::newRow("shift-left") << Qt::LeftButton << Qt::KeyboardModifiers(Qt::ShiftModifier);
}

void TestWindow::helpOnPressOverTxtY1() {
    QFETCH(Qt::MouseButton, button);
    QFETCH(Qt::KeyboardModifiers, modifiers);

    showForm(true);
    auto *box = control<QLineEdit>(form(), "txtY1");
    auto *helpLine = control<QLineEdit>(form(), "txtHilfe");
    helpLine->setText(untouched);
    hover(box, pointOn(box));
    QCOMPARE(helpLine->text(), untouched);

    QTest::mousePress(box, button, modifiers, pointOn(box, true));
    QCOMPARE(helpLine->text(), helpSegment);
    helpLine->setText(untouched);
    QTest::mouseRelease(box, button, modifiers, pointOn(box, true));
    QCOMPARE(helpLine->text(), untouched); // the release writes nothing
    QCOMPARE(box->text(), QStringLiteral("1"));
}

void TestWindow::helpAlongPointerPaths_data() {
    QTest::addColumn<QList<QPoint>>("path"); // window coordinates
    QTest::addColumn<QStringList>("helps");  // the help line after each step

    const QString empty;
    const QString helpExit = help("Command6");
    const QString helpDeviation = help("Text1");
    const QString helpCount = help("Label1");
    const QString helpRadius = help("Label2");
    const QString helpClear = help("Command2");
    const QString helpCompress = help("Label4");
    const QPoint overCommand1(300, 28);
    QTest::newRow("Command6, gap, txtX1") << QList<QPoint>{{388, 28}, {408, 28}, {424, 28}}
                                          << QStringList{helpExit, empty, helpSegment};
    QTest::newRow("Text1, gap, Command3")
        << QList<QPoint>{{130, 22}, {172, 22}, {190, 22}, {200, 20}}
        << QStringList{helpDeviation, empty, empty, empty};
    QTest::newRow("Label3 onto Text1") << QList<QPoint>{{60, 28}, {108, 28}, {130, 28}}
                                       << QStringList{helpDeviation, helpDeviation, helpDeviation};
    QTest::newRow("Label1, gap, txtAnzahl") << QList<QPoint>{{660, 28}, {696, 28}, {720, 28}}
                                            << QStringList{helpCount, empty, helpCount};
    QTest::newRow("Label2 onto the canvas")
        << QList<QPoint>{{84, 56}, {84, 120}, {124, 348}, {424, 548}, {700, 650}}
        << QStringList{helpRadius, helpRadius, helpRadius, helpRadius, helpRadius};
    QTest::newRow("along the arrow")
        << QList<QPoint>{overCommand1, {490, 24},    overCommand1, {510, 24},    overCommand1,
                         {524, 20},    overCommand1, {524, 28},    overCommand1, {527, 24}}
        << QStringList{helpSearch, empty,      helpSearch, empty,      helpSearch,
                       empty,      helpSearch, empty,      helpSearch, empty};
    QTest::newRow("bare window around the controls")
        << QList<QPoint>{overCommand1, {5, 30},      overCommand1, {795, 30},    overCommand1,
                         {12, 400},    overCommand1, {795, 300},   overCommand1, {212, 36}}
        << QStringList{helpSearch, empty,      helpSearch, empty,      helpSearch,
                       empty,      helpSearch, empty,      helpSearch, empty};
    QTest::newRow("button to button")
        << QList<QPoint>{{8, 8}, {300, 28}, {330, 28}, {220, 28}, {388, 28}, {780, 56}}
        << QStringList{helpInfo, helpSearch, helpSearch, helpClear, helpExit, helpCompress};
}

void TestWindow::helpAlongPointerPaths() {
    QFETCH(QList<QPoint>, path);
    QFETCH(QStringList, helps);
    QCOMPARE(path.size(), helps.size());

    showForm();
    auto *helpLine = control<QLineEdit>(form(), "txtHilfe");
    helpLine->setText(untouched);
    for (qsizetype i = 0; i < path.size(); ++i) {
        QTest::mouseMove(&form(), path[i]);
        QVERIFY2(helpLine->text() == helps[i], qPrintable(QStringLiteral("step %1 at %2,%3: \"%4\"")
                                                              .arg(i)
                                                              .arg(path[i].x())
                                                              .arg(path[i].y())
                                                              .arg(helpLine->text())));
    }
}

// ---------------------------------------------------------------------------------------------
// Information box and exit

void TestWindow::infoBox_data() {
    QTest::addColumn<Activation>("how");

    QTest::newRow("click") << Activation::Click;
    QTest::newRow("space") << Activation::Space;
    QTest::newRow("return") << Activation::Return;
    QTest::newRow("enter") << Activation::Enter;
}

void TestWindow::infoBox() {
    QFETCH(Activation, how);

    showForm(true);
    auto *button = control<QPushButton>(form(), "Command5");
    auto *search = control<QPushButton>(form(), "Command1");
    hover(button, pointOn(button));
    QCOMPARE(TestSupport::text(form(), "txtHilfe"), helpInfo);
    // A search that got through the box would show the marks of this deviation.
    control<QLineEdit>(form(), "Text1")->setText(QStringLiteral("2"));
    const Snapshot before = Snapshot::of(form());

    BoxReport report;
    QTimer poll;
    poll.setInterval(10);
    connect(&poll, &QTimer::timeout, this, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal == nullptr || !modal->isVisible())
            return;
        poll.stop();
        report.seen = true;
        auto *box = qobject_cast<QMessageBox *>(modal);
        if (box != nullptr) {
            report.title = box->windowTitle();
            report.message = box->text();
            report.icon = box->icon();
            report.buttonCount = int(box->buttons().size());
            report.standardButtons = box->standardButtons();
        }
        report.modal = modal->windowModality() != Qt::NonModal;

        // The window takes no input while the box is open.
        QWindow *window = form().windowHandle();
        const QPoint onSearch = search->mapTo(&form(), search->rect().center());
        report.blocksWindow =
            QGuiApplication::modalWindow() != nullptr && QGuiApplication::modalWindow() != window;
        QTest::mouseMove(window, onSearch);
        QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, onSearch);
        report.helpWhileOpen = TestSupport::text(form(), "txtHilfe");

        QAbstractButton *ok = box != nullptr ? box->button(QMessageBox::Ok) : nullptr;
        if (ok != nullptr)
            ok->click();
        else
            modal->close();
    });
    poll.start();
    activate(button, how);
    poll.stop();

    QVERIFY2(report.seen, "no modal box appeared");
    QCOMPARE(report.title, QStringLiteral("Programmiert von"));
    QVERIFY(!report.message.trimmed().isEmpty());
    QCOMPARE(report.icon, QMessageBox::Information);
    QCOMPARE(report.buttonCount, 1);
    QCOMPARE(report.standardButtons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QVERIFY(report.modal);
    QVERIFY(report.blocksWindow);
    QCOMPARE(report.helpWhileOpen, helpInfo);

    QVERIFY(QApplication::activeModalWidget() == nullptr);
    QVERIFY(form().isVisible());
    compareSnapshots(Snapshot::of(form()), before);
}

void TestWindow::exitEndsTheProgram_data() {
    QTest::addColumn<Activation>("how");

    QTest::newRow("click") << Activation::Click;
    QTest::newRow("space") << Activation::Space;
    QTest::newRow("return") << Activation::Return;
}

void TestWindow::exitEndsTheProgram() {
    QFETCH(Activation, how);

    showForm(true);
    auto *button = control<QPushButton>(form(), "Command6");
    bool modalSeen = false;

    // Only a guard against a hang should the button fail to end the event loop.
    QTimer guard;
    guard.setSingleShot(true);
    connect(&guard, &QTimer::timeout, this, [] { QCoreApplication::exit(99); });
    QTimer poll;
    poll.setInterval(10);
    connect(&poll, &QTimer::timeout, this, [&] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            modalSeen = true; // no question before ending
            modal->close();
        }
    });
    QTimer::singleShot(0, &form(), [button, how, &guard, &poll] {
        guard.start(60000);
        poll.start();
        activate(button, how);
    });
    const int code = QApplication::exec();
    poll.stop();
    guard.stop();

    QCOMPARE(code, 0);
    QVERIFY(!modalSeen);
    QVERIFY(!form().isVisible());
}

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
