#pragma once

#include "numbers/deviationsweep.h"
#include "results/failure.h"
#include "results/pictureformat.h"

#include <QByteArray>
#include <QWidget>
#include <map>

class QChart;
class QChartView;
class QLineSeries;
class QValueAxis;

// The count of the solutions, all and primitive, against d for the deviations the map has shown
// complete, as the film plays or d is stepped. Qt Charts draws the axes, ticks and legend; this
// widget only feeds it the points. The chart is saved as PNG, SVG or PDF and its numbers as CSV,
// in the columns of zahlenlupe --exact --count --deviation A..B.
class CountChart : public QWidget {
    Q_OBJECT

public:
    explicit CountChart(QWidget *parent = nullptr);

    // Counts of another N or filter are not comparable: a change empties the chart.
    void setRange(std::uint32_t maxLeg, bool primitiveOnly);
    // The count of a deviation, replacing one of the same d.
    void add(const DeviationSweep::Count &count);
    std::size_t size() const { return m_counts.size(); }

    // The numbers as CSV, d ascending.
    QByteArray csv() const;
    // The chart as the file's content, at the widget's size (PNG at scale device pixels a pixel).
    Failure encode(PictureFormat::Kind format, int scale, QByteArray &bytes) const;

private:
    void refresh();
    void savePicture();
    void saveNumbers();
    QString suggestedName(const QString &suffix) const;

    std::uint32_t m_maxLeg = 0;
    bool m_primitiveOnly = false;
    std::map<mpz_class, DeviationSweep::Count> m_counts;
    QChart *m_chart = nullptr;
    QChartView *m_view = nullptr;
    QLineSeries *m_all = nullptr;
    QLineSeries *m_primitive = nullptr;
    QValueAxis *m_dAxis = nullptr;
    QValueAxis *m_countAxis = nullptr;
};
