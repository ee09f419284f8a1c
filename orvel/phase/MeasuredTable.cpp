#include "orvel/phase/MeasuredTable.h"

#include <cmath>
#include <stdexcept>
#include <string>

void checkMeasuredTable(const char* model, std::span<const double> fileTheta, std::span<const double> fileSPF) {
  const std::string name(model);
  if (fileTheta.size() != fileSPF.size()) throw std::invalid_argument(name + ": angle and value arrays differ in length");
  if (fileTheta.size() < 2) throw std::invalid_argument(name + ": the table needs at least two points");
  for (std::size_t i = 0; i < fileTheta.size(); ++i) {
    if (!std::isfinite(fileTheta[i]) || !std::isfinite(fileSPF[i])) {
      throw std::invalid_argument(name + ": the table holds a value that is not a finite number");
    }
    if (i > 0 && !(fileTheta[i] > fileTheta[i - 1])) {
      throw std::invalid_argument(name + ": the table's angles do not increase strictly");
    }
  }
}
