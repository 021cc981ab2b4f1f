// Runs the benchmarks and closes with the ratio of every subject to its baseline, in processor
// time: on a machine shared with other work, wall time counts the waits for a processor.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <fstream>
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

// Where this run writes each benchmark's time (--tavibench_times=FILE), and the times of another
// run, such as the other bitness's, that it is compared with (--tavibench_against=FILE).
struct TimeFiles {
  std::string write;
  std::string against;
};

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  explicit RatioReporter(TimeFiles files) : files_(std::move(files)) {}

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
    if (!files_.write.empty()) {
      std::ofstream out(files_.write);
      for (const auto& [name, time] : times_)
        out << name << '\t' << time << '\n';
    }
    if (!files_.against.empty()) CompareWithOtherRun();
  }

 private:
  void CompareWithOtherRun() const {
    std::ifstream in(files_.against);
    std::map<std::string, double> other;
    std::string name;
    double time = 0;
    while (in >> name >> time)
      other[name] = time;
    std::printf("\nThis run against %s (CPU time of this run / CPU time of that run):\n",
                files_.against.c_str());
    for (const auto& [subject, mine] : times_) {
      const auto o = other.find(subject);
      if (o == other.end() || o->second <= 0) continue;
      std::printf("  %-64s %7.3f\n", subject.c_str(), mine / o->second);
    }
  }

  TimeFiles files_;
  std::map<std::string, double> times_;
};

// Takes this program's own options out of the arguments before the benchmark library sees them.
TimeFiles TakeTimeFiles(int& argc, char** argv) {
  TimeFiles files;
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], "--tavibench_times=", 18) == 0) {
      files.write = argv[i] + 18;
    } else if (std::strncmp(argv[i], "--tavibench_against=", 20) == 0) {
      files.against = argv[i] + 20;
    } else {
      argv[kept++] = argv[i];
    }
  }
  argc = kept;
  return files;
}

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
  tavibench::TimeFiles files = tavibench::TakeTimeFiles(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  tavibench::RatioReporter reporter(std::move(files));
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
