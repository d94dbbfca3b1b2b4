#include "map/handout.h"

#include "map/mappicture.h"
#include "map/mapstore.h"
#include "map/maptext.h"

#include <QBuffer>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <atomic>

namespace {

constexpr double marginMm = 12;

} // namespace

Handout::Handout(DeviationRange range, Sheet sheet) : m_range(std::move(range)), m_sheet(sheet) {}

MapSearch::Query Handout::query(std::int64_t page) const {
    MapSearch::Query query;
    query.deviation = m_range.at(page);
    query.maxLeg = m_sheet.maxLeg;
    query.primitiveOnly = m_sheet.primitiveOnly;
    return query;
}

QString Handout::title() const {
    return QStringLiteral("Zahlenlupe: x\u00B2 + y\u00B2 = z\u00B2 + d, d = %1 bis %2")
        .arg(MapText::number(m_range.first), MapText::number(m_range.at(pages() - 1)));
}

QPageLayout Handout::pageLayout() {
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                       QMarginsF(marginMm, marginMm, marginMm, marginMm), QPageLayout::Millimeter);
}

void Handout::paintPage(QPainter &painter, const QRectF &rectangle, std::int64_t page,
                        const MapStore &store) const {
    const MapPicture picture(store, m_sheet.area,
                             QString::fromStdString(m_range.at(page).get_str()),
                             m_sheet.primitiveOnly);
    // At the top of the page, as large as it fits, rather than in its middle.
    const QSize size = m_sheet.size.value_or(picture.naturalSize());
    const double scale =
        std::min(rectangle.width() / size.width(), rectangle.height() / size.height());
    const QSizeF fitted(size.width() * scale, size.height() * scale);
    picture.paint(
        painter, size,
        QRectF(QPointF(rectangle.center().x() - fitted.width() / 2, rectangle.top()), fitted),
        true);
}

Failure Handout::writePdf(QByteArray &bytes) const {
    bytes.clear();
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly))
        return Failure(QStringLiteral("der Handzettel lässt sich nicht als PDF kodieren"));
    QPdfWriter pdf(&buffer);
    pdf.setResolution(72);
    pdf.setPageLayout(pageLayout());
    pdf.setTitle(title());
    pdf.setCreator(QStringLiteral("Zahlenlupe"));
    QPainter painter;
    bool painted = painter.begin(&pdf);
    const QRectF rectangle = pdf.pageLayout().paintRectPixels(pdf.resolution());
    for (std::int64_t page = 0; painted && page < pages(); ++page) {
        // Each map is made, drawn and let go before the next: memory holds one map at a time.
        MapStore store(m_sheet.maxLeg, 1);
        store.add(MapSearch::whole(query(page), 1, {}));
        if (page > 0)
            painted = pdf.newPage();
        paintPage(painter, rectangle, page, store);
    }
    painted = painter.end() && painted;
    if (painted && !bytes.isEmpty())
        return {};
    bytes.clear();
    return Failure(QStringLiteral("der Handzettel lässt sich nicht als PDF kodieren"));
}
