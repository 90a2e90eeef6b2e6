// How fast the open calculation core computes an indication of the bearing capacity: Tutorial-1 (2 CPTs
// of about 1,450 rows, 2 pile types, 31 pile-tip levels) and bm1-10 (28 pile types), from the input
// file's bytes and from the inputs already read. The cost grows with CPT rows x levels x pile types.
// Reads the development pairs from ../shared/fixtures/core; skips what is absent.
#include <benchmark/benchmark.h>

#include <fstream>
#include <sstream>
#include <string>

#include "external/dfoundations/calculation/core_input.hpp"
#include "external/dfoundations/calculation/indication.hpp"
#include "foi/foi_reader.hpp"
#include "ostrand/external/dfoundations/calculation.hpp"

namespace {

namespace dfo = ostrand::external::dfoundations;

std::string pair_input(const std::string& name)
{
    std::ifstream in(std::string(DFOUNDATIONS_FIXTURES_DIR) + "/core/v25/" + name + ".foi", std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// From the bytes of the input file: reading it, computing every cell.
void CalculateInputFile(benchmark::State& state, const std::string& name)
{
    const std::string input = pair_input(name);
    if (input.empty()) {
        state.SkipWithError("the development pair is not there");
        return;
    }
    for (auto _ : state) {
        auto results = dfo::calculate(input);
        benchmark::DoNotOptimize(&results);
    }
}

// The calculation alone, its inputs read once.
void CalculatePreparedInput(benchmark::State& state, const std::string& name)
{
    const std::string input = pair_input(name);
    if (input.empty()) {
        state.SkipWithError("the development pair is not there");
        return;
    }
    const auto core_input = dfo::calculation::read_core_input(ostrand::foi::read_foi(input));
    for (auto _ : state) {
        auto results = dfo::calculation::compute_indication(core_input, dfo::PileFactorRules::RULES_2025);
        benchmark::DoNotOptimize(&results);
    }
}

// The output file of the results.
void WriteOutputFile(benchmark::State& state)
{
    const std::string input = pair_input("Tutorial-1");
    if (input.empty()) {
        state.SkipWithError("the development pair is not there");
        return;
    }
    const dfo::CalculationResults results = dfo::calculate(input);
    for (auto _ : state) {
        auto text = dfo::write_output_file(results, input);
        benchmark::DoNotOptimize(&text);
    }
}

}  // namespace

BENCHMARK_CAPTURE(CalculateInputFile, Tutorial1, std::string("Tutorial-1"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(CalculatePreparedInput, Tutorial1, std::string("Tutorial-1"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(CalculateInputFile, Bm1_10, std::string("bm1-10"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(CalculatePreparedInput, Bm1_10, std::string("bm1-10"))->Unit(benchmark::kMillisecond);
BENCHMARK(WriteOutputFile)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
