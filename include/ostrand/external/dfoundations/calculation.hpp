// The open calculation core: the indication of the bearing capacity of bearing piles (Bearing Piles
// EC7-NL, Preliminary Design, "Indication bearing capacity"), computed here, on any machine, the way
// D-Foundations computes it (NEN 9997-1 art. 7.6.2.3: Koppejan's tip, shaft friction, negative skin
// friction, the pile factors and the partial and correlation factors). It reproduces D-Foundations'
// results; it is not D-Foundations.
//
//   const CalculationResults results = calculate(input_file_bytes);          // a .foi as it stands
//   const CalculationResults same = calculate(model);                        // a BearingPilesModel
//   for (const PileTypeResults& pile : results.pile_types)
//       for (const IterationResult& row : pile.iterations) std::cout << row.level << ' ' << row.rc_d << '\n';
//   DataTable rows = iteration_table(results);                               // every row, .fod columns
//
// No platform, file or process is involved. A model kind or calculation type the core does not cover
// is refused with an UnsupportedCalculation that names what it covers.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "ostrand/external/dfoundations/input_file_reader.hpp"
#include "ostrand/external/dfoundations/models.hpp"
#include "ostrand/external/dfoundations/output.hpp"

namespace ostrand::external::dfoundations {

// The pile factors of NEN 9997-1 as D-Foundations 19 and 23 apply them (the 2017 rules) or as
// D-Foundations 25 does (the 2025 rules).
enum class PileFactorRules { RULES_2017 = 2017, RULES_2025 = 2025 };

// How the core computes: which rule set of the pile factors.
struct CalculateOptions {
    // Absent: chosen by the input file's layout (the 2025 rules for the layout of D-Foundations 25).
    std::optional<PileFactorRules> rules{};  // the rule set the results were computed with
};

// One row of [ITERATION RESULTS]: one pile-tip level at one CPT. Forces in kN (unrounded), levels in m.
struct IterationResult {
    int iteration_index = 0;  // from 1, the pile-tip level's place in the trajectory
    int cpt_index = 0;        // from 1, in the order the CPTs are selected
    double level = 0.0;       // pile-tip level
    double rb_cal_max = 0.0;  // kN, the tip resistance R_b;cal;max
    double rs_cal_max = 0.0;  // kN, the shaft resistance R_s;cal;max
    double rc_cal_max = 0.0;  // kN, R_b;cal;max + R_s;cal;max
    double rc_d = 0.0;        // kN, the design bearing capacity R_c;d
    double fnsf_rep = 0.0;    // kN, the representative negative skin friction
    double fnsf_d = 0.0;      // kN, its design value
    double rc_net_d = 0.0;    // kN, R_c;d less the design negative skin friction
    double hmv = 0.0;  // the top of the profile's first layer
    std::string cpt_name;  // the CPT's name
};

// One row of [NEN AVERAGE PILE FACTORS].
struct AveragePileFactors {
    int cpt_index = 0;  // from 1, in the order the CPTs are selected
    double alpha_s_gem_sg = 0.0;  // the average alpha_s of sand and gravel
    double alpha_s_gem_clp = 0.0;  // the average alpha_s of clay, loam and peat
    double alpha_p_gem = 0.0;  // the average alpha_p
    std::string cpt_name;  // the CPT's name
};

// [CALCULATION PARAMETERS BEARING PILES EC 7].
struct DesignParameters {
    double ksi3_used = 1.0;  // the correlation factor xi3 used
    double ksi4_used = 1.0;  // the correlation factor xi4 used
    double gamma_b_used = 1.2;  // the partial factor gamma_b used
    double gamma_s_used = 1.2;  // the partial factor gamma_s used
    bool is_ksi3_used = false;  // whether xi3 (not xi4) governs
};

// The results of one pile type: a [PILE] of the output file.
struct PileTypeResults {
    std::string pile_name;  // the pile type's name
    double beta_factor = 1.0;  // the enlarged-base factor beta
    double s_factor = 1.0;  // the shape factor s
    std::vector<IterationResult> iterations;  // by pile-tip level first, then by CPT
    std::vector<AveragePileFactors> average_factors;  // one row per CPT
    DesignParameters parameters;  // the design parameters
};

// Everything the core computed for an input file: a [PILE] per pile type.
struct CalculationResults {
    PileFactorRules rules = PileFactorRules::RULES_2017;  // the rule set the results were computed with
    int iteration_count = 0;  // pile-tip levels
    int cpt_count = 0;  // CPTs
    std::vector<PileTypeResults> pile_types;  // in the order they are selected
};

// A model kind, calculation type or pile feature the core does not compute. what() names what it covers.
class UnsupportedCalculation : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

// What the core computes, as the refusal names it.
extern const char* const CORE_COVERS;

// Computes the input file (its bytes, any layout of D-Foundations 19 to 25).
// Errors: UnsupportedCalculation for another model or calculation type; errors::ParsingError for a
// file that lacks what the calculation needs (no CPT, no pile type, a trajectory that is no range).
CalculationResults calculate(std::string_view input_file, CalculateOptions options = {});
// Computes a model as its input file states it (the layout of D-Foundations 19 unless the caller asks
// for the 2025 rules).
CalculationResults calculate(const BearingPilesModel& model, CalculateOptions options = {});
// Computes an input file read back, extras included.
CalculationResults calculate(const InputFileReading& reading, CalculateOptions options = {});

// The results as the columns of the output file, every pile type's rows one after another with the
// pile's name in a first column "PileName": [ITERATION RESULTS], [NEN AVERAGE PILE FACTORS], and one
// row per pile of BetaFactor, SFactor and the calculation parameters.
DataTable iteration_table(const CalculationResults& results);
// [NEN AVERAGE PILE FACTORS] of every pile type, with "PileName" first.
DataTable average_factors_table(const CalculationResults& results);
// One row per pile type: PileName, BetaFactor, SFactor and the calculation parameters.
DataTable pile_table(const CalculationResults& results);

// The name the core's output files give as the program that computed them.
extern const char* const CORE_PROGRAM_NAME;

// The output file (.fod) of the results in D-Foundations' own layout, with the input file's data
// echoed, and a header that names this program and says that D-Foundations did not compute it.
std::string write_output_file(const CalculationResults& results, std::string_view input_file);

}  // namespace ostrand::external::dfoundations
