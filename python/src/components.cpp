// The value objects a model is built from: metadata, calculation options, profile layers and the
// pile shapes. Arguments with a default are keyword-only, as the C++ options structs are named.
#include "bindings.hpp"

namespace dfoundations_python {
namespace {

using namespace dfo;

void bind_metadata(py::module_& module)
{
    py::class_<Metadata>(module, "Metadata",
                         doc_of("Metadata"))
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
             py::arg("current_date") = false, py::arg("current_time") = false, doc_of("Metadata::Metadata"))
        .def_property_readonly("file_name", &Metadata::file_name, doc_of("Metadata::file_name"))
        .def_property_readonly("company", &Metadata::company, doc_of("Metadata::company"))
        .def_property_readonly("title_1", &Metadata::title_1, doc_of("Metadata::title_1"))
        .def_property_readonly("title_2", &Metadata::title_2, doc_of("Metadata::title_2"))
        .def_property_readonly("geotechnical_consultant", &Metadata::geotechnical_consultant,
                               doc_of("Metadata::geotechnical_consultant"))
        .def_property_readonly("design_engineer", &Metadata::design_engineer, doc_of("Metadata::design_engineer"))
        .def_property_readonly("principal", &Metadata::principal, doc_of("Metadata::principal"))
        .def_property_readonly("project_id", &Metadata::project_id, doc_of("Metadata::project_id"))
        .def_property_readonly("location", &Metadata::location, doc_of("Metadata::location"))
        .def_property_readonly("current_date", &Metadata::current_date, doc_of("Metadata::current_date"))
        .def_property_readonly("current_time", &Metadata::current_time, doc_of("Metadata::current_time"))
        .def(
            "_serialize", [](const Metadata& metadata) { return to_python(metadata._serialize()); },
            doc_of("Metadata::_serialize"));
}

void bind_calculation_options(py::module_& module)
{
    py::class_<detail::CalculationOptions>(module, "_CalculationOptions",
                                           doc_of("detail::CalculationOptions"))
        .def_property_readonly("calculation_type", &detail::CalculationOptions::calculation_type,
                               doc_of("detail::CalculationOptions::calculation_type"))
        .def_property_readonly("_main_calculation_type", &detail::CalculationOptions::_main_calculation_type,
                               doc_of("detail::CalculationOptions::_main_calculation_type"))
        .def_property_readonly("rigid", &detail::CalculationOptions::rigid, doc_of("detail::CalculationOptions::rigid"))
        .def("_serialize", [](const detail::CalculationOptions& options) { return to_python(options._serialize()); });

    using Bearing = BearingPilesCalculationSettings;
    py::class_<BearingPilesCalculationOptions, detail::CalculationOptions>(
        module, "BearingPilesCalculationOptions",
        doc_of("BearingPilesCalculationOptions"))
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
             py::arg("cpt_test_level") = py::none(),
             doc_of("BearingPilesCalculationOptions::BearingPilesCalculationOptions"));

    using Tension = TensionPilesCalculationSettings;
    py::class_<TensionPilesCalculationOptions, detail::CalculationOptions>(
        module, "TensionPilesCalculationOptions",
        doc_of("TensionPilesCalculationOptions"))
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
             py::arg("trajectory_begin_end_interval") = py::none(), py::arg("net_bearing_capacity") = py::none(),
             doc_of("TensionPilesCalculationOptions::TensionPilesCalculationOptions"))
        .def_property_readonly_static("VALID_CALCULATION_TYPES", [](const py::object&) {
            return py::tuple(py::cast(std::vector<CalculationType>(
                TensionPilesCalculationOptions::VALID_CALCULATION_TYPES.begin(),
                TensionPilesCalculationOptions::VALID_CALCULATION_TYPES.end())));
        }, doc_of("TensionPilesCalculationOptions::VALID_CALCULATION_TYPES"));
}

void bind_profile_layer(py::module_& module)
{
    py::class_<ProfileLayer>(module, "ProfileLayer",
                             doc_of("ProfileLayer"))
        .def(py::init<double, std::string, double, double, double>(), py::arg("top_level"), py::arg("material"),
             py::arg("ad_pore_pressure_at_top") = 0.0, py::arg("ad_pore_pressure_at_bottom") = 0.0,
             py::arg("ocr") = 1.0, doc_of("ProfileLayer::ProfileLayer"))
        .def_property_readonly("top_level", &ProfileLayer::top_level, doc_of("ProfileLayer::top_level"))
        .def_property_readonly("material", &ProfileLayer::material, doc_of("ProfileLayer::material"))
        .def_property_readonly("ad_pore_pressure_at_top", &ProfileLayer::ad_pore_pressure_at_top,
                               doc_of("ProfileLayer::ad_pore_pressure_at_top"))
        .def_property_readonly("ad_pore_pressure_at_bottom", &ProfileLayer::ad_pore_pressure_at_bottom,
                               doc_of("ProfileLayer::ad_pore_pressure_at_bottom"))
        .def_property_readonly("ocr", &ProfileLayer::ocr, doc_of("ProfileLayer::ocr"))
        .def("_serialize", [](const ProfileLayer& layer) { return to_python(layer._serialize()); });
}

template <class>
using Real = double;

// A shape class with its constructor, whose arguments are all lengths of the given names.
template <class Shape, class Base = detail::PileShape, class... Arguments>
py::class_<Shape, Base> bind_shape(py::module_& module, const char* name, const char* doc, const char* init_doc,
                                   const Arguments&... arguments)
{
    return std::move(py::class_<Shape, Base>(module, name, doc).def(py::init<Real<Arguments>...>(),
                                                                    py::arg(arguments)..., init_doc));
}

void bind_shapes(py::module_& module)
{
    using detail::PileShape;
    py::class_<PileShape> base(module, "PileShape",
                               doc_of("detail::PileShape"));
    base.def_property_readonly("_shape", &PileShape::_shape, doc_of("detail::PileShape::_shape"))
        .def_property_readonly("_data", &PileShape::_data, doc_of("detail::PileShape::_data"))
        .def("_serialize", [](const PileShape& shape) { return to_python(shape._serialize()); })
        .def_static("_shape_text", &PileShape::text, py::arg("shape"), doc_of("detail::PileShape::text"));
    make_enum<PileShape::Shape>(base, "_Shape",
                                {{"ROUND", 0}, {"RECT", 1}, {"ROUND_ENL", 2}, {"RECT_ENL", 3}, {"TAPER", 4},
                                 {"HOLLOW", 5}, {"LOST_TIP", 6}, {"DRIVEN", 7}, {"SECTION", 8}, {"HOL_OPEN", 9},
                                 {"H", 10}, {"USER_DEFINED", 11}},
                                doc_of("detail::PileShape::Shape"));

    bind_shape<RoundPile>(module, "RoundPile", doc_of("RoundPile"), doc_of("RoundPile::RoundPile"), "diameter")
        .def_property_readonly("diameter", &RoundPile::diameter, doc_of("RoundPile::diameter"));
    bind_shape<RectPile>(module, "RectPile", doc_of("RectPile"), doc_of("RectPile::RectPile"), "width", "length")
        .def_property_readonly("width", &RectPile::width, doc_of("RectPile::width"))
        .def_property_readonly("length", &RectPile::length, doc_of("RectPile::length"));
    bind_shape<RectEnlPile>(module, "RectEnlPile", doc_of("RectEnlPile"), doc_of("RectEnlPile::RectEnlPile"),
                            "base_width", "base_length", "base_height", "shaft_width", "shaft_length")
        .def_property_readonly("base_width", &RectEnlPile::base_width, doc_of("RectEnlPile::base_width"))
        .def_property_readonly("base_length", &RectEnlPile::base_length, doc_of("RectEnlPile::base_length"))
        .def_property_readonly("base_height", &RectEnlPile::base_height, doc_of("RectEnlPile::base_height"))
        .def_property_readonly("shaft_width", &RectEnlPile::shaft_width, doc_of("RectEnlPile::shaft_width"))
        .def_property_readonly("shaft_length", &RectEnlPile::shaft_length, doc_of("RectEnlPile::shaft_length"));
    bind_shape<SectionPile, RectPile>(module, "SectionPile", doc_of("SectionPile"),
                                      doc_of("SectionPile::SectionPile"), "width", "length");
    bind_shape<UserPile>(module, "UserPile", doc_of("UserPile"), doc_of("UserPile::UserPile"),
                         "circumference", "cross_section")
        .def_property_readonly("circumference", &UserPile::circumference, doc_of("UserPile::circumference"))
        .def_property_readonly("cross_section", &UserPile::cross_section, doc_of("UserPile::cross_section"));
    bind_shape<TaperPile>(module, "TaperPile", doc_of("TaperPile"), doc_of("TaperPile::TaperPile"),
                          "diameter_tip", "increase")
        .def_property_readonly("diameter_tip", &TaperPile::diameter_tip, doc_of("TaperPile::diameter_tip"))
        .def_property_readonly("increase", &TaperPile::increase, doc_of("TaperPile::increase"));
    bind_shape<HollowPile>(module, "HollowPile",
                           doc_of("HollowPile"), doc_of("HollowPile::HollowPile"),
                           "external_diameter", "wall_thickness")
        .def_property_readonly("external_diameter", &HollowPile::external_diameter,
                               doc_of("HollowPile::external_diameter"))
        .def_property_readonly("wall_thickness", &HollowPile::wall_thickness, doc_of("HollowPile::wall_thickness"))
        .def_property_readonly("internal_diameter", &HollowPile::internal_diameter,
                               doc_of("HollowPile::internal_diameter"));
    bind_shape<HollowOpenPile>(module, "HollowOpenPile",
                               doc_of("HollowOpenPile"), doc_of("HollowOpenPile::HollowOpenPile"),
                               "external_diameter", "wall_thickness")
        .def_property_readonly("external_diameter", &HollowOpenPile::external_diameter,
                               doc_of("HollowOpenPile::external_diameter"))
        .def_property_readonly("wall_thickness", &HollowOpenPile::wall_thickness,
                               doc_of("HollowOpenPile::wall_thickness"))
        .def_property_readonly("internal_diameter", &HollowOpenPile::internal_diameter,
                               doc_of("HollowOpenPile::internal_diameter"));
    bind_shape<LostTipPile>(module, "LostTipPile",
                            doc_of("LostTipPile"), doc_of("LostTipPile::LostTipPile"),
                            "base_diameter", "pile_diameter")
        .def_property_readonly("base_diameter", &LostTipPile::base_diameter, doc_of("LostTipPile::base_diameter"))
        .def_property_readonly("pile_diameter", &LostTipPile::pile_diameter, doc_of("LostTipPile::pile_diameter"));
    bind_shape<RoundEnlPile, LostTipPile>(module, "RoundEnlPile", doc_of("RoundEnlPile"),
                                          doc_of("RoundEnlPile::RoundEnlPile"),
                                          "base_diameter", "pile_diameter", "base_height")
        .def_property_readonly("base_height", &RoundEnlPile::base_height, doc_of("RoundEnlPile::base_height"));
    bind_shape<DrivenBasePile, RoundEnlPile>(module, "DrivenBasePile",
                                             doc_of("DrivenBasePile"), doc_of("DrivenBasePile::DrivenBasePile"),
                                             "base_diameter", "pile_diameter", "base_height");
    bind_shape<HShapedPile>(module, "HShapedPile",
                            doc_of("HShapedPile"), doc_of("HShapedPile::HShapedPile"),
                            "height", "width", "thickness_web", "thickness_flange")
        .def_property_readonly("height", &HShapedPile::height, doc_of("HShapedPile::height"))
        .def_property_readonly("width", &HShapedPile::width, doc_of("HShapedPile::width"))
        .def_property_readonly("thickness_web", &HShapedPile::thickness_web, doc_of("HShapedPile::thickness_web"))
        .def_property_readonly("thickness_flange", &HShapedPile::thickness_flange,
                               doc_of("HShapedPile::thickness_flange"));
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
