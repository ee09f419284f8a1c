#pragma once
// The instrument medium's phase-function tables and the phase-function "draw" computation.
//
// Types 1 (two-term Henyey-Greenstein), 2 (Fournier-Forand), 5 (Petzold) and 6 (file) are
// sampled through a table of scattering angle [rad] over cumulative probability. A table
// is built complete and then never changes (`PhaseTable` is held through
// shared_ptr<const PhaseTable>): a medium swaps a new one in whole, and a run that holds a
// table keeps sampling from it whatever the phase function dialog builds meanwhile. Each
// table records the type, parameters and file it was made from, so a run can tell whether
// it fits the settings it was started with.
//
// `drawPhaseFunction` is the engine side of the phase function dialog's "Get  bb/b  &  draw
// p.f." action: the parameter checks with the dialog's messages, bb/b, the 181-value plot
// array (0, 1, ..., 180 degrees) and the sampling table.
//
// Integrals of a table are Romberg integrals of the natural spline through p(theta) sin
// theta, summed interval by interval over the table's nodes: each interval is one cubic
// piece, on which Romberg's extrapolation is exact at its first test, and the sum equals
// the integral over the whole range.

#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "shared/SplineBracketIndex.h"

namespace pallix {

struct Control;

// A phase-function setting that cannot be drawn or run; what() is the message for the user.
class PhaseSettingError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The phase-function parameters of the settings record (forwardAngle in degrees).
struct PhaseParameters {
  double g = 0.925;
  double g1 = 0.9;
  double g2 = -0.2;
  double g12Weight = 0.5;
  double JungeCoeff = 4.0;
  double realIndex = 1.15;
  double forwardAngle = 0.01;

  static PhaseParameters fromControl(const Control& control);
};

// An immutable sampling table (and, for types 5 and 6, evaluation table).
struct PhaseTable {
  int pfType = 0;               // 1, 2, 5 or 6
  PhaseParameters parameters;   // the parameters it was made from (those its type uses)
  std::string file;             // types 5 and 6: the file it was read from
  std::vector<double> x;        // cumulative probability, rising from 0
  std::vector<double> y;        // scattering angle with that probability [rad]
  std::vector<double> y2;       // natural spline second derivatives of y over x
  SplineBracketIndex xIndex;    // the intervals of x, found in constant time (built with y2)
  std::vector<double> xPF;      // types 5, 6: angle [rad]
  std::vector<double> yPF;      // types 5, 6: phase-function value [1/sr] as the run uses it
  std::vector<double> y2PF;     // types 5, 6: natural spline second derivatives of yPF over xPF
  double valueScale = 1.0;      // type 2: table value / FournierForand() (the normalisation)
  bool clampEnd = false;        // types 2, 5, 6: xi at or above x.back() returns y.back()

  // Whether the table was made for this type, these parameters and this file.
  bool isBuiltFor(int type, const PhaseParameters& p, const std::string& fileName) const;

  // The scattering angle with cumulative probability xi [rad]. No allocation.
  double sample(double xi) const;
};

// A phase-function file as read: angles [rad] and values as in the file.
struct PhaseFileTable {
  std::string file;
  std::vector<double> angles;
  std::vector<double> values;
};

// What the draw action computes.
struct PhaseFunctionDrawing {
  double bbRatio = 0.0;
  std::vector<double> plot;          // 181 values at 0, 1, ..., 180 degrees [1/sr]
  bool normalised = false;           // types 2, 5, 6: the table was off by more than 1 %
  double totalIntegral = 0.0;        // types 2, 5, 6: 2 pi times its integral before that
  std::shared_ptr<const PhaseTable> table;  // types 1, 2, 5, 6; null otherwise
};

// Name of the Petzold table: "phaseFunction/petzold.txt", found by resolveDataFile.
std::string petzoldFileName();

// Reads a phase-function file with the instrument's reader (the whole of line 2 is the
// count). Throws PhaseSettingError with "File not found when loading file " or "I/O error
// whenn loading file " and the name.
PhaseFileTable readInstrumentPFfile(const std::string& fileName);

// The dialog's checks, in its order, whatever the type: the forward angle within
// [0.001, 1), the Junge slope within [3.5, 5], the real index above 1. Throws
// PhaseSettingError with the dialog's message.
void checkDrawParameters(const PhaseParameters& p);

// The checks a run makes before it builds the table for `pfType`: the draw checks for
// Fournier-Forand, nothing for the other types (their tables check themselves).
void checkRunParameters(int pfType, const PhaseParameters& p);

// "Normalization error, total integral = <2 pi all>  Phase function will be normalized."
std::string normalizationMessage(double totalIntegral);

// The draw action for `pfType`: checks, bb/b, plot and table. `fileTable` is the file
// read when the type was chosen (types 5 and 6; required for them: PhaseSettingError
// "Phase function file is not read." without it).
PhaseFunctionDrawing drawPhaseFunction(int pfType, const PhaseParameters& p,
                                       const PhaseFileTable* fileTable = nullptr);

// The table a run of `pfType` samples from, built from the parameters (type 1, 2) or by
// reading the file (type 5: petzoldFileName(); type 6: `userFile`), as the draw action
// would. Throws PhaseSettingError when the parameters or the file do not allow a table.
std::shared_ptr<const PhaseTable> buildRunTable(int pfType, const PhaseParameters& p, const std::string& userFile);

// --- The single preparations the medium's operations are made of. ---

// Two-term table: 181 points, x[0] = y[0] = 0, y[i] = pi i / 180, x[i] = the two-term
// cumulative probability at y[i].
std::shared_ptr<const PhaseTable> buildTwoTermHGTable(const PhaseParameters& p);

// The 181 angles of the Fournier-Forand table [rad]: `forwardAngle` degrees, then pi i / 180.
std::vector<double> fournierForandAngles(double forwardAngleDegrees);

// The Fournier-Forand procedure's normalisation for these parameters: the factor that
// turns FournierForand(theta) into the table values a run uses (1 / (2 pi int) when the
// table is off by more than 1 %, otherwise 1).
double fournierForandScale(const PhaseParameters& p);

// Sampling table from a Fournier-Forand table (angles, values as the run uses them): the
// first pair becomes (0, first angle), then (2 pi int_0^angle, angle).
std::shared_ptr<const PhaseTable> buildFournierForandTable(std::span<const double> angles,
                                                           std::span<const double> values,
                                                           const PhaseParameters& p, double valueScale);

// Sampling and evaluation table from a file table (values as the run uses them): the first
// pair becomes (0, 0), then (2 pi int_0^angle, angle).
std::shared_ptr<const PhaseTable> buildFileTable(int pfType, const std::string& fileName,
                                                 std::span<const double> angles, std::span<const double> values);

// 2 pi times the integral of the spline of values sin(theta) through the table from `from`
// to `to` [rad].
double integratePhaseTable(std::span<const double> angles, std::span<const double> values, double from,
                           double to);

}  // namespace pallix
