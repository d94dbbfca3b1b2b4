#pragma once

#include <QString>
#include <QWidget>
#include <gmpxx.h>
#include <optional>

class DeviationPlayer;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The film's controls under the map's own: the deviations to play as A..B:S (the current d to
// d + 50 until the user writes a range), the speed, a step back, play and pause, a step forward,
// and which frame is shown. A range that cannot be played marks the field and says why; the last
// good range stays.
class PlayControls : public QWidget {
    Q_OBJECT

public:
    PlayControls(DeviationPlayer &player, QWidget *parent = nullptr);

    // The map's d changed by the user: the range follows it unless the user wrote one.
    void followDeviation(const std::optional<mpz_class> &d);
    // As if typed into the range field and confirmed.
    void setRangeText(const QString &text);
    // Frames a second of an entry of the speed list, 0 for "as fast as they come".
    void setSpeedIndex(int index);

signals:
    // Why the range field's text is no range, or empty once it is one.
    void problem(const QString &text);

private:
    void applyRange();
    void showState();

    DeviationPlayer &m_player;
    bool m_ownRange = false;
    QLineEdit *m_range = nullptr;
    QComboBox *m_speed = nullptr;
    QPushButton *m_back = nullptr;
    QPushButton *m_play = nullptr;
    QPushButton *m_forward = nullptr;
    QLabel *m_position = nullptr;
};
