// libFuzzer target for the number and text conversions. Checks, for any input:
//  - nothing crashes and no sanitizer reports (the build adds AddressSanitizer and UBSan);
//  - Val reads the same number as a reference reader: the text reduced to the longest prefix that
//    fits the number grammar, read by the C library's strtod in the C locale (&H and &O numbers
//    as strtod's hexadecimal form);
//  - Str, for doubles and singles, writes the same text as a reference writer built on printf's
//    %.15G / %.7G, laid out again by the number style;
//  - Val of any text is finite, and text written by Str reads back to a number that Str writes the
//    same way again;
//  - CInt and the whole-number texts agree with references of their own;
//  - exactVal gives, where it gives a value at all, the value Val reads, and it accepts every
//    text that Str writes.
// The references share no code with the conversions. Where the conversions make a choice of
// their own, the reference states it as a rule (see the comments in namespace Reference).
#include "numbers/conversions.h"

#include <QString>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <locale.h>
#include <string>

namespace {

void require(bool condition, const char *what) {
    if (!condition) {
        std::fprintf(stderr, "mismatch: %s\n", what);
        __builtin_trap();
    }
}

void requireSameNumber(double program, double reference, const char *what) {
    if (program != reference)
        std::fprintf(stderr, "program %.17g, reference %.17g\n", program, reference);
    require(program == reference, what);
}

void requireSameText(const QString &program, const std::string &reference, const char *what) {
    if (program.toStdString() != reference)
        std::fprintf(stderr, "program [%s], reference [%s]\n", program.toStdString().c_str(),
                     reference.c_str());
    require(program.toStdString() == reference, what);
}

namespace Reference {

double strtodC(const std::string &text) {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", nullptr);
    return strtod_l(text.c_str(), nullptr, c);
}

// The program's own decision for numbers beyond the double range: they saturate to the largest
// finite double of their sign (strtod gives an infinity). Below the range strtod's nearest
// double, zero included, is what the program gives too.
double saturated(double v) { return std::isinf(v) ? std::copysign(DBL_MAX, v) : v; }

bool isDecimalDigit(char c) { return c >= '0' && c <= '9'; }

bool isDigitOf(char c, int radix) {
    if (radix == 8)
        return c >= '0' && c <= '7';
    return isDecimalDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// The octal digits as hexadecimal ones of the same value: three bits each, regrouped by four.
std::string octalAsHex(const std::string &octal) {
    std::string bits;
    for (const char c : octal) {
        const int d = c - '0';
        bits += (d & 4) ? '1' : '0';
        bits += (d & 2) ? '1' : '0';
        bits += (d & 1) ? '1' : '0';
    }
    bits.insert(0, (4 - bits.size() % 4) % 4, '0');
    std::string hex;
    for (std::size_t i = 0; i < bits.size(); i += 4) {
        const int nibble = (bits[i] - '0') * 8 + (bits[i + 1] - '0') * 4 + (bits[i + 2] - '0') * 2 +
                           (bits[i + 3] - '0');
        hex += "0123456789abcdef"[nibble];
    }
    return hex;
}

double val(const QString &text) {
    // Blanks, tabs and line feeds go; any character outside ASCII ends the number.
    std::string s;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u' ' || u == u'\t' || u == u'\n')
            continue;
        if (u >= 0x80)
            break;
        s += static_cast<char>(u);
    }
    std::size_t pos = 0;
    if (s.size() >= 2 && s[0] == '&' &&
        (s[1] == 'H' || s[1] == 'h' || s[1] == 'O' || s[1] == 'o')) {
        const int radix = (s[1] == 'H' || s[1] == 'h') ? 16 : 8;
        std::string digits;
        for (pos = 2; pos < s.size() && isDigitOf(s[pos], radix); ++pos)
            digits += s[pos];
        if (digits.empty())
            return 0.0;
        // A whole number, rounded once to the nearest double.
        return saturated(strtodC("0x" + (radix == 16 ? digits : octalAsHex(digits))));
    }

    std::string normalised;
    if (pos < s.size() && (s[pos] == '+' || s[pos] == '-'))
        normalised += s[pos++];
    bool anyDigit = false;
    for (; pos < s.size() && isDecimalDigit(s[pos]); ++pos, anyDigit = true)
        normalised += s[pos];
    if (pos < s.size() && s[pos] == '.') {
        normalised += s[pos++];
        for (; pos < s.size() && isDecimalDigit(s[pos]); ++pos, anyDigit = true)
            normalised += s[pos];
    }
    if (!anyDigit)
        return 0.0;
    if (pos < s.size() && (s[pos] == 'E' || s[pos] == 'e')) {
        std::string exponent = "e";
        std::size_t p = pos + 1;
        if (p < s.size() && (s[p] == '+' || s[p] == '-'))
            exponent += s[p++];
        if (p < s.size() && isDecimalDigit(s[p])) {
            for (; p < s.size() && isDecimalDigit(s[p]); ++p)
                exponent += s[p];
            normalised += exponent;
        }
    }
    return saturated(strtodC(normalised));
}

// The text of a number with the given count of significant digits. printf rounds to nearest;
// the digits and decimal exponent of its %G text are laid out again by the number style. The
// form is chosen by the magnitude of the number as shown, after rounding: a value that rounds to
// 1E15 is written 1E+15, one that rounds to 0.0001 is written .0001, as those numbers are.
// The program's own decisions for values that are no numbers: NaN is written as zero and an
// infinity as the largest finite double of its sign.
std::string str(double v, int significant) {
    if (std::isnan(v))
        v = 0.0;
    if (std::isinf(v))
        v = std::copysign(DBL_MAX, v);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*G", significant, v);
    const std::string printed = buf;

    // printed = [-] mantissa [E exponent]; the value is 0.digits * 10^point.
    std::size_t i = printed[0] == '-' ? 1 : 0;
    std::string digits;
    long point = 0;
    bool beforePoint = true;
    for (; i < printed.size() && printed[i] != 'E'; ++i) {
        if (printed[i] == '.') {
            beforePoint = false;
            continue;
        }
        digits += printed[i];
        if (beforePoint)
            ++point;
    }
    if (i < printed.size())
        point += std::strtol(printed.c_str() + i + 1, nullptr, 10);
    while (!digits.empty() && digits.front() == '0') {
        digits.erase(0, 1);
        --point;
    }
    while (!digits.empty() && digits.back() == '0')
        digits.pop_back();
    if (digits.empty())
        return " 0";

    std::string out = std::signbit(v) ? "-" : " ";
    const long exponent = point - 1; // of the first digit
    if (exponent >= significant || exponent < -4) {
        out += digits.substr(0, 1);
        if (digits.size() > 1)
            out += "." + digits.substr(1);
        std::snprintf(buf, sizeof buf, "E%+03ld", exponent);
        out += buf;
    } else if (point <= 0) {
        out += "." + std::string(static_cast<std::size_t>(-point), '0') + digits;
    } else if (digits.size() <= static_cast<std::size_t>(point)) {
        out += digits + std::string(static_cast<std::size_t>(point) - digits.size(), '0');
    } else {
        out += digits.substr(0, static_cast<std::size_t>(point)) + "." +
               digits.substr(static_cast<std::size_t>(point));
    }
    return out;
}

// Nearest 16-bit whole number, an exact half to the even neighbour, saturating outside the range;
// NaN gives 0 (the program's own decision).
int cint(double v) {
    if (std::isnan(v))
        return 0;
    if (v >= 32767.0)
        return 32767;
    if (v <= -32768.0)
        return -32768;
    const double below = std::floor(v);
    const double rest = v - below;
    const auto whole = static_cast<int>(below);
    if (rest > 0.5 || (rest == 0.5 && whole % 2 != 0))
        return whole + 1;
    return whole;
}

} // namespace Reference

void checkStr(double v) {
    requireSameText(Conv::Str(v), Reference::str(v, 15), "Str of a double");
    const auto single = static_cast<float>(v);
    if (std::isfinite(single))
        requireSameText(Conv::Str(single), Reference::str(single, 7), "Str of a single");
}

void roundTrip(double v) {
    if (!std::isfinite(v))
        return;
    const QString text = Conv::Str(v);
    require(Conv::Str(Conv::Val(text)) == text, "Str(Val(Str(v))) differs from Str(v)");
    require(Conv::exactVal(text) == Conv::Val(text), "exactVal refuses or misreads Str's text");
    const auto single = static_cast<float>(v);
    if (std::isfinite(single)) {
        const QString singleText = Conv::Str(single);
        require(std::isfinite(Conv::Val(singleText)), "single text reads as a finite number");
    }
}

void checkWhole(double v) {
    const int whole = Conv::CInt(v);
    require(whole == Reference::cint(v), "CInt");
    char buf[16];
    std::snprintf(buf, sizeof buf, "% d", whole);
    requireSameText(Conv::Str(whole), buf, "Str of a whole number");
    std::snprintf(buf, sizeof buf, "%d", whole);
    requireSameText(Conv::wholeNumberText(whole), buf, "whole-number text");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QString utf8 =
        QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const QString latin1 =
        QString::fromLatin1(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    for (const QString &text : {utf8, latin1}) {
        const double v = Conv::Val(text);
        require(std::isfinite(v), "Val gave a number that is not finite");
        requireSameNumber(v, Reference::val(text), "Val");
        const auto exact = Conv::exactVal(text);
        require(!exact || *exact == v, "exactVal differs from Val");
        checkStr(v);
        roundTrip(v);
        checkWhole(v);
        (void)Conv::Int(v);
    }
    if (size >= sizeof(double)) {
        double v = 0;
        std::memcpy(&v, data, sizeof v);
        checkStr(v);
        roundTrip(v);
        checkWhole(v);
        (void)Conv::Int(v);
        (void)Conv::Int(static_cast<float>(v));
    }
    return 0;
}
