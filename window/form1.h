#pragma once

#include "canvas/lineitem.h"
#include "finder/segmentlines.h"

#include <QHash>
#include <QList>
#include <QWidget>

class Canvas;
class QLabel;
class QLineEdit;
class QPushButton;
class ScrollBar;
class TextArea;

// The main window: the control strip along the top, the output canvas with its radius row, help
// line, radius label, preview box and segment lines, and the compression bar on the right.
//
// The window holds no state of its own beyond its controls: the deviation is Text1's text, the
// radius is hscRadius's value, the segment points are the values of the four small scroll bars,
// and the picture is the canvas's image. Every handler reads what it needs afresh and hands the
// values down to the drawing below the window (finder/, analysis/). Handlers are named after their
// control and event.
class Form1 : public QWidget, public LineHost {
    Q_OBJECT

public:
    explicit Form1(QWidget *parent = nullptr);
    ~Form1() override;

    // The plot's full size in logical pixels, as the design lays it out (the compression bar only
    // makes it lower), known before any window exists.
    static QSize plotSize();

    // The output canvas and the radius label at the foot of its circle, for what leaves the window.
    const Canvas &plotCanvas() const { return *picAusgabe; }
    const QLineEdit &radiusLabel() const { return *Text2; }
    // The deviation the last search used: the marks on screen are its solutions.
    double searchedDeviation() const { return m_searchedDeviation; }

    // Start values, put in as a user would: each write runs its control's change chain.
    void setDeviationText(const QString &text);
    void setRadius(int radius);
    void setSegment(const Segment &points);

    // The two halves of the redraw cycle and the exit, as the buttons run them.
    void Command1_Click();
    void Command2_Click();
    void Command6_Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    using PointerHandler = void (Form1::*)(int, int, float, float);

    WorldMapping lineMapping() const override;
    void lineItemChanged(const LineItem *item) override;
    void raiseLineItem(LineItem *item) override;

    // Height of the window with its frame, in twips; skipped while maximised or minimised.
    void setOuterHeightTwips(int twips);

    // Start-up, the coordinate frame drawn last by either half of the cycle, and the segment lines.
    void Form_Load();
    void Koordinatensystem();
    void StreckeSetzen();
    Segment segment() const;

    // Help line, information box, exit.
    void Form_MouseMove(int button, int shift, float x, float y);
    void Command1_MouseMove(int button, int shift, float x, float y);
    void Command2_MouseMove(int button, int shift, float x, float y);
    void Command5_MouseMove(int button, int shift, float x, float y);
    void Command6_MouseMove(int button, int shift, float x, float y);
    void Label1_MouseMove(int button, int shift, float x, float y);
    void Label2_MouseMove(int button, int shift, float x, float y);
    void Label3_MouseMove(int button, int shift, float x, float y);
    void Label4_MouseMove(int button, int shift, float x, float y);
    void Text1_MouseMove(int button, int shift, float x, float y);
    void txtAnzahl_MouseMove(int button, int shift, float x, float y);
    void txtX1_MouseMove(int button, int shift, float x, float y);
    void txtX2_MouseMove(int button, int shift, float x, float y);
    void txtY2_MouseMove(int button, int shift, float x, float y);
    void txtY1_MouseDown(int button, int shift, float x, float y);
    void Command5_Click();

    // Parameter controls.
    void Command3_Click();
    void Command4_Click();
    void hscRadius_Change();
    void hscRadius_Scroll();
    void Text2_Change();
    void vscBildschirm_Change();

    // Segment tool and pointer readout.
    void hscX1_Change();
    void hscX1_Scroll();
    void hscY1_Change();
    void hscY1_Scroll();
    void hscX2_Change();
    void hscX2_Scroll();
    void hscY2_Change();
    void hscY2_Scroll();
    void picAusgabe_MouseDown(int button, int shift, float x, float y);
    void picAusgabe_MouseMove(int button, int shift, float x, float y);

    void createControls();
    void arrangeTabOrder();
    void connectHandlers();
    void watchPointer(QWidget *control, PointerHandler onMove, PointerHandler onDown = nullptr);
    void showHelp(const QString &text);
    // What screen readers announce: every control's name and help text, and what the plot shows.
    void nameControls();
    void describeControls(); // each control's help text as its description
    void describePlot(bool marked);

    QPushButton *Command1 = nullptr;
    QPushButton *Command2 = nullptr;
    QPushButton *Command3 = nullptr;
    QPushButton *Command4 = nullptr;
    QPushButton *Command5 = nullptr;
    QPushButton *Command6 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label4 = nullptr;
    QLineEdit *Text1 = nullptr;
    QLineEdit *Text2 = nullptr;
    QLineEdit *txtAnzahl = nullptr;
    QLineEdit *txtRadius = nullptr;
    QLineEdit *txtHilfe = nullptr;
    QLineEdit *txtX1 = nullptr;
    QLineEdit *txtY1 = nullptr;
    QLineEdit *txtX2 = nullptr;
    QLineEdit *txtY2 = nullptr;
    TextArea *txtInfo = nullptr;
    ScrollBar *hscX1 = nullptr;
    ScrollBar *hscY1 = nullptr;
    ScrollBar *hscX2 = nullptr;
    ScrollBar *hscY2 = nullptr;
    ScrollBar *hscRadius = nullptr;
    ScrollBar *vscBildschirm = nullptr;
    Canvas *picAusgabe = nullptr;
    Canvas *picInfo = nullptr;
    LineItem *Line1 = nullptr;
    LineItem *Line2 = nullptr;
    LineItem *Line3 = nullptr;
    LineItem *Line4 = nullptr;
    LineItem *Line5 = nullptr;

    struct PointerHandlers {
        PointerHandler onMove = nullptr;
        PointerHandler onDown = nullptr;
    };
    QHash<const QObject *, PointerHandlers> m_pointerHandlers;
    QList<LineItem *> m_lines;
    // Device pixels per logical pixel when the arrow's ends were last mapped.
    qreal m_lineRatio = 1.0;
    double m_searchedDeviation = 0;
};
