#pragma once

#include <QTextEdit>

// A multi-line text box whose text is kept exactly as written (a carriage return and line feed
// between lines) and shown as centred lines.
class TextArea : public QTextEdit {
    Q_OBJECT

public:
    explicit TextArea(QWidget *parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString &text);

private:
    QString m_text;
};
