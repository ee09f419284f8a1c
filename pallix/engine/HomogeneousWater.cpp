#include "pallix/engine/HomogeneousWater.h"

#include <limits>

#include "pallix/engine/Control.h"
#include "shared/VarnoMathLib.h"

namespace pallix {

void HomogeneousWater::setMediumParameters(double c, double w0, int pfType) {
  c_ = c;
  w0_ = w0;
  pfType_ = pfType;
}

void HomogeneousWater::setPhaseFunctionParameters(double g, double g1, double g2, double g12Weight,
                                                  double JungeCoeff, double realIndex, double forwardAngle) {
  phase_ = {g, g1, g2, g12Weight, JungeCoeff, realIndex, forwardAngle};
}

void HomogeneousWater::setForRun(const Control& control) {
  setMediumParameters(control.c, control.w0, control.pfType);
  phase_ = PhaseParameters::fromControl(control);
  ensureSamplingTable(control.userFile);
}

namespace {
bool needsTable(int pfType) { return pfType == 1 || pfType == 2 || pfType == 5 || pfType == 6; }
}  // namespace

bool HomogeneousWater::tableFits(const std::string& fileName) const {
  return table_ && table_->isBuiltFor(pfType_, getPhaseParameters(), fileName);
}

void HomogeneousWater::ensureSamplingTable(const std::string& userFile) {
  if (pfType_ < 0 || pfType_ >= Control::nPfType) {
    throw PhaseSettingError("Unknown phase function type " + std::to_string(pfType_) + ".");
  }
  if (!needsTable(pfType_)) return;
  const std::string fileName = pfType_ == 5 ? petzoldFileName() : pfType_ == 6 ? userFile : std::string();
  if (tableFits(fileName)) return;
  table_ = buildRunTable(pfType_, getPhaseParameters(), userFile);
}

bool HomogeneousWater::isReadyForRun() const {
  if (pfType_ < 0 || pfType_ >= Control::nPfType) return false;
  if (!needsTable(pfType_)) return true;
  // The file of a file table is part of what the run asked for; here only the type and
  // parameters can be checked.
  return table_ && table_->pfType == pfType_ &&
         (pfType_ >= 5 || table_->isBuiltFor(pfType_, getPhaseParameters(), table_->file));
}

double HomogeneousWater::getPF(double theta) const {
  switch (pfType_) {
    case 0:
      return PhaseFormulas::henyeyGreenstein(phase_.g, theta);
    case 1:
      return PhaseFormulas::twoTermHenyeyGreenstein(phase_.g1, phase_.g2, phase_.g12Weight, theta);
    case 2: {
      const PhaseParameters& p = phase_;
      const double scale = table_ && table_->isBuiltFor(2, p, table_->file) ? table_->valueScale
                                                                             : fournierForandScale(p);
      return FournierForand(theta) * scale;
    }
    case 3:
      return PhaseFormulas::isotropic();
    case 4:
      return PhaseFormulas::pureWater(theta);
    case 5:
    case 6:
      if (table_ && table_->pfType == pfType_) {
        return VarnoMathLib::splint(table_->xPF, table_->yPF, table_->y2PF, theta);
      }
      return std::numeric_limits<double>::quiet_NaN();
    default:
      return std::numeric_limits<double>::quiet_NaN();
  }
}

void HomogeneousWater::setTwoTermHGPF() { table_ = buildTwoTermHGTable(getPhaseParameters()); }

void HomogeneousWater::setFournierForandPF(std::span<const double> angles, std::span<const double> values,
                                           double valueScale) {
  auto pending = std::make_shared<PendingTable>();
  pending->pfType = 2;
  pending->angles.assign(angles.begin(), angles.end());
  pending->values.assign(values.begin(), values.end());
  pending->valueScale = valueScale;
  pending_ = std::move(pending);
}

void HomogeneousWater::finishFournierForand() {
  if (!pending_ || pending_->pfType != 2) throw PhaseSettingError("No Fournier - Forand table was handed over.");
  table_ = buildFournierForandTable(pending_->angles, pending_->values, getPhaseParameters(), pending_->valueScale);
  pending_.reset();
}

void HomogeneousWater::setFilePF(std::span<const double> angles, std::span<const double> values, int pfType,
                                 const std::string& fileName) {
  auto pending = std::make_shared<PendingTable>();
  pending->pfType = pfType;
  pending->file = fileName;
  pending->angles.assign(angles.begin(), angles.end());
  pending->values.assign(values.begin(), values.end());
  pending_ = std::move(pending);
}

void HomogeneousWater::finishFilePF() {
  if (!pending_ || (pending_->pfType != 5 && pending_->pfType != 6)) {
    throw PhaseSettingError("No phase function file table was handed over.");
  }
  table_ = buildFileTable(pending_->pfType, pending_->file, pending_->angles, pending_->values);
  pending_.reset();
}

}  // namespace pallix
