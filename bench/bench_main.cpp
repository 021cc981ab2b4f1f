// Runs the benchmarks and closes with the ratio of every subject to its baseline, in processor
// time: on a machine shared with other work, wall time counts the waits for a processor.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "host/library.h"
#include "ratio.h"

namespace tavibench {
namespace {

std::vector<std::pair<std::string, std::string>>& Pairs() {
  static std::vector<std::pair<std::string, std::string>> pairs;
  return pairs;
}

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Iteration || run.aggregate_name == "median") {
        times_[run.benchmark_name().substr(0, run.benchmark_name().find("_median"))] =
            run.GetAdjustedCPUTime();
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }

  void Finalize() override {
    ConsoleReporter::Finalize();
    std::printf("\nRatios (subject CPU time / baseline CPU time, same run):\n");
    for (const auto& [subject, baseline] : Pairs()) {
      const auto s = times_.find(subject);
      const auto b = times_.find(baseline);
      if (s == times_.end() || b == times_.end() || b->second <= 0) continue;
      std::printf("  %-48s / %-36s %7.3f\n", subject.c_str(), baseline.c_str(),
                  s->second / b->second);
    }
  }

 private:
  std::map<std::string, double> times_;
};

}  // namespace

bool CompareTo(const std::string& subject, const std::string& baseline) {
  Pairs().emplace_back(subject, baseline);
  return true;
}

}  // namespace tavibench

int main(int argc, char** argv) {
  const auto& lib = tavihost::Tavikit();
  if (!lib.error.empty()) {
    std::fprintf(stderr, "tavikit_bench: %s\n", lib.error.c_str());
    return 1;
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  tavibench::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
