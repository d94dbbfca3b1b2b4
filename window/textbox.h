#pragma once

#include <QLineEdit>

// A single-line text box that keeps everything typed or pasted into it, however long: the
// program reads the whole text, blanks and all.
//
// Qt's text box remembers every character an edit removes or inserts, for undo, without limit;
// pasting long texts again and again would fill the memory. Once the edits since the history was
// last emptied may have left more than undoBudget characters in it, the history is emptied: what
// was typed by hand stays undoable for thousands of keys, while a very long paste cannot be undone.
class TextBox : public QLineEdit {
    Q_OBJECT

public:
    explicit TextBox(const QString &text, QWidget *parent = nullptr);

    static constexpr qsizetype undoBudget = 65536; // characters; some 20 bytes each in the history

private:
    void noteEdit(const QString &text);
    void emptyUndoHistory();

    qsizetype m_length = 0;   // the text's length before the edit being reported
    qsizetype m_undoLoad = 0; // an upper bound of the characters in the undo history
};
