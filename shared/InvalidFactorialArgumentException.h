#pragma once
// The error type of the factorials (VarnoMath::factorial, VarnoMath::longFactorial): an
// argument outside the range whose factorial fits the result type. It carries an optional
// message text.

#include <stdexcept>
#include <string>

class InvalidFactorialArgumentException : public std::invalid_argument {
 public:
  InvalidFactorialArgumentException() : std::invalid_argument("") {}
  explicit InvalidFactorialArgumentException(const std::string& message) : std::invalid_argument(message) {}
};
