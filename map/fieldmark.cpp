#include "map/fieldmark.h"

#include <QApplication>
#include <QLineEdit>

namespace FieldMark {

void show(QLineEdit &field, const QString &problem) {
    QPalette palette = field.palette();
    palette.setColor(QPalette::Base, problem.isEmpty()
                                         ? QApplication::palette().color(QPalette::Base)
                                         : QColor(255, 215, 215));
    field.setPalette(palette);
    field.setToolTip(problem);
    field.setAccessibleDescription(problem);
}

} // namespace FieldMark
