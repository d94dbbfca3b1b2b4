// The pointer readout: the preview box beside the pointer shows the right triangle on the legs
// of the cell under the pointer, and the cell's coordinates or, for a solution, its equation.
#include "canvas/canvas.h"
#include "numbers/conversions.h"
#include "numbers/solution.h"
#include "window/form1.h"
#include "window/textarea.h"

#include <QLineEdit>
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

void Form1::picAusgabe_MouseMove(int, int, float x, float y) {
    const bool outside = x > 102 || y > 102 || x < 0 || y < 0;
    txtInfo->setVisible(!outside);
    picInfo->setVisible(!outside);

    const int i = cellIndex(x);
    const int j = cellIndex(y);
    picAusgabe->placeChild(picInfo, x + 5, y + 12);
    picInfo->Cls();

    const double d = Conv::Val(Text1->text());
    const Solution::Test cell = Solution::test(i, j, d);
    txtInfo->setText(Conv::Str(i) + QLatin1Char(',') + Conv::Str(j));
    if (cell.zSquared < 0)
        return;

    const int m = x > y ? i : j;
    const double side = 1.4 * m;
    picInfo->Scale(0, 0, static_cast<float>(side), static_cast<float>(side));
    picInfo->Cls();
    for (int k = 0; k <= 30; ++k) {
        const double hy = k * (j / 30.0);
        const double hx = i - k * i / 30.0;
        picInfo->Line(0, static_cast<float>(hy), static_cast<float>(hx), static_cast<float>(hy));
    }
    picInfo->Line(0, 0, static_cast<float>(i), 0);
    picInfo->Line(0, 0, 0, static_cast<float>(j));
    picInfo->Line(static_cast<float>(i), 0, 0, static_cast<float>(j));

    if (cell.solution)
        txtInfo->setText(Conv::Str(i) + QStringLiteral(" Quadrat +") + Conv::Str(j) +
                         QStringLiteral(" Quadrat") + QStringLiteral("\r\n") +
                         QStringLiteral(" = ") + Conv::Str(cell.z) +
                         QStringLiteral(" Quadrat plus ") + Conv::Str(Conv::Val(Text1->text())));
}
