// libFuzzer target for the number and text conversions. Checks, for any input:
//  - nothing crashes and no sanitizer reports (the build adds AddressSanitizer and UBSan);
//  - Val of any text is finite;
//  - text written by Str reads back to a number that Str writes the same way again, both for
//    numbers read from the input and for any finite double given by the input's bytes;
//  - CInt and the whole-number text accept anything;
//  - exactVal gives, where it gives a value at all, the value Val reads, and it accepts every
//    text that Str writes.
#include "numbers/conversions.h"

#include <QString>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

void require(bool condition, const char *what) {
    if (!condition) {
        __builtin_trap();
        (void)what;
    }
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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QString utf8 =
        QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const QString latin1 =
        QString::fromLatin1(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    for (const QString &text : {utf8, latin1}) {
        const double v = Conv::Val(text);
        require(std::isfinite(v), "Val gave a number that is not finite");
        const auto exact = Conv::exactVal(text);
        require(!exact || *exact == v, "exactVal differs from Val");
        roundTrip(v);
        const auto whole = Conv::CInt(v);
        require(Conv::wholeNumberText(whole).toInt() == whole, "whole-number text");
        (void)Conv::Int(v);
    }
    if (size >= sizeof(double)) {
        double v = 0;
        std::memcpy(&v, data, sizeof v);
        roundTrip(v);
        (void)Conv::CInt(v);
        (void)Conv::Int(v);
        (void)Conv::Int(static_cast<float>(v));
    }
    return 0;
}
