#include "map/mapopener.h"

#include "map/mapwindow.h"
#include "window/keynames.h"

#include <QAction>
#include <QWidget>

namespace {

constexpr char what[] = "Karte der Lösungen öffnen (bis eine Million)";

} // namespace

MapOpener::MapOpener(QWidget &window, DeviationSource deviation)
    : QObject(&window), m_deviation(std::move(deviation)) {
    auto *action = new QAction(QString::fromUtf8(what), &window);
    action->setObjectName(QStringLiteral("openMap"));
    action->setShortcut(key());
    action->setShortcutContext(Qt::WindowShortcut);
    connect(action, &QAction::triggered, this, &MapOpener::open);
    window.addAction(action);
}

MapOpener::~MapOpener() = default;

QString MapOpener::listText() { return KeyNames::line(key(), QString::fromUtf8(what)); }

void MapOpener::open() {
    const QString deviation = m_deviation();
    if (!m_map)
        m_map = std::make_unique<MapWindow>(deviation);
    else
        m_map->setDeviation(deviation);
    m_map->show();
    m_map->raise();
    m_map->activateWindow();
}
