// The segment tool (two grid points picked with the four small scroll bars or by clicking the
// plot: left button first point, right button second point) and the pointer readout.
#include "analysis/pointerreadout.h"
#include "analysis/segmentpick.h"
#include "canvas/canvas.h"
#include "numbers/conversions.h"
#include "window/form1.h"
#include "window/scrollbar.h"
#include "window/textarea.h"

#include <QLineEdit>

void Form1::hscX1_Change() {
    txtX1->setText(Conv::wholeNumberText(hscX1->value()));
    StreckeSetzen();
}
void Form1::hscX1_Scroll() { hscX1_Change(); }

void Form1::hscY1_Change() {
    txtY1->setText(Conv::wholeNumberText(hscY1->value()));
    StreckeSetzen();
}
void Form1::hscY1_Scroll() { hscY1_Change(); }

void Form1::hscX2_Change() {
    txtX2->setText(Conv::wholeNumberText(hscX2->value()));
    StreckeSetzen();
}
void Form1::hscX2_Scroll() { hscX2_Change(); }

void Form1::hscY2_Change() {
    txtY2->setText(Conv::wholeNumberText(hscY2->value()));
    StreckeSetzen();
}
void Form1::hscY2_Scroll() { hscY2_Change(); }

// Each value written that differs from the bar's present value re-places the segment, nested
// inside the write.
void Form1::picAusgabe_MouseDown(int button, int, float x, float y) {
    const std::optional<QPoint> cell = SegmentPick::cellAt(x, y);
    if (!cell)
        return;
    if (button == 1) {
        hscX1->setValue(cell->x());
        hscY1->setValue(cell->y());
    }
    if (button == 2) {
        hscX2->setValue(cell->x());
        hscY2->setValue(cell->y());
    }
}

void Form1::picAusgabe_MouseMove(int, int, float x, float y) {
    const bool outside = PointerReadout::outside(x, y);
    txtInfo->setVisible(!outside);
    picInfo->setVisible(!outside);
    picAusgabe->placeChild(picInfo, x + 5, y + 12);
    txtInfo->setText(PointerReadout(*picInfo).show(x, y, Text1->text()));
}
