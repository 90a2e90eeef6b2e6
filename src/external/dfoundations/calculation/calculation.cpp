// The calculation core's entry points: an input file, a model or an input file read back in, typed
// results out.
#include "ostrand/external/dfoundations/calculation.hpp"

#include "external/dfoundations/calculation/core_input.hpp"
#include "external/dfoundations/calculation/indication.hpp"
#include "foi/foi_reader.hpp"
#include "foi/input_file_writer.hpp"

namespace ostrand::external::dfoundations {

const char* const CORE_COVERS =
    "Bearing Piles (EC7-NL), Preliminary Design, Indication bearing capacity (main calculation type 0, sub type 2)";

CalculationResults calculate(std::string_view input_file, CalculateOptions options)
{
    const foi::FoiFile file = foi::read_foi(input_file);
    const calculation::CoreInput input = calculation::read_core_input(file);
    return calculation::compute_indication(input, options.rules.value_or(calculation::rules_of_layout(input.layout)));
}

CalculationResults calculate(const BearingPilesModel& model, CalculateOptions options)
{
    const nlohmann::ordered_json document = model._generate_input();
    return calculate(foi::fill_dfoundations_template(document), options);
}

CalculationResults calculate(const InputFileReading& reading, CalculateOptions options)
{
    const nlohmann::ordered_json document = nlohmann::ordered_json::parse(reading._generate_input_text());
    return calculate(foi::fill_dfoundations_template(document), options);
}

namespace {

template <typename Row, typename Fill>
void for_each_row(const CalculationResults& results, const std::vector<Row> PileTypeResults::*rows, Fill fill)
{
    for (const PileTypeResults& pile : results.pile_types)
        for (const Row& row : pile.*rows) fill(pile, row);
}

}  // namespace

DataTable iteration_table(const CalculationResults& results)
{
    DataTable::TextColumn pile_name, cpt_name;
    DataTable::IntColumn iteration, cpt;
    DataTable::RealColumn level, rb, rs, rc, rcd, fnsf_rep, fnsf_d, rc_net, hmv;
    for_each_row(results, &PileTypeResults::iterations, [&](const PileTypeResults& pile, const IterationResult& row) {
        pile_name.emplace_back(pile.pile_name);
        iteration.push_back(row.iteration_index);
        cpt.push_back(row.cpt_index);
        level.push_back(row.level);
        rb.push_back(row.rb_cal_max);
        rs.push_back(row.rs_cal_max);
        rc.push_back(row.rc_cal_max);
        rcd.push_back(row.rc_d);
        fnsf_rep.push_back(row.fnsf_rep);
        fnsf_d.push_back(row.fnsf_d);
        rc_net.push_back(row.rc_net_d);
        hmv.push_back(row.hmv);
        cpt_name.emplace_back(row.cpt_name);
    });
    DataTable table;
    table.add_column("PileName", std::move(pile_name));
    table.add_column("IterationIndex", std::move(iteration));
    table.add_column("CptIndex", std::move(cpt));
    table.add_column("Level", std::move(level));
    table.add_column("RbCalMax", std::move(rb));
    table.add_column("RsCalMax", std::move(rs));
    table.add_column("RcCalMax", std::move(rc));
    table.add_column("RcD", std::move(rcd));
    table.add_column("FNsfRep", std::move(fnsf_rep));
    table.add_column("FNsfD", std::move(fnsf_d));
    table.add_column("RcNetD", std::move(rc_net));
    table.add_column("Hmv", std::move(hmv));
    table.add_column("CptName", std::move(cpt_name));
    return table;
}

DataTable average_factors_table(const CalculationResults& results)
{
    DataTable::TextColumn pile_name, cpt_name;
    DataTable::IntColumn cpt;
    DataTable::RealColumn sg, clp, p;
    for_each_row(results, &PileTypeResults::average_factors, [&](const PileTypeResults& pile, const AveragePileFactors& row) {
        pile_name.emplace_back(pile.pile_name);
        cpt.push_back(row.cpt_index);
        sg.push_back(row.alpha_s_gem_sg);
        clp.push_back(row.alpha_s_gem_clp);
        p.push_back(row.alpha_p_gem);
        cpt_name.emplace_back(row.cpt_name);
    });
    DataTable table;
    table.add_column("PileName", std::move(pile_name));
    table.add_column("CptIndex", std::move(cpt));
    table.add_column("AlphaSGemSg", std::move(sg));
    table.add_column("AlphaSGemClp", std::move(clp));
    table.add_column("AlphaPGem", std::move(p));
    table.add_column("CptName", std::move(cpt_name));
    return table;
}

DataTable pile_table(const CalculationResults& results)
{
    DataTable::TextColumn name;
    DataTable::RealColumn beta, s, ksi3, ksi4, gamma_b, gamma_s;
    DataTable::IntColumn is_ksi3;
    for (const PileTypeResults& pile : results.pile_types) {
        name.emplace_back(pile.pile_name);
        beta.push_back(pile.beta_factor);
        s.push_back(pile.s_factor);
        ksi3.push_back(pile.parameters.ksi3_used);
        ksi4.push_back(pile.parameters.ksi4_used);
        gamma_b.push_back(pile.parameters.gamma_b_used);
        gamma_s.push_back(pile.parameters.gamma_s_used);
        is_ksi3.push_back(pile.parameters.is_ksi3_used ? 1 : 0);
    }
    DataTable table;
    table.add_column("PileName", std::move(name));
    table.add_column("BetaFactor", std::move(beta));
    table.add_column("SFactor", std::move(s));
    table.add_column("Ksi3Used", std::move(ksi3));
    table.add_column("Ksi4Used", std::move(ksi4));
    table.add_column("GammaBUsed", std::move(gamma_b));
    table.add_column("GammaSUsed", std::move(gamma_s));
    table.add_column("IsKsi3Used", std::move(is_ksi3));
    return table;
}

}  // namespace ostrand::external::dfoundations
