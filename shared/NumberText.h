#pragma once
// Number-to-text conversion used by every console line, report and data file.
//
// Forms:
//   S  a value converted to single precision first, then printed
//   D  a value printed in double precision
//   I  an integer in decimal
//   B  a boolean as "true" / "false"
// Floating values are printed as the shortest decimal text that reads back to the
// same value; plain notation for 1e-3 <= |v| < 1e7 with at least one digit after the
// point ("20000.0"), otherwise one digit, a point, digits, "E" and the exponent
// ("1.0E-4", "2.5E7"). Special values are "NaN", "Infinity" and "-Infinity".

#include <cstdint>
#include <string>

namespace numtext {

std::string formatS(double value);  // single-precision form
std::string formatD(double value);  // double-precision form
std::string formatI(long long value);
std::string formatB(bool value);

}  // namespace numtext
