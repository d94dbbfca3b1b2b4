#pragma once

#include "map/family.h"
#include "map/mapframe.h"

#include <QColor>
#include <QPolygonF>
#include <QRectF>
#include <optional>
#include <vector>

class QPainter;

// The families drawn over the map: those of the selected solution as strong curves with their
// members marked, and, when asked, every family with k = 1..K both ways as faint curves. A curve
// passes exactly through the centres of the cells of its members and is sampled at most a few
// pixels apart in either direction, so it stays smooth at every zoom; only the part in view is
// sampled, and the samples are kept until the view or the families change, so a repaint that
// only shows the picture again costs the drawing of the kept lines alone.
class FamilyLayer {
public:
    struct Selected {
        Family family;
        std::vector<Family::Member> members;
    };

    static QColor colour(Family::Kind kind);

    void setMaxLeg(std::uint32_t maxLeg);
    void setSelected(std::vector<Selected> selected);
    // Every family with k = 1..upToK, both ways; none for 0 or a d that is not whole.
    void setFaint(const std::optional<mpz_class> &d, int upToK);
    bool empty() const { return m_selected.empty() && m_faint.empty(); }
    const std::vector<Selected> &selected() const { return m_selected; }
    // The largest k of the faint families, 0 without them.
    int faintUpTo() const { return static_cast<int>(m_faint.size() / 2); }

    // Draws into the plot, which shows the area.
    void paint(QPainter &painter, const QRectF &plot, const MapArea &area);

private:
    struct View {
        QRectF plot;
        MapArea area;
        bool operator==(const View &other) const;
    };
    QPolygonF sample(const Family &family, const View &view, double spacing) const;
    void resample(const View &view);

    std::uint32_t m_maxLeg = 1000;
    std::vector<Selected> m_selected;
    std::vector<Family> m_faint;
    // The samples of the faint and the selected curves for the view they were made for.
    std::optional<View> m_sampled;
    std::vector<QPolygonF> m_faintLines;
    std::vector<QPolygonF> m_selectedLines;
};
