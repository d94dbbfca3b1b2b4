// The window on the user's desktop: Qt's own texts in German, text and the preview that stay
// readable under a dark colour scheme, what screen readers announce, the window's height without
// a title bar, and text boxes that keep long pastes whole and remember only so much for undo.

#include "testsupport.h"

#include "window/qttranslation.h"
#include "window/textarea.h"

#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QApplication>
#include <QClipboard>
#include <QLibraryInfo>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTimer>
#include <cmath>
#include <functional>
#include <memory>

using TestSupport::control;

namespace {

// Relative luminance and contrast ratio as WCAG 2 defines them.
double luminance(QRgb colour) {
    const auto linear = [](int channel) {
        const double c = channel / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(qRed(colour)) + 0.7152 * linear(qGreen(colour)) +
           0.0722 * linear(qBlue(colour));
}

double contrast(QRgb a, QRgb b) {
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// What stands out on a picture: the ground is the most frequent colour in the area, the drawing
// the pixel that differs most from it.
struct Contrast {
    QRgb ground = 0;
    QRgb drawing = 0;
    double ratio = 1;
    QString text() const {
        return QStringLiteral("%1 on %2: %3:1")
            .arg(QColor(drawing).name(), QColor(ground).name())
            .arg(ratio, 0, 'f', 2);
    }
};

Contrast measureContrast(const QImage &shot, const QRect &area) {
    QHash<QRgb, int> frequency;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            ++frequency[shot.pixel(x, y)];
    Contrast c;
    c.ground = shot.pixel(area.topLeft());
    for (auto it = frequency.cbegin(); it != frequency.cend(); ++it)
        if (it.value() > frequency.value(c.ground))
            c.ground = it.key();
    c.drawing = c.ground;
    for (auto it = frequency.cbegin(); it != frequency.cend(); ++it)
        if (contrast(it.key(), c.ground) > contrast(c.drawing, c.ground))
            c.drawing = it.key();
    c.ratio = contrast(c.drawing, c.ground);
    return c;
}

// A dark colour scheme as desktops give it: light text on dark grounds.
QPalette darkPalette() {
    const QColor light(230, 230, 230);
    QPalette dark(QColor(60, 60, 60), QColor(45, 45, 45));
    dark.setColor(QPalette::WindowText, light);
    dark.setColor(QPalette::Base, QColor(30, 30, 30));
    dark.setColor(QPalette::AlternateBase, QColor(45, 45, 45));
    dark.setColor(QPalette::Text, light);
    dark.setColor(QPalette::ButtonText, light);
    dark.setColor(QPalette::BrightText, Qt::white);
    dark.setColor(QPalette::Highlight, QColor(42, 130, 218));
    dark.setColor(QPalette::HighlightedText, Qt::black);
    return dark;
}

// Builds the window and shows it; it is built after any palette change, as at start-up.
std::unique_ptr<Form1> shownForm() {
    auto form = std::make_unique<Form1>();
    form->show();
    if (!QTest::qWaitForWindowExposed(form.get()))
        qFatal("window not exposed");
    return form;
}

QAccessibleInterface *accessible(QWidget *widget) {
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(widget);
    if (face == nullptr)
        qFatal("no accessible interface for %s", qPrintable(widget->objectName()));
    return face;
}

// The texts of the popup menu that `open` brings up, read while it is open, then closed. Some
// controls wait in their menu until it closes, others leave it open and return.
QStringList menuTexts(const std::function<void()> &open) {
    QStringList texts;
    const auto readAndClose = [&texts] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        if (menu == nullptr)
            return;
        for (const QAction *action : menu->actions())
            if (!action->isSeparator())
                texts << action->text();
        menu->close();
    };
    QTimer whileWaiting;
    whileWaiting.setSingleShot(true);
    QObject::connect(&whileWaiting, &QTimer::timeout, readAndClose);
    whileWaiting.start(0);
    open();
    if (texts.isEmpty())
        readAndClose();
    return texts;
}

// Puts the text on the clipboard and pastes it over the box's whole text, with the keys.
void pasteOver(QLineEdit *box, const QString &text) {
    QGuiApplication::clipboard()->setText(text);
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
}

} // namespace

class TestDesktop : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void qtTextsAreGerman_data();
    void qtTextsAreGerman();

    void textContrastUnderDarkPalette_data();
    void textContrastUnderDarkPalette();
    void previewContrast_data();
    void previewContrast();

    void everyControlHasAName();
    void plotDescriptionFollowsTheSearch_data();
    void plotDescriptionFollowsTheSearch();
    void barValuesAsSpoken_data();
    void barValuesAsSpoken();

    void framelessWindowHeight();

    void longPasteArrivesWhole_data();
    void longPasteArrivesWhole();
    void undoStaysBounded_data();
    void undoStaysBounded();
};

void TestDesktop::initTestCase() {
    // The translation is German whatever the locale says.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QVERIFY2(installQtGermanTranslation(*qApp),
             qPrintable(QStringLiteral("no qtbase_de.qm in %1 (Debian: qt6-translations-l10n)")
                            .arg(QLibraryInfo::path(QLibraryInfo::TranslationsPath))));
    QCursor::setPos(-3000, -3000);
}

// ---------------------------------------------------------------------------------------------
// Qt's own texts

void TestDesktop::qtTextsAreGerman_data() {
    QTest::addColumn<QString>("owner"); // whose context menu; empty: a message box
    QTest::addColumn<QStringList>("texts");

    // The key names are translated too; the keys for Redo are those of the headless platform.
    QTest::newRow("text box menu")
        << "Text1" << QStringList{"&Rückgängig\tStrg+Z",    "Wieder&herstellen\tStrg+Y",
                                  "&Ausschneiden\tStrg+X",  "&Kopieren\tStrg+C",
                                  "Einf&ügen\tStrg+V",      "Löschen",
                                  "Alles auswählen\tStrg+A"};
    QTest::newRow("information box menu")
        << "txtInfo" << QStringList{"&Kopieren\tStrg+C", "Alles auswählen\tStrg+A"};
    QTest::newRow("horizontal scroll bar menu")
        << "hscRadius" << QStringList{"Hierher scrollen",       "Linker Rand",
                                      "Rechter Rand",           "Eine Seite nach links",
                                      "Eine Seite nach rechts", "Nach links scrollen",
                                      "Nach rechts scrollen"};
    QTest::newRow("vertical scroll bar menu") << "vscBildschirm"
                                              << QStringList{"Hierher scrollen",
                                                             "Anfang",
                                                             "Ende",
                                                             "Eine Seite nach oben",
                                                             "Eine Seite nach unten",
                                                             "Nach oben scrollen",
                                                             "Nach unten scrollen"};
    QTest::newRow("message box buttons") << "" << QStringList{"OK", "Abbrechen", "Schließen"};
}

void TestDesktop::qtTextsAreGerman() {
    QFETCH(QString, owner);
    QFETCH(QStringList, texts);

    if (owner.isEmpty()) {
        QMessageBox box(QMessageBox::Question, QString(), QString(),
                        QMessageBox::Ok | QMessageBox::Cancel | QMessageBox::Close);
        QStringList shown;
        for (QMessageBox::StandardButton which :
             {QMessageBox::Ok, QMessageBox::Cancel, QMessageBox::Close})
            shown << box.button(which)->text();
        QCOMPARE(shown, texts);
        return;
    }

    const auto form = shownForm();
    auto *widget = control<QWidget>(*form, owner.toLatin1().constData());
    if (auto *area = qobject_cast<TextArea *>(widget))
        widget = area->viewport(); // where a text area takes its pointer events
    const QPoint at = widget->rect().center();
    const QStringList shown = menuTexts([&] {
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, widget->mapToGlobal(at));
        QCoreApplication::sendEvent(widget, &event);
    });
    QCOMPARE(shown, texts);
}

// ---------------------------------------------------------------------------------------------
// Colours

// Every control that shows text, measured on its rendered picture inside its frame: the ground is
// the most frequent colour there, the text the pixel that stands out most from it.
void TestDesktop::textContrastUnderDarkPalette_data() {
    QTest::addColumn<int>("unused");

    for (const char *name :
         {"Command1", "Command2", "Command3", "Command4", "Command5", "Command6",  "Label1",
          "Label2",   "Label3",   "Label4",   "Text1",    "Text2",    "txtAnzahl", "txtRadius",
          "txtHilfe", "txtX1",    "txtY1",    "txtX2",    "txtY2",    "txtInfo"})
        QTest::newRow(name) << 0;
}

void TestDesktop::textContrastUnderDarkPalette() {
    const QPalette before = QApplication::palette();
    QApplication::setPalette(darkPalette());
    const auto restore = qScopeGuard([&before] { QApplication::setPalette(before); });
    const auto form = shownForm();

    // As shown, among what its container paints around and beneath it.
    auto *widget = control<QWidget>(*form, QTest::currentDataTag());
    const QImage shot = widget->parentWidget()
                            ->grab(widget->geometry())
                            .toImage()
                            .convertToFormat(QImage::Format_RGB32);
    const int frame = 2;
    const Contrast measured =
        measureContrast(shot, shot.rect().adjusted(frame, frame, -frame, -frame));
    QVERIFY2(measured.ratio >= 4.5, qPrintable(measured.text()));
}

// The triangle of the preview on its ground, above the readout box, under a dark scheme and under
// the light one, where the ground stays the palette's own.
void TestDesktop::previewContrast_data() {
    QTest::addColumn<bool>("dark");
    QTest::newRow("dark palette") << true;
    QTest::newRow("light palette") << false;
}

void TestDesktop::previewContrast() {
    QFETCH(bool, dark);
    const QPalette before = QApplication::palette();
    if (dark)
        QApplication::setPalette(darkPalette());
    const auto restore = qScopeGuard([&before] { QApplication::setPalette(before); });
    const auto form = shownForm();
    auto *canvas = control<Canvas>(*form, "picAusgabe");
    // Two moves: a move to where the pointer already is from the row before is no move.
    QTest::mouseMove(canvas, TestSupport::pixelFor(*canvas, 10.5f, 10.5f));
    QTest::mouseMove(canvas, TestSupport::pixelFor(*canvas, 30.5f, 40.5f));

    auto *preview = control<Canvas>(*form, "picInfo");
    const QImage shot = preview->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const int aboveReadout = control<QWidget>(*form, "txtInfo")->y();
    const Contrast measured = measureContrast(shot, QRect(0, 0, shot.width(), aboveReadout));
    qInfo("%s: %s", QTest::currentDataTag(), qPrintable(measured.text()));
    QCOMPARE(QColor(measured.drawing), QColor(0, 0, 192));
    QVERIFY2(measured.ratio >= 3, qPrintable(measured.text()));
    if (!dark)
        QCOMPARE(QColor(measured.ground), QApplication::palette().color(QPalette::Base));
}

// ---------------------------------------------------------------------------------------------
// Screen readers

// Walks the accessible tree from the window: every control that takes the focus has a name of
// words, a button's name begins with its caption, no two controls (labels included) share a
// name, and the walk meets every control that takes the focus.
void TestDesktop::everyControlHasAName() {
    const auto form = shownForm();
    const QRegularExpression word(QStringLiteral("\\p{L}{2}"));
    QStringList focusable;
    QStringList faults;
    QHash<QString, QString> owners; // name -> control
    std::function<void(QAccessibleInterface *)> walk = [&](QAccessibleInterface *face) {
        const auto *widget = qobject_cast<const QWidget *>(face->object());
        const QString owner = widget != nullptr ? widget->objectName() : QString();
        const QString name = face->text(QAccessible::Name);
        if (!owner.isEmpty() && !owner.startsWith(QLatin1String("qt_"))) {
            if (face->state().focusable) {
                focusable << owner;
                if (!name.contains(word))
                    faults << owner + QStringLiteral(" is called \"") + name + QLatin1Char('"');
            }
            const auto *button = qobject_cast<const QAbstractButton *>(widget);
            if (button != nullptr && name != button->text() &&
                !name.startsWith(button->text() + QStringLiteral(": ")))
                faults << owner + QStringLiteral(" is called \"") + name +
                              QStringLiteral("\" without its caption ") + button->text();
            if (!name.isEmpty() && owners.contains(name))
                faults << owner + QStringLiteral(" has the name of ") + owners.value(name);
            owners.insert(name, owner);
        }
        for (int i = 0; i < face->childCount(); ++i)
            walk(face->child(i));
    };
    walk(accessible(form.get()));
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral("; "))));
    // A point query on the plot, as a screen reader's mouse review makes it, lands on the plot.
    auto *canvas = control<QWidget>(*form, "picAusgabe");
    const QPoint inside = canvas->mapToGlobal(canvas->rect().center());
    const QAccessibleInterface *hit = accessible(canvas)->childAt(inside.x(), inside.y());
    QVERIFY2(hit == nullptr, hit != nullptr ? hit->object()->metaObject()->className() : "");

    focusable.sort();
    QStringList expected = TestSupport::tabOrder;
    expected.sort();
    QCOMPARE(focusable, expected);
}

// The plot's description says what the last search drew, the deviation written as the deviation
// box writes it, or that "cls" left no marks.
void TestDesktop::plotDescriptionFollowsTheSearch_data() {
    QTest::addColumn<QString>("typed"); // into the deviation box before a search; null: no search
    QTest::addColumn<int>("radius");    // set with the radius bar, which redraws; -1: left alone
    QTest::addColumn<bool>("clear");    // "cls" pressed last
    QTest::addColumn<QString>("description");

    QTest::newRow("opening picture")
        << QString() << -1 << false << "126 Lösungen für Abweichung 0, Radius 25";
    QTest::newRow("deviation 2") << "2" << -1 << false << "22 Lösungen für Abweichung 2, Radius 25";
    QTest::newRow("deviation -03")
        << "-03" << -1 << false << "66 Lösungen für Abweichung -3, Radius 25";
    QTest::newRow("deviation 2.50")
        << "2.50" << -1 << false << "0 Lösungen für Abweichung 2.5, Radius 25";
    QTest::newRow("one solution") << "20000" << -1 << false
                                  << "1 Lösung für Abweichung 20000, Radius 25";
    QTest::newRow("radius bar") << QString() << 7 << false
                                << "126 Lösungen für Abweichung 0, Radius 7";
    QTest::newRow("cls") << "2" << -1 << true << "Keine Lösungen eingezeichnet, Radius 25";
}

void TestDesktop::plotDescriptionFollowsTheSearch() {
    QFETCH(QString, typed);
    QFETCH(int, radius);
    QFETCH(bool, clear);
    QFETCH(QString, description);

    const auto form = shownForm();
    if (!typed.isNull()) {
        auto *deviation = control<QLineEdit>(*form, "Text1");
        deviation->selectAll();
        QTest::keyClicks(deviation, typed);
        QTest::mouseClick(control<QPushButton>(*form, "Command1"), Qt::LeftButton);
    }
    if (radius >= 0)
        control<ScrollBar>(*form, "hscRadius")->setValue(radius);
    if (clear)
        QTest::mouseClick(control<QPushButton>(*form, "Command2"), Qt::LeftButton);

    const QString shown =
        accessible(control<Canvas>(*form, "picAusgabe"))->text(QAccessible::Description);
    QCOMPARE(shown, description);
}

// What a screen reader reads of a bar's value, in words and in number, and that its step down is
// one step of the bar. The compression bar tells its height as a share of the full one.
void TestDesktop::barValuesAsSpoken_data() {
    QTest::addColumn<QString>("bar");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("spoken");
    QTest::addColumn<double>("reported");

    QTest::newRow("full height") << "vscBildschirm" << 9972 << "100 % der vollen Höhe" << 100.0;
    QTest::newRow("half height") << "vscBildschirm" << 4986 << "50 % der vollen Höhe" << 50.0;
    QTest::newRow("one step below full")
        << "vscBildschirm" << 9971 << "99,99 % der vollen Höhe" << 99.98997;
    QTest::newRow("radius") << "hscRadius" << 30 << "30" << 30.0;
}

void TestDesktop::barValuesAsSpoken() {
    QFETCH(QString, bar);
    QFETCH(int, value);
    QFETCH(QString, spoken);
    QFETCH(double, reported);

    const auto form = shownForm();
    auto *scrollBar = control<ScrollBar>(*form, qPrintable(bar));
    scrollBar->setValue(value);
    QAccessibleInterface *face = accessible(scrollBar);
    QCOMPARE(face->text(QAccessible::Value), spoken);
    QAccessibleValueInterface *number = face->valueInterface();
    QVERIFY(number != nullptr);
    QVERIFY2(std::abs(number->currentValue().toDouble() - reported) < 1e-4,
             qPrintable(number->currentValue().toString()));
    number->setCurrentValue(reported - number->minimumStepSize().toDouble());
    QCOMPARE(scrollBar->value(), value - 1);
}

// ---------------------------------------------------------------------------------------------
// Frameless sessions

// A window without a title bar keeps the client area the design gives it under its outer height:
// back at the top, the compression bar leaves it as it opened.
void TestDesktop::framelessWindowHeight() {
    Form1 form;
    form.setWindowFlag(Qt::FramelessWindowHint);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    auto *bar = control<ScrollBar>(form, "vscBildschirm");
    bar->setValue(4986);
    QCOMPARE(form.height(), 393); // (4986 + 1452 - 549) / 15 = 392.6
    bar->setValue(9972);
    QCOMPARE(form.size(), QSize(811, 725));
}

// ---------------------------------------------------------------------------------------------
// Text boxes

// More blanks than a Qt text box keeps by default (32,767 characters), then a number; the number
// rule ignores the blanks.
void TestDesktop::longPasteArrivesWhole_data() {
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("kept");  // the box's text afterwards
    QTest::addColumn<QString>("count"); // txtAnzahl after "Tripel anzeigen"

    const QString blanks(40000, u' ');
    QTest::newRow("deviation") << "Text1" << blanks + "5" << blanks + "5"
                               << " 48";
    // The radius label hands the radius to the radius bar and is written anew from it.
    QTest::newRow("radius label") << "Text2" << blanks + "30"
                                  << "30"
                                  << " 126";
    for (const char *name : {"txtRadius", "txtHilfe", "txtX1", "txtY1", "txtX2", "txtY2"})
        QTest::newRow(name) << name << blanks + "7" << blanks + "7"
                            << " 126";
}

void TestDesktop::longPasteArrivesWhole() {
    QFETCH(QString, box);
    QFETCH(QString, pasted);
    QFETCH(QString, kept);
    QFETCH(QString, count);

    const auto form = shownForm();
    auto *edit = control<QLineEdit>(*form, qPrintable(box));
    pasteOver(edit, pasted);
    QVERIFY2(edit->text() == kept,
             qPrintable(QStringLiteral("%1 characters kept").arg(edit->text().size())));
    QTest::mouseClick(control<QPushButton>(*form, "Command1"), Qt::LeftButton);
    QCOMPARE(control<QLineEdit>(*form, "txtAnzahl")->text(), count);
}

// Ctrl+Z takes back what was typed, step by step; long pastes are not all remembered, or pasting
// again and again would fill the memory.
void TestDesktop::undoStaysBounded_data() {
    QTest::addColumn<QStringList>("entered"); // each over the whole text; typed, or pasted if long
    QTest::addColumn<QString>("afterUndo");   // the text after one Ctrl+Z per entry

    QTest::newRow("typed twice") << QStringList{"12", "345"} << "0";
    const QString ones(100000, u'1');
    const QString twos(100000, u'2');
    QTest::newRow("two long pastes") << QStringList{ones, twos} << twos;
    QTest::newRow("typed after a long paste") << QStringList{ones, "6", "78"} << "6";
}

void TestDesktop::undoStaysBounded() {
    QFETCH(QStringList, entered);
    QFETCH(QString, afterUndo);

    const auto form = shownForm();
    auto *deviation = control<QLineEdit>(*form, "Text1");
    for (const QString &text : entered) {
        if (text.size() > 100) {
            pasteOver(deviation, text);
        } else {
            QTest::keyClick(deviation, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(deviation, text);
        }
    }
    for (qsizetype i = 0; i < entered.size(); ++i)
        QTest::keyClick(deviation, Qt::Key_Z, Qt::ControlModifier);
    QVERIFY2(deviation->text() == afterUndo, qPrintable(QStringLiteral("%1 characters: %2")
                                                            .arg(deviation->text().size())
                                                            .arg(deviation->text().left(20))));
}

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
