#include "window/scrollbar.h"

ScrollBar::ScrollBar(Qt::Orientation orientation, QWidget *parent)
    : QScrollBar(orientation, parent) {
    setFocusPolicy(Qt::StrongFocus);
    setSingleStep(1);
    setPageStep(1);
    connect(this, &QAbstractSlider::actionTriggered, this, &ScrollBar::onAction);
    connect(this, &QAbstractSlider::valueChanged, this, &ScrollBar::onValueChanged);
}

void ScrollBar::setReportsDrag(bool reports) { setTracking(reports); }

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
