#pragma once
// The instrument simulator's water: one homogeneous medium that carries all seven phase
// functions (type codes as `Control::pfName`): evaluates the selected one (`getPF`) and
// samples scattering angles from it (`getScatteringAngle`).
//
// Types 0 (one-term Henyey-Greenstein), 3 (isotropic) and 4 (pure water) are sampled in
// closed form; types 1, 2, 5 and 6 through an immutable table (PhaseTables.h) that the
// medium holds by shared pointer. A medium is a value: a run copies the program's medium
// (sharing its table), sets its parameters from the run's settings snapshot, makes sure
// its table was built for exactly that type, those parameters and that file
// (`ensureSamplingTable`), and is then only read, by every thread. Building tables on the
// program's medium (the phase function dialog) never touches a run's copy.
//
// Angles in radians; phase-function values per steradian.

#include <memory>
#include <span>
#include <string>
#include <vector>

#include "orvel/phase/PhaseFormulas.h"
#include "pallix/engine/PhaseTables.h"
#include "shared/Random.h"

namespace pallix {

struct Control;

class HomogeneousWater {
 public:
  HomogeneousWater() = default;

  // c [1/m], w0 and the phase-function type; c and w0 are kept for reference only (the
  // photon takes its weight factor from the run's settings).
  void setMediumParameters(double c, double w0, int pfType);
  // forwardAngle in degrees.
  void setPhaseFunctionParameters(double g, double g1, double g2, double g12Weight, double JungeCoeff,
                                  double realIndex, double forwardAngle);

  // Both setters from `control`, then ensureSamplingTable(control.userFile): what a run
  // does when it builds its medium. Throws PhaseSettingError as ensureSamplingTable.
  void setForRun(const Control& control);

  // Makes sure the sampling table fits the current type, parameters and file (type 5:
  // the Petzold table; type 6: `userFile`), building it when it does not. Types 0, 3 and 4
  // need none. Throws PhaseSettingError (the message for the user) when the parameters or
  // the file do not allow a table; the medium then keeps its previous table.
  void ensureSamplingTable(const std::string& userFile);

  // Whether getScatteringAngle may be called: the type needs no table, or the table fits.
  bool isReadyForRun() const;

  // Value of the selected phase function at theta [1/sr]. For type 2 this is the
  // normalised value (the Fournier-Forand expression times the table's normalisation),
  // so that values printed as beta are physical. Types 5 and 6 need their table.
  double getPF(double theta) const;

  // One sampled polar scattering angle [rad]: exactly one uniform draw. The medium must
  // be ready (isReadyForRun). No allocation.
  double getScatteringAngle(Random& rng) const { return sampleScatteringAngle(rng.uniform()); }
  // The angle for a given uniform number xi on [0, 1).
  double sampleScatteringAngle(double xi) const {
    switch (pfType_) {
      case 0:
        return PhaseFormulas::henyeyGreensteinAngle(phase_.g, xi);
      case 3:
        return PhaseFormulas::isotropicAngle(xi);
      case 4:
        return PhaseFormulas::pureWaterAngle(xi);
      default:
        return table_->sample(xi);
    }
  }

  // The Fournier-Forand expression with the medium's Junge slope and real index, not
  // normalised.
  double FournierForand(double theta) const {
    return PhaseFormulas::fournierForand(phase_.JungeCoeff, phase_.realIndex, theta);
  }

  // Cumulative probability of the two-term Henyey-Greenstein function from 0 to theta.
  double getTwoTermHGintegral(double theta) const {
    return PhaseFormulas::twoTermHenyeyGreensteinCumulative(phase_.g1, phase_.g2, phase_.g12Weight, theta);
  }

  // --- The phase function dialog's table preparations; each swaps in a complete table. ---

  // Builds the two-term table from the parameters last set.
  void setTwoTermHGPF();
  // Hands over the (normalised) Fournier-Forand table; finishFournierForand() turns it into
  // the sampling table. `valueScale` is the factor the values carry over the expression.
  void setFournierForandPF(std::span<const double> angles, std::span<const double> values,
                           double valueScale = 1.0);
  void finishFournierForand();
  // Hands over a tabulated phase function of type 5 or 6 read from `fileName` (angles in
  // radians, values as the run uses them); finishFilePF() turns it into the sampling table.
  void setFilePF(std::span<const double> angles, std::span<const double> values, int pfType,
                 const std::string& fileName);
  void finishFilePF();

  // Swaps in a complete table (e.g. from drawPhaseFunction).
  void setPhaseTable(std::shared_ptr<const PhaseTable> table) { table_ = std::move(table); }
  const std::shared_ptr<const PhaseTable>& getPhaseTable() const { return table_; }

  double getC() const { return c_; }
  double getW0() const { return w0_; }
  int getPfType() const { return pfType_; }
  const PhaseParameters& getPhaseParameters() const { return phase_; }

 private:
  bool tableFits(const std::string& fileName) const;

  double c_ = 1.0;
  double w0_ = 0.7;
  int pfType_ = 0;
  PhaseParameters phase_;  // forwardAngle in degrees
  std::shared_ptr<const PhaseTable> table_;

  // A table handed over by setFournierForandPF / setFilePF, waiting for its finish call.
  struct PendingTable {
    int pfType = 0;
    std::string file;
    std::vector<double> angles;
    std::vector<double> values;
    double valueScale = 1.0;
  };
  std::shared_ptr<const PendingTable> pending_;
};

}  // namespace pallix
