#pragma once

#include <QString>
#include <cstdint>
#include <gmpxx.h>
#include <vector>

// A family of solutions of x² + y² = z² + d, the curve the map shows them lying on. Those with
// the same k = z − y satisfy x² − d = (z − y)(z + y) = k(2y + k), so they lie on the parabola
// y = (x² − d − k²) / (2k); mirrored, those with the same k′ = z − x on x = (y² − d − k′²) / (2k′).
// k = 0 needs x² = d and holds the whole column x = √d (mirrored, the row). For d = 0 the
// multiples of a primitive triple lie on the ray through the origin.
//
// Membership is decided in whole numbers, whatever the size of d and k; the curve's values are
// doubles, for drawing.
class Family {
public:
    enum class Kind { Parabola, Mirrored, Ray };
    struct Member {
        std::uint32_t x = 0;
        std::uint32_t y = 0;
        bool primitive = false;
    };

    // z − y = k (Parabola) or z − x = k (Mirrored).
    static Family parabola(const mpz_class &d, const mpz_class &k);
    static Family mirrored(const mpz_class &d, const mpz_class &k);
    // The multiples of the triple with legs x, y (d = 0), which need not be primitive.
    static Family ray(std::uint32_t x, std::uint32_t y);

    Kind kind() const { return m_kind; }
    const mpz_class &k() const { return m_k; }
    // k = 0: a column (Parabola) or row (Mirrored) of solutions at √d, whole.
    bool straight() const { return m_kind != Kind::Ray && m_k == 0; }
    // The column or row of a straight family, 0 when d is no square.
    std::uint32_t line() const { return m_line; }
    // The primitive triple's legs of a ray.
    std::uint32_t rayX() const { return m_rayX; }
    std::uint32_t rayY() const { return m_rayY; }

    // The members with legs in 1..maxLeg, in the order of the curve's parameter (x for Parabola
    // and Ray, y for Mirrored); only the primitive ones with primitiveOnly.
    std::vector<Member> members(std::uint32_t maxLeg, bool primitiveOnly) const;

    // The curve as the parameter t runs (x for Parabola, y for Mirrored): the other leg,
    // a·t² + b. Not for a straight family or a ray.
    double a() const { return m_a; }
    double b() const { return m_b; }

    // The equation with the numbers put in, as a teacher writes it:
    // "y = (x² − 1 − 2²) / (2 · 2) = (x² − 5) / 4".
    QString equation() const;
    // "z − y = k = 2", "z − x = k′ = 1", "Vielfache von 3² + 4² = 5²".
    QString name() const;

private:
    Kind m_kind = Kind::Parabola;
    mpz_class m_d;
    mpz_class m_k;
    mpz_class m_c; // −d − k²: the parameter's leg is (t² + c) / (2k)
    std::uint32_t m_line = 0;
    std::uint32_t m_rayX = 0;
    std::uint32_t m_rayY = 0;
    double m_a = 0;
    double m_b = 0;
};
