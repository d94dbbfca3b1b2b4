#pragma once

#include "results/listwriter.h"

#include <QByteArray>
#include <QList>

// The solutions of one deviation as data: every pair (x, y) of legs in 1..100 that the search
// marks, in the search's order (x outer, y inner), with its hypotenuse and whether the triple is
// primitive. The list and the plot ask the same rule, so the list always matches the marks.
namespace SolutionList {

struct Entry {
    int x = 0;
    int y = 0;
    double z = 0;           // the hypotenuse as the search finds it: a whole number, maybe huge
    bool primitive = false; // gcd(x, y, z) = 1
};

QList<Entry> forDeviation(double deviation);

// The whole number a double holds, as exact decimal digits ("-" before a negative one); a
// double of 1e308 gives all its 309 digits. Only for whole values.
QByteArray exactDigits(double whole);

// The entries as the list writer writes every list (results/listwriter.h).
QByteArray text(const QList<Entry> &entries, ListWriter::Format format);

} // namespace SolutionList
