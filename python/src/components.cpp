// The value objects a model is built from: metadata, calculation options, profile layers and the
// pile shapes. Arguments with a default are keyword-only, as the C++ options structs are named.
#include "bindings.hpp"

namespace dfoundations_python {
namespace {

using namespace dfo;

void bind_metadata(py::module_& module)
{
    py::class_<Metadata>(module, "Metadata",
                         "Project metadata of an input file. title_1 and title_2 take at most 50 characters, "
                         "project_id at most 20.")
        .def(py::init([](std::string file_name, std::string company, std::string title_1, std::string title_2,
                         std::string geotechnical_consultant, std::string design_engineer, std::string principal,
                         std::string project_id, std::string location, bool current_date, bool current_time) {
                 return Metadata({std::move(file_name), std::move(company), std::move(title_1), std::move(title_2),
                                  std::move(geotechnical_consultant), std::move(design_engineer),
                                  std::move(principal), std::move(project_id), std::move(location), current_date,
                                  current_time});
             }),
             py::arg("file_name") = "-", py::arg("company") = "-", py::arg("title_1") = "-",
             py::arg("title_2") = "-", py::arg("geotechnical_consultant") = "", py::arg("design_engineer") = "",
             py::arg("principal") = "", py::arg("project_id") = "", py::arg("location") = "",
             py::arg("current_date") = false, py::arg("current_time") = false)
        .def_property_readonly("file_name", &Metadata::file_name)
        .def_property_readonly("company", &Metadata::company)
        .def_property_readonly("title_1", &Metadata::title_1)
        .def_property_readonly("title_2", &Metadata::title_2)
        .def_property_readonly("geotechnical_consultant", &Metadata::geotechnical_consultant)
        .def_property_readonly("design_engineer", &Metadata::design_engineer)
        .def_property_readonly("principal", &Metadata::principal)
        .def_property_readonly("project_id", &Metadata::project_id)
        .def_property_readonly("location", &Metadata::location)
        .def_property_readonly("current_date", &Metadata::current_date)
        .def_property_readonly("current_time", &Metadata::current_time)
        .def(
            "_serialize", [](const Metadata& metadata) { return to_python(metadata._serialize()); },
            "The metadata object of the model document, stamped with the clock read once.");
}

void bind_calculation_options(py::module_& module)
{
    py::class_<detail::CalculationOptions>(module, "_CalculationOptions",
                                           "The settings shared by both model kinds. Immutable.")
        .def_property_readonly("calculation_type", &detail::CalculationOptions::calculation_type)
        .def_property_readonly("_main_calculation_type", &detail::CalculationOptions::_main_calculation_type)
        .def_property_readonly("rigid", &detail::CalculationOptions::rigid)
        .def("_serialize", [](const detail::CalculationOptions& options) { return to_python(options._serialize()); });

    using Bearing = BearingPilesCalculationSettings;
    py::class_<BearingPilesCalculationOptions, detail::CalculationOptions>(
        module, "BearingPilesCalculationOptions",
        "Calculation options of a Bearing Piles (EC7-NL) model; every calculation type is allowed.\n"
        "ModelError when a calculation type lacks a setting it needs, ZeroDivisionError for a trajectory interval "
        "of 0.")
        .def(py::init([](CalculationType calculation_type, bool rigid, std::int64_t max_allowed_settlement_str_geo,
                         std::int64_t max_allowed_settlement_sls, std::int64_t max_allowed_relative_rotation_str_geo,
                         std::int64_t max_allowed_relative_rotation_sls, std::optional<double> xi3,
                         std::optional<double> xi4, std::optional<double> gamma_b, std::optional<double> gamma_s,
                         std::optional<double> gamma_fnk, std::optional<double> area, std::optional<double> e_ea_gem,
                         bool write_intermediate_results, bool use_pile_group, bool overrule_excavation,
                         bool suppress_qciii_reduction, bool use_almere_rules, bool use_extra_almere_rules,
                         std::optional<Trajectory> trajectory_begin_end_interval,
                         std::optional<std::int64_t> net_bearing_capacity, std::optional<double> cpt_test_level) {
                 return BearingPilesCalculationOptions(
                     calculation_type, rigid,
                     Bearing{max_allowed_settlement_str_geo, max_allowed_settlement_sls,
                             max_allowed_relative_rotation_str_geo, max_allowed_relative_rotation_sls, xi3, xi4,
                             gamma_b, gamma_s, gamma_fnk, area, e_ea_gem, write_intermediate_results, use_pile_group,
                             overrule_excavation, suppress_qciii_reduction, use_almere_rules, use_extra_almere_rules,
                             trajectory_begin_end_interval, net_bearing_capacity, cpt_test_level});
             }),
             py::arg("calculation_type"), py::arg("rigid"), py::kw_only(),
             py::arg("max_allowed_settlement_str_geo") = 150, py::arg("max_allowed_settlement_sls") = 150,
             py::arg("max_allowed_relative_rotation_str_geo") = 100,
             py::arg("max_allowed_relative_rotation_sls") = 300, py::arg("xi3") = py::none(),
             py::arg("xi4") = py::none(), py::arg("gamma_b") = py::none(), py::arg("gamma_s") = py::none(),
             py::arg("gamma_fnk") = py::none(), py::arg("area") = py::none(), py::arg("e_ea_gem") = py::none(),
             py::arg("write_intermediate_results") = false, py::arg("use_pile_group") = true,
             py::arg("overrule_excavation") = false, py::arg("suppress_qciii_reduction") = false,
             py::arg("use_almere_rules") = false, py::arg("use_extra_almere_rules") = false,
             py::arg("trajectory_begin_end_interval") = py::none(), py::arg("net_bearing_capacity") = py::none(),
             py::arg("cpt_test_level") = py::none());

    using Tension = TensionPilesCalculationSettings;
    py::class_<TensionPilesCalculationOptions, detail::CalculationOptions>(
        module, "TensionPilesCalculationOptions",
        "Calculation options of a Tension Piles (EC7-NL) model: preliminary-design types only.")
        .def(py::init([](CalculationType calculation_type, bool rigid, double unit_weight_water, double surcharge,
                         std::optional<double> xi3, std::optional<double> xi4,
                         std::optional<double> gamma_m_var_qc, std::optional<double> gamma_st,
                         std::optional<double> gamma_gamma, bool use_compaction, bool overrule_excavation,
                         bool overrule_excess_pore_pressure, std::optional<Trajectory> trajectory_begin_end_interval,
                         std::optional<std::int64_t> net_bearing_capacity) {
                 return TensionPilesCalculationOptions(
                     calculation_type, rigid,
                     Tension{unit_weight_water, surcharge, xi3, xi4, gamma_m_var_qc, gamma_st, gamma_gamma,
                             use_compaction, overrule_excavation, overrule_excess_pore_pressure,
                             trajectory_begin_end_interval, net_bearing_capacity});
             }),
             py::arg("calculation_type"), py::arg("rigid"), py::kw_only(), py::arg("unit_weight_water") = 9.81,
             py::arg("surcharge") = 0.0, py::arg("xi3") = py::none(), py::arg("xi4") = py::none(),
             py::arg("gamma_m_var_qc") = py::none(), py::arg("gamma_st") = py::none(),
             py::arg("gamma_gamma") = py::none(), py::arg("use_compaction") = false,
             py::arg("overrule_excavation") = false, py::arg("overrule_excess_pore_pressure") = true,
             py::arg("trajectory_begin_end_interval") = py::none(), py::arg("net_bearing_capacity") = py::none())
        .def_property_readonly_static("VALID_CALCULATION_TYPES", [](const py::object&) {
            return py::tuple(py::cast(std::vector<CalculationType>(
                TensionPilesCalculationOptions::VALID_CALCULATION_TYPES.begin(),
                TensionPilesCalculationOptions::VALID_CALCULATION_TYPES.end())));
        });
}

void bind_profile_layer(py::module_& module)
{
    py::class_<ProfileLayer>(module, "ProfileLayer",
                             "One soil layer of a profile: its top level and the name of its material.")
        .def(py::init<double, std::string, double, double, double>(), py::arg("top_level"), py::arg("material"),
             py::arg("ad_pore_pressure_at_top") = 0.0, py::arg("ad_pore_pressure_at_bottom") = 0.0,
             py::arg("ocr") = 1.0)
        .def_property_readonly("top_level", &ProfileLayer::top_level)
        .def_property_readonly("material", &ProfileLayer::material)
        .def_property_readonly("ad_pore_pressure_at_top", &ProfileLayer::ad_pore_pressure_at_top)
        .def_property_readonly("ad_pore_pressure_at_bottom", &ProfileLayer::ad_pore_pressure_at_bottom)
        .def_property_readonly("ocr", &ProfileLayer::ocr)
        .def("_serialize", [](const ProfileLayer& layer) { return to_python(layer._serialize()); });
}

template <class>
using Real = double;

// A shape class with its constructor, whose arguments are all lengths of the given names.
template <class Shape, class Base = detail::PileShape, class... Arguments>
py::class_<Shape, Base> bind_shape(py::module_& module, const char* name, const char* doc,
                                   const Arguments&... arguments)
{
    return std::move(py::class_<Shape, Base>(module, name, doc).def(py::init<Real<Arguments>...>(),
                                                                    py::arg(arguments)...));
}

void bind_shapes(py::module_& module)
{
    using detail::PileShape;
    py::class_<PileShape> base(module, "PileShape",
                               "Cross-section (and base) of a pile type. Lengths in metres, thicknesses in mm.");
    base.def_property_readonly("_shape", &PileShape::_shape)
        .def_property_readonly("_data", &PileShape::_data, "The (value, caption) pairs of the shape.")
        .def("_serialize", [](const PileShape& shape) { return to_python(shape._serialize()); })
        .def_static("_shape_text", &PileShape::text, py::arg("shape"), "The display text of a shape code.");
    make_enum<PileShape::Shape>(base, "_Shape",
                                {{"ROUND", 0}, {"RECT", 1}, {"ROUND_ENL", 2}, {"RECT_ENL", 3}, {"TAPER", 4},
                                 {"HOLLOW", 5}, {"LOST_TIP", 6}, {"DRIVEN", 7}, {"SECTION", 8}, {"HOL_OPEN", 9},
                                 {"H", 10}, {"USER_DEFINED", 11}},
                                "The D-Foundations shape codes.");

    bind_shape<RoundPile>(module, "RoundPile", "A round pile.", "diameter")
        .def_property_readonly("diameter", &RoundPile::diameter);
    bind_shape<RectPile>(module, "RectPile", "A rectangular pile.", "width", "length")
        .def_property_readonly("width", &RectPile::width)
        .def_property_readonly("length", &RectPile::length);
    bind_shape<RectEnlPile>(module, "RectEnlPile",
                            "A rectangular pile with an enlarged base. ModelError unless the shaft is narrower and "
                            "shorter than the base.",
                            "base_width", "base_length", "base_height", "shaft_width", "shaft_length")
        .def_property_readonly("base_width", &RectEnlPile::base_width)
        .def_property_readonly("base_length", &RectEnlPile::base_length)
        .def_property_readonly("base_height", &RectEnlPile::base_height)
        .def_property_readonly("shaft_width", &RectEnlPile::shaft_width)
        .def_property_readonly("shaft_length", &RectEnlPile::shaft_length);
    bind_shape<SectionPile, RectPile>(module, "SectionPile", "A steel section: a RectPile under its own shape code.",
                                      "width", "length");
    bind_shape<UserPile>(module, "UserPile", "A pile of a user-defined cross-section.", "circumference",
                         "cross_section")
        .def_property_readonly("circumference", &UserPile::circumference)
        .def_property_readonly("cross_section", &UserPile::cross_section);
    bind_shape<TaperPile>(module, "TaperPile", "A tapered pile; `increase` in diameter is in m/m.", "diameter_tip",
                          "increase")
        .def_property_readonly("diameter_tip", &TaperPile::diameter_tip)
        .def_property_readonly("increase", &TaperPile::increase);
    bind_shape<HollowPile>(module, "HollowPile",
                           "A closed-base hollow pile: diameter in m, wall in mm. ModelError unless the wall is "
                           "thinner than half the diameter.",
                           "external_diameter", "wall_thickness")
        .def_property_readonly("external_diameter", &HollowPile::external_diameter)
        .def_property_readonly("wall_thickness", &HollowPile::wall_thickness)
        .def_property_readonly("internal_diameter", &HollowPile::internal_diameter, "In metres.");
    bind_shape<HollowOpenPile>(module, "HollowOpenPile",
                               "An open-ended hollow pile; the same dimensions and check as HollowPile.",
                               "external_diameter", "wall_thickness")
        .def_property_readonly("external_diameter", &HollowOpenPile::external_diameter)
        .def_property_readonly("wall_thickness", &HollowOpenPile::wall_thickness)
        .def_property_readonly("internal_diameter", &HollowOpenPile::internal_diameter, "In metres.");
    bind_shape<LostTipPile>(module, "LostTipPile",
                            "A pile with a lost tip. ModelError unless the pile is narrower than its base.",
                            "base_diameter", "pile_diameter")
        .def_property_readonly("base_diameter", &LostTipPile::base_diameter)
        .def_property_readonly("pile_diameter", &LostTipPile::pile_diameter);
    bind_shape<RoundEnlPile, LostTipPile>(module, "RoundEnlPile", "A round pile with an enlarged base.",
                                          "base_diameter", "pile_diameter", "base_height")
        .def_property_readonly("base_height", &RoundEnlPile::base_height);
    bind_shape<DrivenBasePile, RoundEnlPile>(module, "DrivenBasePile",
                                             "A pile with an in-situ formed base: a RoundEnlPile under its own code.",
                                             "base_diameter", "pile_diameter", "base_height");
    bind_shape<HShapedPile>(module, "HShapedPile",
                            "An H-shaped pile: height and width in m, web and flange in mm. ModelError unless the web "
                            "is thinner than the width and the flange thinner than half the height.",
                            "height", "width", "thickness_web", "thickness_flange")
        .def_property_readonly("height", &HShapedPile::height)
        .def_property_readonly("width", &HShapedPile::width)
        .def_property_readonly("thickness_web", &HShapedPile::thickness_web)
        .def_property_readonly("thickness_flange", &HShapedPile::thickness_flange);
}

}  // namespace

void bind_components(py::module_& module)
{
    bind_metadata(module);
    bind_calculation_options(module);
    bind_profile_layer(module);
    bind_shapes(module);
}

}  // namespace dfoundations_python
