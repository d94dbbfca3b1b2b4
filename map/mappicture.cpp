#include "map/mappicture.h"

#include "results/pictureencoder.h"

#include "map/mapaxes.h"
#include "map/mapdeviation.h"
#include "map/mapraster.h"
#include "map/mapstore.h"
#include "map/maptext.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <algorithm>
#include <cmath>

namespace {

constexpr double margin = 16;
constexpr int titlePixels = 17;
constexpr int textPixels = 13;
// The legend's width in digits' widths.
constexpr double legendWidth = 100;

} // namespace

MapPicture::MapPicture(const MapStore &store, const MapArea &area, const QString &deviationText,
                       bool primitiveOnly)
    : m_store(store), m_area(area), m_deviationText(deviationText), m_primitiveOnly(primitiveOnly) {
    const MapDeviation::Reading d = MapDeviation::read(deviationText);
    m_deviation = d.value;
    m_whole = d.whole;
}

QFont MapPicture::font(int pixels, bool bold) const {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

QString MapPicture::title() const { return MapText::family(m_deviationText, m_deviation); }

QString MapPicture::subtitle() const {
    const QString d = MapText::deviation(m_deviationText, m_deviation);
    const std::uint32_t n = m_store.maxLeg();
    if (!m_whole)
        return QStringLiteral("d = %1 ist keine ganze Zahl: keine Lösungen mit Katheten 1 bis %2")
            .arg(d)
            .arg(n);
    const MapCounts &all = m_store.counts();
    QString text =
        QStringLiteral("d = %1, Katheten 1 bis %2: %3 %4").arg(d).arg(n).arg(all.total());
    text = text.arg(m_primitiveOnly    ? QStringLiteral("primitive Lösungen")
                    : all.total() == 1 ? QStringLiteral("Lösung")
                                       : QStringLiteral("Lösungen"));
    if (!m_primitiveOnly)
        text += QStringLiteral(", davon %1 primitiv").arg(all.primitive);
    const auto x0 = static_cast<std::uint32_t>(std::max(1.0, std::ceil(m_area.left)));
    const auto x1 = static_cast<std::uint32_t>(std::min<double>(n, std::floor(m_area.right) - 1));
    const auto y0 = static_cast<std::uint32_t>(std::max(1.0, std::ceil(m_area.bottom)));
    const auto y1 = static_cast<std::uint32_t>(std::min<double>(n, std::floor(m_area.top) - 1));
    if (x0 > 1 || y0 > 1 || x1 < n || y1 < n) {
        text += QStringLiteral("; Ausschnitt x %1 bis %2, y %3 bis %4: %5")
                    .arg(x0)
                    .arg(x1)
                    .arg(y0)
                    .arg(y1)
                    .arg(m_store.countsIn(x0, x1, y0, y1).total());
    }
    if (!m_store.complete())
        text += QStringLiteral(" (Suche nicht beendet)");
    return text;
}

MapPicture::Layout MapPicture::layout(QSize size) const {
    const QFontMetricsF titleMetrics(font(titlePixels, true));
    const QFontMetricsF text(font(textPixels, false));
    const QMarginsF room = MapAxes::room(text, m_store.maxLeg());
    Layout layout;
    const double titleHeight = titleMetrics.height() + text.height() + 8;
    layout.title = QRectF(margin, margin, size.width() - 2 * margin, titleHeight);
    const double legend = legendHeight(text);
    QRectF plot(margin + room.left(), margin + titleHeight + room.top(),
                size.width() - 2 * margin - room.left() - room.right(),
                size.height() - 2 * margin - titleHeight - room.top() - room.bottom() - legend);
    // Cells stay square: the plot takes the area's proportions, centred.
    const double aspect = m_area.width() / m_area.height();
    if (plot.width() > plot.height() * aspect) {
        const double width = plot.height() * aspect;
        plot.adjust((plot.width() - width) / 2, 0, -(plot.width() - width) / 2, 0);
    } else {
        const double height = plot.width() / aspect;
        plot.adjust(0, (plot.height() - height) / 2, 0, -(plot.height() - height) / 2);
    }
    layout.plot = plot;
    layout.legend =
        QRectF(margin, plot.bottom() + room.bottom(), size.width() - 2 * margin, legend);
    return layout;
}

QSizeF MapPicture::frame() const {
    const QFontMetricsF titleMetrics(font(titlePixels, true));
    const QFontMetricsF text(font(textPixels, false));
    const QMarginsF room = MapAxes::room(text, m_store.maxLeg());
    return {room.left() + room.right() + 2 * margin, 2 * margin + titleMetrics.height() +
                                                         text.height() + 8 + room.top() +
                                                         room.bottom() + legendHeight(text)};
}

bool MapPicture::showsFamilies() const {
    return !m_families.selected().empty() || m_families.faintUpTo() > 0;
}

double MapPicture::legendHeight(const QFontMetricsF &text) const {
    return (text.height() + 12) * (showsFamilies() ? 2 : 1);
}

QSize MapPicture::sizeForPlot(QSize plot) const {
    const QFontMetricsF titleMetrics(font(titlePixels, true));
    const QFontMetricsF text(font(textPixels, false));
    // Wide enough for the title and the legend however narrow the plot, up to the default width:
    // a title longer still (a d of a thousand digits) is shortened in the middle.
    const double words = std::min<double>(
        std::max({titleMetrics.horizontalAdvance(title()), text.horizontalAdvance(subtitle()),
                  text.horizontalAdvance(QStringLiteral("0")) * legendWidth}) +
            2 * margin,
        defaultSize.width());
    const QSizeF around = frame();
    return {static_cast<int>(std::ceil(std::max(plot.width() + around.width(), words))),
            static_cast<int>(std::ceil(plot.height() + around.height()))};
}

QSize MapPicture::naturalSize() const {
    // The largest plot of the area's proportions within the default picture.
    const QSizeF around = frame();
    const double scale = std::min((defaultSize.width() - around.width()) / m_area.width(),
                                  (defaultSize.height() - around.height()) / m_area.height());
    return sizeForPlot(QSize(std::max(1, static_cast<int>(m_area.width() * scale)),
                             std::max(1, static_cast<int>(m_area.height() * scale))));
}

void MapPicture::paintPlot(QPainter &painter, const QRectF &plot, bool vectors) const {
    const double perPixel = m_area.width() / plot.width();
    if (!vectors || perPixel >= 1) {
        // Pixels: as many as the device has under the plot, or a logical one for vectors.
        const double ratio = vectors ? 1.0 : painter.device()->devicePixelRatioF();
        const int width = std::max(1, static_cast<int>(std::lround(plot.width() * ratio)));
        const int height = std::max(1, static_cast<int>(std::lround(plot.height() * ratio)));
        QImage image(width, height, QImage::Format_RGB32);
        MapRaster raster;
        raster.draw(m_store, MapFrame::of(m_area, width, height), image);
        painter.drawImage(plot, image);
        return;
    }
    // Marks as squares, the grid as lines.
    painter.save();
    painter.setClipRect(plot);
    painter.fillRect(plot, QColor(MapRaster::ground));
    const auto at = [&](double x, double y) {
        return QPointF(plot.left() + (x - m_area.left) / perPixel,
                       plot.top() + (m_area.top - y) / perPixel);
    };
    const std::uint32_t n = m_store.maxLeg();
    const auto first = [](double low) {
        return static_cast<std::uint32_t>(std::max(1.0, std::floor(low)));
    };
    const auto last = [n](double high) {
        return static_cast<std::uint32_t>(
            std::clamp(std::ceil(high) - 1, 0.0, static_cast<double>(n)));
    };
    for (std::uint32_t x = first(m_area.left); x <= last(m_area.right); ++x) {
        for (const std::uint32_t packed : m_store.column(x)) {
            const std::uint32_t y = packed >> 1;
            if (y < first(m_area.bottom) || y > last(m_area.top))
                continue;
            const QRgb colour = x < y   ? MapRaster::aboveColor
                                : x > y ? MapRaster::belowColor
                                        : MapRaster::onColor;
            painter.fillRect(QRectF(at(x, y + 1.0), at(x + 1.0, y)), QColor(colour));
        }
    }
    if (1 / perPixel >= MapRaster::gridFrom) {
        painter.setPen(QPen(QColor(MapRaster::gridColor), 0));
        for (std::uint32_t x = first(m_area.left); x <= last(m_area.right) + 1; ++x)
            painter.drawLine(at(x, m_area.bottom), at(x, m_area.top));
        for (std::uint32_t y = first(m_area.bottom); y <= last(m_area.top) + 1; ++y)
            painter.drawLine(at(m_area.left, y), at(m_area.right, y));
    }
    painter.restore();
}

void MapPicture::paintLegend(QPainter &painter, const QRectF &where) const {
    painter.save();
    painter.setFont(font(textPixels, false));
    const QFontMetricsF metrics(painter.font());
    const double box = metrics.height() * 0.7;
    double x = where.left();
    const double middle = where.top() + where.height() / 2;
    const struct {
        QRgb colour;
        QString text;
    } entries[] = {
        {MapRaster::aboveColor, QStringLiteral("x < y (über der Diagonale)")},
        {MapRaster::belowColor, QStringLiteral("x > y (unter der Diagonale)")},
        {MapRaster::onColor, QStringLiteral("x = y")},
    };
    for (const auto &entry : entries) {
        painter.fillRect(QRectF(x, middle - box / 2, box, box), QColor(entry.colour));
        x += box + 6;
        painter.drawText(QPointF(x, middle + metrics.ascent() / 2 - 1), entry.text);
        x += metrics.horizontalAdvance(entry.text) + 20;
    }
    painter.restore();
}

// Each family of the selection as a short stroke of its colour and its name, then the faint ones.
void MapPicture::paintFamilyLegend(QPainter &painter, const QRectF &where) const {
    painter.save();
    painter.setFont(font(textPixels, false));
    const QFontMetricsF metrics(painter.font());
    double x = where.left();
    const double middle = where.top() + where.height() / 2;
    const auto entry = [&](const QColor &colour, const QString &text) {
        painter.setPen(QPen(colour, 2));
        painter.drawLine(QPointF(x, middle), QPointF(x + 16, middle));
        x += 22;
        painter.setPen(Qt::black);
        painter.drawText(QPointF(x, middle + metrics.ascent() / 2 - 1), text);
        x += metrics.horizontalAdvance(text) + 20;
    };
    for (const FamilyLayer::Selected &selected : m_families.selected())
        entry(FamilyLayer::colour(selected.family.kind()), selected.family.name());
    if (const int k = m_families.faintUpTo(); k > 0)
        entry(QColor(150, 150, 150),
              k == 1 ? QStringLiteral("blass: z − y = 1 und z − x = 1")
                     : QStringLiteral("blass: z − y und z − x von 1 bis %1").arg(k));
    painter.restore();
}

void MapPicture::paint(QPainter &painter, QSize size, const QRectF &target, bool vectors) const {
    if (size.isEmpty() || target.isEmpty())
        return;
    painter.save();
    const double scale = std::min(target.width() / size.width(), target.height() / size.height());
    painter.translate(target.center() - QPointF(size.width() * scale, size.height() * scale) / 2);
    painter.scale(scale, scale);
    painter.fillRect(QRectF(QPointF(0, 0), QSizeF(size)), Qt::white);
    const Layout parts = layout(size);
    painter.setPen(Qt::black);
    painter.setFont(font(titlePixels, true));
    const QFontMetricsF titleMetrics(painter.font());
    painter.drawText(
        QRectF(parts.title.topLeft(), QSizeF(parts.title.width(), titleMetrics.height())),
        Qt::AlignLeft | Qt::AlignVCenter,
        titleMetrics.elidedText(title(), Qt::ElideMiddle, parts.title.width()));
    painter.setFont(font(textPixels, false));
    const QFontMetricsF textMetrics(painter.font());
    painter.drawText(QRectF(parts.title.left(), parts.title.top() + titleMetrics.height() + 4,
                            parts.title.width(), textMetrics.height()),
                     Qt::AlignLeft | Qt::AlignVCenter,
                     textMetrics.elidedText(subtitle(), Qt::ElideMiddle, parts.title.width()));
    if (!parts.plot.isEmpty()) {
        paintPlot(painter, parts.plot, vectors);
        // A copy: the layer keeps the samples of the last plot it drew.
        FamilyLayer families = m_families;
        families.paint(painter, parts.plot, m_area);
        MapAxes::paint(painter, parts.plot, m_area, m_store.maxLeg(), QStringLiteral("Kathete x"),
                       QStringLiteral("Kathete y"));
    }
    QRectF legend = parts.legend;
    if (showsFamilies()) {
        legend.setHeight(legend.height() / 2);
        paintFamilyLegend(painter, legend.translated(0, legend.height()));
    }
    paintLegend(painter, legend);
    if (m_area.width() / parts.plot.width() > 1) {
        painter.drawText(legend, Qt::AlignRight | Qt::AlignVCenter,
                         QStringLiteral("Farbstärke: Zahl der Lösungen im Pixel"));
    }
    painter.restore();
}

QImage MapPicture::image(QSize size, int scale) const {
    QImage image(size * scale, QImage::Format_RGB32);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::white);
    QPainter painter(&image);
    paint(painter, size, QRectF(QPointF(0, 0), QSizeF(size)), false);
    return image;
}

Failure MapPicture::encode(PictureFormat::Kind format, QSize size, int scale,
                           QByteArray &bytes) const {
    return PictureEncoder::encode(
        format,
        {size, title(), subtitle(), [&] { return image(size, scale); },
         [&](QPainter &painter, const QRectF &whole) { paint(painter, size, whole, true); }},
        bytes);
}
