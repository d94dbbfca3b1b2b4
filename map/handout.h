#pragma once

#include "map/mapframe.h"
#include "map/mapsearch.h"
#include "numbers/deviationrange.h"
#include "results/failure.h"

#include <QByteArray>
#include <QPageLayout>
#include <QRectF>
#include <QSize>
#include <QString>
#include <optional>

class MapStore;
class QPainter;

// A handout for a class: one page for each deviation of a range, each page the map of that d over
// the same cells, with the equation, d and the count in its title, as the map's picture has them.
// The command line writes it as a PDF of A4 pages; the map prints the same pages. One painting
// serves both.
class Handout {
public:
    struct Sheet {
        std::uint32_t maxLeg = 1000;
        bool primitiveOnly = false;
        MapArea area;              // the cells each page shows
        std::optional<QSize> size; // the picture's size, its natural one unless given
    };

    Handout(DeviationRange range, Sheet sheet);

    std::int64_t pages() const { return m_range.count(); }
    // The search of the page's map.
    MapSearch::Query query(std::int64_t page) const;
    // Paints the page, whose map the store holds, into the rectangle, as large as it fits.
    void paintPage(QPainter &painter, const QRectF &rectangle, std::int64_t page,
                   const MapStore &store) const;
    // "Zahlenlupe: x² + y² = z² + d, d = −3 bis 3"
    QString title() const;

    // A4 upright with margins, the page every handout is laid out on.
    static QPageLayout pageLayout();
    // The whole handout as a PDF, each map searched on the calling thread.
    Failure writePdf(QByteArray &bytes) const;

private:
    DeviationRange m_range;
    Sheet m_sheet;
};
