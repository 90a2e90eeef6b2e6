// How fast an input file is read back into its model document, and how much memory that takes, for a
// file of 350 CPTs of 1000 rows (about 7 MB), the size of a large project.
#include <benchmark/benchmark.h>

#include <string>

#include "bench_documents.hpp"
#include "foi/input_document.hpp"
#include "foi/input_file_writer.hpp"
#include "heap_counter.hpp"
#include "ostrand/external/dfoundations/input_file_reader.hpp"

namespace {

// Rows of level and cone resistance, as a CPT entered by hand or by D-Foundations' own import keeps.
std::string input_file(int profiles, int rows)
{
    return ostrand::foi::fill_dfoundations_template(bench_documents::bearing_document(profiles, rows, 2));
}

template <typename Read>
void measure(benchmark::State& state, Read read)
{
    const std::string file = input_file(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    std::size_t most = 0;
    for (auto _ : state) {
        const std::size_t before = held;
        peak = before;
        auto result = read(file);
        benchmark::DoNotOptimize(&result);
        most = std::max(most, peak - before);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.size()));
    state.counters["file_MB"] = static_cast<double>(file.size()) / 1e6;
    state.counters["peak_per_file_byte"] = static_cast<double>(most) / static_cast<double>(file.size());
}

// The layout of the file alone.
void ReadFoi(benchmark::State& state)
{
    measure(state, [](const std::string& file) { return ostrand::foi::read_foi(file); });
}

// The document alone, as the file states it.
void ReadInputDocument(benchmark::State& state)
{
    measure(state, [](const std::string& file) { return ostrand::foi::read_input_document(file); });
}

// The whole reading: the document, the model built from it and the extras.
void ReadInputFile(benchmark::State& state)
{
    measure(state, [](const std::string& file) { return ostrand::external::dfoundations::read_input_file(file); });
}

BENCHMARK(ReadFoi)->Args({350, 1000})->Unit(benchmark::kMillisecond);
BENCHMARK(ReadInputDocument)->Args({1, 100})->Args({350, 1000})->Unit(benchmark::kMillisecond);
BENCHMARK(ReadInputFile)->Args({1, 100})->Args({350, 1000})->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
