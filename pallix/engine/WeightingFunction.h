#pragma once
// The beta channel's distance weighting function.
//
// A calibration run (no water) measures, for a series of distances d of a large
// Lambertian diffuser in front of the face, the fraction P of the LED's energy that the
// beta detector receives; W(d) = P * (pi / diffuserAlbedo) / cos(theta_d) is the
// weighting of the scattering volume at distance d. The calibration writes the
// weighting file "weighting.txt"; every beta run reads it, attenuates W(d) by the
// water along the two path lengths rs (LED to the centre of the beams' overlap) and rd
// (overlap to detector), and integrates it over distance in metres. The beta channel's
// relative signal divided by that integral is beta at the apparent scattering angle.
//
// File layout (one record per line, fields separated by tabs when written and by any
// white space when read):
//   line 1   "NO medium weighting function:  cos(theta_d)*(1/rd^2)*del_A^2/A,     (del_Phi/Phi_o)/cos(theta_d)"
//   line 2   n, the number of distance lines
//   line 3   "distance[cm]\tweighting\tdP/Po/cos"
//   n lines  distance [cm], W(d), P / cos(theta_d), each in the double form D

#include <array>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "pallix/engine/Control.h"

namespace pallix {

inline constexpr const char* kWeightingFileName = "weighting.txt";
inline constexpr const char* kWeightingFileNotFoundMessage = "File not found when loading file (weighting.txt)";
inline constexpr const char* kWeightingReadErrorMessage = "I/O error whenn loading file (weighting.txt)";

// Path lengths [cm] from the beta LED (element 0, rs) and from the beta detector
// (element 1, rd) to the centre of the two beams' overlap at distance y [cm] from the
// face, in the x-z plane of the instrument frame. Both are 0 at and before the near end
// of the overlap and at and beyond its far end. A beam with a half angle of 0 is a
// parallel beam: its path is then y / cos(slant), along the element's axis from the face.
std::array<double, 2> getRsRd(const Control& control, double y);

// The three columns of a weighting file.
struct WeightingTable {
  std::vector<double> distance;   // [cm], strictly increasing, at least two
  std::vector<double> weighting;  // W(d)
  std::vector<double> relative;   // P / cos(theta_d)
};

// Reads the text of a weighting file. Returns nothing when a line is not three finite
// numbers, when there are fewer lines than line 2 announces, when it announces fewer
// than two distances (a spline needs two points), or when the distances do not
// strictly increase.
std::optional<WeightingTable> parseWeightingTable(std::string_view text);

// The text of a weighting file for the three series (of equal length).
std::string formatWeightingTable(std::span<const double> x, std::span<const double> y,
                                 std::span<const double> z);

// Writes the weighting file, complete or not at all; raises FileWriteError on failure.
void saveWeighting(const std::filesystem::path& file, std::span<const double> x, std::span<const double> y,
                   std::span<const double> z);

enum class WeightingLoad { Loaded, FileNotFound, ReadError };

// Reads and parses the weighting file: Loaded with `table` filled, or the reason it was
// not (then `table` is left as it was).
WeightingLoad readWeightingFile(const std::filesystem::path& file, WeightingTable& table);

// The message a failed load shows ("" for a successful one).
std::string weightingLoadMessage(WeightingLoad result);

// The weighting state that beta runs use. Its owner (the window program, or one command
// of the command line) keeps it from run to run; a run updates it on its own thread,
// so the owner leaves it alone while a run goes on.
class WeightingFunction {
 public:
  using LineSink = std::function<void(const std::string&)>;

  // Reads the weighting file and sets the three integrals for the attenuation
  // `control.c` [1/m], writing the console lines "Weighting reference",
  // "Weighting reference integral = ", "Phi_rho = ", "Weighting : c = " and
  // "Weighting integral = ". On failure nothing is written to the console and the
  // integrals keep their previous values.
  WeightingLoad computeNewWeighting(const std::filesystem::path& file, const Control& control,
                                    const LineSink& console);

  // The same from a table already read.
  void computeNewWeighting(const WeightingTable& table, const Control& control, const LineSink& console);

  // Integral over distance [m] of W without water; 0 until the first load.
  double weightingReferenceIntegral() const { return weightingReferenceIntegral_; }
  // Integral over distance [m] of the third column; 0 until the first load.
  double relativePhiRho() const { return relativePhiRho_; }
  // Integral over distance [m] of W attenuated by exp(-c (rs + rd)); 0 until the first load.
  double weightingIntegral() const { return weightingIntegral_; }

  // Whether beta values can be formed: the attenuated integral is a positive number.
  bool isUsable() const;

 private:
  double weightingReferenceIntegral_ = 0.0;
  double relativePhiRho_ = 0.0;
  double weightingIntegral_ = 0.0;
};

}  // namespace pallix
