#pragma once

#include <QStringView>
#include <cstdint>
#include <gmpxx.h>
#include <optional>
#include <string>

// A number read exactly as it is written, never rounded to a double: whether a command-line
// value is whole is decided by its text ("25.0000000000000001" is not 25), and the exact search
// takes its deviation from here. The grammar is Conv::exactVal's: blanks, tabs and line feeds
// around one number, which is a sign, digits with at most one '.', an optional exponent, or a
// whole number after "&H" or "&O". Reading never builds a huge value: "1e1000000000" is held
// as digits and an exponent, and only whole() makes a number of it, within a limit of digits.
class ExactNumber {
public:
    // Nothing when the text is not one number.
    static std::optional<ExactNumber> read(QStringView text);

    int sign() const { return m_sign; }
    bool isWhole() const { return m_digits.empty() || m_exponent >= 0; }
    // How many decimal digits the whole part of the magnitude has: 0 below 1.
    std::int64_t wholeDigits() const;
    // The value when it is a whole number from low to high.
    std::optional<std::int64_t> wholeIn(std::int64_t low, std::int64_t high) const;
    // The value when it is a whole number of at most maxDigits digits.
    std::optional<mpz_class> whole(std::int64_t maxDigits) const;

private:
    // The value is sign · digits · 10^exponent, digits without leading or trailing zeros (empty
    // for zero). The exponent saturates far beyond any limit a caller may set.
    int m_sign = 0;
    std::string m_digits;
    std::int64_t m_exponent = 0;
};
