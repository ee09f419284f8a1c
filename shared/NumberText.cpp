#include "shared/NumberText.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string_view>
#include <system_error>

namespace numtext {
namespace {

// Lays out the shortest digits of a finite value in the plain or the E notation.
// `sci` is std::to_chars' shortest scientific text, e.g. "-1.2345e-05".
std::string layOut(std::string_view sci, bool negative, bool plain) {
  if (negative) sci.remove_prefix(1);
  const auto ePos = sci.find('e');
  const std::string_view mantissa = sci.substr(0, ePos);
  const int exponent = std::atoi(std::string(sci.substr(ePos + 1)).c_str());
  std::string digits;
  digits.reserve(mantissa.size());
  for (char c : mantissa)
    if (c != '.') digits += c;

  std::string out = negative ? "-" : "";
  if (!plain) {
    out += digits[0];
    out += '.';
    out += digits.size() > 1 ? digits.substr(1) : "0";
    out += 'E';
    out += std::to_string(exponent);
    return out;
  }
  const int pointAt = exponent + 1;  // number of digits before the decimal point
  if (pointAt <= 0) {
    out += "0.";
    out.append(static_cast<size_t>(-pointAt), '0');
    out += digits;
  } else if (static_cast<size_t>(pointAt) >= digits.size()) {
    out += digits;
    out.append(static_cast<size_t>(pointAt) - digits.size(), '0');
    out += ".0";
  } else {
    out += digits.substr(0, static_cast<size_t>(pointAt));
    out += '.';
    out += digits.substr(static_cast<size_t>(pointAt));
  }
  return out;
}

template <typename T>
std::string format(T value) {
  if (std::isnan(value)) return "NaN";
  if (std::isinf(value)) return value > 0 ? "Infinity" : "-Infinity";
  const bool negative = std::signbit(value);
  if (value == 0) return negative ? "-0.0" : "0.0";
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific);
  const double magnitude = std::fabs(static_cast<double>(value));
  const bool plain = magnitude >= 1e-3 && magnitude < 1e7;
  return layOut(std::string_view(buf, static_cast<size_t>(res.ptr - buf)), negative, plain);
}

}  // namespace

std::string formatS(double value) { return format(static_cast<float>(value)); }
std::string formatD(double value) { return format(value); }
std::string formatI(long long value) { return std::to_string(value); }
std::string formatB(bool value) { return value ? "true" : "false"; }

}  // namespace numtext
