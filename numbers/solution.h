#pragma once

// The rule that decides which pairs of legs are solutions. The search, the pointer readout, the
// list of solutions and the batch export all ask this one function.
//
// For legs x and y and a deviation d, z² = x² + y² − d is formed in double precision (x² + y² is
// exact for every leg a 16-bit whole number can hold). The pair is a solution when z² is zero or
// positive and its square root, taken in double precision, equals its own floor. For deviations
// of ordinary size this is the exact test of x² + y² − d being a perfect square; for deviations
// of enormous magnitude the rounding of the double decides, and the answer is the one the plot
// shows.
namespace Solution {

struct Test {
    double zSquared = 0; // x² + y² − d
    bool solution = false;
    double z = 0; // the square root of zSquared when it is a solution, else 0
};

Test test(int x, int y, double deviation);

} // namespace Solution
