#pragma once

#include "map/familylayer.h"

#include <QGroupBox>
#include <vector>

class QCheckBox;
class QLabel;
class QSpinBox;

// The families of the selected solution beside the map, each in the colour of its curve: which
// family (z − y = k, z − x = k′, the multiples of a triple), its equation with the numbers put
// in, and how many solutions lie on it in 1..N. Below, the switch that draws every family with
// k up to a chosen K as faint curves.
class FamilyPanel : public QGroupBox {
    Q_OBJECT

public:
    explicit FamilyPanel(QWidget *parent = nullptr);

    // None: the selection is no solution, and the panel says how to choose one.
    void setFamilies(const std::vector<FamilyLayer::Selected> &families, bool primitiveOnly);
    // K of the faint families, 0 when they are off.
    int faintUpTo() const;
    void setFaint(bool on);

signals:
    void faintChanged(int upToK);

private:
    QLabel *m_none = nullptr;
    std::vector<QLabel *> m_families;
    QCheckBox *m_faint = nullptr;
    QSpinBox *m_upTo = nullptr;
};
