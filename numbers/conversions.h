#pragma once

#include <QString>
#include <QStringView>
#include <cstdint>
#include <optional>

// Number and text conversions shared by every part of the program. They follow one set of rules
// everywhere: '.' is the only decimal separator whatever the locale, and no conversion throws,
// aborts or reads past its input.
namespace Conv {

// Reads the number at the start of a text. Blanks, tabs and line feeds are skipped wherever they
// stand. Then: an optional sign, digits, at most one '.' with digits, an optional exponent
// (E or e, optional sign, digits). Reading stops at the first character that does not fit; text
// that starts with anything else gives 0. "&H" and "&O" introduce a hexadecimal or octal whole
// number. A number beyond the double range saturates to the largest finite double of its sign;
// one below the smallest double gives 0. The result is always finite.
double Val(QStringView text);

// Reads a text that is one number and nothing else, for input that must be exact (the command
// line): the grammar of Val without its leniency. Blanks, tabs and line feeds may stand only
// before and after the number; a sign, digits with at most one '.', and an exponent with digits, or
// "&H"/"&O" with at least one digit. Anything else, the empty text included, gives no value. A
// number beyond the double range saturates as in Val, and the value is always the one Val reads
// from the same text.
std::optional<double> exactVal(QStringView text);

// Writes a double with at most 15 significant digits: a leading blank for zero and positive
// numbers, '-' for negative ones, no zero before the point, no trailing zeros, and exponent form
// (E+15, E-05) for magnitudes of 1E15 and above or below 0.0001.
QString Str(double value);

// The same for a single-precision number: at most 7 significant digits, exponent form from 1E7.
QString Str(float value);

// A 16-bit whole number as text. Through Str it keeps the leading blank of a non-negative number.
QString Str(int value);

// A whole number as plain digits, '-' before a negative one and no blank.
QString wholeNumberText(int value);

// Nearest 16-bit whole number, exact halves to the even neighbour; saturates outside the range.
std::int16_t CInt(double value);

// Greatest whole number not above the argument, in the argument's own precision.
double Int(double value);
float Int(float value);

} // namespace Conv
