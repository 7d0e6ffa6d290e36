// Form reading and name lookup against their floors, measured side by side:
//  - reading (the walk the window loader runs) and dumping a 1,024-control
//    form vs. a plain scan of the same text for CR;
//  - FindControl for the last of 1,024 names of 63 units with a long common
//    prefix vs. a linear scan that compares every name (the simple search).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "bench/large_form.h"
#include "form/control_table.h"
#include "form/form_reader.h"
#include "form/form_walker.h"
#include "tools/qsform/form_report.h"

namespace {

const std::u16string& Form() {
  static const std::u16string form = qs::bench::LargeForm(1024);
  return form;
}

void WalkForm(benchmark::State& state) {
  auto table = std::make_unique<qs::ControlTable>();
  qs::bench::NullBuilder builder;
  for (auto _ : state) {
    table->ClearControls();
    benchmark::DoNotOptimize(qs::WalkForm(Form(), builder, *table));
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Form().size() * 2));
}
BENCHMARK(WalkForm);

void DumpForm(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(qs::qsform::DumpForm(Form()));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Form().size() * 2));
}
BENCHMARK(DumpForm);

void ScanForCr(benchmark::State& state) {
  for (auto _ : state) {
    size_t lines = 0;
    for (char16_t c : Form()) lines += c == u'\r';
    benchmark::DoNotOptimize(lines);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Form().size() * 2));
}
BENCHMARK(ScanForCr);

struct Names {
  std::unique_ptr<qs::ControlTable> table = std::make_unique<qs::ControlTable>();
  Names() {
    static int objects[1024];
    for (int i = 0; i < 1024; ++i) table->RegisterControl(qs::bench::LongName(i).c_str(), &objects[i], qs::ControlKind::Label);
  }
};

const Names& TheNames() {
  static const Names names;
  return names;
}

void FindControlLast(benchmark::State& state) {
  const std::u16string last = qs::bench::LongName(1023);
  for (auto _ : state) benchmark::DoNotOptimize(TheNames().table->FindControl(last.c_str()));
}
BENCHMARK(FindControlLast);

// The simple search: compare the name with every record in turn.
void LinearSearchLast(benchmark::State& state) {
  const std::u16string last = qs::bench::LongName(1023);
  const qs::ControlTable& table = *TheNames().table;
  for (auto _ : state) {
    int found = -1;
    for (uint32_t i = 0; i < table.count() && found < 0; ++i) {
      const char16_t* a = table.record(i).name;
      const char16_t* b = last.c_str();
      while (*a && *a == *b) ++a, ++b;
      if (*a == *b) found = static_cast<int>(i);
    }
    benchmark::DoNotOptimize(found);
  }
}
BENCHMARK(LinearSearchLast);

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) times_[run.benchmark_name()] = run.GetAdjustedRealTime();
    ConsoleReporter::ReportRuns(runs);
  }
  void PrintRatios() const {
    auto ratio = [&](const char* a, const char* b) {
      const auto x = times_.find(a), y = times_.find(b);
      if (x != times_.end() && y != times_.end() && y->second > 0)
        std::printf("ratio %-17s / %-17s = %8.3f\n", a, b, x->second / y->second);
    };
    std::printf("\nform: %zu code units, %.2f MB\n", Form().size(), Form().size() * 2 / 1e6);
    ratio("WalkForm", "ScanForCr");
    ratio("DumpForm", "ScanForCr");
    ratio("FindControlLast", "LinearSearchLast");
  }

 private:
  std::map<std::string, double> times_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  benchmark::Shutdown();
  return 0;
}
