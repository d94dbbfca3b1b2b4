// Start-up, the two halves of the redraw cycle, the coordinate frame and the segment lines: each
// reads its controls and hands the values to the drawing in finder/.
#include "canvas/canvas.h"
#include "finder/coordinateframe.h"
#include "finder/plotcycle.h"
#include "numbers/conversions.h"
#include "window/form1.h"
#include "window/scrollbar.h"

#include <QLineEdit>

void Form1::Form_Load() {
    PlotCycle(*picAusgabe).setWorld();
    Command2_Click();
    Command1_Click();
}

// "cls": clear, background, frame. The count of the last search stays.
void Form1::Command2_Click() {
    PlotCycle(*picAusgabe).clear();
    Koordinatensystem();
    describePlot(false);
}

// "Tripel anzeigen": the marks of every solution, the count, and the frame on top.
void Form1::Command1_Click() {
    const PlotCycle::Search found = PlotCycle(*picAusgabe).search(Text1->text());
    m_searchedDeviation = found.deviation;
    txtAnzahl->setText(Conv::Str(found.count));
    Koordinatensystem();
    describePlot(true);
}

void Form1::Koordinatensystem() {
    const int r = hscRadius->value();
    const SegmentLines lines(*Line4, *Line5);
    const QPointF label = CoordinateFrame(*picAusgabe, lines).draw(r, segment());
    picAusgabe->placeChild(Text2, static_cast<float>(label.x()), static_cast<float>(label.y()));
    // Writing the label's text may run the typed-radius handling, and with it a whole nested
    // redraw; nothing may follow it here.
    Text2->setText(Conv::wholeNumberText(r));
}

void Form1::StreckeSetzen() { SegmentLines(*Line4, *Line5).place(segment()); }

Segment Form1::segment() const {
    return {hscX1->value(), hscY1->value(), hscX2->value(), hscY2->value()};
}

void Form1::setDeviationText(const QString &text) { Text1->setText(text); }

void Form1::setRadius(int radius) { hscRadius->setValue(radius); }

void Form1::setSegment(const Segment &points) {
    hscX1->setValue(points.x1);
    hscY1->setValue(points.y1);
    hscX2->setValue(points.x2);
    hscY2->setValue(points.y2);
}
