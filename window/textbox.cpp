#include "window/textbox.h"

#include <limits>

TextBox::TextBox(const QString &text, QWidget *parent) : QLineEdit(parent) {
    setMaxLength(std::numeric_limits<int>::max());
    setText(text);
    m_length = text.size();
    // textEdited comes before textChanged, so noteEdit still sees the length before the edit.
    connect(this, &QLineEdit::textEdited, this, &TextBox::noteEdit);
    connect(this, &QLineEdit::textChanged, this,
            [this](const QString &now) { m_length = now.size(); });
}

void TextBox::noteEdit(const QString &text) {
    // An edit removes at most the whole old text and inserts at most the whole new one.
    m_undoLoad += m_length + text.size();
    if (m_undoLoad > undoBudget)
        emptyUndoHistory();
}

// Writing the text the box already holds empties Qt's undo history and reports no change; only
// the cursor and the selection move, and they are put back.
void TextBox::emptyUndoHistory() {
    const int cursor = cursorPosition();
    const int start = selectionStart();
    const int length = selectionLength();
    setText(text());
    if (start < 0)
        setCursorPosition(cursor);
    else if (cursor == start)
        setSelection(start + length, -length);
    else
        setSelection(start, length);
    m_undoLoad = 0;
}
