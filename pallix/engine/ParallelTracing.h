#pragma once
// Tracing one chunk of photons on every core, reproducibly.
//
// A chunk (the unit of progress and cancellation of a run) is cut into a fixed number
// of sub-chunks, whatever the number of threads. Sub-chunk j traces its share of the
// photons with its own random stream, Random::stream(seed, {mode, step, chunk, j}),
// into its own empty copy of the detector; the copies are then added to the run's
// detector in the order j = 0, 1, ... So a seed gives the same tallies on any number of
// threads, and the threads share nothing but read-only objects while they trace.
//
// Threads. A run opens one team of threads for its whole length (`withTracingTeam`): the
// calling thread goes on with the run (set-ups, results, callbacks), and each chunk
// hands its sub-chunks to the team as tasks, helps to trace them, and waits for the
// rest. Between chunks the other threads only wait for work, so a run pays no thread
// start-up per chunk, and a chunk never waits for a thread that took no part in it (a
// core busy with another program slows a run down instead of stalling every chunk).

#include <cstdint>
#include <exception>
#include <optional>
#include <vector>

#include <omp.h>

#include "pallix/engine/Photon.h"
#include "shared/Random.h"

namespace pallix {

// Sub-chunks per chunk: enough for an even load on many cores, few enough that a chunk
// of a few thousand photons still gives each one real work.
inline constexpr int kSubChunks = 64;

// The kinds of run, the first element of every stream key.
enum class StreamMode : std::uint64_t { KRun = 0, Calibration = 1, Sweep = 2, Single = 3 };

// The stream key of a chunk without its sub-chunk index:
//   k run         {KRun, 0, chunk}
//   calibration   {Calibration, distance index, 0}
//   single run    {Single, channel (0 a, 1 beta), chunk}
//   sweep         {Sweep, w0 index, channel (0 a, 1 beta)}
struct ChunkKey {
  StreamMode mode;
  std::uint64_t step;
  std::uint64_t chunk;
};

// Photons of sub-chunk j when `photons` are cut into kSubChunks nearly equal parts.
inline std::int64_t subChunkPhotons(std::int64_t photons, int j) {
  return photons * (j + 1) / kSubChunks - photons * j / kSubChunks;
}

// Threads of a team: `threads`, or every core OpenMP offers for 0.
inline int tracingTeamSize(int threads) { return threads > 0 ? threads : omp_get_max_threads(); }

// Runs `body()` on the calling thread with a team of `threads` threads (0: every core)
// ready to trace the chunks it hands out. An exception thrown by `body` reaches the caller.
template <class Body>
void withTracingTeam(int threads, const Body& body) {
  std::exception_ptr failure;
#pragma omp parallel num_threads(tracingTeamSize(threads))
  {
#pragma omp masked
    {
      try {
        body();
      } catch (...) {
        failure = std::current_exception();
      }
    }
  }
  if (failure) std::rethrow_exception(failure);
}

// Traces `photons` photons as one chunk and adds their tallies to `sensor`.
// `loop(n, sensor, photon, rng)` traces n photons into `sensor` with the photon and the
// generator it is given. Inside `withTracingTeam` the team traces the sub-chunks;
// elsewhere a team of `threads` threads (0: every core) is opened for this chunk.
template <class Sensor, class Loop>
void traceChunk(std::int64_t photons, std::uint64_t seed, const ChunkKey& key, int threads, Sensor& sensor,
                const Loop& loop) {
  if (omp_get_level() == 0) {
    withTracingTeam(threads, [&] { traceChunk(photons, seed, key, threads, sensor, loop); });
    return;
  }
  std::vector<std::optional<Sensor>> parts(kSubChunks);
  const Sensor empty = sensor.emptyCopy();
  for (int j = 0; j < kSubChunks; ++j) {
    const std::int64_t n = subChunkPhotons(photons, j);
    if (n <= 0) continue;
#pragma omp task default(none) firstprivate(j, n) shared(parts, empty, loop, key, seed)
    {
      Random rng = Random::stream(seed, {static_cast<std::uint64_t>(key.mode), key.step, key.chunk,
                                         static_cast<std::uint64_t>(j)});
      Sensor part = empty;
      Photon photon;
      loop(n, part, photon, rng);
      parts[static_cast<std::size_t>(j)].emplace(part);
    }
  }
#pragma omp taskwait
  for (const auto& part : parts)
    if (part) sensor.merge(*part);
}

}  // namespace pallix
