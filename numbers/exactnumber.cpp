#include "numbers/exactnumber.h"

#include "numbers/conversions.h"

#include <algorithm>

namespace {

// Far beyond every limit of digits, and far from overflowing when the text's length is added.
constexpr std::int64_t exponentCeiling = 1'000'000'000'000'000;

bool isBlank(QChar c) { return c == u' ' || c == u'\t' || c == u'\n'; }

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

} // namespace

std::optional<ExactNumber> ExactNumber::read(QStringView text) {
    // The grammar is checked once, by the rule every other reader of the command line uses.
    if (!Conv::exactVal(text))
        return std::nullopt;
    while (isBlank(text.front()))
        text = text.sliced(1);
    while (isBlank(text.back()))
        text.chop(1);

    ExactNumber number;
    std::string digits;
    std::int64_t exponent = 0;
    bool negative = false;
    if (text.front() == u'&') {
        // Octal and hexadecimal are whole numbers; their decimal digits come from GMP.
        const int radix = text[1].toUpper() == u'H' ? 16 : 8;
        const mpz_class value(text.sliced(2).toLatin1().toStdString(), radix);
        digits = value.get_str();
    } else {
        qsizetype pos = 0;
        if (text[pos] == u'+' || text[pos] == u'-')
            negative = text[pos++] == u'-';
        for (; pos < text.size() && isDigit(text[pos]); ++pos)
            digits.push_back(static_cast<char>(text[pos].unicode()));
        if (pos < text.size() && text[pos] == u'.') {
            for (++pos; pos < text.size() && isDigit(text[pos]); ++pos) {
                digits.push_back(static_cast<char>(text[pos].unicode()));
                --exponent;
            }
        }
        if (pos < text.size()) {
            ++pos; // the E
            bool exponentNegative = false;
            if (text[pos] == u'+' || text[pos] == u'-')
                exponentNegative = text[pos++] == u'-';
            std::int64_t written = 0;
            for (; pos < text.size(); ++pos)
                written = std::min(exponentCeiling, written * 10 + (text[pos].unicode() - u'0'));
            exponent += exponentNegative ? -written : written;
        }
    }
    const std::size_t lead = std::min(digits.find_first_not_of('0'), digits.size());
    digits.erase(0, lead);
    while (!digits.empty() && digits.back() == '0') {
        digits.pop_back();
        ++exponent;
    }
    if (!digits.empty()) {
        number.m_sign = negative ? -1 : 1;
        number.m_digits = std::move(digits);
        number.m_exponent = exponent;
    }
    return number;
}

std::int64_t ExactNumber::wholeDigits() const {
    return std::max<std::int64_t>(0, static_cast<std::int64_t>(m_digits.size()) + m_exponent);
}

std::optional<std::int64_t> ExactNumber::wholeIn(std::int64_t low, std::int64_t high) const {
    // 18 digits keep every value inside 64 bits.
    const std::optional<mpz_class> value = whole(18);
    if (!value || *value < low || *value > high)
        return std::nullopt;
    return value->get_si();
}

std::optional<mpz_class> ExactNumber::whole(std::int64_t maxDigits) const {
    if (!isWhole() || wholeDigits() > maxDigits)
        return std::nullopt;
    if (m_digits.empty())
        return mpz_class(0);
    mpz_class value(m_digits, 10);
    mpz_class power;
    mpz_ui_pow_ui(power.get_mpz_t(), 10, static_cast<unsigned long>(m_exponent));
    value *= power;
    return m_sign < 0 ? mpz_class(-value) : value;
}
