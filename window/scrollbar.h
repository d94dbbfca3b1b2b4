#pragma once

#include <QScrollBar>

// A scroll bar that reports its changes as two events:
//  - scroll(): once for each new thumb position while the user drags the thumb;
//  - change(): after a click on an arrow or the track, a key, the wheel, a write of a different
//    value by the program, and once at the end of every drag that left the value other than it
//    was when the thumb was grabbed, after that drag's scroll()s.
// Without drag tracking (setReportsDrag(false)) the value stays put during a drag and only
// change() reports where the thumb was let go.
// The bar takes the keyboard focus by Tab and by a click; the arrow keys, Page Up, Page Down,
// Home and End move it: Left and Up, like Page Up, go towards the minimum, Right and Down, like
// Page Down, towards the maximum (on a horizontal bar in a right-to-left layout Left and Right
// follow the mirrored bar), Home and End go to the ends.
class ScrollBar : public QScrollBar {
    Q_OBJECT

public:
    ScrollBar(Qt::Orientation orientation, QWidget *parent);

    void setReportsDrag(bool reports);

    // Screen readers get the value as a percentage of the maximum followed by `ofWhat` ("50 % der
    // vollen Höhe") instead of the raw number; an empty text gives the raw number again.
    void setSpokenAsPercentageOf(const QString &ofWhat) { m_percentageOf = ofWhat; }
    const QString &spokenAsPercentageOf() const { return m_percentageOf; }

signals:
    void change();
    void scroll();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void onAction(int action);
    void onValueChanged();
    void onReleased();

    int m_pendingAction = SliderNoAction;
    int m_valueAtGrab = 0;
    QString m_percentageOf;
};
