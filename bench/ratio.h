// Benchmarks are read as ratios: each subject is timed next to a baseline (a memcpy, a plain
// loop) in the same process, and the run ends with subject / baseline for every pair.
#pragma once

#include <string>

namespace tavibench {

// Registers a pair to report at the end of the run; names are the benchmarks' full names.
bool CompareTo(const std::string& subject, const std::string& baseline);

}  // namespace tavibench

#define TAVIBENCH_CONCAT_(a, b) a##b
#define TAVIBENCH_CONCAT(a, b) TAVIBENCH_CONCAT_(a, b)
#define TAVIBENCH_RATIO(subject, baseline)                                \
  [[maybe_unused]] static const bool TAVIBENCH_CONCAT(ratio_, __LINE__) = \
      ::tavibench::CompareTo(subject, baseline)
