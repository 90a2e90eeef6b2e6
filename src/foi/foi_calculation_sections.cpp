// The calculation options, the calculation type and the preliminary design (trajectory, selected
// profiles and pile types, or the one pile type and CPT test level of a verification).
#include "foi/foi_sections.hpp"

namespace ostrand::foi {

namespace {

// The allowed rotation is 1/N in the document: the input file of 19.x keeps it in m/m, those of 23.x
// and 25.1 keep N, a whole number.
void write_rotation(FoiText& out, const DocumentNode& node, std::string_view limit_state, Layout layout)
{
    if (node.number() == 0.0) node.fail("must not be zero: the allowed rotation is 1 divided by it.");
    const std::string limit(limit_state);
    if (layout.since_23())
        out.setting(padded(node.integer(), 12), "Reciprocal max. allowed rel. rotation [m/m]; " + limit);
    else
        out.setting(fixed(1.0 / node.number(), 12, 6), "Max. allowed rel. rotation [m/m]; " + limit);
}

// The settlements are in millimetres in the document, in metres in the input file.
void write_limits(FoiText& out, const DocumentNode& options, Layout layout)
{
    out.setting(fixed(options["max_allowed_settlement_str_geo"].number() / 1000.0, 12, 3),
                "Max. allowed settlement [m]; lim. state STR/GEO");
    write_rotation(out, options["max_allowed_relative_rotation_str_geo"], "lim. state STR/GEO", layout);
    out.setting(fixed(options["max_allowed_settlement_sls"].number() / 1000.0, 12, 3),
                "Max. allowed settlement [m]; serv. lim. state");
    write_rotation(out, options["max_allowed_relative_rotation_sls"], "serv. lim. state", layout);
}

// A factor whose value line is always written: the given value, or the program's 1.00.
void write_factor(FoiText& out, const DocumentNode& node, std::string_view caption, std::string_view value_caption)
{
    const auto value = node.optional_number();
    write_switch(out, value.has_value(), caption);
    out.setting(fixed(value.value_or(1.0), 12, 2), value_caption);
}

void write_unused_partial_factors(FoiText& out)
{
    write_switch(out, false, "Use interaction model");
    write_switch(out, false, "Is gamma;gamma overruled (LS EQU/STR/GEO)");
    out.setting(fixed(1.0, 12, 2), "Factor gamma;gamma (LS EQU/STR/GEO) user defined");
    for (const char* factor : {"gamma;coh", "gamma;phi", "gamma;fundr", "gamma;gamma (SLS)", "gamma;Cc", "gamma;Ca"}) {
        write_switch(out, false, std::string("Is ") + factor + " overruled");
        out.setting(fixed(1.0, 12, 2), std::string("Factor ") + factor + " user defined");
    }
    write_switch(out, false, "Keep length constant when optimizing dimensions");
    write_switch(out, false, "Use the 5% limit instead of the 20% limit to determine the inclination");
    out.setting("0.8330", "LoadFactor between limitstate 1 and limitstate 2 for the determination of maximum vertical "
                          "load option");
}

void write_belgian_factors(FoiText& out)
{
    write_switch(out, false, "Xi3 BPB overruled");
    write_switch(out, false, "Xi4 BPB overruled");
    write_switch(out, false, "Gamma rd overruled");
    out.setting(fixed(1.0, 12, 2), "Factor xi3 user defined");
    out.setting(fixed(1.0, 12, 2), "Factor xi4 user defined");
    out.setting(fixed(1.0, 12, 2), "Factor Gamma rd user defined");
    write_switch(out, false, "Gamma b BPB overruled");
    out.setting(fixed(1.0, 12, 2), "Factor Gamma b user defined");
    write_switch(out, false, "Gamma s BPB overruled");
    out.setting(fixed(1.0, 12, 2), "Factor Gamma s user defined");
    out.line(" 0 : Suppress all qc reduction (BP) = FALSE");
}

// 23.x added the limits of the 2025 rules on the cone resistance, at their own values, before the
// suppression of the qc;III reduction; 25.1 dropped the suppression. A model that suppresses the
// reduction has no 25.1 file.
void write_cone_resistance_limits(FoiText& out, const DocumentNode& options, Layout layout)
{
    if (layout.since_23()) {
        write_switch(out, false, "Qb;max overruled");
        out.setting(fixed(15.0, 12, 2), "Qb;max user defined");
        write_switch(out, false, "Qc;z;a Low overruled");
        out.setting(fixed(12.0, 12, 2), "Qc;z;a Low user defined");
        write_switch(out, false, "Qc;z;a High overruled");
        out.setting(fixed(15.0, 12, 2), "Qc;z;a High user defined");
    }
    write_switch_of_19(out, options["suppress_qciii_reduction"], "Suppress qcIII reduction",
                       "cannot suppress the qcIII reduction", layout);
}

void write_calculation_options(FoiText& out, const DocumentNode& options, Layout layout)
{
    out.line("[CALCULATION OPTIONS]");
    out.line(options["rigid"].boolean() ? "1 : Superstructure rigidity = Rigid"
                                        : "0 : Superstructure rigidity = Non-rigid");
    write_limits(out, options, layout);
    write_overrule(out, options["xi3"], "Factor xi3 NEN overruled", "Factor xi3 user defined");
    write_overrule(out, options["xi4"], "Factor xi4 NEN overruled", "Factor xi4 user defined");
    write_overrule(out, options["gamma_b"], "Gamma b NEN overruled", "Factor gamma b user defined");
    write_overrule(out, options["gamma_fnk"], "Gamma fnk NEN overruled", "Factor gamma fnk user defined");
    write_overrule(out, options["area"], "Area overruled", "Area user defined");
    write_cone_resistance_limits(out, options, layout);
    write_switch(out, options["overrule_excavation"].boolean(), "Overrule excavation");
    write_switch(out, options["use_pile_group"].boolean(), "Use pile group");
    write_switch(out, options["write_intermediate_results"].boolean(), "Write intermediate results");
    write_unused_partial_factors(out);
    out.setting(fixed(options["unit_weight_water"].number(), 12, 2), "Unit weight water [kN/m3]");
    write_switch(out, options["use_compaction"].boolean(), "Use compaction");
    write_factor(out, options["gamma_m_var_qc"], "Gamma var overruled", "Factor gamma var user defined");
    write_factor(out, options["gamma_st"], "Gamma st overruled", "Factor gamma st user defined");
    write_factor(out, options["gamma_gamma"], "Gamma gamma overruled", "Factor gamma_gamma user defined");
    out.setting(fixed(options["surcharge"].number(), 12, 2), "Surcharge [kN/m2]");
    // Piezometric levels replace the excess pore pressures of the layers.
    write_switch(out, options["overrule_excess_pore_pressure"].boolean(), "Use Piezometric levels");
    write_switch(out, options["use_almere_rules"].boolean(), "Use Almere rules");
    write_switch(out, options["use_extra_almere_rules"].boolean(), "Use Extra Almere rules");
    if (!layout.since_23()) write_belgian_factors(out);
    const auto e_ea_gem = options["e_ea_gem"].optional_number();
    write_switch(out, e_ea_gem.has_value(), "Eea;gem overruled");
    out.setting(fixed(e_ea_gem.value_or(50000.0), layout.v25 ? 12 : 8, 2), "Eea;gem user defined");
    if (!layout.since_23()) {
        write_switch(out, false, "Use Quality Assurance");
        out.setting(fixed(1000.0, 12, 2), "Area covered per CPT");
    }
    write_factor(out, options["gamma_s"], "Gamma s for NEN overruled", "Factor Gamma s for NEN user defined");
    if (!layout.since_23()) {
        write_switch(out, false, "Factor Beta (BPB) overruled");
        out.setting(fixed(0.0, 12, 2), "Factor Beta (BPB) user defined");
    }
    out.line("[END OF CALCULATION OPTIONS]");
}

// A design or complete calculation verifies (main type 1); the three other types design (main type 0).
std::int64_t main_calculation_type(const DocumentNode& options)
{
    const DocumentNode main = options["main_calculation_type"];
    const std::int64_t main_type = code_in_range(main, 0, 1, "main calculation type");
    const std::int64_t type = code_in_range(options["calculation_type"], 0, 4, "calculation type");
    const std::int64_t expected = type <= 1 ? 1 : 0;
    if (main_type != expected)
        main.fail("is " + std::to_string(main_type) + ", but calculation type " + std::to_string(type) +
                  " belongs to main calculation type " + std::to_string(expected) + ".");
    return main_type;
}

// Without a trajectory the input file keeps a new model's: from 0 to 0 in steps of 1 m.
void write_trajectory(FoiText& out, const DocumentNode& trajectory)
{
    double values[3] = {0.0, 0.0, 1.0};
    if (!trajectory.is_null()) {
        const auto items = trajectory.items();
        if (items.size() != 3) trajectory.fail("must be [begin, end, interval] or null.");
        for (std::size_t i = 0; i < 3; ++i) values[i] = items[i].number();
    }
    out.setting(fixed(values[0], 8, 2), "Trajectory begin [m]");
    out.setting(fixed(values[1], 8, 2), "Trajectory end [m]");
    out.setting(fixed(values[2], 8, 2), "Trajectory interval [m]");
}

void write_selection(FoiText& out, const std::vector<DocumentNode>& named, std::string_view caption)
{
    out.line(std::to_string(named.size()) + " : " + std::string(caption));
    for (std::size_t i = 0; i < named.size(); ++i) {
        const DocumentNode name = named[i]["name"];
        out.line(std::to_string(i) + " : " + line_text(name.text(), name));
    }
}

void write_preliminary_design(FoiText& out, const DocumentNode& document, std::int64_t main_type)
{
    const DocumentNode options = document["calculation_options"];
    const DocumentNode pile_types = document["pile_types"];
    const auto types = pile_types.items();
    out.line("[PRELIMINARY DESIGN]");
    write_trajectory(out, options["trajectory_begin_end_interval"]);
    if (main_type == 0) out.setting(padded(options["net_bearing_capacity"].integer(), 8), "Net bearing capacity [kN]");
    write_selection(out, document["profiles"].items(), "Number of Profiles selected for calculation");
    if (main_type == 0) {
        write_selection(out, types, "Number of PileTypes selected for calculation");
    } else {
        if (types.empty()) pile_types.fail("is empty; a verification needs its pile type.");
        const DocumentNode name = types.front()["name"];
        out.setting(padded(0, 5), "Pile type = " + line_text(name.text(), name));
        out.setting(fixed(options["cpt_test_level"].number(), 8, 2), "CPT Test Level [m]");
    }
    out.line("[END OF PRELIMINARY DESIGN]");
}

}  // namespace

void write_calculation(FoiText& out, const DocumentNode& document, Layout layout)
{
    const DocumentNode options = document["calculation_options"];
    write_calculation_options(out, options, layout);
    const std::int64_t main_type = main_calculation_type(options);
    out.line("[CALCULATIONTYPE]");
    out.setting(padded(main_type, 2), "Main calculationtype");
    out.setting(padded(options["calculation_type"].integer(), 2), "Sub calculationtype");
    out.line("[END OF CALCULATIONTYPE]");
    write_preliminary_design(out, document, main_type);
}

}  // namespace ostrand::foi
