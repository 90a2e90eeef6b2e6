// Writing the model document of a model at the limits: 350 profiles of 5000 five-value rows and
// 100 layers each, and 200 piles (about 81 MB of text). Reports the document size and the memory
// that writing adds on top of the model (peak of live heap bytes, counted by operator new).
#include <malloc.h>

#include <cmath>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include <benchmark/benchmark.h>

#include <nlohmann/json.hpp>

#include "ostrand/external/dfoundations/models.hpp"

namespace {

std::atomic<std::size_t> live_bytes{0};
std::atomic<std::size_t> peak_bytes{0};

void count_allocation(void* pointer)
{
    const std::size_t now = live_bytes += malloc_usable_size(pointer);
    std::size_t peak = peak_bytes.load();
    while (now > peak && !peak_bytes.compare_exchange_weak(peak, now)) {}
}

}  // namespace

void* operator new(std::size_t size)
{
    void* pointer = std::malloc(size == 0 ? 1 : size);
    if (pointer == nullptr) throw std::bad_alloc();
    count_allocation(pointer);
    return pointer;
}

// Never inlined: GCC would otherwise see std::free applied to what `new` returned and warn of a
// mismatch that this pair of replacements makes sound.
[[gnu::noinline]] void operator delete(void* pointer) noexcept
{
    if (pointer == nullptr) return;
    live_bytes -= malloc_usable_size(pointer);
    std::free(pointer);
}

void operator delete(void* pointer, std::size_t) noexcept { operator delete(pointer); }

namespace {

using namespace ostrand::external::dfoundations;

std::string numbered(const char* prefix, int number)
{
    std::string name(prefix);
    name += std::to_string(number);
    return name;
}

BearingPilesModel large_model()
{
    BearingPilesModel model(
        ConstructionSequence::CPT_EXCAVATION_INSTALL,
        BearingPilesCalculationOptions(CalculationType::INDICATION_BEARING_CAPACITY, false,
                                       {.trajectory_begin_end_interval = Trajectory{-10.0, -20.0, 0.5}}),
        -1.0);
    std::vector<ProfileLayer> layers;
    for (int i = 0; i < 100; ++i) layers.emplace_back(-0.25 * i, i % 2 ? "Sand, clean, loose" : "Clay, clean, stiff");

    Measurements rows(5000);
    for (int i = 0; i < 5000; ++i) {
        const double level = 0.5 - 0.02 * i;
        rows[i] = {std::round(level * 100) / 100, (2000 + (i % 997) * 13) / 1000.0, (100 + (i % 31) * 13) / 10000.0,
                   987000000.0, (50 + (i % 130)) / 100.0};
    }
    for (int p = 0; p < 350; ++p) {
        model.create_profile(numbered("CPT ", p), layers, 10.0 * p, 20.0, rows, -1.0, -20.0, 1.0, -0.5, -10.0, 0.1);
    }
    model.create_pile_type("PT", RoundPile(0.4), PileType::CONTINUOUS_FLIGHT_AUGER, PileSlipLayer::NONE);
    for (int i = 0; i < 200; ++i) model.create_pile(numbered("P", i), 1.5 * i, 2.0, 0.0, 0.0, 500.0, 400.0);
    return model;
}

void BM_ModelDocumentText(benchmark::State& state)
{
    const BearingPilesModel model = large_model();
    const Metadata metadata;
    std::size_t size = 0;
    std::size_t added = 0;
    for (auto _ : state) {
        const std::size_t before = live_bytes.load();
        peak_bytes = before;
        std::string text = model._generate_input_text(metadata);
        added = std::max(added, peak_bytes.load() - before);
        size = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.counters["document_MB"] = static_cast<double>(size) / 1e6;
    state.counters["added_MB"] = static_cast<double>(added) / 1e6;
    state.counters["added_per_document"] = static_cast<double>(added) / static_cast<double>(size);
    state.SetBytesProcessed(static_cast<std::int64_t>(size) * state.iterations());
}
BENCHMARK(BM_ModelDocumentText)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
