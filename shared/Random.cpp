#include "shared/Random.h"

std::uint64_t splitMix64(std::uint64_t& state) {
  std::uint64_t z = (state += 0x9e3779b97f4a7c15ULL);
  z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
  z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
  return z ^ (z >> 31);
}

Random::Random(std::uint64_t seed) {
  std::uint64_t state = seed;
  for (auto& word : s_) word = splitMix64(state);
  // The all-zero state is the one state xoshiro never leaves; SplitMix64 cannot
  // produce four zero words in a row, but guard anyway.
  if ((s_[0] | s_[1] | s_[2] | s_[3]) == 0) s_[0] = 1;
}

Random Random::stream(std::uint64_t seed, std::initializer_list<std::uint64_t> key) {
  // Fold the key into the seed one index at a time; each fold passes through the
  // SplitMix64 finaliser, so neighbouring keys give unrelated seeds.
  std::uint64_t state = seed;
  std::uint64_t mixed = splitMix64(state);
  for (std::uint64_t k : key) {
    std::uint64_t s = mixed ^ (k + 0x632be59bd9b4e019ULL);
    mixed = splitMix64(s);
  }
  return Random(mixed);
}
