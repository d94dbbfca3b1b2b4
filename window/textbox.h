#pragma once

#include <QLineEdit>

// A single-line text box that keeps everything typed or pasted into it, however long: the
// program reads the whole text, blanks and all.
class TextBox : public QLineEdit {
    Q_OBJECT

public:
    explicit TextBox(const QString &text, QWidget *parent = nullptr);
};
