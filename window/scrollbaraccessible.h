#pragma once

#include <QAccessibleWidget>

class ScrollBar;

// What screen readers learn of a ScrollBar: its value and range as of any scroll bar, or, for a
// bar spoken as a percentage (ScrollBar::setSpokenAsPercentageOf), the value as a share of the
// maximum, in text and in number. The bar's own steps are untouched; a reader that sets a value
// has it rounded to the nearest step.
class ScrollBarAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit ScrollBarAccessible(ScrollBar *bar);

    // For QAccessible::installFactory: an interface for every ScrollBar, none for anything else.
    // Qt's accessibility cache owns what it returns.
    static QAccessibleInterface *create(const QString &className, QObject *object);

    QString text(QAccessible::Text t) const override;
    void *interface_cast(QAccessible::InterfaceType type) override;

    QVariant currentValue() const override;
    void setCurrentValue(const QVariant &value) override;
    QVariant maximumValue() const override;
    QVariant minimumValue() const override;
    QVariant minimumStepSize() const override;

private:
    const ScrollBar *bar() const;
    // Reported units per unit of the bar's value: 1, or 100 / maximum for a percentage.
    double unit() const;
};
