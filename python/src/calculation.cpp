// The open calculation core: the indication of the bearing capacity computed in this process, its
// results as pandas DataFrames straight from the core, and its output file.
#include "ostrand/external/dfoundations/calculation.hpp"

#include "bindings.hpp"

DFOUNDATIONS_PYTHON_ENUM(ostrand::external::dfoundations::PileFactorRules, "PileFactorRules")

namespace dfoundations_python {

namespace {

dfo::CalculationResults calculate(const py::object& source, std::optional<dfo::PileFactorRules> rules)
{
    const dfo::CalculateOptions options{.rules = rules};
    if (py::isinstance<dfo::BearingPilesModel>(source)) {
        const auto& model = source.cast<const dfo::BearingPilesModel&>();
        py::gil_scoped_release unlocked;
        return dfo::calculate(model, options);
    }
    if (auto reading = edited_reading(source)) {
        py::gil_scoped_release unlocked;
        return dfo::calculate(*reading, options);
    }
    const ByteView view = view_bytes(source);
    py::gil_scoped_release unlocked;
    return dfo::calculate(view.bytes, options);
}

const char* const CALCULATE_DOC =
    "Computes the indication of the bearing capacity (Bearing Piles EC7-NL, Preliminary Design, 'Indication "
    "bearing capacity') of an input file (bytes or str), a BearingPilesModel or an InputFileReading, as "
    "D-Foundations does; it is not D-Foundations. rules: PileFactorRules.RULES_2017 (D-Foundations 19 and 23) or "
    "RULES_2025 (D-Foundations 25); by default those of the input file's layout. Another model or calculation type "
    "is a ValueError naming what the core covers.";

}  // namespace

void bind_calculation(py::module_& module)
{
    make_enum<dfo::PileFactorRules>(module, "PileFactorRules", {{"RULES_2017", 2017}, {"RULES_2025", 2025}},
                                    "The pile factors of NEN 9997-1 as D-Foundations 19 and 23 (2017) or 25 (2025) "
                                    "apply them.");

    using dfo::CalculationResults;
    py::class_<CalculationResults>(module, "CalculationResults",
                                   "The results of the open calculation core: the tables of D-Foundations' output "
                                   "file, every pile type's rows one after another with its name in 'PileName'.")
        .def_readonly("rules", &CalculationResults::rules, "The pile factor rules applied.")
        .def_readonly("iteration_count", &CalculationResults::iteration_count, "The number of pile-tip levels.")
        .def_readonly("cpt_count", &CalculationResults::cpt_count, "The number of CPTs.")
        .def(
            "iteration_table", [](const CalculationResults& results) { return to_data_frame(dfo::iteration_table(results)); },
            "[ITERATION RESULTS] of every pile type as a DataFrame: PileName, IterationIndex, CptIndex, Level, "
            "RbCalMax, RsCalMax, RcCalMax, RcD, FNsfRep, FNsfD, RcNetD (kN, unrounded), Hmv, CptName.")
        .def(
            "average_factors_table",
            [](const CalculationResults& results) { return to_data_frame(dfo::average_factors_table(results)); },
            "[NEN AVERAGE PILE FACTORS] of every pile type as a DataFrame.")
        .def(
            "pile_table", [](const CalculationResults& results) { return to_data_frame(dfo::pile_table(results)); },
            "One row per pile type: PileName, BetaFactor, SFactor and the calculation parameters.");

    module.def("calculate", &calculate, py::arg("source"), py::kw_only(), py::arg("rules") = py::none(), CALCULATE_DOC);
    module.def(
        "write_output_file",
        [](const CalculationResults& results, const py::object& input_file) {
            const ByteView view = view_bytes(input_file);
            std::string text;
            {
                py::gil_scoped_release unlocked;
                text = dfo::write_output_file(results, view.bytes);
            }
            return py::bytes(text);
        },
        py::arg("results"), py::arg("input_file"),
        "The results as an output file (.fod, bytes) in D-Foundations' own layout, the input file's data echoed; its "
        "banner names the open calculation core and says that D-Foundations did not compute it.");
    module.attr("CORE_COVERS") = dfo::CORE_COVERS;
}

}  // namespace dfoundations_python
