#pragma once
// The batch result file of a w0 sweep, "batchResult.txt".
//
// Tab-separated lines; every number in the single form S (a swept w0 of
// 0.30000000000000004 is written 0.3):
//   "c\tw0\tK"     then one line c, w0, K per w0 value      when the a channel was swept
//   "c\tw0\tbeta"  then one line c, w0, beta per w0 value   when the beta channel was swept
// The a block, when present, comes first. Each completed sweep replaces the file.

#include <filesystem>
#include <string>
#include <vector>

namespace pallix {

inline constexpr const char* kBatchResultFileName = "batchResult.txt";

struct BatchResult {
  double c = 0.0;          // attenuation of the sweep [1/m]
  std::vector<double> w0;  // the swept albedos
  bool hasA = false;
  std::vector<double> K;  // a-channel attenuation per w0 [1/m], when the a channel was swept
  bool hasBeta = false;
  std::vector<double> beta;  // beta per w0, when the beta channel was swept

  std::string toText() const;
  // Writes the file, complete or not at all; raises FileWriteError on failure.
  void save(const std::filesystem::path& file) const;
};

}  // namespace pallix
