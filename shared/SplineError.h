#pragma once
// The error of a cubic spline that cannot be evaluated or fitted (a bracketing interval of
// zero width, too few points, arrays of different lengths). Callers turn it into a failed
// command or a failed file read; a bad user table never ends the program.

#include <stdexcept>

class SplineError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};
