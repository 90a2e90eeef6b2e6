// Reading whole output files: throughput on a tall file shaped like a D-Foundations 25.1 bearing
// verification (few tables, many rows) and on a preliminary design with thousands of piles (many
// small tables), with the peak memory of one read.
//
// Memory is counted by replacing the global operator new and delete: the peak of the bytes held
// during one read, the file's own bytes included, divided by the file's size ("peak_per_byte").
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

#include <malloc.h>

#include <benchmark/benchmark.h>

#include "bench_files.hpp"
#include "heap_counter.hpp"

#include "ostrand/external/dfoundations/output_file.hpp"

namespace {

using namespace ostrand::external::dfoundations;

std::string head(const std::string& version, int main_type)
{
    return "D-Foundations DUMP "
           "FILE\r\n==============================================================================\r\n"
           "CREATED BY : D-Foundations version " +
           version +
           "\r\n[DUMPFILE]\r\n[INPUT DATA]\r\n[VERSION EXTERNALS]\r\n"
           "DGSFoundationCalc.dll=" +
           version +
           "\r\n[END OF VERSION EXTERNALS]\r\n\r\n[MODEL]\r\n"
           "0 : Model = Bearing Piles (EC7-NL)\r\n" +
           (version.rfind("19.", 0) == 0 ? "" : "0 : CuValues = Based on CPTs\r\n") +
           "[END OF MODEL]\r\n[CALCULATIONTYPE]\r\n " + std::to_string(main_type) +
           " : Main calculationtype\r\n 1 : Sub calculationtype\r\n[END OF CALCULATIONTYPE]\r\n"
           "[END OF INPUT DATA]\r\n[DUMPFILE OUTPUT]\r\n";
}

const char* const PARAMETERS =
    "[CALCULATION PARAMETERS BEARING PILES EC 7]\r\nKsi3Used = 1.3900\r\nKsi4Used = 1.3900\r\n"
    "GammaBUsed = 1.2000\r\nGammaSUsed = 1.2000\r\nIsKsi3Used = 1\r\n[END OF CALCULATION PARAMETERS BEARING PILES EC "
    "7]\r\n";

// A result table as D-Foundations 25.1 writes them: indexes, levels and forces in wide columns
// and the CPT's name quoted at the end.
std::string table(const std::string& name, std::size_t rows, bool data_count = true)
{
    std::string text =
        "[" + name + "]\r\n[TABLE]\r\n" + (data_count ? "DataCount=" + std::to_string(rows) + "\r\n" : "") +
        "[COLUMN INDICATION]\r\nIterationIndex\r\nCptIndex\r\nLevel\r\nRbCalMax\r\nRsCalMax\r\n"
        "RcCalMax\r\nRcD\r\nFNsfRep\r\nFNsfD\r\nRcNetD\r\nHmv\r\nCptName\r\n[END OF COLUMN INDICATION]\r\n"
        "[DATA]\r\n";
    char line[160];
    for (std::size_t row = 0; row < rows; ++row) {
        const double level = -16.0 - 0.01 * static_cast<double>(row);
        const int shaft = 2000 + static_cast<int>(row % 997);
        std::snprintf(line, sizeof line, "%3zu %3zu %8.2f %8d %8d %8d %8d %8d %8d %8d %8.2f 'CPT %zu'\r\n", row + 1,
                      row % 3 + 1, level, 886, shaft, shaft + 886, shaft + 886, 0, 0, shaft + 886,
                      0.01 * static_cast<double>(row % 50), row % 3 + 1);
        text += line;
    }
    return text + "[END OF DATA]\r\n[END OF TABLE]\r\n[END OF " + name + "]\r\n";
}

std::string tail()
{
    return "[CALCULATION WARNINGS]\r\n0 = IsWarningF1Given (1=true, 0=false)\r\n[END OF CALCULATION WARNINGS]\r\n"
           "[END OF DUMPFILE OUTPUT]\r\n[END OF DUMPFILE]\r\n";
}

// A verification: four tall tables under the pile results.
std::string tall_file(std::size_t rows, const std::string& version = "25.1.0.2830")
{
    std::string text = head(version, 1) + "[VERIFICATION RESULTS]\r\n[GLOBAL NEN RESULTS]\r\n99.016473 = wd1B\r\n"
                                          "[END OF GLOBAL NEN RESULTS]\r\n[NEN PILE RESULTS]\r\n1  pile count\r\n";
    // Version 19 wrote no DataCount line.
    const bool data_count = version.rfind("19.", 0) != 0;
    for (int t = 1; t <= 4; ++t) text += table("RESULTS " + std::to_string(t), rows, data_count);
    return text + PARAMETERS + "[END OF NEN PILE RESULTS]\r\n[END OF VERIFICATION RESULTS]\r\n" + tail();
}

// A preliminary design: per pile its factors, two small tables and its calculation parameters.
std::string many_tables_file(std::size_t piles)
{
    std::string text = head("25.1.0.2830", 0) + "[PRELIMINARY DESIGN RESULTS]\r\n  " + std::to_string(piles) +
                       " = Number of piletypes\r\n";
    for (std::size_t p = 1; p <= piles; ++p) {
        text += "[PILE]\r\nPileName = Pile " + std::to_string(p) + "\r\nBetaFactor = 1.00\r\nSFactor = 0.84\r\n";
        text +=
            table("ITERATION RESULTS", 20) + table("NEN AVERAGE PILE FACTORS", 1) + PARAMETERS + "[END OF PILE]\r\n";
    }
    return text + "[END OF PRELIMINARY DESIGN RESULTS]\r\n" + tail();
}

void read(benchmark::State& state, const std::string& bytes)
{
    std::size_t tables = 0;
    double peak_per_byte = 0;
    for (auto _ : state) {
        const std::size_t before = held;
        peak = before;
        OutputFile file = read_output_file(bytes);
        tables = file.tables().size();
        benchmark::DoNotOptimize(file);
        // the file's bytes count once, as the caller holds them while the reader reads
        peak_per_byte = static_cast<double>(peak - before + bytes.size()) / static_cast<double>(bytes.size());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
    state.counters["file_MB"] = static_cast<double>(bytes.size()) / 1e6;
    state.counters["tables"] = static_cast<double>(tables);
    state.counters["peak_per_byte"] = peak_per_byte;
}

void BM_ReadTallFile(benchmark::State& state) { read(state, tall_file(static_cast<std::size_t>(state.range(0)))); }
void BM_ReadManyTables(benchmark::State& state)
{
    read(state, many_tables_file(static_cast<std::size_t>(state.range(0))));
}

}  // namespace

BENCHMARK(BM_ReadTallFile)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadManyTables)->Arg(1'000)->Arg(5'000)->Unit(benchmark::kMillisecond);

// `output_file_bench --write-file=PATH ROWS [VERSION]` writes the tall file with ROWS rows per table
// (version 25.1 unless given; 19.1 lets `dfoundations parse` read the same body) and exits, for
// measuring the program with /usr/bin/time. `--write-many=PATH PILES` writes the many-table file.
int main(int argc, char** argv)
{
    const std::string tall = "--write-file=";
    const std::string many = "--write-many=";
    if (argc >= 3 && (std::string(argv[1]).rfind(tall, 0) == 0 || std::string(argv[1]).rfind(many, 0) == 0)) {
        const bool is_tall = std::string(argv[1]).rfind(tall, 0) == 0;
        const std::size_t count = std::stoul(argv[2]);
        const std::string text =
            is_tall ? tall_file(count, argc >= 4 ? argv[3] : "25.1.0.2830") : many_tables_file(count);
        return bench_files::write_file(argv[1] + tall.size(), text);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
