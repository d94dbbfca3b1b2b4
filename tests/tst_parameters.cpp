// The parameter controls driven like a user would: the "+1"/"-1" buttons on the deviation, the
// radius bar by its thumb, the radius typed into its label on the canvas, and the compression
// bar that sets the canvas height; and every scroll bar (segment, radius, compression) stepped
// by its keys, arrows and track, with what it drives.
#include "testsupport.h"

#include "numbers/conversions.h"

#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <cmath>
#include <memory>

using namespace TestSupport;

namespace {

enum class BarAction {
    ArrowAdd,
    ArrowSub,
    TrackAdd,
    TrackSub,
    KeyRight,
    KeyLeft,
    KeyUp,
    KeyDown,
    KeyPageUp,
    KeyPageDown,
    KeyHome,
    KeyEnd,
};

// How a text reaches the radius label: typed key by key over the selected old text, put in as
// a whole (as a paste does), or the old text selected and erased.
enum class Entry { Typed, Whole, Erased };

} // namespace

Q_DECLARE_METATYPE(BarAction)
Q_DECLARE_METATYPE(Entry)

namespace {

void clickPart(QScrollBar *bar, QStyle::SubControl part) {
    const QRect rect = partRect(bar, part);
    QVERIFY2(!rect.isEmpty(), "the scroll bar part has no area to click");
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, rect.center());
}

void pressKey(QScrollBar *bar, Qt::Key key) {
    bar->setFocus(Qt::TabFocusReason);
    QTest::keyClick(bar, key);
}

void perform(QScrollBar *bar, BarAction action) {
    switch (action) {
    case BarAction::ArrowAdd:
        clickPart(bar, QStyle::SC_ScrollBarAddLine);
        break;
    case BarAction::ArrowSub:
        clickPart(bar, QStyle::SC_ScrollBarSubLine);
        break;
    case BarAction::TrackAdd:
        clickPart(bar, QStyle::SC_ScrollBarAddPage);
        break;
    case BarAction::TrackSub:
        clickPart(bar, QStyle::SC_ScrollBarSubPage);
        break;
    case BarAction::KeyRight:
        pressKey(bar, Qt::Key_Right);
        break;
    case BarAction::KeyLeft:
        pressKey(bar, Qt::Key_Left);
        break;
    case BarAction::KeyUp:
        pressKey(bar, Qt::Key_Up);
        break;
    case BarAction::KeyDown:
        pressKey(bar, Qt::Key_Down);
        break;
    case BarAction::KeyPageUp:
        pressKey(bar, Qt::Key_PageUp);
        break;
    case BarAction::KeyPageDown:
        pressKey(bar, Qt::Key_PageDown);
        break;
    case BarAction::KeyHome:
        pressKey(bar, Qt::Key_Home);
        break;
    case BarAction::KeyEnd:
        pressKey(bar, Qt::Key_End);
        break;
    }
}

// Pressing and moving the thumb in separate steps, so that a test can look between them.
QPoint pressThumb(QScrollBar *bar) {
    const QPoint start = partRect(bar, QStyle::SC_ScrollBarSlider).center();
    QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, start);
    return start;
}

QPoint moveThumb(QScrollBar *bar, QPoint start, int offset) {
    const QPoint at = bar->orientation() == Qt::Horizontal ? start + QPoint(offset, 0)
                                                           : start + QPoint(0, offset);
    QMouseEvent move(QEvent::MouseMove, at, bar->mapToGlobal(at), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(bar, &move);
    return at;
}

void releaseThumb(QScrollBar *bar, QPoint at) {
    QTest::mouseRelease(bar, Qt::LeftButton, Qt::NoModifier, at);
}

struct WorldPoint {
    float x;
    float y;
};

// Points of the quarter circle of radius r that lie inside the canvas, away from both axes
// (angles between about 27 and 63 degrees, off the diagonal's dots).
QList<WorldPoint> circlePoints(int r) {
    const double k = (3.1415 / 2) / 300;
    QList<WorldPoint> points;
    for (const int t : {90, 120, 180, 210}) {
        const auto x = static_cast<float>((r + 0.5) * std::cos(t * k));
        const auto y = static_cast<float>((r + 0.5) * std::sin(t * k));
        if (x < 119.0f && y < 114.0f)
            points.append({x, y});
    }
    return points;
}

int blackCirclePoints(const Canvas &canvas, int r) {
    int black = 0;
    for (const WorldPoint &p : circlePoints(r))
        if (colourAt(canvas, p.x, p.y) == markBlack)
            ++black;
    return black;
}

// Cells of the plot that do not show what a search with the deviation d paints: a mark (black on
// the diagonal, light blue above it, light red below it) where x² + y² − d is the square of a
// whole number, white elsewhere. The cells the circle of radius r crosses are left out.
int wrongCells(const Canvas &canvas, long long d, int r) {
    const double circle = r + 0.5;
    int wrong = 0;
    for (int x = 1; x <= 100; ++x)
        for (int y = 1; y <= 100; ++y) {
            if (circle > std::hypot(x, y) - 0.5 && circle < std::hypot(x + 1, y + 1) + 0.5)
                continue;
            const bool solution = wholeHypotenuse(x, y, d).has_value();
            const QRgb expected = !solution ? white
                                  : x == y  ? markBlack
                                  : x < y   ? markBlue
                                            : markRed;
            if (cellColour(canvas, x, y) != expected)
                ++wrong;
        }
    return wrong;
}

} // namespace

class TestParameters : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void deviationSteps_data();
    void deviationSteps();
    void deviationStepRedrawsNothing();
    void clearAfterSearchKeepsTheCount();

    void scrollBarSteps_data();
    void scrollBarSteps();
    void radiusBarDragReportsEachPositionOnce_data();
    void radiusBarDragReportsEachPositionOnce();
    void compressionBarReportsOnlyAtRelease();
    void programWriteReportsOnlyADifferentValue();

    void radiusDragBeyondLimit_data();
    void radiusDragBeyondLimit();
    void typedRadius_data();
    void typedRadius();

    void compressionHalvesVerticalDistances();
    void compressionToZeroAndBack();
    void compressionWhileMaximised();

private:
    QLineEdit *box(const char *name) const { return control<QLineEdit>(*m_form, name); }
    ScrollBar *bar(const char *name) const { return control<ScrollBar>(*m_form, name); }
    QPushButton *button(const char *name) const { return control<QPushButton>(*m_form, name); }
    const Canvas &canvas() const { return *control<Canvas>(*m_form, "picAusgabe"); }
    void checkRadiusShown(int r) const;
    int expectedWindowHeight(int canvasTwips) const;

    std::unique_ptr<Form1> m_form;
};

void TestParameters::init() {
    m_form = std::make_unique<Form1>();
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
}

void TestParameters::cleanup() { m_form.reset(); }

// The radius r everywhere it shows: the bar's value and thumb, both texts, the circle on the
// canvas and the label at the circle's foot, its top-left corner on the pixel that holds (r − 2,
// 1).
void TestParameters::checkRadiusShown(int r) const {
    ScrollBar *radius = bar("hscRadius");
    QCOMPARE(radius->value(), r);
    QCOMPARE(radius->sliderPosition(), r);
    QCOMPARE(box("txtRadius")->text(), QStringLiteral(" %1").arg(r));
    QCOMPARE(box("Text2")->text(), QString::number(r));
    QVERIFY(!circlePoints(r).isEmpty());
    QCOMPARE(blackCirclePoints(canvas(), r), circlePoints(r).size());
    QCOMPARE(box("Text2")->pos(), QPoint((r + 3) * 745 / 125, 114 * 665 / 120));
}

// The window's outer height for a canvas height, with the frame the window system adds.
int TestParameters::expectedWindowHeight(int canvasTwips) const {
    const int frame = m_form->frameGeometry().height() - m_form->geometry().height();
    return static_cast<int>(std::lround((canvasTwips + 1452) / 15.0)) - frame;
}

// ---------------------------------------------------------------------------------------------
// Deviation

void TestParameters::deviationSteps_data() {
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("clicks"); // '+' for the "+1" button, '-' for "-1"
    QTest::addColumn<QString>("expected");
    const auto row = [](const char *name, const char *start, const char *clicks,
                        const char *expected) {
        QTest::newRow(name) << QString::fromLatin1(start) << QString::fromLatin1(clicks)
                            << QString::fromLatin1(expected);
    };
    row("0 +1", "0", "+", " 1");
    row("0 -1", "0", "-", "-1");
    row("0 +1 -1", "0", "+-", " 0");
    row("0 -1 -1", "0", "--", "-2");
    row("-0.5 +1", "-0.5", "+", " .5");
    row("0.5 -1", "0.5", "-", "-.5");
    row("2.5 +1", "2.5", "+", " 3.5");
    row("letters +1", "abc", "+", " 1");
    row("empty +1", "", "+", " 1");
    row("empty -1", "", "-", "-1");
    row("comma ends the number", "3,5", "+", " 4");
    row("blanks inside", " 1 2", "+", " 13");
    row("fifteen nines +1", "999999999999999", "+", " 1E+15");
    row("1E+15 -1", " 1E+15", "-", " 999999999999999");
    row("tiny +1", "1e-20", "+", " 1");
    row("eight digits +1", "12345678", "+", " 12345679");
    row("hex +1", "&H10", "+", " 17");
    // Beyond the double range the number saturates and the text stays a finite number.
    row("1e400 +1", "1e400", "+", " 1.79769313486232E+308");
    row("1e400 -1", "1e400", "-", " 1.79769313486232E+308");
    row("-1e400 -1", "-1e400", "-", "-1.79769313486232E+308");
    row("1e400 +1 +1", "1e400", "++", " 1.79769313486232E+308");
}

void TestParameters::deviationSteps() {
    QFETCH(QString, start);
    QFETCH(QString, clicks);
    QFETCH(QString, expected);
    QLineEdit *deviation = box("Text1");
    deviation->setText(start);
    for (const QChar click : clicks)
        QTest::mouseClick(button(click == u'+' ? "Command3" : "Command4"), Qt::LeftButton);
    QCOMPARE(deviation->text(), expected);
    QVERIFY(std::isfinite(Conv::Val(deviation->text())));
}

void TestParameters::deviationStepRedrawsNothing() {
    const QImage picture = canvas().image();
    QCOMPARE(box("txtAnzahl")->text(), QStringLiteral(" 126"));

    QTest::mouseClick(button("Command3"), Qt::LeftButton);
    QTest::mouseClick(button("Command3"), Qt::LeftButton);
    QCOMPARE(box("Text1")->text(), QStringLiteral(" 2"));
    QVERIFY(canvas().image() == picture);
    QCOMPARE(box("txtAnzahl")->text(), QStringLiteral(" 126"));

    // "Tripel anzeigen" searches with the new deviation.
    QTest::mouseClick(button("Command1"), Qt::LeftButton);
    QCOMPARE(box("txtAnzahl")->text(), QStringLiteral(" 22"));
    QCOMPARE(wrongCells(canvas(), 2, 25), 0);

    // And back down: "-1" twice, then the search shows the triples again.
    QTest::mouseClick(button("Command4"), Qt::LeftButton);
    QTest::mouseClick(button("Command4"), Qt::LeftButton);
    QCOMPARE(box("Text1")->text(), QStringLiteral(" 0"));
    QCOMPARE(box("txtAnzahl")->text(), QStringLiteral(" 22"));
    QTest::mouseClick(button("Command1"), Qt::LeftButton);
    QCOMPARE(box("txtAnzahl")->text(), QStringLiteral(" 126"));
    QCOMPARE(wrongCells(canvas(), 0, 25), 0);
}

void TestParameters::clearAfterSearchKeepsTheCount() {
    bar("hscRadius")->setValue(0);
    m_form->Command2_Click();
    QCOMPARE(countMarks(canvas()).total(), 0);
    QCOMPARE(box("txtAnzahl")->text(), QStringLiteral(" 126"));
    // The frame is back: grid and border.
    QCOMPARE(colourAt(canvas(), 3.0f, 4.5f), rgb(220, 220, 220));
    QCOMPARE(colourAt(canvas(), 110.0f, 50.0f), rgb(155, 155, 155));
}

// ---------------------------------------------------------------------------------------------
// How the scroll bars report

void TestParameters::scrollBarSteps_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("start");
    QTest::addColumn<BarAction>("action");
    QTest::addColumn<bool>("mirrored");
    QTest::addColumn<int>("expected"); // where the action moves the bar

    // Every bar by every key, arrow and track side, from the middle of its range: right, down,
    // the right or lower arrow and the track past the thumb step up by one, their opposites
    // down by one; Home and End go to the ends.
    const std::pair<const char *, int> bars[] = {{"hscX1", 100},     {"hscY1", 100},
                                                 {"hscX2", 100},     {"hscY2", 100},
                                                 {"hscRadius", 141}, {"vscBildschirm", 9972}};
    const std::tuple<const char *, BarAction, int> steps[] = {
        {"Right", BarAction::KeyRight, 1},
        {"Down", BarAction::KeyDown, 1},
        {"Page Down", BarAction::KeyPageDown, 1},
        {"right or lower arrow", BarAction::ArrowAdd, 1},
        {"track past the thumb", BarAction::TrackAdd, 1},
        {"Left", BarAction::KeyLeft, -1},
        {"Up", BarAction::KeyUp, -1},
        {"Page Up", BarAction::KeyPageUp, -1},
        {"left or upper arrow", BarAction::ArrowSub, -1},
        {"track before the thumb", BarAction::TrackSub, -1}};
    for (const auto &[bar, maximum] : bars) {
        const int middle = maximum == 141 ? 25 : maximum / 2;
        for (const auto &[how, action, step] : steps)
            QTest::addRow("%s %s", bar, how) << bar << middle << action << false << middle + step;
        QTest::addRow("%s Home", bar) << bar << middle << BarAction::KeyHome << false << 0;
        QTest::addRow("%s End", bar) << bar << middle << BarAction::KeyEnd << false << maximum;
    }

    const auto row = [](const char *tag, const char *bar, int start, BarAction action, int expected,
                        bool mirrored = false) {
        QTest::newRow(tag) << bar << start << action << mirrored << expected;
    };
    // At the ends of the range.
    row("hscX1 Left from 1", "hscX1", 1, BarAction::KeyLeft, 0);
    row("hscY2 Right at the maximum", "hscY2", 100, BarAction::KeyRight, 100);
    row("hscX2 End at the maximum", "hscX2", 100, BarAction::KeyEnd, 100);
    row("hscRadius Left from 1", "hscRadius", 1, BarAction::KeyLeft, 0);
    row("hscRadius Home at 0", "hscRadius", 0, BarAction::KeyHome, 0);
    row("vscBildschirm Up from the maximum", "vscBildschirm", 9972, BarAction::KeyUp, 9971);
    row("vscBildschirm End from 0", "vscBildschirm", 0, BarAction::KeyEnd, 9972);
    // The radius label takes 139 and refuses 140 and 141, whichever way the bar gets there.
    row("hscRadius Right from 138", "hscRadius", 138, BarAction::KeyRight, 139);
    row("hscRadius Right from 139", "hscRadius", 139, BarAction::KeyRight, 140);
    row("hscRadius arrow from 139", "hscRadius", 139, BarAction::ArrowAdd, 140);
    row("hscRadius track from 139", "hscRadius", 139, BarAction::TrackAdd, 140);
    row("hscRadius End from 139", "hscRadius", 139, BarAction::KeyEnd, 141);
    // Mirrored, a horizontal bar has its minimum at the right end, and Right moves the thumb
    // there; a vertical bar is not mirrored.
    row("hscRadius mirrored Right", "hscRadius", 25, BarAction::KeyRight, 24, true);
    row("hscRadius mirrored Left", "hscRadius", 25, BarAction::KeyLeft, 26, true);
    row("vscBildschirm mirrored Right", "vscBildschirm", 5000, BarAction::KeyRight, 5001, true);
}

// One step of a scroll bar reports one change, and no scroll, and what the bar drives follows:
// the segment bars move their end of the segment and its mirror and write their box, and the plot
// stays as it was; the radius bar redraws with the new circle; the compression bar sets the
// canvas's height and the window's. A radius the label refuses is set back to 0 by a second,
// nested change.
void TestParameters::scrollBarSteps() {
    QFETCH(QString, name);
    QFETCH(int, start);
    QFETCH(BarAction, action);
    QFETCH(bool, mirrored);
    QFETCH(int, expected);
    ScrollBar *scrollBar = bar(name.toLatin1().constData());
    scrollBar->setValue(start);
    QCOMPARE(scrollBar->value(), start);
    if (mirrored)
        scrollBar->setLayoutDirection(Qt::RightToLeft);
    QSignalSpy values(scrollBar, &QAbstractSlider::valueChanged);
    QSignalSpy changes(scrollBar, &ScrollBar::change);
    QSignalSpy scrolls(scrollBar, &ScrollBar::scroll);
    const QImage picture = canvas().image();

    perform(scrollBar, action);
    if (QTest::currentTestFailed())
        return;

    const bool moved = expected != start;
    const bool refused = name == u"hscRadius" && expected > 139;
    const int shown = refused ? 0 : expected;
    QCOMPARE(scrolls.count(), 0);
    QCOMPARE(changes.count(), int(moved) + int(refused));
    if (moved) // the spy hears a nested change before the one it is nested in
        QCOMPARE(values.last().at(0).toInt(), expected);
    if (refused)
        QCOMPARE(values.first().at(0).toInt(), 0);
    QCOMPARE(scrollBar->value(), shown);

    if (name == u"hscRadius") {
        if (moved)
            checkRadiusShown(shown);
        if (moved && start >= 2)
            QCOMPARE(blackCirclePoints(canvas(), start), 0);
        if (refused)
            QCOMPARE(blackCirclePoints(canvas(), 140), 0);
        QCOMPARE(wrongCells(canvas(), 0, shown), 0);
        QCOMPARE(box("txtAnzahl")->text(), QStringLiteral(" 126"));
    } else if (name == u"vscBildschirm") {
        QCOMPARE(canvas().height(), static_cast<int>(std::lround(expected / 15.0)));
        QCOMPARE(m_form->height(), expectedWindowHeight(expected));
    } else {
        QVERIFY(canvas().image() == picture);
        // The segment from its start-up ends, (1, 1) and (100, 100), with this bar's coordinate
        // changed.
        const QStringList segmentBars = {"hscX1", "hscY1", "hscX2", "hscY2"};
        QList<int> p = {1, 1, 100, 100};
        p[segmentBars.indexOf(name)] = shown;
        checkSegment(*m_form, p[0], p[1], p[2], p[3]);
    }
}

void TestParameters::radiusBarDragReportsEachPositionOnce_data() {
    QTest::addColumn<QList<int>>("path");
    QTest::addColumn<int>("leastScrolls");
    QTest::newRow("rightwards") << QList<int>{15, 30, 60} << 3;
    QTest::newRow("same pixel twice") << QList<int>{20, 20, 40, 40} << 2;
    QTest::newRow("one pixel steps") << QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10} << 2;
    QTest::newRow("there and back") << QList<int>{-40, -80, -40, 0} << 4;
    QTest::newRow("to the left end") << QList<int>{-300, -600} << 1;
}

void TestParameters::radiusBarDragReportsEachPositionOnce() {
    QFETCH(QList<int>, path);
    QFETCH(int, leastScrolls);
    ScrollBar *radius = bar("hscRadius");
    const int grabbedAt = radius->value();
    QList<int> valuesSeen;
    QList<int> scrolledTo;
    QList<int> changedTo;
    QList<int> circleMissing; // reports after which the plot lacked that radius's circle
    connect(radius, &QAbstractSlider::valueChanged, this,
            [&](int value) { valuesSeen.append(value); });
    // Connected after the window's handlers: each report has redrawn the plot by now.
    connect(radius, &ScrollBar::scroll, this, [&] {
        QVERIFY(changedTo.isEmpty()); // every scroll comes before the change
        scrolledTo.append(radius->value());
        if (blackCirclePoints(canvas(), radius->value()) != circlePoints(radius->value()).size())
            circleMissing.append(radius->value());
    });
    connect(radius, &ScrollBar::change, this, [&] { changedTo.append(radius->value()); });

    const QPoint start = pressThumb(radius);
    QPoint at = start;
    int previous = radius->value();
    for (const int offset : path) {
        at = moveThumb(radius, start, offset);
        // A position is reported while the thumb moves, at once.
        if (radius->value() != previous) {
            QVERIFY(!scrolledTo.isEmpty());
            QCOMPARE(scrolledTo.last(), radius->value());
        }
        previous = radius->value();
    }
    const QList<int> reportedBeforeRelease = scrolledTo;
    const int heldAt = radius->value();
    QVERIFY(changedTo.isEmpty());
    releaseThumb(radius, at);

    QVERIFY2(scrolledTo.size() >= leastScrolls, qPrintable(QString::number(scrolledTo.size())));
    QCOMPARE(scrolledTo, valuesSeen);
    QCOMPARE(scrolledTo, reportedBeforeRelease); // no scroll at the release
    // The release reports the drag's end once, unless the thumb came back to where it started.
    QCOMPARE(changedTo, heldAt != grabbedAt ? QList<int>{heldAt} : QList<int>{});
    for (qsizetype i = 1; i < scrolledTo.size(); ++i)
        QVERIFY(scrolledTo[i] != scrolledTo[i - 1]);
    QCOMPARE(circleMissing, QList<int>());
    QCOMPARE(radius->value(), heldAt);
    checkRadiusShown(heldAt);
}

void TestParameters::compressionBarReportsOnlyAtRelease() {
    ScrollBar *height = bar("vscBildschirm");
    QCOMPARE(height->value(), 9972);
    QSignalSpy changes(height, &ScrollBar::change);
    QSignalSpy scrolls(height, &ScrollBar::scroll);
    const int canvasHeight = canvas().height();
    const QImage picture = canvas().image();

    const QPoint start = pressThumb(height);
    QPoint at = moveThumb(height, start, -30);
    QVERIFY(height->sliderPosition() < 9972);
    at = moveThumb(height, start, -60);
    const int letGo = height->sliderPosition();
    QVERIFY(letGo < 9972);
    // While the thumb is held nothing follows it.
    QCOMPARE(height->value(), 9972);
    QCOMPARE(changes.count(), 0);
    QCOMPARE(scrolls.count(), 0);
    QCOMPARE(canvas().height(), canvasHeight);
    QVERIFY(canvas().image() == picture);

    releaseThumb(height, at);
    QCOMPARE(height->value(), letGo);
    QCOMPARE(changes.count(), 1);
    QCOMPARE(scrolls.count(), 0);
    QCOMPARE(canvas().height(), static_cast<int>(std::lround(letGo / 15.0)));
    QCOMPARE(m_form->height(), expectedWindowHeight(letGo));
}

void TestParameters::programWriteReportsOnlyADifferentValue() {
    for (const char *name : {"hscRadius", "vscBildschirm"}) {
        ScrollBar *scrollBar = bar(name);
        QSignalSpy changes(scrollBar, &ScrollBar::change);
        QSignalSpy scrolls(scrollBar, &ScrollBar::scroll);

        scrollBar->setValue(scrollBar->value());
        QCOMPARE(changes.count(), 0);
        scrollBar->setValue(30);
        QCOMPARE(changes.count(), 1);
        scrollBar->setValue(30);
        QCOMPARE(changes.count(), 1);
        QCOMPARE(scrolls.count(), 0);
    }
}

// ---------------------------------------------------------------------------------------------
// Radius

void TestParameters::radiusDragBeyondLimit_data() {
    QTest::addColumn<int>("start");
    QTest::addColumn<QList<int>>("path");
    QTest::newRow("one step from 139 to 141") << 139 << QList<int>{400};
    QTest::newRow("steps ending at 141") << 120 << QList<int>{20, 40, 60, 400};
}

void TestParameters::radiusDragBeyondLimit() {
    QFETCH(int, start);
    QFETCH(QList<int>, path);
    ScrollBar *radius = bar("hscRadius");
    radius->setValue(start);
    QSignalSpy values(radius, &QAbstractSlider::valueChanged);
    QSignalSpy scrolls(radius, &ScrollBar::scroll);
    QSignalSpy changes(radius, &ScrollBar::change);

    const QPoint from = pressThumb(radius);
    QPoint at = from;
    for (const int offset : path)
        at = moveThumb(radius, from, offset);
    releaseThumb(radius, at);

    QVERIFY(scrolls.count() >= 1);
    // The drag's last position is refused and the program resets the radius to 0 once; the spy
    // hears that nested reset before the position it is nested in. The release then reports
    // the drag's end, 0, as the drag changed the value.
    QCOMPARE(changes.count(), 2);
    QCOMPARE(values.count(), scrolls.count() + 1);
    QCOMPARE(values.at(values.count() - 2).at(0).toInt(), 0);
    QCOMPARE(values.last().at(0).toInt(), 141);
    QVERIFY(!radius->isSliderDown());
    checkRadiusShown(0);
    QCOMPARE(blackCirclePoints(canvas(), 140), 0);
    QCOMPARE(blackCirclePoints(canvas(), start), 0);
    QCOMPARE(countMarks(canvas()).total(), 126);
}

void TestParameters::typedRadius_data() {
    QTest::addColumn<int>("start");
    QTest::addColumn<Entry>("entry");
    QTest::addColumn<QString>("input");
    QTest::addColumn<int>("radius");
    QTest::addColumn<QString>("label");

    const Entry typed = Entry::Typed;
    const Entry whole = Entry::Whole;
    // Each keystroke that changes the number redraws; the rewritten label equals the text.
    QTest::newRow("3 typed") << 25 << typed << "3" << 3 << "3";
    QTest::newRow("30 typed") << 25 << typed << "30" << 30 << "30";
    QTest::newRow("139 typed") << 25 << typed << "139" << 139 << "139";
    QTest::newRow("139 whole") << 25 << whole << "139" << 139 << "139";
    QTest::newRow("139.49 whole") << 25 << whole << "139.49" << 139 << "139";
    // 1 and 15 redraw, 150 is refused: emptied, radius 0, redrawn with the label "0".
    QTest::newRow("150 typed") << 25 << typed << "150" << 0 << "0";
    QTest::newRow("140 typed") << 25 << typed << "140" << 0 << "0";
    QTest::newRow("140 whole") << 25 << whole << "140" << 0 << "0";
    QTest::newRow("140 whole while 0") << 0 << whole << "140" << 0 << "";
    QTest::newRow("1e400 whole") << 25 << whole << "1e400" << 0 << "0";
    // 139.5 rounds to 140, which the bar takes and the label then refuses.
    QTest::newRow("139.5 whole") << 25 << whole << "139.5" << 0 << "0";
    QTest::newRow("139.5 typed") << 25 << typed << "139.5" << 0 << "0";
    // Halves go to the even neighbour.
    QTest::newRow("2.5 whole while 7") << 7 << whole << "2.5" << 2 << "2";
    QTest::newRow("2.5 typed while 7") << 7 << typed << "2.5" << 2 << "2.5";
    QTest::newRow("3.5 whole") << 25 << whole << "3.5" << 4 << "4";
    QTest::newRow("3.5 typed") << 25 << typed << "3.5" << 4 << "4";
    QTest::newRow("0.5 whole") << 25 << whole << "0.5" << 0 << "0";
    QTest::newRow("comma ends the number") << 25 << whole << "3,5" << 3 << "3";
    QTest::newRow("minus zero") << 25 << whole << "-0" << 0 << "0";
    // No number reads as 0.
    QTest::newRow("letters") << 25 << whole << "abc" << 0 << "0";
    QTest::newRow("letters while 0") << 0 << whole << "abc" << 0 << "abc";
    QTest::newRow("lone minus") << 25 << typed << "-" << 0 << "0";
    QTest::newRow("lone minus while 0") << 0 << typed << "-" << 0 << "-";
    QTest::newRow("erased") << 25 << Entry::Erased << "" << 0 << "0";
    QTest::newRow("erased while 0") << 0 << Entry::Erased << "" << 0 << "";
    // Negative numbers are refused: the label is emptied, and the empty text reads as 0.
    QTest::newRow("-5") << 25 << whole << "-5" << 0 << "0";
    QTest::newRow("-5 while 0") << 0 << whole << "-5" << 0 << "";
    // Another form of the present radius changes nothing and stays as typed.
    QTest::newRow("07 while 7") << 7 << whole << "07" << 7 << "07";
    QTest::newRow("2.5 while 2") << 2 << whole << "2.5" << 2 << "2.5";
    QTest::newRow("07 while 6") << 6 << whole << "07" << 7 << "7";
}

void TestParameters::typedRadius() {
    QFETCH(int, start);
    QFETCH(Entry, entry);
    QFETCH(QString, input);
    QFETCH(int, radius);
    QFETCH(QString, label);
    ScrollBar *radiusBar = bar("hscRadius");
    radiusBar->setValue(start);
    QLineEdit *text2 = box("Text2");
    QCOMPARE(text2->text(), QString::number(start));
    const QString radiusText = box("txtRadius")->text();
    const QImage picture = canvas().image();

    text2->setFocus(Qt::MouseFocusReason);
    switch (entry) {
    case Entry::Typed:
        text2->selectAll();
        QTest::keyClicks(text2, input);
        break;
    case Entry::Whole:
        text2->setText(input);
        break;
    case Entry::Erased:
        text2->selectAll();
        QTest::keyClick(text2, Qt::Key_Backspace);
        break;
    }

    QCOMPARE(radiusBar->value(), radius);
    QCOMPARE(radiusBar->sliderPosition(), radius);
    QCOMPARE(text2->text(), label);
    // Only a new radius redraws.
    if (radius == start) {
        QCOMPARE(box("txtRadius")->text(), radiusText);
        QVERIFY(canvas().image() == picture);
    } else {
        QCOMPARE(box("txtRadius")->text(), QStringLiteral(" %1").arg(radius));
    }
    QCOMPARE(blackCirclePoints(canvas(), radius), circlePoints(radius).size());
    if (start != radius && start >= 2)
        QCOMPARE(blackCirclePoints(canvas(), start), 0);
    QCOMPARE(wrongCells(canvas(), 0, radius), 0);
}

// ---------------------------------------------------------------------------------------------
// Vertical compression

void TestParameters::compressionHalvesVerticalDistances() {
    const Canvas &picture = canvas();
    QCOMPARE(picture.height(), 665);

    bar("vscBildschirm")->setValue(4986);

    QCOMPARE(picture.height(), 332);
    QCOMPARE(picture.width(), 745);
    QCOMPARE(picture.image().size(), QSize(745, 332));
    // The picture is drawn again at that height: the circle where the world system from (-5, 115)
    // to (120, -5) on 745 x 332 pixels puts it, the label and the count of the search.
    QCOMPARE(blackCirclePoints(picture, 25), circlePoints(25).size());
    QCOMPARE(box("Text2")->text(), QStringLiteral("25"));
    QCOMPARE(box("txtAnzahl")->text(), QStringLiteral(" 126"));
    QCOMPARE(m_form->height(), expectedWindowHeight(4986));
}

void TestParameters::compressionToZeroAndBack() {
    ScrollBar *height = bar("vscBildschirm");
    const Canvas &picture = canvas();

    height->setValue(0);
    QCOMPARE(picture.height(), 0);
    QVERIFY(picture.image().isNull());
    QCOMPARE(m_form->height(), expectedWindowHeight(0));
    QCOMPARE(box("Text2")->text(), QStringLiteral("25"));
    QCOMPARE(box("txtAnzahl")->text(), QStringLiteral(" 126"));

    height->setValue(9972);
    QCOMPARE(picture.height(), 665);
    QCOMPARE(wrongCells(picture, 0, 25), 0);
    QCOMPARE(blackCirclePoints(picture, 25), circlePoints(25).size());
    QCOMPARE(m_form->height(), expectedWindowHeight(9972));
}

void TestParameters::compressionWhileMaximised() {
    m_form->showMaximized();
    QCoreApplication::processEvents();
    if (!m_form->isMaximized())
        QSKIP("the window system does not maximise the window");
    const int windowHeight = m_form->height();

    // The window keeps its maximised height; the canvas and the picture follow all the same.
    bar("vscBildschirm")->setValue(4986);
    QCOMPARE(canvas().height(), 332);
    QCOMPARE(box("txtAnzahl")->text(), QStringLiteral(" 126"));
    QVERIFY(m_form->isMaximized());
    QCOMPARE(m_form->height(), windowHeight);

    // Back to normal, the next change sets the window's height again.
    m_form->showNormal();
    QCoreApplication::processEvents();
    bar("vscBildschirm")->setValue(6000);
    QCOMPARE(canvas().height(), 400);
    QCOMPARE(m_form->height(), expectedWindowHeight(6000));
}

QTEST_MAIN(TestParameters)
#include "tst_parameters.moc"
