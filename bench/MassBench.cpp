#include "alloys/AlloyDensity.h"
#include "calc/Mass.h"

#include <benchmark/benchmark.h>

namespace {

// One recalculation as the main window runs it after each change.
void recalculate(benchmark::State& state, const char* alloy) {
    const sheetmass::Inputs in{
        alloy, sheetmass::kModeLower, "2", "0,2", "-0,2", "2000", "1000", "15", "2"};
    for (auto _ : state)
        benchmark::DoNotOptimize(sheetmass::massText(in, Модуль1::AlloyDensity));
}

// The last grade of the list costs the longest scan.
BENCHMARK_CAPTURE(recalculate, LastGrade, "ММ (1403)");
BENCHMARK_CAPTURE(recalculate, TypedDensity, "2,7");

} // namespace
