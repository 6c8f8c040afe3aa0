#pragma once

#include <string>

// Decimal numbers for files and cues, always with a "." whatever locale the
// window has set for the C library (printf's "%f" would follow it).
namespace orvo::gps {

// `value` with `decimals` digits after the point ("-0" stays "-0.00").
std::string Fixed(double value, int decimals);
// With a sign always and at least `integerDigits` digits before the point,
// as ISO 6709 writes "+055.75580".
std::string SignedFixed(double value, int integerDigits, int decimals);

} // namespace orvo::gps
