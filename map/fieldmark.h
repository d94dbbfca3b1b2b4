#pragma once

#include <QString>

class QLineEdit;

// How the map's fields say that their text cannot be taken: red behind the text, and the reason
// as the field's tooltip and accessible description; an empty problem takes the mark away.
namespace FieldMark {

void show(QLineEdit &field, const QString &problem);

} // namespace FieldMark
