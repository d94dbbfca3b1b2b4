#include "map/countchart.h"

#include "results/failurenotice.h"
#include "results/pictureencoder.h"
#include "results/savedialog.h"
#include "results/savefile.h"
#include "results/sweepwriter.h"

#include <QChart>
#include <QChartView>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLineSeries>
#include <QPainter>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>
#include <QValueAxis>
#include <cmath>

CountChart::CountChart(QWidget *parent) : QWidget(parent) {
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    // The view makes the chart and owns it.
    m_view = new QChartView(this);
    m_chart = m_view->chart();
    m_chart->setMargins(QMargins(4, 4, 4, 4));
    m_chart->legend()->setAlignment(Qt::AlignBottom);
    m_all = new QLineSeries(m_chart);
    m_all->setName(QStringLiteral("alle Lösungen"));
    m_all->setPointsVisible(true);
    m_primitive = new QLineSeries(m_chart);
    m_primitive->setName(QStringLiteral("primitive"));
    m_primitive->setPointsVisible(true);
    m_all->setColor(QColor(20, 90, 200));
    m_primitive->setColor(QColor(0, 160, 90));
    for (QLineSeries *series : {m_all, m_primitive})
        series->setMarkerSize(5);
    m_chart->addSeries(m_all);
    m_chart->addSeries(m_primitive);
    m_dAxis = new QValueAxis(m_chart);
    m_dAxis->setTitleText(QStringLiteral("Abweichung d"));
    m_dAxis->setLabelFormat(QStringLiteral("%.0f"));
    m_dAxis->setTickType(QValueAxis::TicksDynamic);
    m_countAxis = new QValueAxis(m_chart);
    m_countAxis->setTitleText(QStringLiteral("Anzahl"));
    m_countAxis->setLabelFormat(QStringLiteral("%.0f"));
    m_chart->addAxis(m_dAxis, Qt::AlignBottom);
    m_chart->addAxis(m_countAxis, Qt::AlignLeft);
    for (QLineSeries *series : {m_all, m_primitive}) {
        series->attachAxis(m_dAxis);
        series->attachAxis(m_countAxis);
    }
    m_view->setObjectName(QStringLiteral("countChart"));
    m_view->setRenderHint(QPainter::Antialiasing);
    // The axes rescale with almost every point: the chart is small, and drawn whole it leaves no
    // traces of the last scale behind.
    m_view->setViewportUpdateMode(QGraphicsView::FullViewportUpdate);
    m_view->setMinimumSize(320, 260);
    m_view->setAccessibleName(QStringLiteral("Anzahl der Lösungen über d"));
    layout->addWidget(m_view, 1);

    auto *buttons = new QHBoxLayout;
    auto *picture = new QPushButton(QStringLiteral("Diagramm speichern …"), this);
    picture->setObjectName(QStringLiteral("saveChart"));
    auto *numbers = new QPushButton(QStringLiteral("Zahlen speichern …"), this);
    numbers->setObjectName(QStringLiteral("saveCounts"));
    numbers->setAccessibleName(QStringLiteral("Zahlen des Diagramms als CSV speichern"));
    buttons->addWidget(picture);
    buttons->addWidget(numbers);
    layout->addLayout(buttons);
    connect(picture, &QPushButton::clicked, this, &CountChart::savePicture);
    connect(numbers, &QPushButton::clicked, this, &CountChart::saveNumbers);
    refresh();
}

void CountChart::setRange(std::uint32_t maxLeg, bool primitiveOnly) {
    if (maxLeg == m_maxLeg && primitiveOnly == m_primitiveOnly)
        return;
    m_maxLeg = maxLeg;
    m_primitiveOnly = primitiveOnly;
    m_counts.clear();
    refresh();
}

void CountChart::add(const DeviationSweep::Count &count) {
    m_counts[count.d] = count;
    refresh();
}

void CountChart::refresh() {
    m_chart->setTitle(QStringLiteral("Anzahl über d, Katheten 1 bis %1%2")
                          .arg(m_maxLeg)
                          .arg(m_primitiveOnly ? QStringLiteral(", nur primitive") : QString()));
    QList<QPointF> all;
    QList<QPointF> primitive;
    double most = 0;
    for (const auto &[d, count] : m_counts) {
        all.append(QPointF(d.get_d(), static_cast<double>(count.count)));
        primitive.append(QPointF(d.get_d(), static_cast<double>(count.primitive)));
        most = std::max(most, static_cast<double>(count.count));
    }
    m_all->replace(all);
    m_primitive->replace(primitive);
    // Points while they stand apart; a long film is a line.
    for (QLineSeries *series : {m_all, m_primitive})
        series->setPointsVisible(m_counts.size() <= 40);
    if (m_counts.empty()) {
        m_dAxis->setRange(0, 10);
        m_countAxis->setRange(0, 10);
        return;
    }
    const double first = m_counts.begin()->first.get_d();
    const double last = m_counts.rbegin()->first.get_d();
    const double pad = std::max(1.0, (last - first) / 20);
    m_dAxis->setRange(first - pad, last + pad);
    // Ticks at whole deviations, 1, 2 or 5 × 10^k apart, about six of them.
    double interval = 1;
    for (double power = 1; interval * 6 < last - first + 2 * pad; power *= 10) {
        for (const double factor : {1.0, 2.0, 5.0}) {
            interval = factor * power;
            if (interval * 6 >= last - first + 2 * pad)
                break;
        }
    }
    m_dAxis->setTickAnchor(0);
    m_dAxis->setTickInterval(interval);
    m_countAxis->setRange(0, std::max(10.0, most * 1.1));
    m_countAxis->applyNiceNumbers();
}

QByteArray CountChart::csv() const {
    SweepWriter writer(ListWriter::Format::Csv);
    QByteArray text = writer.begin();
    for (const auto &[d, count] : m_counts)
        text += writer.row(count);
    return text + writer.end();
}

Failure CountChart::encode(PictureFormat::Kind format, int scale, QByteArray &bytes) const {
    const QSize size = m_view->size();
    const auto draw = [this, size](QPainter &painter, const QRectF &whole) {
        m_view->render(&painter, whole, QRect(QPoint(0, 0), size), Qt::IgnoreAspectRatio);
    };
    return PictureEncoder::encode(format,
                                  {size, m_chart->title(), QString(),
                                   [&] {
                                       QImage image(size * scale, QImage::Format_RGB32);
                                       image.setDevicePixelRatio(scale);
                                       image.fill(Qt::white);
                                       QPainter painter(&image);
                                       draw(painter, QRectF(QPointF(0, 0), QSizeF(size)));
                                       return image;
                                   },
                                   draw},
                                  bytes);
}

QString CountChart::suggestedName(const QString &suffix) const {
    if (m_counts.empty())
        return QStringLiteral("zahlenlupe-anzahlen.%1").arg(suffix);
    return QStringLiteral("zahlenlupe-anzahlen-%1-bis-%2.%3")
        .arg(QString::fromStdString(m_counts.begin()->first.get_str()),
             QString::fromStdString(m_counts.rbegin()->first.get_str()), suffix);
}

void CountChart::savePicture() {
    const QString path =
        SaveDialog::ask(*this, QStringLiteral("Diagramm speichern"),
                        SaveDialog::suggestedPath(QStandardPaths::DocumentsLocation,
                                                  suggestedName(QStringLiteral("png"))),
                        SaveDialog::pictureFilters());
    if (path.isEmpty())
        return;
    const std::optional<PictureFormat::Kind> format = PictureFormat::ofFile(path);
    if (!format) {
        FailureNotice::show(*this, PictureFormat::unnamedIn(path),
                            QStringLiteral("Nicht gespeichert"));
        return;
    }
    const int scale = std::max(1, static_cast<int>(std::lround(devicePixelRatioF())));
    if (const Failure failure = SaveFile::writePicture(
            path, [&](QByteArray &bytes) { return encode(*format, scale, bytes); }))
        FailureNotice::show(*this, failure, QStringLiteral("Nicht gespeichert"));
}

void CountChart::saveNumbers() {
    const QString path =
        SaveDialog::ask(*this, QStringLiteral("Zahlen speichern"),
                        SaveDialog::suggestedPath(QStandardPaths::DocumentsLocation,
                                                  suggestedName(QStringLiteral("csv"))),
                        QStringLiteral("CSV-Dateien (*.csv)"));
    if (path.isEmpty())
        return;
    if (const Failure failure = SaveFile::write(path, csv()))
        FailureNotice::show(*this, failure, QStringLiteral("Nicht gespeichert"));
}
