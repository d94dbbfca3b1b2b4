#include "window/textbox.h"

#include <limits>

TextBox::TextBox(const QString &text, QWidget *parent) : QLineEdit(parent) {
    setMaxLength(std::numeric_limits<int>::max());
    setText(text);
}
