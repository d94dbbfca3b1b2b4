#include "map/maptext.h"

namespace MapText {

namespace {

constexpr QChar minus(0x2212);
constexpr QChar squared(0x00B2);

QString square(const mpz_class &value) { return number(value) + squared; }

// " + 5" or " − 5", nothing for 0.
QString term(const mpz_class &value) {
    if (value == 0)
        return {};
    return (value > 0 ? QStringLiteral(" + ") : QStringLiteral(" %1 ").arg(minus)) +
           number(abs(value));
}

// x² + y² − d, as a teacher writes the left side: x² + y² alone for d = 0.
QString leftSide(std::uint32_t x, std::uint32_t y, const mpz_class &d) {
    return square(x) + QStringLiteral(" + ") + square(y) + term(-d);
}

} // namespace

QString number(const mpz_class &value) {
    const QString digits = QString::fromStdString(mpz_class(abs(value)).get_str());
    return value < 0 ? minus + digits : digits;
}

QString equation(const mpz_class &x, const mpz_class &y, const mpz_class &z, const mpz_class &d) {
    return square(x) + QStringLiteral(" + ") + square(y) + QStringLiteral(" = ") + square(z) +
           term(d);
}

Cell Cell::of(std::uint32_t x, std::uint32_t y, const mpz_class &d) {
    Cell cell;
    cell.x = x;
    cell.y = y;
    cell.d = d;
    cell.value = mpz_class(x) * x + mpz_class(y) * y - d;
    if (cell.value >= 0) {
        mpz_sqrt(cell.root.get_mpz_t(), cell.value.get_mpz_t());
        cell.solution = cell.root * cell.root == cell.value;
    }
    if (cell.solution) {
        mpz_class legs;
        mpz_gcd_ui(legs.get_mpz_t(), mpz_class(x).get_mpz_t(), y);
        mpz_gcd(cell.gcd.get_mpz_t(), legs.get_mpz_t(), cell.root.get_mpz_t());
    }
    return cell;
}

QString Cell::equation() const { return MapText::equation(x, y, root, d); }

QString Cell::primitiveText() const {
    return gcd == 1 ? QStringLiteral("primitiv")
                    : QStringLiteral("nicht primitiv (ggT %1)").arg(number(gcd));
}

QString Cell::multipleText() const {
    if (!solution || gcd == 1)
        return {};
    // g divides x, y and z, so g² divides x² + y² − z² = d.
    const mpz_class scaled = d / (gcd * gcd);
    return QStringLiteral("das %1-Fache von %2")
        .arg(number(gcd), MapText::equation(x / gcd, y / gcd, root / gcd, scaled));
}

QString Cell::distanceText() const {
    if (value < 0)
        return leftSide(x, y, d) + QStringLiteral(" = ") + number(value) + QStringLiteral(" < 0");
    const mpz_class next = root + 1;
    return leftSide(x, y, d) + QStringLiteral(" = ") + number(value) + QStringLiteral(" = ") +
           square(root) + term(value - root * root) + QStringLiteral(" = ") + square(next) +
           term(value - next * next);
}

QString pointerText(std::uint32_t x, std::uint32_t y, const std::optional<mpz_class> &d) {
    const QString where = QStringLiteral("Zelle (%1, %2): ").arg(x).arg(y);
    if (!d)
        return where + QStringLiteral("keine Lösung, d ist keine ganze Zahl");
    const Cell cell = Cell::of(x, y, *d);
    if (cell.solution)
        return where + cell.equation() + QStringLiteral(", ") + cell.primitiveText();
    return where + QStringLiteral("keine Lösung, ") + cell.distanceText();
}

} // namespace MapText

namespace MapText {

QString deviation(const QString &deviationText, const std::optional<mpz_class> &whole) {
    if (whole)
        return number(*whole);
    QString text = deviationText.trimmed();
    if (text.startsWith(QLatin1Char('+')))
        text.remove(0, 1);
    if (text.startsWith(QLatin1Char('-')))
        text.replace(0, 1, minus);
    return text;
}

QString family(const QString &deviationText, const std::optional<mpz_class> &whole) {
    const QString shape = QStringLiteral("x%1 + y%1 = z%1").arg(squared);
    if (whole)
        return shape + term(*whole);
    const QString d = deviation(deviationText, whole);
    return d.startsWith(minus) ? shape + QStringLiteral(" %1 ").arg(minus) + d.sliced(1)
                               : shape + QStringLiteral(" + ") + d;
}

} // namespace MapText
