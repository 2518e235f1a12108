#pragma once

#include <QString>

namespace veltrik {

// How every number is shown to the user: at most 15 significant digits, no exponent, no trailing zeros,
// a point as decimal separator. 0 -> "0", 12.5 -> "12.5", 0.29 * 100 -> "29", 1e20 -> "100000000000000000000".
QString formatNumber(double value);

// Rounds to `decimals` places; a value exactly halfway (judged on the exact binary value of the double)
// goes to the even neighbour: 0.125 -> 0.12, 0.375 -> 0.38, and 1.115, stored just below the half, -> 1.11.
double roundHalfEven(double value, int decimals);

} // namespace veltrik
