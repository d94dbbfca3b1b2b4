#include "window/scrollbaraccessible.h"

#include "window/scrollbar.h"

#include <QLocale>
#include <cmath>

ScrollBarAccessible::ScrollBarAccessible(ScrollBar *bar)
    : QAccessibleWidget(bar, QAccessible::ScrollBar) {}

QAccessibleInterface *ScrollBarAccessible::create(const QString &, QObject *object) {
    auto *bar = qobject_cast<ScrollBar *>(object);
    return bar != nullptr ? new ScrollBarAccessible(bar) : nullptr;
}

const ScrollBar *ScrollBarAccessible::bar() const {
    return static_cast<const ScrollBar *>(widget());
}

double ScrollBarAccessible::unit() const {
    const int maximum = bar()->maximum();
    return bar()->spokenAsPercentageOf().isEmpty() || maximum <= 0 ? 1.0 : 100.0 / maximum;
}

QString ScrollBarAccessible::text(QAccessible::Text t) const {
    if (t != QAccessible::Value)
        return QAccessibleWidget::text(t);
    const QString share = bar()->spokenAsPercentageOf();
    if (share.isEmpty())
        return QString::number(bar()->value());
    // Read aloud in German: a decimal comma, two places where the value is not whole.
    const double percent = bar()->value() * unit();
    const bool whole = std::abs(percent - std::round(percent)) < 0.005;
    const QString number = QLocale(QLocale::German).toString(percent, 'f', whole ? 0 : 2);
    return QStringLiteral("%1 % %2").arg(number, share);
}

void *ScrollBarAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::ValueInterface)
        return static_cast<QAccessibleValueInterface *>(this);
    return QAccessibleWidget::interface_cast(type);
}

QVariant ScrollBarAccessible::currentValue() const { return bar()->value() * unit(); }

void ScrollBarAccessible::setCurrentValue(const QVariant &value) {
    // Through the bar's own setter, so that its change is reported as any other write.
    auto *target = static_cast<ScrollBar *>(widget());
    target->setValue(static_cast<int>(std::lround(value.toDouble() / unit())));
}

QVariant ScrollBarAccessible::maximumValue() const { return bar()->maximum() * unit(); }

QVariant ScrollBarAccessible::minimumValue() const { return bar()->minimum() * unit(); }

QVariant ScrollBarAccessible::minimumStepSize() const { return bar()->singleStep() * unit(); }
