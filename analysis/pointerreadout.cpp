#include "analysis/pointerreadout.h"

#include "canvas/canvas.h"
#include "numbers/conversions.h"
#include "numbers/solution.h"

#include <algorithm>

namespace {

// Cell index of a pointer coordinate, kept within the range of a 16-bit whole number.
int cellIndex(float coordinate) {
    const float cell = Conv::Int(coordinate);
    if (!(cell > -32768.0f))
        return -32768;
    return static_cast<int>(std::min(cell, 32767.0f));
}

} // namespace

QString PointerReadout::show(float x, float y, const QString &deviationText) const {
    const int i = cellIndex(x);
    const int j = cellIndex(y);
    m_preview.Cls();

    const double d = Conv::Val(deviationText);
    const Solution::Test cell = Solution::test(i, j, d);
    if (cell.zSquared < 0)
        return Conv::Str(i) + QLatin1Char(',') + Conv::Str(j);

    const int m = x > y ? i : j;
    const double side = 1.4 * m;
    m_preview.Scale(0, 0, static_cast<float>(side), static_cast<float>(side));
    m_preview.Cls();
    for (int k = 0; k <= 30; ++k) {
        const double hy = k * (j / 30.0);
        const double hx = i - k * i / 30.0;
        m_preview.Line(0, static_cast<float>(hy), static_cast<float>(hx), static_cast<float>(hy));
    }
    m_preview.Line(0, 0, static_cast<float>(i), 0);
    m_preview.Line(0, 0, 0, static_cast<float>(j));
    m_preview.Line(static_cast<float>(i), 0, 0, static_cast<float>(j));

    if (!cell.solution)
        return Conv::Str(i) + QLatin1Char(',') + Conv::Str(j);
    return Conv::Str(i) + QStringLiteral(" Quadrat +") + Conv::Str(j) + QStringLiteral(" Quadrat") +
           QStringLiteral("\r\n") + QStringLiteral(" = ") + Conv::Str(cell.z) +
           QStringLiteral(" Quadrat plus ") + Conv::Str(d);
}
