#include "calc/NumberText.h"
#include "calc/Rounding.h"

#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace {

// A paste may bring millions of characters. Reading and rounding them must
// take time in proportion to the length: the O(N) fit below says so, where a
// second pass per digit would show as N².
using Shape = std::string (*)(std::size_t length);

std::string run(char c, std::size_t length) {
    return std::string(length, c);
}

std::string manyFractionDigits(std::size_t n) {
    return "0," + run('7', n);
}
std::string zerosUndoneByTheExponent(std::size_t n) {
    return "0," + run('0', n) + "1005E" + std::to_string(n + 3);
}
std::string longExponent(std::size_t n) {
    return "1E-" + run('7', n);
}
std::string blanksAround(std::size_t n) {
    return run(' ', n) + "5" + run(' ', n);
}
std::string twoCommas(std::size_t n) {
    return run('0', n) + "," + run('0', n) + ",";
}
std::string ninesCarried(std::size_t n) {
    return "0," + run('9', n);
}
std::string halfWithATailOfZeros(std::size_t n) {
    return "-1,25" + run('0', n) + "1";
}

// Read, or read and rounded at `places`.
void measure(benchmark::State& state, Shape shape, std::optional<double> places) {
    const std::string text = shape(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        if (places)
            benchmark::DoNotOptimize(sheetmass::roundShown(text, *places));
        else
            benchmark::DoNotOptimize(sheetmass::parseNumber(text));
    }
    state.SetComplexityN(state.range(0));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}

const struct {
    const char* name;
    Shape shape;
    std::optional<double> places; // none: only read
} kTexts[] = {
    {"parse/ManyFractionDigits", manyFractionDigits, std::nullopt},
    {"parse/ZerosUndoneByTheExponent", zerosUndoneByTheExponent, std::nullopt},
    {"parse/LongExponent", longExponent, std::nullopt},
    {"parse/BlanksAround", blanksAround, std::nullopt},
    {"parse/TwoCommas", twoCommas, std::nullopt},
    {"round/NinesCarried", ninesCarried, 2},
    {"round/HalfWithATailOfZeros", halfWithATailOfZeros, 1},
    {"round/ZerosUndoneByTheExponent", zerosUndoneByTheExponent, 0},
};

[[maybe_unused]] const bool kRegistered = [] {
    for (const auto& [name, shape, places] : kTexts)
        benchmark::RegisterBenchmark(name, measure, shape, places)
            ->RangeMultiplier(2)
            ->Range(1 << 20, 8 << 20)
            ->Unit(benchmark::kMillisecond)
            ->Complexity(benchmark::oN);
    return true;
}();

} // namespace
