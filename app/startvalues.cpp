#include "app/startvalues.h"

#include "window/form1.h"

#include <QLineEdit>
#include <QScrollBar>

void StartValues::applyTo(Form1 &form) const {
    const auto bar = [&form](const char *name) {
        return form.findChild<QScrollBar *>(QLatin1String(name));
    };
    form.findChild<QLineEdit *>(QStringLiteral("Text1"))->setText(deviationText);
    bar("hscRadius")->setValue(radius);
    const char *const points[] = {"hscX1", "hscY1", "hscX2", "hscY2"};
    for (std::size_t i = 0; i < segment.size(); ++i)
        bar(points[i])->setValue(segment[i]);
    form.Command1_Click();
}
