#include "pallix/engine/RunPlan.h"

#include <cmath>
#include <limits>

namespace pallix {

std::int64_t valueCount(double start, double end, double interval) {
  if (!(interval > 0.0) || !std::isfinite(start) || !std::isfinite(end) || !std::isfinite(interval))
    return 0;
  // The integer part truncates towards zero, so an end below the start by less than
  // one interval still counts one value.
  const double steps = std::trunc((end - start) / interval);
  if (!(steps >= 0.0) || steps >= static_cast<double>(std::numeric_limits<std::int32_t>::max())) return 0;
  return static_cast<std::int64_t>(steps) + 1;
}

int calibrationProgress(std::int64_t i, std::int64_t n) {
  return static_cast<int>(static_cast<double>(i + 1) * 100.0 / static_cast<double>(n));
}

int SingleRunPlan::betaProgress(int i) const {
  if (a.chunks > 0) return a.chunks + i + 1;
  return static_cast<int>((static_cast<std::int64_t>(i) + 1) * 100 / beta.chunks);
}

SingleRunPlan planSingleRun(bool channelA, bool channelBeta, int betaRepetition, std::int64_t nphoton) {
  SingleRunPlan plan;
  if (channelA && channelBeta) {
    plan.a.chunks = MAXIMUM / 2;
    plan.beta.chunks = MAXIMUM / 2;
  } else if (channelA) {
    plan.a.chunks = MAXIMUM;
  } else if (channelBeta) {
    plan.beta.chunks = betaRepetition > 0 ? betaRepetition : 0;
  }
  if (plan.a.chunks > 0) plan.a.photonsPerChunk = nphoton / plan.a.chunks;
  if (plan.beta.chunks > 0) plan.beta.photonsPerChunk = nphoton / plan.beta.chunks;
  return plan;
}

}  // namespace pallix
