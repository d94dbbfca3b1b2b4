#include "map/playcontrols.h"

#include "map/deviationplayer.h"
#include "map/fieldmark.h"
#include "map/maptext.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

namespace {

// Frames a second; 0 shows each frame as soon as it is made and the last one drawn.
constexpr double speeds[] = {1, 2, 5, 10, 20, 30, 0};
constexpr int defaultSpeed = 3;
// The film of a d that the user has not given a range: d to d + 50.
constexpr int defaultLength = 50;

} // namespace

PlayControls::PlayControls(DeviationPlayer &player, QWidget *parent)
    : QWidget(parent), m_player(player) {
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *rangeLabel = new QLabel(QStringLiteral("Abspie&len: d von..bis:Schritt"), this);
    m_range = new QLineEdit(this);
    m_range->setObjectName(QStringLiteral("playRange"));
    m_range->setAccessibleName(QStringLiteral("Abzuspielende Abweichungen, von..bis:Schritt"));
    m_range->setPlaceholderText(QStringLiteral("A..B:S"));
    m_range->setMinimumWidth(140);
    rangeLabel->setBuddy(m_range);
    m_speed = new QComboBox(this);
    m_speed->setObjectName(QStringLiteral("playSpeed"));
    m_speed->setAccessibleName(QStringLiteral("Tempo"));
    for (const double speed : speeds)
        m_speed->addItem(speed > 0 ? QStringLiteral("%1 Bilder/s").arg(speed)
                                   : QStringLiteral("so schnell es geht"));
    m_speed->setCurrentIndex(defaultSpeed);
    const QStyle &style = *QApplication::style();
    m_back = new QPushButton(style.standardIcon(QStyle::SP_MediaSkipBackward), QString(), this);
    m_back->setObjectName(QStringLiteral("playBack"));
    m_back->setAccessibleName(QStringLiteral("Einen Schritt zurück"));
    m_play = new QPushButton(this);
    m_play->setObjectName(QStringLiteral("play"));
    m_forward = new QPushButton(style.standardIcon(QStyle::SP_MediaSkipForward), QString(), this);
    m_forward->setObjectName(QStringLiteral("playForward"));
    m_forward->setAccessibleName(QStringLiteral("Einen Schritt vor"));
    for (QPushButton *button : {m_back, m_forward})
        button->setToolTip(button->accessibleName());
    m_position = new QLabel(this);
    m_position->setObjectName(QStringLiteral("playPosition"));
    layout->addWidget(rangeLabel);
    layout->addWidget(m_range);
    layout->addWidget(m_speed);
    layout->addWidget(m_back);
    layout->addWidget(m_play);
    layout->addWidget(m_forward);
    layout->addWidget(m_position, 1);

    connect(m_range, &QLineEdit::returnPressed, this, &PlayControls::applyRange);
    connect(m_speed, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_player.setSpeed(speeds[std::clamp<std::size_t>(index, 0, std::size(speeds) - 1)]);
    });
    connect(m_back, &QPushButton::clicked, this, [this] { m_player.step(-1); });
    connect(m_forward, &QPushButton::clicked, this, [this] { m_player.step(1); });
    connect(m_play, &QPushButton::clicked, this, [this] {
        if (m_player.playing())
            m_player.pause();
        else
            m_player.play();
    });
    connect(&m_player, &DeviationPlayer::stateChanged, this, &PlayControls::showState);
    m_player.setSpeed(speeds[defaultSpeed]);
    showState();
}

void PlayControls::setSpeedIndex(int index) { m_speed->setCurrentIndex(index); }

void PlayControls::followDeviation(const std::optional<mpz_class> &d) {
    if (m_ownRange || !d)
        return;
    DeviationRange range;
    range.first = *d;
    range.last = *d + defaultLength;
    m_range->setText(range.text());
    m_player.setRange(range);
}

void PlayControls::setRangeText(const QString &text) {
    m_range->setText(text);
    applyRange();
}

void PlayControls::applyRange() {
    const DeviationRangeReading reading = DeviationRange::read(m_range->text());
    FieldMark::show(*m_range, reading.problem);
    emit problem(reading.problem);
    if (!reading.range)
        return;
    m_ownRange = true;
    m_player.setRange(*reading.range);
}

void PlayControls::showState() {
    const QStyle &style = *QApplication::style();
    const bool playing = m_player.playing();
    m_play->setIcon(style.standardIcon(playing ? QStyle::SP_MediaPause : QStyle::SP_MediaPlay));
    m_play->setText(playing ? QStringLiteral("Anhalten") : QStringLiteral("Abspielen"));
    m_play->setAccessibleName(m_play->text());
    const std::optional<DeviationRange> &range = m_player.range();
    const std::optional<std::int64_t> at = m_player.position();
    if (!range || !at) {
        m_position->setText(range ? QStringLiteral("%1 Abweichungen").arg(range->count())
                                  : QString());
        return;
    }
    m_position->setText(QStringLiteral("d = %1 (%2 von %3)")
                            .arg(MapText::number(range->at(*at)))
                            .arg(*at + 1)
                            .arg(range->count()));
}
