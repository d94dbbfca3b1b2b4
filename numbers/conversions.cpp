#include "numbers/conversions.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace Conv {
namespace {

bool isSkipped(QChar c) { return c == u' ' || c == u'\t' || c == u'\n'; }

bool isAsciiDigit(char c) { return c >= '0' && c <= '9'; }

// The value of a digit in radix 8, 10 or 16 (either case), or -1 for anything else.
int digitValue(char16_t c, int radix) {
    int digit = -1;
    if (c >= '0' && c <= '9')
        digit = c - '0';
    else if (radix == 16 && c >= 'a' && c <= 'f')
        digit = c - 'a' + 10;
    else if (radix == 16 && c >= 'A' && c <= 'F')
        digit = c - 'A' + 10;
    return digit < radix ? digit : -1;
}

// The characters of the text without blanks, tabs and line feeds, as Latin-1 where that is
// possible; anything else becomes a character that ends every number.
std::string compact(QStringView text) {
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (const QChar c : text) {
        if (isSkipped(c))
            continue;
        const char16_t u = c.unicode();
        out.push_back(u < 0x80 ? static_cast<char>(u) : '\x01');
    }
    return out;
}

double saturate(double magnitude, bool negative) {
    if (!std::isfinite(magnitude))
        magnitude = std::numeric_limits<double>::max();
    return negative ? -magnitude : magnitude;
}

// The whole number in radix 8 or 16 that starts at pos, rounded once to the nearest double.
// Adding up digit by digit in double would round at every step once the number has more than 53
// bits and could end a unit off, so the digits are read as one hexadecimal number; octal digits
// are regrouped from three bits to four first.
double readRadix(const std::string &s, std::size_t pos, int radix) {
    std::size_t end = pos;
    while (end < s.size() && digitValue(static_cast<unsigned char>(s[end]), radix) >= 0)
        ++end;
    std::string hex;
    if (radix == 16) {
        hex.assign(s, pos, end - pos);
    } else {
        // From the last digit backwards, so that the bits left over belong to the leading digit.
        unsigned bits = 0;
        int count = 0;
        for (std::size_t i = end; i > pos; --i) {
            bits |= static_cast<unsigned>(s[i - 1] - '0') << count;
            for (count += 3; count >= 4; count -= 4, bits >>= 4)
                hex.push_back("0123456789abcdef"[bits & 15]);
        }
        if (count > 0)
            hex.push_back("0123456789abcdef"[bits]);
        std::reverse(hex.begin(), hex.end());
    }
    if (hex.empty())
        return 0.0;
    double value = 0.0;
    const auto [ptr, ec] =
        std::from_chars(hex.data(), hex.data() + hex.size(), value, std::chars_format::hex);
    (void)ptr;
    if (ec == std::errc::result_out_of_range)
        value = std::numeric_limits<double>::infinity();
    return saturate(value, false);
}

} // namespace

double Val(QStringView text) {
    const std::string s = compact(text);
    if (s.size() >= 2 && s[0] == '&') {
        if (s[1] == 'H' || s[1] == 'h')
            return readRadix(s, 2, 16);
        if (s[1] == 'O' || s[1] == 'o')
            return readRadix(s, 2, 8);
        return 0.0;
    }

    std::size_t pos = 0;
    bool negative = false;
    if (pos < s.size() && (s[pos] == '+' || s[pos] == '-')) {
        negative = s[pos] == '-';
        ++pos;
    }
    // The number in a normalised form that from_chars reads: digits, point, digits, exponent.
    std::string number;
    long long leadPosition = 0; // decimal position of the first significant digit
    bool seenSignificant = false;
    bool anyDigit = false;
    for (; pos < s.size() && isAsciiDigit(s[pos]); ++pos) {
        number.push_back(s[pos]);
        anyDigit = true;
        if (!seenSignificant && s[pos] != '0') {
            seenSignificant = true;
            leadPosition = 0;
        }
        if (seenSignificant)
            ++leadPosition;
    }
    if (pos < s.size() && s[pos] == '.') {
        ++pos;
        number.push_back('.');
        long long fraction = 0;
        for (; pos < s.size() && isAsciiDigit(s[pos]); ++pos) {
            number.push_back(s[pos]);
            anyDigit = true;
            ++fraction;
            if (!seenSignificant && s[pos] != '0') {
                seenSignificant = true;
                leadPosition = -fraction + 1;
            }
        }
    }
    if (!anyDigit || !seenSignificant)
        return 0.0;

    long long exponent = 0;
    if (pos < s.size() && (s[pos] == 'E' || s[pos] == 'e')) {
        std::size_t p = pos + 1;
        bool expNegative = false;
        if (p < s.size() && (s[p] == '+' || s[p] == '-')) {
            expNegative = s[p] == '-';
            ++p;
        }
        if (p < s.size() && isAsciiDigit(s[p])) {
            for (; p < s.size() && isAsciiDigit(s[p]); ++p) {
                if (exponent < 1'000'000'000)
                    exponent = exponent * 10 + (s[p] - '0');
            }
            if (expNegative)
                exponent = -exponent;
        }
    }
    // The decimal order of magnitude decides overflow and underflow before any conversion, so
    // that exponents of any length are safe.
    const long long magnitude = leadPosition + exponent;
    if (magnitude > 310)
        return saturate(std::numeric_limits<double>::infinity(), negative);
    if (magnitude < -330)
        return 0.0;
    number += 'e';
    number += std::to_string(exponent);

    double value = 0.0;
    const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    (void)end;
    if (ec == std::errc::result_out_of_range)
        return magnitude > 0 ? saturate(std::numeric_limits<double>::infinity(), negative) : 0.0;
    if (ec != std::errc())
        return 0.0;
    return saturate(value, negative);
}

namespace {

// Length of the run of digits of the radix that starts at pos.
qsizetype digitRun(QStringView text, qsizetype pos, int radix) {
    qsizetype end = pos;
    while (end < text.size() && digitValue(text[end].unicode(), radix) >= 0)
        ++end;
    return end - pos;
}

// Whether the text is one number in Val's grammar, with nothing before or after it.
bool isNumberAlone(QStringView t) {
    if (t.size() >= 2 && t[0] == u'&') {
        const QChar r = t[1].toUpper();
        const int radix = r == u'H' ? 16 : r == u'O' ? 8 : 0;
        return radix != 0 && t.size() > 2 && digitRun(t, 2, radix) == t.size() - 2;
    }
    qsizetype pos = 0;
    if (pos < t.size() && (t[pos] == u'+' || t[pos] == u'-'))
        ++pos;
    const qsizetype whole = digitRun(t, pos, 10);
    pos += whole;
    qsizetype fraction = 0;
    if (pos < t.size() && t[pos] == u'.') {
        fraction = digitRun(t, pos + 1, 10);
        pos += 1 + fraction;
    }
    if (whole + fraction == 0)
        return false;
    if (pos < t.size() && (t[pos] == u'E' || t[pos] == u'e')) {
        ++pos;
        if (pos < t.size() && (t[pos] == u'+' || t[pos] == u'-'))
            ++pos;
        const qsizetype exponent = digitRun(t, pos, 10);
        if (exponent == 0)
            return false;
        pos += exponent;
    }
    return pos == t.size();
}

} // namespace

std::optional<double> exactVal(QStringView text) {
    // Only the characters that Val skips may stand around the number.
    while (!text.isEmpty() && isSkipped(text.front()))
        text = text.sliced(1);
    while (!text.isEmpty() && isSkipped(text.back()))
        text.chop(1);
    if (!isNumberAlone(text))
        return std::nullopt;
    return Val(text);
}

namespace {

// Formats |value| with the given number of significant digits in the program's number style.
template <typename T> QString format(T value, int significant, int exponentFrom) {
    if (std::isnan(value))
        return QStringLiteral(" 0");
    if (value == 0)
        return QStringLiteral(" 0");
    const bool negative = std::signbit(value);
    const T magnitude = std::fabs(value);
    if (std::isinf(magnitude))
        return QString(negative ? u'-' : u' ') + QStringLiteral("1.79769313486232E+308");

    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, magnitude, std::chars_format::scientific,
                                   significant - 1);
    const std::string sci(buf, res.ptr);
    const std::size_t ePos = sci.find('e');
    std::string digits;
    for (std::size_t i = 0; i < ePos; ++i)
        if (sci[i] != '.')
            digits.push_back(sci[i]);
    const int exponent = std::stoi(sci.substr(ePos + 1));
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    std::string out;
    out.push_back(negative ? '-' : ' ');
    if (exponent >= exponentFrom || exponent < -4) {
        out.push_back(digits[0]);
        if (digits.size() > 1) {
            out.push_back('.');
            out.append(digits, 1, std::string::npos);
        }
        out.push_back('E');
        out.push_back(exponent < 0 ? '-' : '+');
        const int e = std::abs(exponent);
        if (e < 10)
            out.push_back('0');
        out += std::to_string(e);
    } else if (exponent < 0) {
        out.push_back('.');
        out.append(static_cast<std::size_t>(-exponent - 1), '0');
        out += digits;
    } else {
        const std::size_t whole = static_cast<std::size_t>(exponent) + 1;
        if (digits.size() <= whole) {
            out += digits;
            out.append(whole - digits.size(), '0');
        } else {
            out.append(digits, 0, whole);
            out.push_back('.');
            out.append(digits, whole, std::string::npos);
        }
    }
    return QString::fromLatin1(out.data(), static_cast<qsizetype>(out.size()));
}

} // namespace

QString Str(double value) { return format(value, 15, 15); }

QString Str(float value) { return format(value, 7, 7); }

QString Str(int value) {
    return value < 0 ? QString::number(value) : QLatin1Char(' ') + QString::number(value);
}

QString wholeNumberText(int value) { return QString::number(value); }

std::int16_t CInt(double value) {
    if (std::isnan(value))
        return 0;
    const double rounded = std::nearbyint(value);
    if (rounded >= std::numeric_limits<std::int16_t>::max())
        return std::numeric_limits<std::int16_t>::max();
    if (rounded <= std::numeric_limits<std::int16_t>::min())
        return std::numeric_limits<std::int16_t>::min();
    return static_cast<std::int16_t>(rounded);
}

double Int(double value) { return std::floor(value); }

float Int(float value) { return std::floor(value); }

} // namespace Conv
