#include "results/sweepwriter.h"

QByteArray SweepWriter::begin() const {
    return m_format == ListWriter::Format::Csv
               ? QByteArray("d,count,above,below,diagonal,primitive\n")
               : QByteArray("[");
}

QByteArray SweepWriter::row(const DeviationSweep::Count &c) {
    const QByteArray d = QByteArray::fromStdString(c.d.get_str());
    if (m_format == ListWriter::Format::Csv)
        return d + ',' + QByteArray::number(c.count) + ',' + QByteArray::number(c.above) + ',' +
               QByteArray::number(c.below) + ',' + QByteArray::number(c.diagonal) + ',' +
               QByteArray::number(c.primitive) + '\n';
    const QByteArray lead = m_first ? "\n  " : ",\n  ";
    m_first = false;
    return lead + "{\"d\": " + d + ", \"count\": " + QByteArray::number(c.count) +
           ", \"above\": " + QByteArray::number(c.above) +
           ", \"below\": " + QByteArray::number(c.below) +
           ", \"diagonal\": " + QByteArray::number(c.diagonal) +
           ", \"primitive\": " + QByteArray::number(c.primitive) + "}";
}

QByteArray SweepWriter::end() const {
    if (m_format == ListWriter::Format::Csv)
        return {};
    return m_first ? QByteArray("]\n") : QByteArray("\n]\n");
}
