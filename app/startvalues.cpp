#include "app/startvalues.h"

#include "window/form1.h"

void StartValues::applyTo(Form1 &form) const {
    form.setDeviationText(deviationText);
    form.setRadius(radius);
    form.setSegment(segment);
    form.Command1_Click();
}
