// The segment tool: two grid points picked with the four small scroll bars or by clicking the
// plot (left button: first point, right button: second point).
#include "canvas/canvas.h"
#include "numbers/conversions.h"
#include "window/form1.h"
#include "window/scrollbar.h"

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

// A click picks the cell under the pointer, truncated downwards. Each value written that differs
// from the bar's present value re-places the segment, nested inside the write.
void Form1::picAusgabe_MouseDown(int button, int, float x, float y) {
    const float cellX = Conv::Int(x);
    const float cellY = Conv::Int(y);
    if (!(cellX >= 0 && cellY >= 0 && cellX <= 100 && cellY <= 100))
        return;
    if (button == 1) {
        hscX1->setValue(static_cast<int>(cellX));
        hscY1->setValue(static_cast<int>(cellY));
    }
    if (button == 2) {
        hscX2->setValue(static_cast<int>(cellX));
        hscY2->setValue(static_cast<int>(cellY));
    }
}
