#include "results/solutioncount.h"

QByteArray SolutionCount::text(ListWriter::Format format) const {
    if (format == ListWriter::Format::Csv)
        return "count,above,below,diagonal,primitive\n" + QByteArray::number(m_count) + ',' +
               QByteArray::number(m_above) + ',' + QByteArray::number(m_below) + ',' +
               QByteArray::number(m_count - m_above - m_below) + ',' +
               QByteArray::number(m_primitive) + '\n';
    return "{\"count\": " + QByteArray::number(m_count) +
           ", \"above\": " + QByteArray::number(m_above) +
           ", \"below\": " + QByteArray::number(m_below) +
           ", \"diagonal\": " + QByteArray::number(m_count - m_above - m_below) +
           ", \"primitive\": " + QByteArray::number(m_primitive) + "}\n";
}
