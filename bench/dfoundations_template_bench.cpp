// How fast the template service fills an input file, from a small model to the largest one a model
// allows (350 profiles of 5000 five-value GEF rows).
#include <benchmark/benchmark.h>

#include <string>

#include <nlohmann/json.hpp>

#include "bench_documents.hpp"
#include "foi/input_file_writer.hpp"

namespace {

using bench_documents::bearing_document;
using nlohmann::ordered_json;

void FillTemplate(benchmark::State& state)
{
    const ordered_json document = bearing_document(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::string text = ostrand::foi::fill_dfoundations_template(document);
        bytes = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
    state.counters["file_bytes"] = static_cast<double>(bytes);
}

BENCHMARK(FillTemplate)->Args({1, 100})->Args({20, 1000})->Args({350, 5000})->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
