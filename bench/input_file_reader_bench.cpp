// How fast an input file is read back into its model document, and written again from that reading,
// and how much memory that takes: a file of 350 CPTs of 1000 rows (about 7 MB, a large project) and
// one of 60 CPTs of 5000 rows (about 8 MB, the most rows a CPT holds).
//
// `input_file_reader_bench --write-file=PATH PROFILES ROWS` writes such a file and exits;
// `input_file_reader_bench --read-file=PATH [--write]` reads it once (and writes it again), for
// measuring the peak memory of one reading with /usr/bin/time -v.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <variant>

#include "bench_documents.hpp"
#include "bench_files.hpp"
#include "foi/input_document.hpp"
#include "foi/input_file_writer.hpp"
#include "heap_counter.hpp"
#include "host/embedded_platform.hpp"
#include "ostrand/external/dfoundations/input_file_reader.hpp"
#include "ostrand/platform.hpp"

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

std::string bytes_of(const ostrand::external::dfoundations::InputFile& file)
{
    return std::get<ostrand::core::BytesIO>(file).getvalue();
}

// The file written again from its reading, through the template service of an embedded platform.
void GenerateInputFile(benchmark::State& state)
{
    const std::string file = input_file(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    const auto reading = ostrand::external::dfoundations::read_input_file(file);
    std::size_t most = 0;
    for (auto _ : state) {
        const std::size_t before = held;
        peak = before;
        const std::string written = bytes_of(reading.generate_input_file());
        if (written != file) state.SkipWithError("the file written again differs from the file read");
        most = std::max(most, peak - before);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.size()));
    state.counters["file_MB"] = static_cast<double>(file.size()) / 1e6;
    state.counters["peak_per_file_byte"] = static_cast<double>(most) / static_cast<double>(file.size());
}

BENCHMARK(ReadFoi)->Args({350, 1000})->Args({60, 5000})->Unit(benchmark::kMillisecond);
BENCHMARK(ReadInputDocument)->Args({1, 100})->Args({350, 1000})->Args({60, 5000})->Unit(benchmark::kMillisecond);
BENCHMARK(ReadInputFile)->Args({1, 100})->Args({350, 1000})->Args({60, 5000})->Unit(benchmark::kMillisecond);
BENCHMARK(GenerateInputFile)->Args({1, 100})->Args({60, 5000})->Unit(benchmark::kMillisecond);

std::string read_whole(const char* path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string write_file = "--write-file=";
    const std::string read_file = "--read-file=";
    const std::string first = argc >= 2 ? argv[1] : "";
    if (first.rfind(write_file, 0) == 0 && argc >= 4)
        return bench_files::write_file(argv[1] + write_file.size(), input_file(std::stoi(argv[2]), std::stoi(argv[3])));
    // The store of the embedded platform is its default one (or $DFOUNDATIONS_STORE).
    ostrand::set_platform(std::make_shared<ostrand::host::EmbeddedPlatform>());
    if (first.rfind(read_file, 0) == 0) {
        const std::string file = read_whole(argv[1] + read_file.size());
        const std::size_t before = held;
        peak = before;
        const auto reading = ostrand::external::dfoundations::read_input_file(file);
        if (argc >= 3 && std::string(argv[2]) == "--write" && bytes_of(reading.generate_input_file()) != file) {
            std::fputs("the file written again differs from the file read\n", stderr);
            return 1;
        }
        // The heap beyond the file's own bytes, at its most.
        const std::size_t most = peak - before;
        std::printf("read %zu bytes, peak heap %zu bytes (%.2f per byte of file)\n", file.size(), most,
                    static_cast<double>(most) / static_cast<double>(file.size()));
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
