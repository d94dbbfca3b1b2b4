#include "map/family.h"

#include "map/maptext.h"

#include <algorithm>
#include <numeric>

namespace {

constexpr QChar minus(0x2212);
constexpr QChar squared(0x00B2);

// " − 5" or " + 5" as the text of adding the value, nothing for 0.
QString plus(const mpz_class &value) {
    if (value == 0)
        return {};
    return (value > 0 ? QStringLiteral(" + ") : QStringLiteral(" %1 ").arg(minus)) +
           MapText::number(abs(value));
}

// A factor that is negative goes in parentheses: "(−2)".
QString factor(const mpz_class &value) {
    return value < 0 ? QStringLiteral("(%1)").arg(MapText::number(value)) : MapText::number(value);
}

bool fitsLegs(const mpz_class &value, std::uint32_t maxLeg) {
    return value >= 1 && value <= maxLeg;
}

} // namespace

Family Family::parabola(const mpz_class &d, const mpz_class &k) {
    Family f;
    f.m_kind = Kind::Parabola;
    f.m_d = d;
    f.m_k = k;
    f.m_c = -d - k * k;
    if (k == 0) {
        if (d > 0 && mpz_perfect_square_p(d.get_mpz_t()) != 0) {
            mpz_class root;
            mpz_sqrt(root.get_mpz_t(), d.get_mpz_t());
            if (root <= UINT32_MAX)
                f.m_line = static_cast<std::uint32_t>(root.get_ui());
        }
        return f;
    }
    const mpz_class twice = 2 * k;
    f.m_a = 1 / twice.get_d();
    // c / 2k exactly before rounding: c and 2k may be huge while their quotient is a leg.
    mpq_class offset(f.m_c, twice);
    offset.canonicalize();
    f.m_b = offset.get_d();
    return f;
}

Family Family::mirrored(const mpz_class &d, const mpz_class &k) {
    Family f = parabola(d, k);
    f.m_kind = Kind::Mirrored;
    return f;
}

Family Family::ray(std::uint32_t x, std::uint32_t y) {
    Family f;
    f.m_kind = Kind::Ray;
    const std::uint32_t g = std::gcd(x, y);
    f.m_rayX = x / g;
    f.m_rayY = y / g;
    return f;
}

std::vector<Family::Member> Family::members(std::uint32_t maxLeg, bool primitiveOnly) const {
    std::vector<Member> found;
    const auto add = [&](std::uint32_t t, std::uint32_t v, bool primitive) {
        if (primitiveOnly && !primitive)
            return;
        found.push_back(m_kind == Kind::Mirrored ? Member{v, t, primitive}
                                                 : Member{t, v, primitive});
    };
    if (m_kind == Kind::Ray) {
        if (m_rayX == 0 || m_rayY == 0)
            return found;
        for (std::uint32_t m = 1; m <= maxLeg / std::max(m_rayX, m_rayY); ++m)
            add(m * m_rayX, m * m_rayY, m == 1);
        return found;
    }
    if (straight()) {
        // z equals the other leg, so gcd(x, y, z) is that of the legs.
        if (m_line >= 1 && m_line <= maxLeg)
            for (std::uint32_t v = 1; v <= maxLeg; ++v)
                add(m_line, v, std::gcd(m_line, v) == 1);
        return found;
    }
    // The other leg v = (t² + c) / 2k lies in 1..maxLeg for t² between these bounds.
    const mpz_class twice = 2 * m_k;
    const mpz_class one = twice - m_c;
    const mpz_class all = twice * maxLeg - m_c;
    const mpz_class low = std::min(one, all);
    const mpz_class high = std::max(one, all);
    if (high < 1)
        return found;
    mpz_class root;
    mpz_class clamped = std::max(low, mpz_class(1));
    mpz_sqrt(root.get_mpz_t(), clamped.get_mpz_t());
    if (root * root < clamped)
        ++root;
    if (root > maxLeg)
        return found;
    const auto first = static_cast<std::uint32_t>(root.get_ui());
    mpz_sqrt(root.get_mpz_t(), high.get_mpz_t());
    const auto last = static_cast<std::uint32_t>(std::min(root, mpz_class(maxLeg)).get_ui());

    const mpz_class modulus = abs(twice);
    // Below 2⁶² the test of t² + c against the modulus stays in 64 bits: t² < 2⁴⁰.
    const bool small = mpz_sizeinbase(modulus.get_mpz_t(), 2) <= 62;
    const std::uint64_t m = small ? modulus.get_ui() : 0;
    const std::uint64_t rest = small ? mpz_fdiv_ui(m_c.get_mpz_t(), m) : 0;
    mpz_class value;
    mpz_class common;
    for (std::uint32_t t = first; t <= last && t >= first; ++t) {
        const std::uint64_t square = std::uint64_t{t} * t;
        if (small) {
            if ((square % m + rest) % m != 0)
                continue;
            value = (mpz_class(square) + m_c) / twice;
        } else {
            value = mpz_class(square) + m_c;
            if (mpz_divisible_p(value.get_mpz_t(), twice.get_mpz_t()) == 0)
                continue;
            value /= twice;
        }
        if (!fitsLegs(value, maxLeg))
            continue;
        // z = v + k, so gcd(x, y, z) = gcd(t, v, k).
        mpz_gcd_ui(common.get_mpz_t(), m_k.get_mpz_t(), t);
        mpz_gcd(common.get_mpz_t(), common.get_mpz_t(), value.get_mpz_t());
        add(t, static_cast<std::uint32_t>(value.get_ui()), common == 1);
    }
    return found;
}

QString Family::name() const {
    switch (m_kind) {
    case Kind::Parabola:
        return QStringLiteral("z %1 y = k = %2").arg(minus).arg(MapText::number(m_k));
    case Kind::Mirrored:
        return QStringLiteral("z %1 x = k\u2032 = %2").arg(minus).arg(MapText::number(m_k));
    case Kind::Ray:
        break;
    }
    const std::uint64_t x = m_rayX;
    const std::uint64_t y = m_rayY;
    mpz_class z;
    const mpz_class sum = mpz_class(x * x) + mpz_class(y * y);
    mpz_sqrt(z.get_mpz_t(), sum.get_mpz_t());
    return QStringLiteral("Vielfache von %1").arg(MapText::equation(x, y, z, 0));
}

QString Family::equation() const {
    if (m_kind == Kind::Ray) {
        const QString rise = m_rayY == 1 ? QStringLiteral("x") : QStringLiteral("%1x").arg(m_rayY);
        return m_rayX == 1 ? QStringLiteral("y = %1").arg(rise)
                           : QStringLiteral("y = %1 / %2").arg(rise).arg(m_rayX);
    }
    const QString leg = m_kind == Kind::Parabola ? QStringLiteral("y") : QStringLiteral("x");
    const QString t = m_kind == Kind::Parabola ? QStringLiteral("x") : QStringLiteral("y");
    if (straight())
        return QStringLiteral("%1 = %2, jedes %3 (%1%4 = d, z = %3)")
            .arg(t, MapText::number(m_line), leg, squared);
    const mpz_class twice = 2 * m_k;
    const QString general = QStringLiteral("%1 = (%2%3%4 %5 %6%3) / (2 \u00B7 %7)")
                                .arg(leg, t, squared, plus(-m_d), minus, factor(m_k))
                                .arg(factor(m_k));
    const QString filled =
        m_c == 0 ? QStringLiteral("%1%2 / %3").arg(t, squared, factor(twice))
                 : QStringLiteral("(%1%2%3) / %4").arg(t, squared, plus(m_c), factor(twice));
    return general + QStringLiteral(" = ") + filled;
}
