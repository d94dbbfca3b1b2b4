#include "map/familylayer.h"

#include <QPainter>
#include <cmath>

namespace {

// Neighbouring samples of a curve lie at most this many logical pixels apart in either direction:
// closer on the strong curves of the selection, farther on the faint ones, of which there are
// many and whose bends at this spacing are below a pixel.
constexpr double strongSpacing = 2;
constexpr double faintSpacing = 4;
// Cells at least this many pixels wide get a frame as their mark, smaller ones a ring.
constexpr double framedFrom = 10;
constexpr int faintAlpha = 70;

} // namespace

QColor FamilyLayer::colour(Family::Kind kind) {
    switch (kind) {
    case Family::Kind::Parabola:
        return {0, 140, 0};
    case Family::Kind::Mirrored:
        return {150, 0, 170};
    case Family::Kind::Ray:
        break;
    }
    return {230, 110, 0};
}

bool FamilyLayer::View::operator==(const View &other) const {
    return plot == other.plot && area.left == other.area.left && area.right == other.area.right &&
           area.bottom == other.area.bottom && area.top == other.area.top;
}

void FamilyLayer::setMaxLeg(std::uint32_t maxLeg) {
    if (maxLeg == m_maxLeg)
        return;
    m_maxLeg = maxLeg;
    m_sampled.reset();
}

void FamilyLayer::setSelected(std::vector<Selected> selected) {
    m_selected = std::move(selected);
    m_sampled.reset();
}

void FamilyLayer::setFaint(const std::optional<mpz_class> &d, int upToK) {
    m_faint.clear();
    for (int k = 1; d && k <= upToK; ++k) {
        m_faint.push_back(Family::parabola(*d, k));
        m_faint.push_back(Family::mirrored(*d, k));
    }
    m_sampled.reset();
}

// The curve's points in the plot's pixels, where the cell (x, y) has its centre at the world
// point (x + ½, y + ½). Only the part within the square 1..N and the view, and a little beyond,
// is sampled: a curve that leaves the view steeply costs no more than one that crosses it.
QPolygonF FamilyLayer::sample(const Family &family, const View &view, double spacing) const {
    const MapArea &area = view.area;
    const double s = area.width() / view.plot.width();
    const double margin = 2 * spacing * s;
    const double end = m_maxLeg + 1.0;
    const double left = std::max(area.left, 1.0) - margin;
    const double right = std::min(area.right, end) + margin;
    const double bottom = std::max(area.bottom, 1.0) - margin;
    const double top = std::min(area.top, end) + margin;
    QPolygonF line;
    if (left >= right || bottom >= top)
        return line;
    const auto pixel = [&](double x, double y) {
        return QPointF(view.plot.left() + (x - area.left) / s,
                       view.plot.top() + (area.top - y) / s);
    };

    if (family.kind() == Family::Kind::Ray) {
        // The ray from the origin's centre, cut to the rectangle (Liang and Barsky).
        const double dx = family.rayX();
        const double dy = family.rayY();
        const double from = std::max({0.0, (left - 0.5) / dx, (bottom - 0.5) / dy});
        const double to = std::min((right - 0.5) / dx, (top - 0.5) / dy);
        if (from < to)
            line << pixel(0.5 + from * dx, 0.5 + from * dy) << pixel(0.5 + to * dx, 0.5 + to * dy);
        return line;
    }
    const bool mirrored = family.kind() == Family::Kind::Mirrored;
    if (family.straight()) {
        const double at = family.line() + 0.5;
        if (family.line() == 0)
            return line;
        if (!mirrored && at >= left && at <= right)
            line << pixel(at, bottom) << pixel(at, top);
        if (mirrored && at >= bottom && at <= top)
            line << pixel(left, at) << pixel(right, at);
        return line;
    }

    // The parameter t is the leg along which the curve runs (x, or y mirrored); the other leg is
    // a·t² + b, monotonic for t ≥ 0, so the part in view is one interval of t.
    const double uLow = mirrored ? bottom : left;
    const double uHigh = mirrored ? top : right;
    const double vLow = mirrored ? left : bottom;
    const double vHigh = mirrored ? right : top;
    const double a = family.a();
    const double b = family.b();
    double q1 = (vLow - 0.5 - b) / a;
    double q2 = (vHigh - 0.5 - b) / a;
    if (q1 > q2)
        std::swap(q1, q2);
    if (!(q2 >= 0))
        return line;
    const double tLow = std::max({uLow - 0.5, 0.0, std::sqrt(std::max(q1, 0.0))});
    const double tHigh = std::min(uHigh - 0.5, std::sqrt(q2));
    if (!(tLow < tHigh))
        return line;
    const auto point = [&](double t) {
        const double u = t + 0.5;
        const double v = a * t * t + b + 0.5;
        return mirrored ? pixel(v, u) : pixel(u, v);
    };
    // Knots at whole legs where a cell is wider than the spacing, so that the curve passes
    // exactly through the centres of its members; between knots, as many pieces as keep the
    // samples within the spacing.
    const bool wholeKnots = spacing * s < 1;
    const double knot = wholeKnots ? 1.0 : spacing * s;
    double t = tLow;
    double next = wholeKnots ? std::floor(tLow) + 1 : tLow + knot;
    QPointF last = point(t);
    line << last;
    while (t < tHigh) {
        const double to = std::min(next, tHigh);
        const QPointF p = point(to);
        const double apart = std::max(std::abs(p.x() - last.x()), std::abs(p.y() - last.y()));
        const int pieces = apart > spacing ? static_cast<int>(std::ceil(apart / spacing)) : 1;
        for (int i = 1; i < pieces; ++i)
            line << point(t + (to - t) * i / pieces);
        line << p;
        last = p;
        t = to;
        next += knot;
    }
    return line;
}

void FamilyLayer::resample(const View &view) {
    m_faintLines.clear();
    m_selectedLines.clear();
    for (const Family &family : m_faint)
        m_faintLines.push_back(sample(family, view, faintSpacing));
    for (const Selected &selected : m_selected)
        m_selectedLines.push_back(sample(selected.family, view, strongSpacing));
    m_sampled = view;
}

void FamilyLayer::paint(QPainter &painter, const QRectF &plot, const MapArea &area) {
    if (empty() || plot.isEmpty() || area.width() <= 0)
        return;
    const View view{plot, area};
    if (!m_sampled || !(*m_sampled == view))
        resample(view);
    const double s = area.width() / plot.width();
    const double end = m_maxLeg + 1.0;
    const auto pixel = [&](double x, double y) {
        return QPointF(plot.left() + (x - area.left) / s, plot.top() + (area.top - y) / s);
    };
    painter.save();
    painter.setClipRect(plot.intersected(QRectF(pixel(1, end), pixel(end, 1))));
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    for (std::size_t i = 0; i < m_faint.size(); ++i) {
        QColor faint = colour(m_faint[i].kind());
        faint.setAlpha(faintAlpha);
        painter.setPen(QPen(faint, 1));
        painter.drawPolyline(m_faintLines[i]);
    }
    for (std::size_t i = 0; i < m_selected.size(); ++i) {
        painter.setPen(QPen(colour(m_selected[i].family.kind()), 2));
        painter.drawPolyline(m_selectedLines[i]);
    }

    // The members in view, one mark for each pixel they fall in.
    const double cell = 1 / s;
    for (const Selected &selected : m_selected) {
        painter.setPen(QPen(colour(selected.family.kind()), 2));
        QPoint lastPixel(-1, -1);
        for (const Family::Member &m : selected.members) {
            if (m.x + 1.0 < area.left || m.x > area.right || m.y + 1.0 < area.bottom ||
                m.y > area.top)
                continue;
            const QPointF centre = pixel(m.x + 0.5, m.y + 0.5);
            if (centre.toPoint() == lastPixel)
                continue;
            lastPixel = centre.toPoint();
            if (cell >= framedFrom)
                painter.drawRect(
                    QRectF(pixel(m.x, m.y + 1.0), pixel(m.x + 1.0, m.y)).adjusted(1, 1, -1, -1));
            else
                painter.drawEllipse(centre, 4.0, 4.0);
        }
    }
    painter.restore();
}
