// The core's results as an output file (.fod) in the layout D-Foundations 25.1 writes for an indication
// of the bearing capacity, so that every reader of output files takes it. Its banner names the program
// that computed it and says that D-Foundations did not.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <string>

#include "foi/foi_text.hpp"
#include "ostrand/external/dfoundations/calculation.hpp"

namespace ostrand::external::dfoundations {

const char* const CORE_PROGRAM_NAME = "dfoundations open calculation core";

namespace {

constexpr const char* CORE_VERSION = "0.1.0";

class FodText {
public:
    // `text` in UTF-8; written in Windows-1252, the code page of the input file echoed beside it.
    void line(const std::string& text)
    {
        out_ += foi::windows_1252_from_utf8(text);
        out_ += "\r\n";
    }
    // A line of the input file, its bytes as they stand.
    void raw_line(std::string_view bytes)
    {
        out_ += bytes;
        out_ += "\r\n";
    }
    template <typename... Args>
    void format(const char* pattern, Args... args)
    {
        char buffer[512];
        std::snprintf(buffer, sizeof buffer, pattern, args...);
        line(buffer);
    }
    std::string take() { return std::move(out_); }

private:
    std::string out_;
};

// A value as printed: no "-0.00".
double printable(double value) { return value == 0.0 ? 0.0 : value; }
long kn(double value) { return std::lround(value); }

void banner(FodText& out)
{
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local{};
    localtime_r(&now, &local);
    char date[32], time[32];
    std::strftime(date, sizeof date, "%d-%m-%Y", &local);
    std::strftime(time, sizeof time, "%H:%M:%S", &local);
    out.line("D-Foundations DUMP FILE layout, computed by the " + std::string(CORE_PROGRAM_NAME) + ", NOT by D-Foundations");
    out.line("==============================================================================");
    out.line("COMPANY    :    ");
    out.line("");
    out.line(std::string("DATE       : ") + date);
    out.line(std::string("TIME       : ") + time);
    out.line("FILENAME   : ");
    out.line("CREATED BY : " + std::string(CORE_PROGRAM_NAME) + " " + CORE_VERSION +
             " (not D-Foundations; it reproduces D-Foundations' indication of the bearing capacity)");
    out.line("==========================    BEGINNING OF DATA     ==========================");
}

// The lines of the input file from [INPUT DATA] to [END OF INPUT DATA], as they stand.
void input_echo(FodText& out, std::string_view input_file)
{
    bool inside = false;
    std::size_t start = 0;
    while (start < input_file.size()) {
        std::size_t end = input_file.find_first_of("\r\n", start);
        if (end == std::string_view::npos) end = input_file.size();
        const std::string_view line = input_file.substr(start, end - start);
        if (line.starts_with("[INPUT DATA]")) inside = true;
        if (inside) out.raw_line(line);
        if (line.starts_with("[END OF INPUT DATA]")) break;
        start = end;
        if (start < input_file.size() && input_file[start] == '\r') ++start;
        if (start < input_file.size() && input_file[start] == '\n') ++start;
    }
}

void table_head(FodText& out, std::size_t rows, std::initializer_list<const char*> columns)
{
    out.line("[TABLE]");
    out.line("DataCount=" + std::to_string(rows));
    out.line("[COLUMN INDICATION]");
    for (const char* column : columns) out.line(column);
    out.line("[END OF COLUMN INDICATION]");
    out.line("[DATA]");
}

void table_end(FodText& out)
{
    out.line("[END OF DATA]");
    out.line("[END OF TABLE]");
}

void iteration_results(FodText& out, const PileTypeResults& pile)
{
    out.line("[ITERATION RESULTS]");
    table_head(out, pile.iterations.size(),
               {"IterationIndex", "CptIndex", "Level", "RbCalMax", "RsCalMax", "RcCalMax", "RcD", "FNsfRep", "FNsfD",
                "RcNetD", "Hmv", "CptName"});
    for (const IterationResult& row : pile.iterations)
        out.format("%3d %4d %9.2f %9ld %9ld %9ld %9ld %9ld %9ld %9ld %9.2f '%s'", row.iteration_index, row.cpt_index,
                   printable(row.level), kn(row.rb_cal_max), kn(row.rs_cal_max), kn(row.rc_cal_max), kn(row.rc_d),
                   kn(row.fnsf_rep), kn(row.fnsf_d), kn(row.rc_net_d), printable(row.hmv), row.cpt_name.c_str());
    table_end(out);
    out.line("[END OF ITERATION RESULTS]");
    out.line("");
}

void average_factors(FodText& out, const PileTypeResults& pile)
{
    out.line("[NEN AVERAGE PILE FACTORS]");
    table_head(out, pile.average_factors.size(), {"CptIndex", "AlphaSGemSg", "AlphaSGemClp", "AlphaPGem", "CptName"});
    for (const AveragePileFactors& row : pile.average_factors)
        out.format("%3d %8.4f %8.4f %8.4f '%s'", row.cpt_index, printable(row.alpha_s_gem_sg), printable(row.alpha_s_gem_clp),
                   printable(row.alpha_p_gem), row.cpt_name.c_str());
    table_end(out);
    out.line("[END OF NEN AVERAGE PILE FACTORS]");
    out.line("");
}

void parameters(FodText& out, const DesignParameters& p)
{
    out.line("[CALCULATION PARAMETERS BEARING PILES EC 7]");
    out.format("Ksi3Used = %.4f", p.ksi3_used);
    out.format("Ksi4Used = %.4f", p.ksi4_used);
    out.format("GammaBUsed = %.4f", p.gamma_b_used);
    out.format("GammaSUsed = %.4f", p.gamma_s_used);
    out.format("IsKsi3Used = %d", p.is_ksi3_used ? 1 : 0);
    out.line("[END OF CALCULATION PARAMETERS BEARING PILES EC 7]");
    out.line("");
}

void results_section(FodText& out, const CalculationResults& results)
{
    out.line("[PRELIMINARY DESIGN RESULTS]");
    out.line("2 : Dump for option Preliminary Design, Indication bearing capacity");
    out.format("%4d = Number of piletypes", static_cast<int>(results.pile_types.size()));
    out.format("%4d = Number of iterations", results.iteration_count);
    out.format("%4d = Number of CPTs", results.cpt_count);
    out.line("");
    for (const PileTypeResults& pile : results.pile_types) {
        out.line("[PILE]");
        out.line("PileName = " + pile.pile_name);
        out.format("BetaFactor = %.2f", pile.beta_factor);
        out.format("SFactor = %.2f", pile.s_factor);
        out.line("");
        iteration_results(out, pile);
        average_factors(out, pile);
        parameters(out, pile.parameters);
        out.line("[END OF PILE]");
        out.line("");
    }
    out.line("[END OF PRELIMINARY DESIGN RESULTS]");
}

}  // namespace

std::string write_output_file(const CalculationResults& results, std::string_view input_file)
{
    FodText out;
    banner(out);
    out.line("[DUMPFILE]");
    input_echo(out, input_file);
    out.line("[DUMPFILE OUTPUT]");
    results_section(out, results);
    // The warnings D-Foundations adds ([PILE TYPE DIMENSIONS WARNINGS], [CALCULATION WARNINGS]) follow
    // rules the core does not know; it writes none rather than flags it did not check.
    out.line("[END OF DUMPFILE OUTPUT]");
    out.line("[END OF DUMPFILE]");
    return out.take();
}

}  // namespace ostrand::external::dfoundations
