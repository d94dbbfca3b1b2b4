#include "results/solutioncount.h"

QByteArray SolutionCount::toCsv() const {
    return "count,above,below,diagonal,primitive\n" + QByteArray::number(count_) + ',' +
           QByteArray::number(above_) + ',' + QByteArray::number(below_) + ',' +
           QByteArray::number(count_ - above_ - below_) + ',' + QByteArray::number(primitive_) +
           '\n';
}

QByteArray SolutionCount::toJson() const {
    return "{\"count\": " + QByteArray::number(count_) +
           ", \"above\": " + QByteArray::number(above_) +
           ", \"below\": " + QByteArray::number(below_) +
           ", \"diagonal\": " + QByteArray::number(count_ - above_ - below_) +
           ", \"primitive\": " + QByteArray::number(primitive_) + "}\n";
}
