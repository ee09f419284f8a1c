#pragma once
// Small stateless helpers: base-10 logarithm, extremes of arrays and of the columns of a
// matrix, and factorials.

#include <cstdint>
#include <span>
#include <vector>

#include "shared/InvalidFactorialArgumentException.h"

namespace VarnoMath {

// ln d / ln 10.
double log10(double d);

// Largest / smallest element. The running value starts at element 0 and is replaced only
// by a strictly larger / smaller later element, so later NaN elements never win.
// Raises std::invalid_argument for an empty array.
double max(std::span<const double> values);
double min(std::span<const double> values);
std::int32_t max(std::span<const std::int32_t> values);
std::int32_t min(std::span<const std::int32_t> values);

// Per column j of the first row's length: the largest / smallest value over all rows.
// Raises std::invalid_argument for a matrix without rows or a row shorter than the first.
std::vector<double> max(std::span<const std::vector<double>> rows);
std::vector<double> min(std::span<const std::vector<double>> rows);
std::vector<std::int32_t> max(std::span<const std::vector<std::int32_t>> rows);
std::vector<std::int32_t> min(std::span<const std::vector<std::int32_t>> rows);

// n! for 0 <= n <= 12 (the largest that fits 32 bits). Outside that range an
// InvalidFactorialArgumentException is raised and caught inside, its diagnostic goes to
// the message console, and the result is 0.
std::int32_t factorial(int n);
// n! for 0 <= n <= 20 in 64 bits; outside the range as `factorial`, result 0.
std::int64_t longFactorial(int n);

}  // namespace VarnoMath
