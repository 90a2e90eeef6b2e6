// The cost of moving a large input file through a job: the Base64 body the analysis writes, the
// worker's decoding, and the store's round trip of a temporary file.
#include <sstream>

#include <benchmark/benchmark.h>

#include "host/base64.hpp"
#include "host/file_url.hpp"
#include "host/temporary_store.hpp"
#include "ostrand/core.hpp"
#include "ostrand/external/dfoundations/analysis.hpp"

namespace {

using ostrand::external::dfoundations::DFoundationsAnalysis;

std::string input_of_size(std::size_t size)
{
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>("[PILE] 0.40 -12.50\r\n"[i % 20]);
    return bytes;
}

class BodyWriter : public DFoundationsAnalysis {
public:
    using DFoundationsAnalysis::_write_job_content;
    using DFoundationsAnalysis::DFoundationsAnalysis;
};

void JobBody(benchmark::State& state)
{
    BodyWriter analysis(ostrand::core::File::from_data(input_of_size(static_cast<std::size_t>(state.range(0)))));
    for (auto _ : state) {
        std::ostringstream w;
        analysis._write_job_content(w);
        benchmark::DoNotOptimize(w.str().size());
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(JobBody)->Arg(1 << 20)->Arg(16 << 20)->Unit(benchmark::kMillisecond);

void DecodeBody(benchmark::State& state)
{
    const std::string body = ostrand::host::base64_encode(input_of_size(static_cast<std::size_t>(state.range(0))));
    for (auto _ : state) benchmark::DoNotOptimize(ostrand::host::base64_decode(body));
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(DecodeBody)->Arg(1 << 20)->Arg(16 << 20)->Unit(benchmark::kMillisecond);

void StoreRoundTrip(benchmark::State& state)
{
    const std::string bytes = input_of_size(static_cast<std::size_t>(state.range(0)));
    const auto folder = std::filesystem::temp_directory_path() / "dfoundations-bench-store";
    ostrand::host::TemporaryStore store(folder);
    for (auto _ : state) {
        const std::string url = store.put(bytes);
        benchmark::DoNotOptimize(ostrand::core::File::from_url(url).getvalue_binary().size());
        state.PauseTiming();
        std::filesystem::remove(ostrand::host::path_of_file_url(url));
        state.ResumeTiming();
    }
    std::filesystem::remove_all(folder);
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(StoreRoundTrip)->Arg(1 << 20)->Arg(16 << 20)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
