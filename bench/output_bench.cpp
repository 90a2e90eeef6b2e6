// Reading output files: throughput on a tall version 19 verification file (few tables, many
// rows), on a file with many small tables, and on version 17 Tension Piles files with many pile
// groups (LF; CR LF, whose blank lines hold a CR and so never end a block; CR LF with a section
// that never closes), with the peak memory of one parse.
//
// Memory is counted by replacing the global operator new and delete: the peak of the bytes held
// during one parse, the file's own text included, divided by the file's size ("peak_per_byte").
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

#include <malloc.h>

#include <benchmark/benchmark.h>

#include "bench_files.hpp"
#include "heap_counter.hpp"

#include "ostrand/external/dfoundations/output.hpp"

namespace {

using namespace ostrand::external::dfoundations;

// Rows as D-Foundations writes its result tables: indexes, depths and forces in wide columns,
// and a text column at the end.
std::string table(const std::string& name, std::size_t rows, std::size_t first)
{
    std::string text = "[" + name +
                       "]\r\n[TABLE]\r\n[COLUMN INDICATION]\r\nResultIndex\r\nDepthIndex\r\nDepth\r\n"
                       "RtDMin\r\nRtDAverage\r\nRtD\r\nF1\r\nF1Average\r\nMaxClayPercentage\r\nKsiUsed\r\n"
                       "[END OF COLUMN INDICATION]\r\n[DATA]\r\n";
    char line[160];
    for (std::size_t row = 0; row < rows; ++row) {
        const double depth = -0.01 * static_cast<double>(row + first);
        const double force = 1000.0 + 0.37 * static_cast<double>(row % 997);
        std::snprintf(line, sizeof line, "%6zu %5zu %8.2f %12.3f %12.3f %12.3f %7.3f %7.3f %6.2f %s\r\n",
                      first / rows + 1, row + 1, depth, force, force + 1.5, force - 0.25,
                      1.0 - 0.001 * static_cast<double>(row % 13), 1.0, 0.01 * static_cast<double>(row % 50),
                      row % 2 ? "Ksi4" : "Ksi3");
        text += line;
    }
    return text + "[END OF DATA]\r\n[END OF TABLE]\r\n[END OF " + name + "]\r\n";
}

// A version 19 verification file shaped like D-Foundations writes them (CR LF line ends).
std::string verification_file(std::size_t tables, std::size_t rows_per_table)
{
    std::string text =
        "D-Foundations Console DUMP FILE\r\n[DUMPFILE]\r\n[INPUT DATA]\r\n[VERSION EXTERNALS]\r\n"
        "DGSFoundationCalc.dll=19.1.2.28503\r\n[END OF VERSION EXTERNALS]\r\n\r\n[MODEL]\r\n"
        "0 : Model = Bearing Piles (EC7-NL)\r\n[END OF MODEL]\r\n[CALCULATIONTYPE]\r\n 1 : Main calculationtype\r\n"
        " 1 : Sub calculationtype\r\n[END OF CALCULATIONTYPE]\r\n[END OF INPUT DATA]\r\n[DUMPFILE OUTPUT]\r\n"
        "[VERIFICATION RESULTS]\r\n[NEN PILE RESULTS]\r\n";
    for (std::size_t t = 0; t < tables; ++t) {
        text += "   12.000 = Sigma_max_schacht_1B\r\n";
        text += table("RESULTS " + std::to_string(t + 1), rows_per_table, t * rows_per_table);
    }
    text += "[CALCULATION PARAMETERS BEARING PILES EC 7]\r\nKsi3Used = 1.3900\r\nKsi4Used = 1.3900\r\n"
            "GammaBUsed = 1.2000\r\nGammaSUsed = 1.2000\r\nIsKsi3Used = 1\r\n"
            "[END OF CALCULATION PARAMETERS BEARING PILES EC 7]\r\n[END OF NEN PILE RESULTS]\r\n"
            "[END OF VERIFICATION RESULTS]\r\n[END OF DUMPFILE OUTPUT]\r\n[END OF DUMPFILE]\r\n";
    return text;
}

void parse(benchmark::State& state, std::size_t tables, std::size_t rows_per_table)
{
    const ostrand::core::StringIO file(verification_file(tables, rows_per_table));
    const std::size_t size = file.read().size();
    std::size_t cells = 0;
    double peak_per_byte = 0;
    for (auto _ : state) {
        const std::size_t before = held;
        peak = before;
        auto parser = OutputFileParser::create(file);
        auto parameters = parser->calculation_parameters();
        auto results = parser->results(true);
        cells = 0;
        for (const auto& [name, table] : std::get<TableMap>(results)) {
            const auto& data = std::get<DataTable>(table);
            cells += data.row_count() * data.column_count();
        }
        benchmark::DoNotOptimize(parameters);
        // the file's text counts once, as the reader holds it too
        peak_per_byte = static_cast<double>(peak - before + size) / static_cast<double>(size);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
    state.counters["file_MB"] = static_cast<double>(size) / 1e6;
    state.counters["tables"] = static_cast<double>(tables);
    state.counters["cells"] = static_cast<double>(cells);
    state.counters["peak_per_byte"] = peak_per_byte;
}

// A version 17 Tension Piles file with one result section of `groups` pile groups.
std::string tension_file(std::size_t groups, bool crlf, bool closed)
{
    std::string text =
        "[VERSION EXTERNALS]\nDGSFoundationCalc.dll=17.2.1.1\n[END OF VERSION EXTERNALS]\n[MODEL]\n"
        "1 : Model = Tension Piles (EC7-NL)\n[END OF MODEL]\n[CALCULATIONTYPE]\n 0 : Main calculationtype\n"
        " 2 : Sub calculationtype\n[END OF CALCULATIONTYPE]\n[END OF INPUT DATA]\n[DUMPFILE OUTPUT]\n"
        "[CALCULATION PARAMETERS TENSION PILES]\n   1.390 : Ksi3\n   1.390 : Ksi4\n   1.350 : Gamma_st\n"
        "[END OF CALCULATION PARAMETERS TENSION PILES]\n[TENSION RESULTS]\n";
    char line[96];
    for (std::size_t group = 1; group <= groups; ++group) {
        text += "CPT " + std::to_string(group % 7) + "\nPile type A\n   PILE GROUP " + std::to_string(group) +
                "\n   2 : Number of piles in group\n   " + std::to_string(2 * group) + "\n   " +
                std::to_string(2 * group + 1) + "\n   20 : Number of data rows\nLevel  Rt;d  Ksi\n";
        for (std::size_t row = 0; row < 20; ++row) {
            std::snprintf(line, sizeof line, "%7.2f  %8.1f  1.39\n", -15.0 - 0.1 * static_cast<double>(row),
                          1000.0 + static_cast<double>((row * 37 + group) % 500));
            text += line;
        }
        text += "\n";
    }
    text += closed ? "[END OF TENSION RESULTS]\n" : "[END OF OTHER]\n";
    text += "[END OF DUMPFILE OUTPUT]\n[END OF DUMPFILE]\n";
    if (!crlf) return text;
    std::string crlf_text;
    for (char c : text) crlf_text += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return crlf_text;
}

void parse_tension(benchmark::State& state, bool crlf, bool closed)
{
    const std::size_t groups = static_cast<std::size_t>(state.range(0));
    const ostrand::core::StringIO file(tension_file(groups, crlf, closed));
    const std::size_t size = file.read().size();
    double peak_per_byte = 0;
    double value_error = 0;
    double sections = 0;
    for (auto _ : state) {
        const std::size_t before = held;
        peak = before;
        auto parser = OutputFileParser::create(file);
        try {
            const auto results = std::get<TensionResults>(parser->results(true));
            sections = static_cast<double>(results.data.size());
            value_error = 0;
        } catch (const std::invalid_argument&) {
            value_error = 1;  // what the patterns give on CR LF: a table that ran on over later blocks
        }
        peak_per_byte = static_cast<double>(peak - before + size) / static_cast<double>(size);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * size));
    state.counters["file_MB"] = static_cast<double>(size) / 1e6;
    state.counters["sections"] = sections;
    state.counters["value_error"] = value_error;
    state.counters["peak_per_byte"] = peak_per_byte;
}

void BM_TensionV17Lf(benchmark::State& state) { parse_tension(state, false, true); }
void BM_TensionV17CrLf(benchmark::State& state) { parse_tension(state, true, true); }
void BM_TensionV17CrLfNeverClosed(benchmark::State& state) { parse_tension(state, true, false); }

void BM_TallFile(benchmark::State& state) { parse(state, 4, static_cast<std::size_t>(state.range(0))); }
void BM_ManyTables(benchmark::State& state) { parse(state, static_cast<std::size_t>(state.range(0)), 20); }

}  // namespace

BENCHMARK(BM_TallFile)->Arg(3'000)->Arg(12'000)->Arg(48'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ManyTables)->Arg(100)->Arg(400)->Arg(1600)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TensionV17Lf)->Arg(1'000)->Arg(4'000)->Arg(16'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TensionV17CrLf)->Arg(1'000)->Arg(4'000)->Arg(16'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TensionV17CrLfNeverClosed)->Arg(1'000)->Arg(4'000)->Arg(16'000)->Unit(benchmark::kMillisecond);

// `output_bench --write-file=PATH ROWS` writes the tall file with ROWS rows per table and exits,
// for measuring the program with /usr/bin/time.
int main(int argc, char** argv)
{
    const std::string write = "--write-file=";
    if (argc == 3 && std::string(argv[1]).rfind(write, 0) == 0) {
        const std::string text = verification_file(4, std::stoul(argv[2]));
        return bench_files::write_file(argv[1] + write.size(), text);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
