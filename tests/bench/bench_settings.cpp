// The settings reader on a typical file and on a 1 MiB one.
#include "IniRules.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

const std::string Typical =
    "; NuperoForTTB settings\r\n[OPTION]\r\nMouseClickType=1\r\nStartMode=0\r\n";

std::string Large() {
    std::string file = "[OPTION]\r\n";
    while (file.size() < (1u << 20)) file += "Padding=" + std::string(120, 'p') + "\r\n";
    return file + "MouseClickType=1\r\nStartMode=0\r\n";
}

// What MainInit reads: both keys.
void ReadBothKeys(benchmark::State& state, const std::string& file) {
    const ini::TextView view = {file.data(), file.size()};
    for (auto _ : state) {
        benchmark::DoNotOptimize(ini::ReadInteger(view, "OPTION", "MouseClickType", 0));
        benchmark::DoNotOptimize(ini::ReadBool(view, "OPTION", "StartMode", true));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * file.size()));
}

void TypicalFile(benchmark::State& state) { ReadBothKeys(state, Typical); }
void OneMiBFile(benchmark::State& state) {
    static const std::string large = Large();
    ReadBothKeys(state, large);
}

void IntegerRule(benchmark::State& state) {
    const std::string text = "-0x7FFFFFFF";
    for (auto _ : state) {
        std::int32_t value;
        benchmark::DoNotOptimize(ini::ParseInteger({text.data(), text.size()}, value));
        benchmark::DoNotOptimize(value);
    }
}

BENCHMARK(TypicalFile);
BENCHMARK(OneMiBFile)->Unit(benchmark::kMicrosecond);
BENCHMARK(IntegerRule);

}  // namespace

BENCHMARK_MAIN();
