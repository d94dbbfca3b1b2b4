#include "window/scrollbar.h"

#include <QKeyEvent>

ScrollBar::ScrollBar(Qt::Orientation orientation, QWidget *parent)
    : QScrollBar(orientation, parent) {
    setFocusPolicy(Qt::StrongFocus);
    setSingleStep(1);
    setPageStep(1);
    connect(this, &QAbstractSlider::actionTriggered, this, &ScrollBar::onAction);
    connect(this, &QAbstractSlider::valueChanged, this, &ScrollBar::onValueChanged);
}

void ScrollBar::setReportsDrag(bool reports) { setTracking(reports); }

void ScrollBar::keyPressEvent(QKeyEvent *event) {
    // QScrollBar inverts its controls so that Up and Page Up scroll towards the start; Qt 6 lets
    // that inversion reach Left and Right as well, which would move a horizontal thumb against
    // the key. Left and Right are therefore mapped here; every other key stays with QScrollBar.
    const int key = event->key();
    if (key != Qt::Key_Left && key != Qt::Key_Right) {
        QScrollBar::keyPressEvent(event);
        return;
    }
    const bool mirrored = orientation() == Qt::Horizontal && isRightToLeft();
    const bool towardsMaximum = (key == Qt::Key_Right) != mirrored;
    triggerAction(towardsMaximum ? SliderSingleStepAdd : SliderSingleStepSub);
    event->accept();
}

void ScrollBar::onAction(int action) { m_pendingAction = action; }

void ScrollBar::onValueChanged() {
    const bool dragging = m_pendingAction == SliderMove && isSliderDown();
    // Reset before reporting: a handler may write the value again, nested inside this call.
    m_pendingAction = SliderNoAction;
    if (dragging)
        emit scroll();
    else
        emit change();
}
