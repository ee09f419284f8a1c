#include "shared/VarnoMath.h"

#include <cmath>
#include <stdexcept>
#include <string>

#include "shared/Console.h"

namespace VarnoMath {
namespace {

// Running extreme: `better(candidate, current)` is a strict comparison, so NaN never wins.
template <class T, class Better>
T extreme(std::span<const T> values, Better better) {
  if (values.empty()) throw std::invalid_argument("extreme of an empty array");
  T result = values[0];
  for (std::size_t i = 1; i < values.size(); ++i) {
    if (better(values[i], result)) result = values[i];
  }
  return result;
}

template <class T, class Better>
std::vector<T> columnExtremes(std::span<const std::vector<T>> rows, Better better) {
  if (rows.empty()) throw std::invalid_argument("column extremes of a matrix without rows");
  const std::size_t columns = rows[0].size();
  for (const auto& row : rows) {
    if (row.size() < columns) throw std::invalid_argument("column extremes: a row is shorter than the first");
  }
  std::vector<T> result(rows[0].begin(), rows[0].end());
  for (std::size_t r = 1; r < rows.size(); ++r) {
    for (std::size_t j = 0; j < columns; ++j) {
      if (better(rows[r][j], result[j])) result[j] = rows[r][j];
    }
  }
  return result;
}

constexpr auto larger = [](auto a, auto b) { return a > b; };
constexpr auto smaller = [](auto a, auto b) { return a < b; };

template <class T>
T checkedFactorial(int n, int largest, const char* name) {
  try {
    if (n < 0 || n > largest) {
      throw InvalidFactorialArgumentException(std::string(name) + " argument " + std::to_string(n) +
                                              " is outside 0.." + std::to_string(largest));
    }
    T result = 1;
    for (int k = 2; k <= n; ++k) result *= static_cast<T>(k);
    return result;
  } catch (const InvalidFactorialArgumentException& e) {
    console::message(std::string("InvalidFactorialArgumentException: ") + e.what());
    return 0;
  }
}

}  // namespace

double log10(double d) { return std::log(d) / std::log(10.0); }

double max(std::span<const double> values) { return extreme(values, larger); }
double min(std::span<const double> values) { return extreme(values, smaller); }
std::int32_t max(std::span<const std::int32_t> values) { return extreme(values, larger); }
std::int32_t min(std::span<const std::int32_t> values) { return extreme(values, smaller); }

std::vector<double> max(std::span<const std::vector<double>> rows) { return columnExtremes(rows, larger); }
std::vector<double> min(std::span<const std::vector<double>> rows) { return columnExtremes(rows, smaller); }
std::vector<std::int32_t> max(std::span<const std::vector<std::int32_t>> rows) {
  return columnExtremes(rows, larger);
}
std::vector<std::int32_t> min(std::span<const std::vector<std::int32_t>> rows) {
  return columnExtremes(rows, smaller);
}

std::int32_t factorial(int n) { return checkedFactorial<std::int32_t>(n, 12, "factorial"); }
std::int64_t longFactorial(int n) { return checkedFactorial<std::int64_t>(n, 20, "longFactorial"); }

}  // namespace VarnoMath
