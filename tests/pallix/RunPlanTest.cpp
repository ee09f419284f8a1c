// Chunking and progress values of the instrument runs.

#include "pallix/engine/RunPlan.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace pallix {
namespace {

TEST(RunPlanValueCount, CountsDistancesAndW0Values) {
  struct Case {
    double start, end, interval;
    std::int64_t count;
  };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const Case cases[] = {
      {2.0, 14.0, 0.5, 25},    // the initial calibration distances
      {0.1, 0.9, 0.1, 9},      // the initial sweep
      {3.0, 14.0, 0.5, 23},    // the environment dialog's first distance
      {0.5, 0.45, 0.1, 1},     // end below the start by less than one interval: one value
      {0.5, 0.5, 0.1, 1},      // a single value
      {1.0, 0.5, 0.5, 0},      // end below the start by a whole interval: none
      {0.5, 0.2, 0.1, 0},      // further below
      {0.1, 0.9, 0.0, 0},      // interval 0
      {0.1, 0.9, -0.1, 0},     // negative interval
      {0.1, nan, 0.1, 0},      // not a number
      {0.0, 1.0, 1e-12, 0},    // more values than a count can hold
  };
  for (const Case& c : cases)
    EXPECT_EQ(valueCount(c.start, c.end, c.interval), c.count)
        << c.start << " to " << c.end << " by " << c.interval;
}

TEST(RunPlanSingleRun, ChunksPerChannel) {
  struct Case {
    bool a, beta;
    int repetition;
    std::int64_t n;
    int aChunks;
    std::int64_t aPerChunk;
    int betaChunks;
    std::int64_t betaPerChunk;
  };
  const Case cases[] = {
      {true, false, 10, 1000000, 100, 10000, 0, 0},  // a only: 100 chunks of 10000
      {true, true, 10, 1000000, 50, 20000, 50, 20000},  // both: 50 each, repetitions ignored
      {false, true, 10, 1000000, 0, 0, 10, 100000},  // beta only: betaRepetition
      {true, false, 10, 1234, 100, 12, 0, 0},        // N not divisible: integer division
      {false, true, 7, 1000, 0, 0, 7, 142},
      {false, false, 10, 1000, 0, 0, 0, 0},          // no channel: no run
  };
  for (const Case& c : cases) {
    const SingleRunPlan plan = planSingleRun(c.a, c.beta, c.repetition, c.n);
    EXPECT_EQ(plan.a.chunks, c.aChunks);
    EXPECT_EQ(plan.a.photonsPerChunk, c.aPerChunk);
    EXPECT_EQ(plan.beta.chunks, c.betaChunks);
    EXPECT_EQ(plan.beta.photonsPerChunk, c.betaPerChunk);
  }
}

std::vector<int> progressOf(const SingleRunPlan& plan) {
  std::vector<int> values;
  for (int i = 0; i < plan.a.chunks; ++i) values.push_back(plan.aProgress(i));
  for (int i = 0; i < plan.beta.chunks; ++i) values.push_back(plan.betaProgress(i));
  return values;
}

TEST(RunPlanSingleRun, ProgressRisesToHundredOnTheLastChunk) {
  const auto aOnly = progressOf(planSingleRun(true, false, 10, 1000000));
  ASSERT_EQ(aOnly.size(), 100u);
  for (int i = 0; i < 100; ++i) EXPECT_EQ(aOnly[static_cast<std::size_t>(i)], i + 1);

  // Both channels: 1..50 for the a chunks, then 51..100 for the beta chunks.
  const auto both = progressOf(planSingleRun(true, true, 10, 1000000));
  ASSERT_EQ(both.size(), 100u);
  for (int i = 0; i < 100; ++i) EXPECT_EQ(both[static_cast<std::size_t>(i)], i + 1);

  EXPECT_EQ(progressOf(planSingleRun(false, true, 10, 1000000)),
            (std::vector<int>{10, 20, 30, 40, 50, 60, 70, 80, 90, 100}));
  EXPECT_EQ(progressOf(planSingleRun(false, true, 3, 1000000)), (std::vector<int>{33, 66, 100}));
}

TEST(RunPlanProgress, CalibrationAndSweepSteps) {
  std::vector<int> calibration;
  for (int i = 0; i < 25; ++i) calibration.push_back(calibrationProgress(i, 25));
  EXPECT_EQ(calibration.front(), 4);
  EXPECT_EQ(calibration.back(), 100);
  EXPECT_EQ(calibrationProgress(0, 3), 33);
  EXPECT_EQ(calibrationProgress(1, 3), 66);

  // One channel over nine w0 values: 11 per run, finish brings the bar to 100.
  for (int r = 1; r <= 9; ++r) EXPECT_EQ(sweepProgress(r, 9), 11 * r);
  // Both channels: 18 runs, 5 per run, a-runs first.
  for (int r = 1; r <= 18; ++r) EXPECT_EQ(sweepProgress(r, 18), 5 * r);
  // More runs than the bar has steps: the bar stays at 0 until finish.
  EXPECT_EQ(sweepProgress(150, 200), 0);
}

}  // namespace
}  // namespace pallix
