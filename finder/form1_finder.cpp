// Start-up, the two halves of the redraw cycle (clear and search), the coordinate frame and the
// placing of the segment lines.
#include "canvas/canvas.h"
#include "canvas/colors.h"
#include "numbers/conversions.h"
#include "numbers/solution.h"
#include "window/form1.h"
#include "window/scrollbar.h"

#include <QLineEdit>
#include <cmath>

using Colors::QBColor;
using Colors::RGB;

void Form1::Form_Load() {
    picAusgabe->Scale(-5, 115, 120, -5);
    Command2_Click();
    Command1_Click();
}

// Grey border area and white plot square; together they cover everything drawn before.
void Form1::paintBackground() {
    picAusgabe->FilledBox(-5, -5, 125, 115, RGB(155, 155, 155));
    picAusgabe->FilledBox(-5, -5, 105, 105, RGB(255, 255, 255));
}

// "cls": clear, background, frame. The count of the last search stays.
void Form1::Command2_Click() {
    picAusgabe->Cls();
    paintBackground();
    Koordinatensystem();
    describePlot(false);
}

// "Tripel anzeigen": background, grid pass, marks for every pair (x, y) in 1..100 whose
// x² + y² − d is a non-negative perfect square, the count, and the frame on top.
void Form1::Command1_Click() {
    paintBackground();
    // Nothing can change the deviation text while the search runs, so it is read once.
    const double d = Conv::Val(Text1->text());
    m_searchedDeviation = d;
    int count = 0;
    for (int x = 1; x <= 100; ++x) {
        picAusgabe->Line(x, 0, x, 101, RGB(200, 200, 200));
        picAusgabe->setDrawWidth(1);
        for (int y = 1; y <= 100; ++y) {
            picAusgabe->Line(0, y, 101, y, RGB(200, 200, 200));
            picAusgabe->setDrawWidth(1);
            if (!Solution::test(x, y, d).solution)
                continue;
            if (x == y)
                picAusgabe->setForeColor(QBColor(0));
            else if (x < y)
                picAusgabe->setForeColor(QBColor(9));
            else
                picAusgabe->setForeColor(QBColor(12));
            picAusgabe->FilledBox(x, y, x + 1, y + 1);
            ++count;
        }
    }
    txtAnzahl->setText(Conv::Str(count));
    Koordinatensystem();
    describePlot(true);
}

// Axis labels, grid with every tenth line heavier, tick boxes, dashed diagonal, segment lines,
// quarter circle of the radius and the radius label at its foot. Leaves ForeColor black and
// DrawWidth 1.
void Form1::Koordinatensystem() {
    Canvas &c = *picAusgabe;
    c.setForeColor(QBColor(0));
    const auto labelled = [](int i) {
        const double q = (i - 1) / 10.0;
        return q == Conv::Int(q);
    };
    for (int i = 1; i <= 101; ++i) {
        c.setCurrentX(static_cast<float>(i - 2));
        c.setCurrentY(-1);
        if (labelled(i)) {
            c.Print(i - 1);
            c.setDrawWidth(2);
        }
        c.Line(i, 0, i, 101, RGB(220, 220, 220));
        c.setDrawWidth(1);
    }
    for (int j = 1; j <= 101; ++j) {
        c.setCurrentX(-4);
        c.setCurrentY(static_cast<float>(j + 1));
        if (labelled(j)) {
            c.Print(j - 1);
            c.setDrawWidth(2);
            c.FilledBox(j - 1, -1, j, 0);
        }
        c.Line(0, j, 101, j, RGB(220, 220, 220));
        c.setDrawWidth(1);
    }
    c.setDrawWidth(1);
    for (int i = 1; i <= 99; i += 2) {
        c.Line(i, i, i + 1, i + 1, RGB(100, 100, 100));
        c.PSet(i + 1.5f, i + 1.5f);
    }
    c.setDrawWidth(1);
    StreckeSetzen();

    const double k = (3.1415 / 2) / 300;
    for (int t = 1; t <= 300; ++t) {
        const double a = t * k;
        const auto x = static_cast<float>((hscRadius->value() + 0.5) * std::cos(a));
        const auto y = static_cast<float>((hscRadius->value() + 0.5) * std::sin(a));
        c.PSet(x, y);
    }

    // Writing the label's text may run the typed-radius handling, and with it a whole nested
    // redraw; nothing may follow it here.
    const int r = hscRadius->value();
    c.placeChild(Text2, static_cast<float>(r - 2), 1);
    Text2->setText(Conv::wholeNumberText(hscRadius->value()));
}

// Puts the segment between the centres of P1's and P2's cells, and its mirror image at the
// diagonal beneath it.
void Form1::StreckeSetzen() {
    Line4->ZOrder();
    Line4->setX1(static_cast<float>(hscX1->value() + 0.5));
    Line4->setY1(static_cast<float>(hscY1->value() + 0.5));
    Line4->setX2(static_cast<float>(hscX2->value() + 0.5));
    Line4->setY2(static_cast<float>(hscY2->value() + 0.5));
    Line5->setX1(static_cast<float>(hscY1->value() + 0.5));
    Line5->setY1(static_cast<float>(hscX1->value() + 0.5));
    Line5->setX2(static_cast<float>(hscY2->value() + 0.5));
    Line5->setY2(static_cast<float>(hscX2->value() + 0.5));
}
