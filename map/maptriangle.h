#pragma once

#include <QPoint>
#include <QWidget>
#include <optional>

// The right triangle on the legs of a cell, drawn as the window's preview draws it: the right
// angle at the top left, the leg x to the right, the leg y downwards, hatched across, in a square
// of 1.4 times the longer leg.
class MapTriangle : public QWidget {
    Q_OBJECT

public:
    explicit MapTriangle(QWidget *parent = nullptr);

    void setLegs(std::optional<QPoint> legs);
    QSize sizeHint() const override { return {180, 180}; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override { return width; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::optional<QPoint> m_legs;
};
