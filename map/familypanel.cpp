#include "map/familypanel.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

// The selection has at most three families: its parabola, the mirrored one, and its ray.
constexpr int mostFamilies = 3;
constexpr int defaultUpTo = 10;

} // namespace

FamilyPanel::FamilyPanel(QWidget *parent) : QGroupBox(QStringLiteral("Familien"), parent) {
    auto *layout = new QVBoxLayout(this);
    m_none = new QLabel(this);
    m_none->setObjectName(QStringLiteral("familyNone"));
    m_none->setWordWrap(true);
    layout->addWidget(m_none);
    for (int i = 0; i < mostFamilies; ++i) {
        auto *label = new QLabel(this);
        label->setObjectName(QStringLiteral("family%1").arg(i));
        label->setWordWrap(true);
        label->setTextFormat(Qt::RichText);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        label->hide();
        layout->addWidget(label);
        m_families.push_back(label);
    }
    auto *faintRow = new QHBoxLayout;
    m_faint = new QCheckBox(QStringLiteral("Alle &Familien bis k ="), this);
    m_faint->setObjectName(QStringLiteral("faintFamilies"));
    m_faint->setToolTip(
        QStringLiteral("Zeichnet jede Familie z \u2212 y = k und z \u2212 x = k mit "
                       "k = 1 bis K als blasse Kurve (Strg+K)."));
    m_upTo = new QSpinBox(this);
    m_upTo->setObjectName(QStringLiteral("faintUpTo"));
    m_upTo->setAccessibleName(QStringLiteral("Familien bis k"));
    m_upTo->setRange(1, 500);
    m_upTo->setValue(defaultUpTo);
    faintRow->addWidget(m_faint);
    faintRow->addWidget(m_upTo);
    faintRow->addStretch(1);
    layout->addLayout(faintRow);
    connect(m_faint, &QCheckBox::toggled, this, [this] { emit faintChanged(faintUpTo()); });
    connect(m_upTo, &QSpinBox::valueChanged, this, [this] {
        if (m_faint->isChecked())
            emit faintChanged(faintUpTo());
    });
    setFamilies({}, false);
}

int FamilyPanel::faintUpTo() const { return m_faint->isChecked() ? m_upTo->value() : 0; }

void FamilyPanel::setFaint(bool on) { m_faint->setChecked(on); }

void FamilyPanel::setFamilies(const std::vector<FamilyLayer::Selected> &families,
                              bool primitiveOnly) {
    m_none->setText(
        QStringLiteral("Ein Klick auf eine Lösung zeigt ihre Familien: die Parabeln "
                       "der Lösungen mit gleichem z \u2212 y und gleichem z \u2212 x."));
    m_none->setVisible(families.empty());
    for (std::size_t i = 0; i < m_families.size(); ++i) {
        QLabel *label = m_families[i];
        if (i >= families.size()) {
            label->hide();
            continue;
        }
        const FamilyLayer::Selected &shown = families[i];
        const std::size_t count = shown.members.size();
        const QString solutions = primitiveOnly
                                      ? (count == 1 ? QStringLiteral("primitive Lösung")
                                                    : QStringLiteral("primitive Lösungen"))
                                  : count == 1 ? QStringLiteral("Lösung")
                                               : QStringLiteral("Lösungen");
        label->setText(QStringLiteral("<span style=\"color: %1\">\u25A0</span> <b>%2</b><br>%3<br>"
                                      "%4 %5 in 1..N")
                           .arg(FamilyLayer::colour(shown.family.kind()).name(),
                                shown.family.name().toHtmlEscaped(),
                                shown.family.equation().toHtmlEscaped())
                           .arg(count)
                           .arg(solutions));
        label->show();
    }
}
