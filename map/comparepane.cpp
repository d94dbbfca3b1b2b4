#include "map/comparepane.h"

#include "map/fieldmark.h"
#include "map/mapdeviation.h"
#include "map/maptext.h"
#include "map/mapview.h"

#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

ComparePane::ComparePane(QLineEdit &field, QWidget *parent) : QWidget(parent), m_field(field) {
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_counts = new QLabel(this);
    m_counts->setObjectName(QStringLiteral("compareCounts"));
    m_counts->setWordWrap(true);
    m_counts->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_counts);
    m_view = new MapView(this);
    m_view->setObjectName(QStringLiteral("compareMap"));
    m_view->setAccessibleName(QStringLiteral("Karte der zweiten Abweichung"));
    layout->addWidget(m_view, 1);

    connect(&m_field, &QLineEdit::returnPressed, this, &ComparePane::applyDeviation);
    connect(&m_search, &MapSearch::blockReady, this, &ComparePane::takeBlock);
    connect(&m_search, &MapSearch::finished, this,
            [this](std::uint64_t generation, bool) { searchEnded(generation); });
    connect(m_view, &MapView::viewChanged, this, &ComparePane::showCounts);
    connect(m_view, &MapView::hovered, this, &ComparePane::showPointer);
}

void ComparePane::setRange(std::uint32_t maxLeg, bool primitiveOnly) {
    const bool newRange = maxLeg != m_maxLeg || !m_store;
    m_maxLeg = maxLeg;
    m_primitiveOnly = primitiveOnly;
    if (newRange) {
        m_store.reset();
        m_view->setRange(maxLeg);
    }
    startSearch();
}

void ComparePane::setDeviation(const QString &text) {
    m_field.setText(text);
    applyDeviation();
}

// A text that is no deviation marks the field and says why; the last good map stays.
void ComparePane::applyDeviation() {
    const MapDeviation::Reading reading = MapDeviation::read(m_field.text());
    FieldMark::show(m_field, reading.problem);
    emit problem(reading.problem);
    if (!reading.problem.isEmpty())
        return;
    m_deviationText = m_field.text();
    m_deviation = reading.value;
    startSearch();
}

void ComparePane::resume() {
    if (m_store && !m_store->complete() && !m_search.running())
        startSearch();
}

void ComparePane::startSearch() {
    MapSearch::Query query;
    query.deviation = m_deviation;
    query.maxLeg = m_maxLeg;
    query.primitiveOnly = m_primitiveOnly;
    const std::uint64_t generation = m_search.start(query);
    if (!m_store) {
        m_store = std::make_unique<MapStore>(m_maxLeg, generation);
        m_view->setStore(m_store.get());
    } else {
        m_next = std::make_unique<MapStore>(m_maxLeg, generation);
    }
    showCounts();
    emit searchStarted();
}

void ComparePane::takeBlock(const std::shared_ptr<const MapBlock> &block) {
    if (m_next && block->generation == m_next->generation()) {
        if (!m_next->add(block))
            return;
        m_store = std::move(m_next);
        m_view->setStore(m_store.get());
    } else if (m_store && m_store->add(block)) {
        m_view->storeGrew(block->firstX, block->lastX);
    } else {
        return;
    }
    showCounts();
}

void ComparePane::searchEnded(std::uint64_t generation) {
    if (m_next && m_next->generation() == generation) {
        m_store = std::move(m_next);
        m_view->setStore(m_store.get());
    }
    showCounts();
}

void ComparePane::showCounts() {
    if (!m_store)
        return;
    m_counts->setText(countsLine(MapText::deviation(m_deviationText, m_deviation), *m_store,
                                 *m_view, m_primitiveOnly));
}

QString ComparePane::countsLine(const QString &deviation, const MapStore &store,
                                const MapView &view, bool primitiveOnly) {
    const MapCounts &all = store.counts();
    QString text = QStringLiteral("d = %1: %2 %3")
                       .arg(deviation)
                       .arg(all.total())
                       .arg(primitiveOnly      ? QStringLiteral("primitive Lösungen")
                            : all.total() == 1 ? QStringLiteral("Lösung")
                                               : QStringLiteral("Lösungen"));
    if (!primitiveOnly)
        text += QStringLiteral(", davon %1 primitiv").arg(all.primitive);
    const MapViewport::Cells cells = view.viewport().visibleCells();
    if (!view.viewport().showsAll() && !cells.empty())
        text += QStringLiteral(", im Ausschnitt %1")
                    .arg(store.countsIn(cells.x0, cells.x1, cells.y0, cells.y1).total());
    if (!store.complete())
        text += QStringLiteral(" (Suche läuft)");
    return text;
}

void ComparePane::showPointer(std::optional<QPoint> cell) {
    if (!cell) {
        emit pointerText(QString());
        return;
    }
    emit pointerText(QStringLiteral("Zweite Abweichung d = %1: ")
                         .arg(MapText::deviation(m_deviationText, m_deviation)) +
                     MapText::pointerText(static_cast<std::uint32_t>(cell->x()),
                                          static_cast<std::uint32_t>(cell->y()), m_deviation));
}
