// The parameter controls: deviation steps, the radius by scroll bar or typed into its label on
// the canvas, and the vertical compression of the canvas.
#include "canvas/canvas.h"
#include "numbers/conversions.h"
#include "window/form1.h"
#include "window/scrollbar.h"

#include <QLineEdit>

namespace {

constexpr double typedRadiusBound = 140.0; // the largest radius that stays is 139
constexpr int windowOverCanvasTwips = 1452;

} // namespace

void Form1::Command3_Click() { Text1->setText(Conv::Str(Conv::Val(Text1->text()) + 1.0)); }

void Form1::Command4_Click() { Text1->setText(Conv::Str(Conv::Val(Text1->text()) - 1.0)); }

void Form1::hscRadius_Change() {
    txtRadius->setText(Conv::Str(hscRadius->value()));
    Command2_Click();
    Command1_Click();
}

void Form1::hscRadius_Scroll() { hscRadius_Change(); }

void Form1::Text2_Change() {
    const double v = Conv::Val(Text2->text());
    if (v >= 0 && v < typedRadiusBound)
        hscRadius->setValue(Conv::CInt(v));
    else
        Text2->setText(QString());
}

void Form1::vscBildschirm_Change() {
    picAusgabe->setHeightTwips(vscBildschirm->value());
    picAusgabe->Scale(-5, 115, 120, -5);
    Command2_Click();
    Command1_Click();
    setOuterHeightTwips(vscBildschirm->value() + windowOverCanvasTwips);
}
