// The part of Google Benchmark's interface that the benchmarks use, for builds that have no
// Google Benchmark library (Debian ships it for x86-64 only): 32-bit x86 and Windows. The same
// benchmark sources then time the same subjects there. Each benchmark runs until it has taken
// --benchmark_min_time seconds (0.5 by default) of processor time, as Google Benchmark does.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace benchmark {

using IterationCount = int64_t;

enum TimeUnit { kNanosecond, kMicrosecond, kMillisecond };

struct Counter {
  enum Flags { kDefaults = 0, kIsRate = 1 };
  Counter(double v = 0, Flags f = kDefaults) : value(v), flags(f) {}  // NOLINT: as the original
  double value;
  Flags flags;
};

class State {
 public:
  // What `for (auto _ : state)` names: a type with a destructor of its own, so that the unused
  // name draws no warning.
  struct Value {
    ~Value() {}  // NOLINT(modernize-use-equals-default): a trivial one would draw the warning
  };
  struct Iterator {
    State* state;
    IterationCount left;
    bool operator!=(const Iterator& /*end*/) {
      if (left != 0) return true;
      state->Stop();
      return false;
    }
    void operator++() { --left; }
    Value operator*() const { return {}; }
  };

  State(IterationCount iterations, std::vector<int64_t> args)
      : iterations_(iterations), args_(std::move(args)) {}

  Iterator begin() {
    Start();
    return {this, iterations_};
  }
  Iterator end() { return {this, 0}; }

  int64_t range(size_t i = 0) const { return args_.at(i); }
  IterationCount iterations() const { return iterations_; }
  void SetBytesProcessed(int64_t bytes) { bytes_ = bytes; }
  void SetItemsProcessed(int64_t items) { items_ = items; }
  int64_t bytes_processed() const { return bytes_; }
  int64_t items_processed() const { return items_; }
  double seconds() const { return seconds_; }

  std::map<std::string, Counter> counters;

 private:
  void Start();
  void Stop();

  IterationCount iterations_;
  std::vector<int64_t> args_;
  int64_t bytes_ = 0;
  int64_t items_ = 0;
  int64_t started_ = 0;
  double seconds_ = 0;
};

class Benchmark {
 public:
  Benchmark(std::string name, std::function<void(State&)> run)
      : name_(std::move(name)), run_(std::move(run)) {}
  Benchmark* Arg(int64_t value) {
    args_.push_back(value);
    return this;
  }
  Benchmark* ArgName(const std::string& name) {
    argName_ = name;
    return this;
  }
  Benchmark* Unit(TimeUnit unit) {
    unit_ = unit;
    return this;
  }

 private:
  friend class Runner;
  std::string name_;
  std::function<void(State&)> run_;
  std::vector<int64_t> args_;
  std::string argName_;
  TimeUnit unit_ = kNanosecond;
};

namespace internal {
// Keeps the benchmark for the run and returns it for its Arg, ArgName and Unit.
Benchmark* Register(std::string name, std::function<void(State&)> run);
}  // namespace internal

// A benchmark made at run time (a name built from data, a capturing lambda).
inline Benchmark* RegisterBenchmark(const std::string& name, std::function<void(State&)> run) {
  return internal::Register(name, std::move(run));
}

class ConsoleReporter {
 public:
  struct Run {
    enum RunType { RT_Iteration, RT_Aggregate };
    std::string name;
    RunType run_type = RT_Iteration;
    std::string aggregate_name;
    IterationCount iterations = 0;
    double cpu_seconds = 0;  // for all iterations
    TimeUnit time_unit = kNanosecond;
    std::map<std::string, double> rates;  // per second
    std::map<std::string, double> values;

    std::string benchmark_name() const {
      return aggregate_name.empty() ? name : name + "_" + aggregate_name;
    }
    // Processor time per iteration, in the benchmark's time unit.
    double GetAdjustedCPUTime() const;
  };

  virtual ~ConsoleReporter() = default;
  virtual void ReportRuns(const std::vector<Run>& runs);
  virtual void Finalize() {}
};

void Initialize(int* argc, char** argv);
bool ReportUnrecognizedArguments(int argc, char** argv);
size_t RunSpecifiedBenchmarks(ConsoleReporter* reporter);
inline void Shutdown() {}

template <class T>
inline void DoNotOptimize(const T& value) {
  asm volatile("" : : "r"(&value) : "memory");
}

inline void ClobberMemory() { asm volatile("" : : : "memory"); }

}  // namespace benchmark

#define BENCHMARK_PRIVATE_CONCAT_(a, b) a##b
#define BENCHMARK_PRIVATE_CONCAT(a, b) BENCHMARK_PRIVATE_CONCAT_(a, b)
#define BENCHMARK_PRIVATE_NAME(n) BENCHMARK_PRIVATE_CONCAT(benchmark_registered_, n)

// Declarations, which parentheses cannot enclose.
// NOLINTBEGIN(bugprone-macro-parentheses)
#define BENCHMARK(fn)                                                                \
  [[maybe_unused]] static ::benchmark::Benchmark* BENCHMARK_PRIVATE_NAME(__LINE__) = \
      ::benchmark::internal::Register(#fn, fn)

#define BENCHMARK_CAPTURE(fn, label, ...)                                            \
  [[maybe_unused]] static ::benchmark::Benchmark* BENCHMARK_PRIVATE_NAME(__LINE__) = \
      ::benchmark::internal::Register(#fn "/" #label,                                \
                                      [](::benchmark::State& st) { fn(st, __VA_ARGS__); })
// NOLINTEND(bugprone-macro-parentheses)
