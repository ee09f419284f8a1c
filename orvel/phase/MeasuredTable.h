#pragma once
// Checks of a measured phase-function table before a spline is fitted through it.

#include <span>

// Throws std::invalid_argument naming `model` when the arrays differ in length, hold
// fewer than two points, hold values that are not finite, or their angles do not
// increase strictly (a repeated angle would make the spline's values not numbers).
void checkMeasuredTable(const char* model, std::span<const double> fileTheta, std::span<const double> fileSPF);
