#include "gps/Number.h"

#include <charconv>
#include <cmath>

namespace orvo::gps {

std::string Fixed(double value, int decimals) {
  if (!std::isfinite(value))
    value = 0;
  char text[64];
  const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed,
                                    decimals);
  return result.ec == std::errc() ? std::string(text, result.ptr) : std::string("0");
}

std::string SignedFixed(double value, int integerDigits, int decimals) {
  std::string digits = Fixed(std::fabs(value), decimals);
  const std::size_t point = digits.find('.');
  const std::size_t integer = point == std::string::npos ? digits.size() : point;
  if (integer < static_cast<std::size_t>(integerDigits))
    digits.insert(0, integerDigits - integer, '0');
  return (std::signbit(value) ? "-" : "+") + digits;
}

} // namespace orvo::gps
