#include "map/mapdeviation.h"

#include "numbers/conversions.h"
#include "numbers/exactnumber.h"
#include "numbers/exactsearch.h"

#include <QLocale>
#include <cmath>

namespace MapDeviation {

namespace {

constexpr std::int64_t largestDigits = ExactSearch::largestDeviationDigits;

// A decimal that is not whole, as sign · digits · 10^−places; nothing for any other text.
struct Decimal {
    mpz_class digits;
    std::int64_t places = 0;
};

std::optional<Decimal> decimal(QString text) {
    text = text.trimmed();
    const qsizetype e = text.indexOf(QLatin1Char('e'), 0, Qt::CaseInsensitive);
    std::int64_t exponent = 0;
    if (e >= 0) {
        bool ok = false;
        exponent = text.sliced(e + 1).toLongLong(&ok);
        if (!ok || std::abs(exponent) > largestDigits)
            return std::nullopt;
        text.truncate(e);
    }
    const qsizetype point = text.indexOf(QLatin1Char('.'));
    std::int64_t places = -exponent;
    if (point >= 0) {
        places += text.size() - point - 1;
        text.remove(point, 1);
    }
    if (text.startsWith(QLatin1Char('+')))
        text.remove(0, 1);
    if (places <= 0 || places > largestDigits || text.isEmpty())
        return std::nullopt;
    mpz_class digits;
    if (digits.set_str(text.toStdString(), 10) != 0)
        return std::nullopt;
    return Decimal{digits, places};
}

} // namespace

Reading read(const QString &text) {
    Reading reading;
    const std::optional<ExactNumber> number = ExactNumber::read(text);
    if (!number) {
        QString pointed = text;
        pointed.replace(u',', u'.');
        reading.problem = pointed != text && Conv::exactVal(pointed)
                              ? QStringLiteral("»%1« ist keine Zahl; das Dezimalzeichen ist der "
                                               "Punkt (%2).")
                                    .arg(text, pointed)
                              : QStringLiteral("»%1« ist keine Zahl.").arg(text);
        return reading;
    }
    reading.whole = number->isWhole();
    if (reading.whole && number->sign() < 0 && number->wholeDigits() > largestDigits) {
        reading.problem = QStringLiteral("d hat mehr als %1 Stellen; so große Abweichungen "
                                         "rechnet die Karte nicht.")
                              .arg(largestDigits);
        return reading;
    }
    if (reading.whole)
        reading.value = number->whole(largestDigits);
    return reading;
}

Step step(const QString &text, int step) {
    const Reading reading = read(text);
    if (!reading.problem.isEmpty())
        return {QString(), reading.problem};
    if (reading.value)
        return {QString::fromStdString(mpz_class(*reading.value + step).get_str()), QString()};
    const std::optional<Decimal> d = reading.whole ? std::nullopt : decimal(text);
    if (!d)
        return {QString(), QStringLiteral("Von »%1« aus ist kein Schritt um 1 möglich: die Zahl "
                                          "hat zu viele Stellen.")
                               .arg(text)};
    mpz_class one;
    mpz_ui_pow_ui(one.get_mpz_t(), 10, static_cast<unsigned long>(d->places));
    const mpz_class sum = d->digits + step * one;
    std::string digits = mpz_class(abs(sum)).get_str();
    const auto places = static_cast<std::size_t>(d->places);
    if (digits.size() <= places)
        digits.insert(0, places + 1 - digits.size(), '0');
    digits.insert(digits.size() - places, 1, '.');
    while (digits.back() == '0')
        digits.pop_back();
    return {QString::fromStdString((sum < 0 ? "-" : "") + digits), QString()};
}

QString ofDouble(double value) {
    if (std::isfinite(value) && std::floor(value) == value)
        return QString::fromStdString(mpz_class(value).get_str());
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

} // namespace MapDeviation
