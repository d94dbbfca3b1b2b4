#include "numbers/deviationrange.h"

#include "numbers/exactnumber.h"
#include "numbers/exactsearch.h"

namespace {

DeviationRangeReading refused(const QString &problem) { return {problem, std::nullopt}; }

// One whole number of the range, or why it is none.
std::optional<mpz_class> whole(QStringView text, const char *what, QString &problem) {
    const std::optional<ExactNumber> number = ExactNumber::read(text);
    if (!number) {
        problem = QStringLiteral("%1 »%2« ist keine Zahl.").arg(QLatin1String(what), text);
        return std::nullopt;
    }
    if (!number->isWhole()) {
        problem = QStringLiteral("%1 »%2« ist keine ganze Zahl.").arg(QLatin1String(what), text);
        return std::nullopt;
    }
    const std::optional<mpz_class> value = number->whole(ExactSearch::largestDeviationDigits);
    if (!value)
        problem = QStringLiteral("%1 »%2« hat mehr als %3 Stellen.")
                      .arg(QLatin1String(what), text)
                      .arg(ExactSearch::largestDeviationDigits);
    return value;
}

} // namespace

bool DeviationRange::isRange(QStringView text) { return text.contains(u".."); }

DeviationRangeReading DeviationRange::read(QStringView text) {
    const qsizetype dots = text.indexOf(u"..");
    if (dots < 0)
        return refused(QStringLiteral("»%1« ist kein Bereich A..B oder A..B:S.").arg(text));
    const QStringView from = text.first(dots);
    QStringView rest = text.sliced(dots + 2);
    QStringView stepText;
    const qsizetype colon = rest.indexOf(u':');
    if (colon >= 0) {
        stepText = rest.sliced(colon + 1);
        rest = rest.first(colon);
    }
    QString problem;
    DeviationRange range;
    const std::optional<mpz_class> a = whole(from, "Der Anfang", problem);
    if (!a)
        return refused(problem);
    const std::optional<mpz_class> b = whole(rest, "Das Ende", problem);
    if (!b)
        return refused(problem);
    range.first = *a;
    range.last = *b;
    if (colon >= 0) {
        const std::optional<mpz_class> s = whole(stepText, "Der Schritt", problem);
        if (!s)
            return refused(problem);
        if (*s < 1)
            return refused(QStringLiteral("Der Schritt »%1« ist kleiner als 1.").arg(stepText));
        range.step = *s;
    }
    if (range.first > range.last)
        return refused(QStringLiteral("Der Anfang %1 ist größer als das Ende %2.")
                           .arg(QString::fromStdString(range.first.get_str()),
                                QString::fromStdString(range.last.get_str())));
    const mpz_class count = (range.last - range.first) / range.step + 1;
    if (count > largestCount)
        return refused(QStringLiteral("%1 sind %2 Abweichungen, mehr als %3.")
                           .arg(text)
                           .arg(QString::fromStdString(count.get_str()))
                           .arg(largestCount));
    return {QString(), range};
}

std::int64_t DeviationRange::count() const {
    const mpz_class count = (last - first) / step + 1;
    return count.get_si();
}

std::optional<std::int64_t> DeviationRange::indexOf(const mpz_class &d) const {
    if (d < first || d > last)
        return std::nullopt;
    const mpz_class offset = d - first;
    if (offset % step != 0)
        return std::nullopt;
    const mpz_class index = offset / step;
    return index < count() ? std::optional(index.get_si()) : std::nullopt;
}

QString DeviationRange::text() const {
    QString text = QString::fromStdString(first.get_str()) + QStringLiteral("..") +
                   QString::fromStdString(last.get_str());
    if (step != 1)
        text += QLatin1Char(':') + QString::fromStdString(step.get_str());
    return text;
}
