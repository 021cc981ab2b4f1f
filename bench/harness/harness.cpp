// The runner behind harness/benchmark/benchmark.h: registration, the flags the benchmarks are run
// with (--benchmark_filter, --benchmark_min_time, --benchmark_repetitions), timing and the console
// table.
#include <algorithm>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <regex>

#include "benchmark/benchmark.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <time.h>
#endif

namespace benchmark {
namespace {

// Processor time of the process in nanoseconds. Windows counts it in scheduler ticks (10 to 16
// ms), a few percent of the default minimum time.
int64_t NowNanoseconds() {
#if defined(_WIN32)
  FILETIME creation{}, exit{}, kernel{}, user{};
  GetProcessTimes(GetCurrentProcess(), &creation, &exit, &kernel, &user);
  const auto ns = [](FILETIME t) {
    return static_cast<int64_t>((uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime) * 100;
  };
  return ns(kernel) + ns(user);
#else
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return int64_t{t.tv_sec} * 1000000000 + t.tv_nsec;
#endif
}

struct Flags {
  std::string filter = ".";
  double minTime = 0.5;
  int repetitions = 1;
};

Flags& TheFlags() {
  static Flags flags;
  return flags;
}

std::vector<std::unique_ptr<Benchmark>>& Registry() {
  static std::vector<std::unique_ptr<Benchmark>> benchmarks;
  return benchmarks;
}

// The value of `--name=value` when `arg` is that flag.
const char* FlagValue(const char* arg, const char* name) {
  const size_t n = std::strlen(name);
  if (std::strncmp(arg, "--", 2) != 0 || std::strncmp(arg + 2, name, n) != 0) return nullptr;
  return arg[2 + n] == '=' ? arg + 3 + n : nullptr;
}

const char* UnitName(TimeUnit unit) {
  switch (unit) {
    case kMillisecond:
      return "ms";
    case kMicrosecond:
      return "us";
    default:
      return "ns";
  }
}

double UnitsPerSecond(TimeUnit unit) {
  switch (unit) {
    case kMillisecond:
      return 1e3;
    case kMicrosecond:
      return 1e6;
    default:
      return 1e9;
  }
}

}  // namespace

void State::Start() { started_ = NowNanoseconds(); }

void State::Stop() { seconds_ = static_cast<double>(NowNanoseconds() - started_) * 1e-9; }

double ConsoleReporter::Run::GetAdjustedCPUTime() const {
  return iterations == 0
             ? 0
             : cpu_seconds / static_cast<double>(iterations) * UnitsPerSecond(time_unit);
}

void ConsoleReporter::ReportRuns(const std::vector<Run>& runs) {
  for (const Run& run : runs) {
    std::printf("%-64s %12.1f %s %12" PRId64, run.benchmark_name().c_str(),
                run.GetAdjustedCPUTime(), UnitName(run.time_unit), run.iterations);
    for (const auto& [name, rate] : run.rates)
      std::printf(" %s=%.4g/s", name.c_str(), rate);
    for (const auto& [name, value] : run.values)
      std::printf(" %s=%.4g", name.c_str(), value);
    std::printf("\n");
  }
  std::fflush(stdout);
}

namespace internal {

Benchmark* Register(std::string name, std::function<void(State&)> run) {
  Registry().push_back(std::make_unique<Benchmark>(std::move(name), std::move(run)));
  return Registry().back().get();
}

}  // namespace internal

void Initialize(int* argc, char** argv) {
  Flags& flags = TheFlags();
  int kept = 1;
  for (int i = 1; i < *argc; ++i) {
    if (const char* v = FlagValue(argv[i], "benchmark_filter")) {
      flags.filter = v;
    } else if (const char* v = FlagValue(argv[i], "benchmark_min_time")) {
      flags.minTime = std::atof(v);
    } else if (const char* v = FlagValue(argv[i], "benchmark_repetitions")) {
      flags.repetitions = std::max(1, std::atoi(v));
    } else {
      argv[kept++] = argv[i];
    }
  }
  *argc = kept;
}

bool ReportUnrecognizedArguments(int argc, char** argv) {
  for (int i = 1; i < argc; ++i)
    std::fprintf(stderr, "%s: unrecognized argument '%s'\n", argv[0], argv[i]);
  return argc > 1;
}

class Runner {
 public:
  // Every instance of the benchmark (one per argument, or one) whose name the filter matches.
  static size_t RunAll(const Benchmark& b, const std::regex& filter, ConsoleReporter& reporter) {
    std::vector<std::pair<std::string, std::vector<int64_t>>> instances;
    if (b.args_.empty()) instances.emplace_back(b.name_, std::vector<int64_t>{});
    for (const int64_t arg : b.args_) {
      const std::string label = b.argName_.empty() ? "" : b.argName_ + ":";
      instances.emplace_back(b.name_ + "/" + label + std::to_string(arg),
                             std::vector<int64_t>{arg});
    }
    size_t count = 0;
    for (const auto& [name, args] : instances) {
      if (!std::regex_search(name, filter)) continue;
      reporter.ReportRuns(Repeat(b, name, args));
      ++count;
    }
    return count;
  }

 private:
  static ConsoleReporter::Run Once(const Benchmark& b, const std::string& name,
                                   const std::vector<int64_t>& args, IterationCount iterations) {
    State state(iterations, args);
    b.run_(state);
    ConsoleReporter::Run run;
    run.name = name;
    run.iterations = iterations;
    run.cpu_seconds = state.seconds();
    run.time_unit = b.unit_;
    const double seconds = std::max(state.seconds(), 1e-9);
    if (state.bytes_processed() > 0)
      run.rates["bytes_per_second"] = static_cast<double>(state.bytes_processed()) / seconds;
    if (state.items_processed() > 0)
      run.rates["items_per_second"] = static_cast<double>(state.items_processed()) / seconds;
    for (const auto& [counter, c] : state.counters) {
      if (c.flags == Counter::kIsRate) {
        run.rates[counter] = c.value / seconds;
      } else {
        run.values[counter] = c.value;
      }
    }
    return run;
  }

  // Iterations grow until one run takes the minimum time; that run is reported, and with
  // repetitions the further runs of as many iterations and their median.
  static std::vector<ConsoleReporter::Run> Repeat(const Benchmark& b, const std::string& name,
                                                  const std::vector<int64_t>& args) {
    const double minTime = TheFlags().minTime;
    IterationCount n = 1;
    ConsoleReporter::Run run = Once(b, name, args, n);
    while (run.cpu_seconds < minTime && n < 1000000000) {
      const double grow = run.cpu_seconds < minTime / 10 ? 10.0 : minTime * 1.4 / run.cpu_seconds;
      n = std::min<IterationCount>(
          1000000000,
          static_cast<IterationCount>(std::ceil(static_cast<double>(n) * std::max(grow, 1.1))));
      run = Once(b, name, args, n);
    }
    std::vector<ConsoleReporter::Run> runs{run};
    for (int r = 1; r < TheFlags().repetitions; ++r)
      runs.push_back(Once(b, name, args, n));
    if (runs.size() > 1) {
      std::vector<ConsoleReporter::Run> sorted = runs;
      std::sort(sorted.begin(), sorted.end(),
                [](const auto& x, const auto& y) { return x.cpu_seconds < y.cpu_seconds; });
      ConsoleReporter::Run median = sorted[sorted.size() / 2];
      median.run_type = ConsoleReporter::Run::RT_Aggregate;
      median.aggregate_name = "median";
      runs.push_back(median);
    }
    return runs;
  }
};

size_t RunSpecifiedBenchmarks(ConsoleReporter* reporter) {
  const std::regex filter(TheFlags().filter);
  std::printf("%-64s %15s %12s\n", "Benchmark (this build's own harness)", "CPU", "Iterations");
  size_t count = 0;
  for (const auto& b : Registry())
    count += Runner::RunAll(*b, filter, *reporter);
  reporter->Finalize();
  return count;
}

}  // namespace benchmark
