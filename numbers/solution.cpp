#include "numbers/solution.h"

#include <cmath>

namespace Solution {

Test test(int x, int y, double deviation) {
    Test result;
    result.zSquared = static_cast<double>(x) * x + static_cast<double>(y) * y - deviation;
    if (!(result.zSquared >= 0))
        return result;
    const double root = std::sqrt(result.zSquared);
    if (root != std::floor(root))
        return result;
    result.solution = true;
    result.z = root;
    return result;
}

} // namespace Solution
