#include "window/scrollbar.h"

#include "window/scrollbaraccessible.h"

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QProxyStyle>
#include <algorithm>

namespace {

// The style's shortest thumb can be longer than the whole track of a short bar; the thumb then
// fills the track, there is no track left to click, and a drag reads every pointer position as
// the minimum. On such a bar the thumb is kept to a third of the track.
class ThumbStyle : public QProxyStyle {
public:
    ThumbStyle() : QProxyStyle(QApplication::style()->name()) {}

    int pixelMetric(PixelMetric metric, const QStyleOption *option,
                    const QWidget *widget) const override {
        const int value = QProxyStyle::pixelMetric(metric, option, widget);
        const auto *bar = qobject_cast<const QScrollBar *>(widget);
        if (metric != PM_ScrollBarSliderMin || bar == nullptr)
            return value;
        const int length = bar->orientation() == Qt::Horizontal ? bar->width() : bar->height();
        const int track = length - 2 * QProxyStyle::pixelMetric(PM_ScrollBarExtent, option, widget);
        return std::max(1, std::min(track / 3, value));
    }
};

} // namespace

ScrollBar::ScrollBar(Qt::Orientation orientation, QWidget *parent)
    : QScrollBar(orientation, parent) {
    // Installed once (Qt keeps each factory once), before the first interface of a bar is made.
    QAccessible::installFactory(&ScrollBarAccessible::create);
    auto *thumbStyle = new ThumbStyle;
    thumbStyle->setParent(this);
    setStyle(thumbStyle);
    setFocusPolicy(Qt::StrongFocus);
    setSingleStep(1);
    setPageStep(1);
    connect(this, &QAbstractSlider::actionTriggered, this, &ScrollBar::onAction);
    connect(this, &QAbstractSlider::valueChanged, this, &ScrollBar::onValueChanged);
    connect(this, &QAbstractSlider::sliderPressed, this, [this] { m_valueAtGrab = value(); });
    connect(this, &QAbstractSlider::sliderReleased, this, &ScrollBar::onReleased);
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

void ScrollBar::onReleased() {
    // A tracking bar's value already follows the thumb; without tracking the value is set just
    // after this signal, and that write reports the change.
    if (hasTracking() && value() != m_valueAtGrab)
        emit change();
}
