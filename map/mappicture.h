#pragma once

#include "map/familylayer.h"
#include "map/mapframe.h"
#include "results/failure.h"
#include "results/pictureformat.h"

#include <QByteArray>
#include <QFont>
#include <QImage>
#include <QRectF>
#include <QSize>
#include <QString>
#include <gmpxx.h>
#include <optional>

class MapStore;
class QFontMetricsF;
class QPainter;

// The map as it leaves the window, for worksheets and papers: white, with a title that names the
// equation, d, the range and the count, the plot of an area of the map with its named axes, and
// a legend of the colours. One painting serves every form: pixels for PNG and the clipboard,
// vectors and real text for SVG, PDF and the printer (the counts of a zoomed-out plot as an
// image in them, its marks as squares).
class MapPicture {
public:
    static constexpr QSize defaultSize{1000, 1000};

    MapPicture(const MapStore &store, const MapArea &area, const QString &deviationText,
               bool primitiveOnly);

    // The size of the picture whose plot has that many logical pixels.
    QSize sizeForPlot(QSize plot) const;
    // The picture of the area at its largest within defaultSize, without room to spare.
    QSize naturalSize() const;
    // scale device pixels to a logical one.
    QImage image(QSize size, int scale = 1) const;
    // The file's content in the format, at that size and scale device pixels to a logical one.
    Failure encode(PictureFormat::Kind format, QSize size, int scale, QByteArray &bytes) const;
    // Paints the picture of that logical size, scaled into the target with its proportions kept.
    void paint(QPainter &painter, QSize size, const QRectF &target, bool vectors) const;

    // The families drawn over the plot as the map shows them, named in the legend.
    void setFamilies(const FamilyLayer &families) { m_families = families; }

    QString title() const;
    QString subtitle() const;

private:
    struct Layout {
        QRectF title;
        QRectF plot;
        QRectF legend;
    };
    Layout layout(QSize size) const;
    // The room around the plot: axes, title, legend and margins.
    QSizeF frame() const;
    QFont font(int pixels, bool bold) const;
    bool showsFamilies() const;
    // One line for the colours of the marks, one more for the families.
    double legendHeight(const QFontMetricsF &text) const;
    void paintPlot(QPainter &painter, const QRectF &plot, bool vectors) const;
    void paintLegend(QPainter &painter, const QRectF &where) const;
    void paintFamilyLegend(QPainter &painter, const QRectF &where) const;

    const MapStore &m_store;
    MapArea m_area;
    QString m_deviationText;
    std::optional<mpz_class> m_deviation;
    bool m_whole = true;
    bool m_primitiveOnly;
    FamilyLayer m_families;
};
