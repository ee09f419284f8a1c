// `orvel-bench`: the visibility engine's speed figures as key<TAB>value lines.
//
//   orvel-bench [--photons N] [--threads N]
//
// kernel_photons_per_s, kernel_steps_per_s, kernel_steps_per_photon: the bare photon
// kernel on the standard comparison problem (N photons, default 10^6, on the given
// threads, default all); run_seconds_1_thread, run_seconds_all_threads: wall time of
// the default visibility run on one thread and on all (or the given) threads.
#include <omp.h>

#include <charconv>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <string_view>

#include "VisibilityKernel.h"
#include "shared/NumberText.h"

namespace {

bool parseCount(std::string_view text, long long& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() && value >= 1;
}

int usage(const char* reason) {
  std::cerr << "orvel-bench: " << reason << "\nusage: orvel-bench [--photons N] [--threads N]\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  long long photons = 1000000;
  long long threads = omp_get_max_threads();
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::cout << "usage: orvel-bench [--photons N] [--threads N]\n";
      return 0;
    }
    if ((arg == "--photons" || arg == "--threads") && i + 1 < argc) {
      long long& target = arg == "--photons" ? photons : threads;
      if (!parseCount(argv[++i], target)) return usage((std::string(arg) + " needs a whole number of 1 or more").c_str());
      continue;
    }
    return usage(("unknown argument " + std::string(arg)).c_str());
  }

  const orvelbench::KernelResult kernel = orvelbench::runKernel(photons, static_cast<int>(threads));
  const double one = orvelbench::runDefaultVisibility(1).seconds;
  const double all = orvelbench::runDefaultVisibility(static_cast<int>(threads)).seconds;

  const auto line = [](const char* key, double value) { std::cout << key << '\t' << numtext::formatD(value) << '\n'; };
  line("kernel_photons_per_s", static_cast<double>(kernel.photons) / kernel.seconds);
  line("kernel_steps_per_s", static_cast<double>(kernel.steps) / kernel.seconds);
  line("kernel_steps_per_photon", static_cast<double>(kernel.steps) / static_cast<double>(kernel.photons));
  line("run_seconds_1_thread", one);
  line("run_seconds_all_threads", all);
  std::cout << "threads\t" << threads << '\n';
  return std::cout ? 0 : 1;
}
