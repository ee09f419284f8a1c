#pragma once
// Uniform random numbers for the photon tracing.
//
// xoshiro256++ (Blackman & Vigna, 2019), seeded through SplitMix64. A generator is a
// small value passed by reference to whatever draws; there is no global generator.
// Independent streams are derived from a run seed and a key of work indices
// (pass, array, sensor, chunk, ...), never from the thread that happens to run the
// work, so that a run gives the same numbers on any number of threads.

#include <cstdint>
#include <initializer_list>

class Random {
 public:
  using result_type = std::uint64_t;

  // A generator whose state is filled from `seed` by SplitMix64.
  explicit Random(std::uint64_t seed = 0x853c49e6748fea9bULL);

  // The stream for `seed` and the work key `key` (for example {pass, array, sensor, chunk}).
  // Different keys give statistically independent streams.
  static Random stream(std::uint64_t seed, std::initializer_list<std::uint64_t> key);

  // Next 64 random bits.
  std::uint64_t nextBits() {
    const std::uint64_t result = rotl(s_[0] + s_[3], 23) + s_[0];
    const std::uint64_t t = s_[1] << 17;
    s_[2] ^= s_[0];
    s_[3] ^= s_[1];
    s_[1] ^= s_[2];
    s_[0] ^= s_[3];
    s_[2] ^= t;
    s_[3] = rotl(s_[3], 45);
    return result;
  }

  // A uniform number on [0, 1) with 53 random bits; 1 - uniform() is never 0,
  // so log(1 - u) stays finite.
  double uniform() { return static_cast<double>(nextBits() >> 11) * 0x1.0p-53; }

  // For use with <random> distributions in tests.
  std::uint64_t operator()() { return nextBits(); }
  static constexpr std::uint64_t min() { return 0; }
  static constexpr std::uint64_t max() { return ~std::uint64_t{0}; }

 private:
  static std::uint64_t rotl(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }
  std::uint64_t s_[4];
};

// SplitMix64 step (Steele, Lea & Flood, 2014): used to seed and to mix stream keys.
std::uint64_t splitMix64(std::uint64_t& state);
