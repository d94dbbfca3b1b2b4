#pragma once

#include "numbers/deviationsweep.h"
#include "results/listwriter.h"

#include <QByteArray>

// The counts of a range of deviations as text, one deviation a line, for the command line and
// the map's chart alike: CSV with the header "d,count,above,below,diagonal,primitive", or a JSON
// array with one object a line and the same keys, laid out as the list of solutions is. d has
// all its digits.
class SweepWriter {
public:
    explicit SweepWriter(ListWriter::Format format) : m_format(format) {}

    QByteArray begin() const;
    QByteArray row(const DeviationSweep::Count &count);
    QByteArray end() const;

private:
    ListWriter::Format m_format;
    bool m_first = true;
};
