#pragma once
// How a run of the instrument simulator is cut into chunks, and the progress value
// shown after each chunk.
//
// The chunk is the unit of progress and of cancellation: the run thread reports a
// progress value 0..MAXIMUM and tests the cancel flag after every chunk, calibration
// distance or sweep step. Photons per chunk are N / chunks (integer division); the
// results still divide by N where the run says so.

#include <cstdint>

namespace pallix {

// The progress bar's maximum, and the number of photon chunks of a k run and of an
// a-only single run.
inline constexpr int MAXIMUM = 100;

// Number of values start, start + interval, ... of a calibration or a w0 sweep: the
// integer part of (end - start) / interval, plus 1 (25 for 2 to 14 by 0.5). An end
// below the start by less than one interval still gives one value. Returns 0 when the
// settings give no positive count: an interval of 0 or below, an end below the start by
// a whole interval or more, or values that are not finite or give more than 2^31 - 1.
std::int64_t valueCount(double start, double end, double interval);

// Progress after calibration distance i (0-based) of n: the integer part of (i + 1) * 100 / n.
int calibrationProgress(std::int64_t i, std::int64_t n);

// The chunks of one channel in a single medium run.
struct ChannelChunks {
  int chunks = 0;                   // 0 when the channel is not selected
  std::int64_t photonsPerChunk = 0;  // N / chunks
};

// The chunking of a single medium run: both channels 50 (MAXIMUM / 2) chunks each, the
// a channel alone 100 (MAXIMUM), the beta channel alone `betaRepetition`.
struct SingleRunPlan {
  ChannelChunks a;
  ChannelChunks beta;

  // Progress after a-chunk i (0-based): i + 1.
  int aProgress(int i) const { return i + 1; }
  // Progress after beta-chunk i: following the a chunks when both channels run,
  // otherwise the integer part of (i + 1) * 100 / chunks.
  int betaProgress(int i) const;
};

SingleRunPlan planSingleRun(bool channelA, bool channelBeta, int betaRepetition, std::int64_t nphoton);

// Progress of a w0 sweep of `totalRuns` runs (the w0 count times the number of
// selected channels): each completed run advances the bar by 100 / totalRuns (integer
// division), a-runs first; `finish` then sets it to 100.
inline int sweepProgress(std::int64_t runsDone, std::int64_t totalRuns) {
  return static_cast<int>(runsDone * (MAXIMUM / totalRuns));
}

}  // namespace pallix
