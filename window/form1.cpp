#include "window/form1.h"

#include "canvas/canvas.h"
#include "canvas/colors.h"
#include "canvas/pointercodes.h"
#include "canvas/scene.h"
#include "canvas/twips.h"
#include "window/scrollbar.h"
#include "window/smileyicon.h"
#include "window/textarea.h"
#include "window/textbox.h"

#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <cmath>

using Colors::RGB;

namespace {

using Twips::toPixels;

QRect twipsRect(int left, int top, int width, int height) {
    return {toPixels(left), toPixels(top), toPixels(width), toPixels(height)};
}

QFont timesNewRoman(double points) {
    QFont font(QStringLiteral("Times New Roman"));
    font.setPointSizeF(points);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}

// A box whose ground the design fixes gets a fixed text colour with it: under a dark colour scheme
// the palette's text colour is light, and would vanish on a light ground.
void setBoxColours(QWidget *widget, QRgb ground, QRgb text) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Base, QColor::fromRgb(ground));
    palette.setColor(QPalette::Text, QColor::fromRgb(text));
    widget->setPalette(palette);
}

QRect plotPlace() { return twipsRect(360, 720, 11172, 9972); }

template <typename T> T *named(T *widget, const char *name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QPushButton *makeButton(QWidget *parent, const char *name, const QString &caption, QRect place) {
    auto *button = named(new QPushButton(caption, parent), name);
    button->setGeometry(place);
    button->setAutoDefault(true); // Enter on a focused button clicks it, like Space
    return button;
}

QLabel *makeLabel(QWidget *parent, const char *name, const QString &caption, QRect place,
                  double points, Qt::Alignment alignment) {
    auto *label = named(new QLabel(caption, parent), name);
    label->setGeometry(place);
    label->setFont(timesNewRoman(points));
    label->setAlignment(alignment | Qt::AlignTop);
    label->setAutoFillBackground(true);
    return label;
}

QLineEdit *makeTextBox(QWidget *parent, const char *name, const QString &text, QRect place,
                       double points) {
    auto *box = named(new TextBox(text, parent), name);
    box->setGeometry(place);
    box->setFont(timesNewRoman(points));
    box->setAlignment(Qt::AlignCenter);
    return box;
}

ScrollBar *makeScrollBar(QWidget *parent, const char *name, Qt::Orientation orientation,
                         QRect place, int maximum, int value) {
    auto *bar = named(new ScrollBar(orientation, parent), name);
    bar->setGeometry(place);
    bar->setRange(0, maximum);
    bar->setValue(value);
    return bar;
}

} // namespace

QSize Form1::plotSize() { return plotPlace().size(); }

Form1::Form1(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Zahlenlupe, pythagoreische Tripel und \"Fast-Tripel\":  "
                                  "x^2 + y^2  =  z^2 + Abweichung"));
    setWindowIcon(smileyIcon());
    setFixedSize(toPixels(12165), toPixels(10875));
    setMouseTracking(true);
    createControls();
    arrangeTabOrder();
    connectHandlers();
    nameControls();
    Form_Load();
}

Form1::~Form1() = default;

void Form1::createControls() {
    Command5 = makeButton(this, "Command5", QStringLiteral("i"), twipsRect(0, 0, 252, 252));
    Label3 = makeLabel(this, "Label3", QStringLiteral("Abweichung:"),
                       twipsRect(360, 240, 1332, 372), 10.5, Qt::AlignLeft);
    Text1 = makeTextBox(this, "Text1", QStringLiteral("0"), twipsRect(1560, 240, 972, 372), 13.5);
    Command3 = makeButton(this, "Command3", QStringLiteral("+1"), twipsRect(2640, 240, 492, 192));
    Command3->setToolTip(QStringLiteral("Abweichung einstellen"));
    Command4 = makeButton(this, "Command4", QStringLiteral("-1"), twipsRect(2640, 480, 492, 192));
    Command4->setToolTip(QStringLiteral("Abweichung einstellen"));
    Command2 = makeButton(this, "Command2", QStringLiteral("cls"), twipsRect(3240, 240, 612, 372));
    Command2->setFont(timesNewRoman(10.5));
    Command2->setToolTip(QStringLiteral("Bildschirm löschen"));
    Command1 = makeButton(this, "Command1", QStringLiteral("Tripel anzeigen"),
                          twipsRect(3840, 240, 1692, 372));
    Command1->setFont(timesNewRoman(10.5));
    Command6 = makeButton(this, "Command6", QStringLiteral("X"), twipsRect(5640, 240, 375, 375));
    Command6->setFont(timesNewRoman(12));
    {
        QPalette palette = Command6->palette();
        palette.setColor(QPalette::Button, QColor::fromRgb(RGB(255, 0, 0)));
        palette.setColor(QPalette::ButtonText, QColor::fromRgb(RGB(0, 0, 0)));
        Command6->setPalette(palette);
        // Drawn in its face colour itself; a style would only tint its own button face with it.
        // The caption stays black on the red face under any colour scheme.
        Command6->setStyleSheet(QStringLiteral(
            "QPushButton { background-color: rgb(255, 0, 0); color: rgb(0, 0, 0);"
            " border: 2px outset rgb(255, 0, 0); }"
            "QPushButton:focus { border-color: rgb(0, 0, 0); }"
            "QPushButton:pressed { border-style: inset; border-color: rgb(255, 0, 0); }"));
    }
    txtX1 = makeTextBox(this, "txtX1", QStringLiteral("1"), twipsRect(6240, 240, 492, 288), 9);
    hscX1 = makeScrollBar(this, "hscX1", Qt::Horizontal, twipsRect(6240, 480, 732, 132), 100, 1);
    hscY1 = makeScrollBar(this, "hscY1", Qt::Horizontal, twipsRect(6480, 120, 732, 132), 100, 1);
    txtY1 = makeTextBox(this, "txtY1", QStringLiteral("1"), twipsRect(6720, 240, 492, 288), 9);
    txtX2 = makeTextBox(this, "txtX2", QStringLiteral("100"), twipsRect(8040, 240, 492, 288), 9);
    hscX2 = makeScrollBar(this, "hscX2", Qt::Horizontal, twipsRect(8040, 480, 732, 132), 100, 100);
    hscY2 = makeScrollBar(this, "hscY2", Qt::Horizontal, twipsRect(8280, 120, 732, 132), 100, 100);
    txtY2 = makeTextBox(this, "txtY2", QStringLiteral("100"), twipsRect(8520, 240, 492, 288), 9);
    Label1 = makeLabel(this, "Label1", QStringLiteral("Anzahl:"), twipsRect(9360, 240, 972, 372),
                       10.5, Qt::AlignRight);
    txtAnzahl =
        makeTextBox(this, "txtAnzahl", QStringLiteral("0"), twipsRect(10560, 240, 972, 372), 13.5);
    txtAnzahl->setReadOnly(true);
    Label4 = makeLabel(this, "Label4", QStringLiteral("H"), twipsRect(11640, 720, 375, 375), 11.25,
                       Qt::AlignHCenter);
    vscBildschirm = makeScrollBar(this, "vscBildschirm", Qt::Vertical,
                                  twipsRect(11640, 960, 372, 2295), 9972, 9972);
    vscBildschirm->setReportsDrag(false);

    picAusgabe = named(new Canvas(this), "picAusgabe");
    picAusgabe->setGeometry(plotPlace());
    picAusgabe->setFont(timesNewRoman(10.5));
    picAusgabe->setBackColor(RGB(255, 255, 255));
    picAusgabe->setDrawWidth(1);
    picAusgabe->setFocusPolicy(Qt::StrongFocus);

    m_lineRatio = devicePixelRatioF();
    Line1 = new LineItem(QStringLiteral("Line1"), *this, this,
                         palette().color(QPalette::WindowText), 1);
    Line2 = new LineItem(QStringLiteral("Line2"), *this, this, Line1->color(), 1);
    Line3 = new LineItem(QStringLiteral("Line3"), *this, this, Line1->color(), 1);
    m_lines = {Line1, Line2, Line3};
    const auto placeLine = [](LineItem *line, float x1, float y1, float x2, float y2) {
        line->setX1(x1);
        line->setY1(y1);
        line->setX2(x2);
        line->setY2(y2);
    };
    placeLine(Line1, 7320, 360, 7920, 360);
    placeLine(Line2, 7800, 240, 7920, 360);
    placeLine(Line3, 7800, 480, 7920, 360);

    // Inside the canvas; positions in twips until the canvas gets its world system.
    Label2 = makeLabel(picAusgabe, "Label2", QStringLiteral("Radius des Kreises"),
                       twipsRect(0, 0, 2055, 255), 11.25, Qt::AlignHCenter);
    // The label lies among the segment lines, below the ones brought forward after it.
    picAusgabe->shareLineLayer(Label2);
    txtRadius = makeTextBox(picAusgabe, "txtRadius", QStringLiteral("25"),
                            twipsRect(2040, 0, 855, 285), 11.25);
    hscRadius = makeScrollBar(picAusgabe, "hscRadius", Qt::Horizontal,
                              twipsRect(2880, 0, 8175, 252), 141, 25);
    txtHilfe = makeTextBox(picAusgabe, "txtHilfe", QStringLiteral("Text3"),
                           twipsRect(0, 240, 11055, 375), 12);
    setBoxColours(txtHilfe, RGB(255, 255, 192), RGB(0, 0, 0));
    Text2 = makeTextBox(picAusgabe, "Text2", QStringLiteral("0"), twipsRect(1560, 9360, 372, 336),
                        10.5);
    setBoxColours(Text2, RGB(255, 192, 128), RGB(0, 0, 0));

    picInfo = named(new Canvas(picAusgabe), "picInfo");
    picInfo->setGeometry(twipsRect(6720, 3480, 2412, 2412));
    {
        // The window's default font, not the canvas's.
        QFont windowFont = font();
        windowFont.setResolveMask(QFont::AllPropertiesResolved);
        picInfo->setFont(windowFont);
    }
    const QRgb triangleBlue = RGB(0, 0, 192);
    picInfo->setBackColor(Colors::systemWindowBackground(triangleBlue));
    picInfo->setForeColor(triangleBlue);
    picInfo->setDrawWidth(6);
    picInfo->setFocusPolicy(Qt::StrongFocus);
    picInfo->Cls();

    auto *info = new TextArea(picInfo);
    txtInfo = named(info, "txtInfo");
    txtInfo->setGeometry(twipsRect(0, 1680, 2412, 735));
    txtInfo->setFont(timesNewRoman(10.5));
    setBoxColours(txtInfo, RGB(255, 255, 255), RGB(0, 0, 0));
    txtInfo->setFocusPolicy(Qt::StrongFocus);
    txtInfo->setText(QStringLiteral("Text4"));

    Line4 = picAusgabe->createLineItem(QStringLiteral("Line4"), QColor::fromRgb(RGB(0, 0, 192)), 2);
    Line5 =
        picAusgabe->createLineItem(QStringLiteral("Line5"), QColor::fromRgb(RGB(128, 128, 128)), 2);
    // Placeholders in twips; the first frame drawing moves both to the segment.
    placeLine(Line4, 1440, 2640, 3240, 2280);
    placeLine(Line5, 1680, 2040, 4200, 1440);

    // A control's pointer events stay with it; they never fall through to its container.
    for (QWidget *child : findChildren<QWidget *>())
        child->setAttribute(Qt::WA_NoMousePropagation);
}

void Form1::arrangeTabOrder() {
    const QList<QWidget *> order = {
        picAusgabe,    Command1,  Text1, Command2, Command3, Command4, Command5, txtAnzahl,
        vscBildschirm, txtX1,     txtY1, txtX2,    txtY2,    hscX1,    hscY1,    hscX2,
        hscY2,         hscRadius, Text2, picInfo,  txtInfo,  txtHilfe, Command6, txtRadius};
    for (qsizetype i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void Form1::connectHandlers() {
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Form1::Command4_Click);
    connect(Command5, &QPushButton::clicked, this, &Form1::Command5_Click);
    connect(Command6, &QPushButton::clicked, this, &Form1::Command6_Click);
    connect(hscRadius, &ScrollBar::change, this, &Form1::hscRadius_Change);
    connect(hscRadius, &ScrollBar::scroll, this, &Form1::hscRadius_Scroll);
    connect(hscX1, &ScrollBar::change, this, &Form1::hscX1_Change);
    connect(hscX1, &ScrollBar::scroll, this, &Form1::hscX1_Scroll);
    connect(hscY1, &ScrollBar::change, this, &Form1::hscY1_Change);
    connect(hscY1, &ScrollBar::scroll, this, &Form1::hscY1_Scroll);
    connect(hscX2, &ScrollBar::change, this, &Form1::hscX2_Change);
    connect(hscX2, &ScrollBar::scroll, this, &Form1::hscX2_Scroll);
    connect(hscY2, &ScrollBar::change, this, &Form1::hscY2_Change);
    connect(hscY2, &ScrollBar::scroll, this, &Form1::hscY2_Scroll);
    connect(vscBildschirm, &ScrollBar::change, this, &Form1::vscBildschirm_Change);
    connect(Text2, &QLineEdit::textChanged, this, &Form1::Text2_Change);
    connect(picAusgabe, &Canvas::mouseDown, this, &Form1::picAusgabe_MouseDown);
    connect(picAusgabe, &Canvas::mouseMove, this, &Form1::picAusgabe_MouseMove);

    watchPointer(Command1, &Form1::Command1_MouseMove);
    watchPointer(Command2, &Form1::Command2_MouseMove);
    watchPointer(Command5, &Form1::Command5_MouseMove);
    watchPointer(Command6, &Form1::Command6_MouseMove);
    watchPointer(Label1, &Form1::Label1_MouseMove);
    watchPointer(Label2, &Form1::Label2_MouseMove);
    watchPointer(Label3, &Form1::Label3_MouseMove);
    watchPointer(Label4, &Form1::Label4_MouseMove);
    watchPointer(Text1, &Form1::Text1_MouseMove);
    watchPointer(txtAnzahl, &Form1::txtAnzahl_MouseMove);
    watchPointer(txtX1, &Form1::txtX1_MouseMove);
    watchPointer(txtX2, &Form1::txtX2_MouseMove);
    watchPointer(txtY2, &Form1::txtY2_MouseMove);
    watchPointer(txtY1, nullptr, &Form1::txtY1_MouseDown);
}

void Form1::watchPointer(QWidget *control, PointerHandler onMove, PointerHandler onDown) {
    if (onMove != nullptr)
        control->setMouseTracking(true);
    m_pointerHandlers.insert(control, {onMove, onDown});
    control->installEventFilter(this);
}

bool Form1::eventFilter(QObject *watched, QEvent *event) {
    const auto type = event->type();
    if (type == QEvent::MouseMove || type == QEvent::MouseButtonPress) {
        const auto found = m_pointerHandlers.constFind(watched);
        if (found != m_pointerHandlers.constEnd()) {
            const auto *mouse = static_cast<const QMouseEvent *>(event);
            const PointerHandler handler =
                type == QEvent::MouseMove ? found->onMove : found->onDown;
            const Qt::MouseButtons buttons =
                type == QEvent::MouseMove ? mouse->buttons() : Qt::MouseButtons(mouse->button());
            if (handler != nullptr)
                (this->*handler)(PointerCodes::buttons(buttons),
                                 PointerCodes::modifiers(mouse->modifiers()),
                                 static_cast<float>(mouse->position().x() * Twips::perPixel),
                                 static_cast<float>(mouse->position().y() * Twips::perPixel));
        }
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::mouseMoveEvent(QMouseEvent *event) {
    // Reached only over the window's own surface (and the arrow, which takes no pointer events).
    Form_MouseMove(PointerCodes::buttons(event->buttons()),
                   PointerCodes::modifiers(event->modifiers()),
                   static_cast<float>(event->position().x() * Twips::perPixel),
                   static_cast<float>(event->position().y() * Twips::perPixel));
}

void Form1::paintEvent(QPaintEvent *) {
    const qreal ratio = devicePixelRatioF();
    if (!qFuzzyCompare(ratio, m_lineRatio)) {
        m_lineRatio = ratio;
        for (LineItem *line : m_lines)
            line->setDeviceRatio(ratio);
    }
    Scene arrow(size(), ratio);
    for (const LineItem *line : m_lines)
        arrow.addLine(*line);
    QPainter painter(this);
    arrow.paint(painter, Scene::Output::Raster);
}

WorldMapping Form1::lineMapping() const { return WorldMapping::twips(size(), m_lineRatio); }

void Form1::lineItemChanged(const LineItem *) { update(); }

void Form1::raiseLineItem(LineItem *item) {
    if (m_lines.removeOne(item))
        m_lines.append(item);
    update();
}

void Form1::setOuterHeightTwips(int twips) {
    if (isMaximized() || isMinimized() || isFullScreen())
        return;
    // The design's outer height counts a title bar and borders of 549 twips over its client area
    // (10875 of 11424). Where the window system reports a frame, the outer height is met with it;
    // where it reports none (a frameless session, a compositor that keeps its frame to itself, a
    // window not shown yet) the client area takes the height the design gives it inside that
    // frame, so the window opens and returns to the same 811 x 725.
    constexpr int designFrameTwips = 549;
    const int frame = isVisible() ? frameGeometry().height() - geometry().height() : 0;
    setFixedHeight(
        std::max(0, frame > 0 ? toPixels(twips) - frame : toPixels(twips - designFrameTwips)));
}
