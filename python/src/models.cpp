// The two model kinds and what they share. Every rejected operation raises (ModelError for invalid
// model input) and leaves the model as it was; input-file generation runs without the GIL.
#include <chrono>

#include "bindings.hpp"

namespace dfoundations_python {
namespace {

using namespace dfo;
using detail::Model;

void bind_model_base(py::module_& module)
{
    py::class_<Model>(module, "_Model", doc_of("detail::Model"))
        .def_property_readonly("construction_sequence", &Model::construction_sequence,
                               doc_of("detail::Model::construction_sequence"))
        .def_property_readonly("excavation_level", &Model::excavation_level, doc_of("detail::Model::excavation_level"))
        .def_property_readonly("reduction_cone_resistance", &Model::reduction_cone_resistance,
                               doc_of("detail::Model::reduction_cone_resistance"))
        .def_property_readonly("_cone_resistance_reduction_type", &Model::_cone_resistance_reduction_type)
        .def_property_readonly(
            "materials", [](const Model& model) { return to_python(model.materials()); },
            doc_of("detail::Model::materials"))
        .def_property_readonly(
            "profiles", [](const Model& model) { return to_python(model.profiles()); },
            doc_of("detail::Model::profiles"))
        .def_property_readonly(
            "pile_types", [](const Model& model) { return to_python(model.pile_types()); },
            doc_of("detail::Model::pile_types"))
        .def_property_readonly(
            "piles", [](const Model& model) { return to_python(model.piles()); }, doc_of("detail::Model::piles"))
        .def("_serialize", [](const Model& model) { return to_python(model._serialize()); })
        .def("_validate", &Model::_validate, doc_of("detail::Model::_validate"))
        .def(
            "short_cpts",
            [](const Model& model) {
                py::list found;
                for (const auto& cpt : model.short_cpts())
                    found.append(py::dict(py::arg("profile") = cpt.profile, py::arg("cpt_end") = cpt.cpt_end,
                                          py::arg("needed_level") = cpt.needed_level,
                                          py::arg("needed_for") = cpt.needed_for, py::arg("message") = cpt.message()));
                return found;
            },
            "The profiles whose CPT ends above their pile tip level or the end of the trajectory, as dicts "
            "(profile, cpt_end, needed_level, needed_for, message); a calculation cannot use them.")
        .def(
            "_generate_input",
            [](const Model& model, const std::optional<Metadata>& metadata) {
                return to_python(model._generate_input(metadata));
            },
            py::arg("metadata") = py::none(), doc_of("detail::Model::_generate_input"))
        .def("_generate_input_text",
             py::overload_cast<const std::optional<Metadata>&>(&Model::_generate_input_text, py::const_),
             py::arg("metadata") = py::none(), doc_of("detail::Model::_generate_input_text"))
        .def(
            "generate_input_file",
            [](const Model& model, const std::optional<Metadata>& metadata, bool as_file, const py::object& layout,
               const py::object& version) {
                // What Model::generate_input_file does, with the model read under the GIL, so that
                // another thread cannot change it while the service fills the file.
                const std::optional<int> asked = asked_layout(layout, version);
                dfo::checked_layout({.as_file = as_file, .layout = asked});
                model._validate();
                return input_file_of(model._input_file_document_text(metadata, asked), as_file);
            },
            py::arg("metadata") = py::none(), py::kw_only(), py::arg("as_file") = false, py::arg("layout") = py::none(),
            py::arg("version") = py::none(), doc_of("detail::Model::generate_input_file"));
}

// A model kind with the constructor and calculation options both kinds have.
template <class Kind, class Options>
py::class_<Kind, Model> model_class(py::module_& module, const char* name, const char* doc, const char* init_doc)
{
    py::class_<Kind, Model> kind(module, name, doc);
    kind.def(py::init([](ConstructionSequence construction_sequence, const Options& calculation_options,
                         double excavation_level, std::optional<IntegerOrReal> reduction_cone_resistance,
                         bool create_default_materials) {
                 return Kind(construction_sequence, calculation_options, excavation_level,
                             {reduction_cone_resistance, create_default_materials});
             }),
             py::arg("construction_sequence"), py::arg("calculation_options"), py::arg("excavation_level"),
             py::arg("reduction_cone_resistance") = py::none(), py::kw_only(),
             py::arg("create_default_materials") = true, init_doc)
        .def_property_readonly("calculation_options", &Kind::calculation_options,
                               doc_of("BearingPilesModel::calculation_options"));
    return kind;
}

void bind_bearing_model(py::module_& module)
{
    model_class<BearingPilesModel, BearingPilesCalculationOptions>(module, "BearingPilesModel",
                                                                   doc_of("BearingPilesModel"),
                                                                   doc_of("BearingPilesModel::BearingPilesModel"))
        .def(
            "create_material",
            [](BearingPilesModel& model, const std::string& name, SoilType soil_type, double gamma_unsat,
               double gamma_sat, double friction_angle, double diameter_d50,
               std::optional<ostrand::core::Color> color) {
                model.create_material(name, soil_type, gamma_unsat, gamma_sat, friction_angle, {diameter_d50, color});
            },
            py::arg("name"), py::arg("soil_type"), py::arg("gamma_unsat"), py::arg("gamma_sat"),
            py::arg("friction_angle"), py::kw_only(), py::arg("diameter_d50") = 0.2, py::arg("color") = py::none(),
            doc_of("BearingPilesModel::create_material"))
        .def(
            "create_profile",
            [](BearingPilesModel& model, const std::string& name, const std::vector<ProfileLayer>& layers, double x,
               double y, const Measurements& measurements, double phreatic_level, double pile_tip_level,
               double overconsolidation_ratio, double top_positive_skin_friction, double bottom_negative_skin_friction,
               double expected_ground_level_settlement, CPTRule cpt_rule, double min_layer_thickness) {
                model.create_profile(name, layers, x, y, measurements, phreatic_level, pile_tip_level,
                                     overconsolidation_ratio, top_positive_skin_friction, bottom_negative_skin_friction,
                                     expected_ground_level_settlement, {cpt_rule, min_layer_thickness});
            },
            py::arg("name"), py::arg("layers"), py::arg("x"), py::arg("y"), py::arg("measurements"),
            py::arg("phreatic_level"), py::arg("pile_tip_level"), py::arg("overconsolidation_ratio"),
            py::arg("top_positive_skin_friction"), py::arg("bottom_negative_skin_friction"),
            py::arg("expected_ground_level_settlement"), py::kw_only(), py::arg("cpt_rule") = CPTRule::NEN,
            py::arg("min_layer_thickness") = 0.1, doc_of("BearingPilesModel::create_profile"))
        .def(
            "import_profile",
            [](BearingPilesModel& model, const ostrand::geo::GEFData& cpt, const std::vector<ProfileLayer>& layers,
               double x, double y, double phreatic_level, double pile_tip_level, double overconsolidation_ratio,
               double top_positive_skin_friction, double bottom_negative_skin_friction,
               double expected_ground_level_settlement, std::optional<std::string> name,
               std::optional<double> manual_ground_level, CPTRule cpt_rule, double min_layer_thickness, bool thin_cpt) {
                model.import_profile(cpt, layers, x, y, phreatic_level, pile_tip_level, overconsolidation_ratio,
                                     top_positive_skin_friction, bottom_negative_skin_friction,
                                     expected_ground_level_settlement,
                                     {std::move(name), manual_ground_level, cpt_rule, min_layer_thickness, thin_cpt});
            },
            py::arg("cpt"), py::arg("layers"), py::arg("x"), py::arg("y"), py::arg("phreatic_level"),
            py::arg("pile_tip_level"), py::arg("overconsolidation_ratio"), py::arg("top_positive_skin_friction"),
            py::arg("bottom_negative_skin_friction"), py::arg("expected_ground_level_settlement"), py::kw_only(),
            py::arg("name") = py::none(), py::arg("manual_ground_level") = py::none(),
            py::arg("cpt_rule") = CPTRule::NEN, py::arg("min_layer_thickness") = 0.1, py::arg("thin_cpt") = false,
            doc_of("BearingPilesModel::import_profile"))
        .def(
            "create_pile_type",
            [](BearingPilesModel& model, const std::string& name, const detail::PileShape& shape, PileType pile_type,
               PileSlipLayer slip_layer, std::optional<PileType> type_sand_gravel,
               std::optional<PileTypeClayLoamPeat> type_clay_loam_peat, std::optional<PileType> type_p,
               std::optional<PileLoadSettlementCurve> load_settlement_curve, std::optional<PileMaterial> material,
               std::optional<double> factor_sand_gravel, std::optional<double> factor_clay_loam_peat,
               std::optional<double> factor_pile_class, std::optional<double> e_modulus,
               std::optional<double> slip_layer_adhesion, bool use_pre_2016, bool as_prefab,
               std::optional<double> qciii_reduction, std::optional<double> overrule_tip_section_factor,
               std::optional<double> overrule_tip_shape_factor) {
                model.create_pile_type(name, shape, pile_type, slip_layer,
                                       {type_sand_gravel, type_clay_loam_peat, type_p, load_settlement_curve, material,
                                        factor_sand_gravel, factor_clay_loam_peat, factor_pile_class, e_modulus,
                                        slip_layer_adhesion, use_pre_2016, as_prefab, qciii_reduction,
                                        overrule_tip_section_factor, overrule_tip_shape_factor});
            },
            py::arg("name"), py::arg("shape"), py::arg("pile_type"), py::arg("slip_layer"), py::kw_only(),
            py::arg("type_sand_gravel") = py::none(), py::arg("type_clay_loam_peat") = py::none(),
            py::arg("type_p") = py::none(), py::arg("load_settlement_curve") = py::none(),
            py::arg("material") = py::none(), py::arg("factor_sand_gravel") = py::none(),
            py::arg("factor_clay_loam_peat") = py::none(), py::arg("factor_pile_class") = py::none(),
            py::arg("e_modulus") = py::none(), py::arg("slip_layer_adhesion") = py::none(),
            py::arg("use_pre_2016") = false, py::arg("as_prefab") = false, py::arg("qciii_reduction") = py::none(),
            py::arg("overrule_tip_section_factor") = py::none(), py::arg("overrule_tip_shape_factor") = py::none(),
            doc_of("BearingPilesModel::create_pile_type"))
        .def("create_pile", &BearingPilesModel::create_pile, py::arg("name"), py::arg("x"), py::arg("y"),
             py::arg("pile_head_level"), py::arg("surcharge"), py::arg("limit_state_str_geo"),
             py::arg("serviceability_limit_state"),
             doc_of("BearingPilesModel::create_pile"));
}

void bind_tension_model(py::module_& module)
{
    model_class<TensionPilesModel, TensionPilesCalculationOptions>(module, "TensionPilesModel",
                                                                   doc_of("TensionPilesModel"),
                                                                   doc_of("TensionPilesModel::TensionPilesModel"))
        .def(
            "create_material",
            [](TensionPilesModel& model, const std::string& name, SoilType soil_type, double gamma_unsat,
               double gamma_sat, double friction_angle, double diameter_d50, MaxConeResistType max_cone_resist_type,
               double max_cone_resist, bool apply_tension, double min_void_ratio, double max_void_ratio,
               std::optional<ostrand::core::Color> color) {
                model.create_material(name, soil_type, gamma_unsat, gamma_sat, friction_angle,
                                      {diameter_d50, max_cone_resist_type, max_cone_resist, apply_tension,
                                       min_void_ratio, max_void_ratio, color});
            },
            py::arg("name"), py::arg("soil_type"), py::arg("gamma_unsat"), py::arg("gamma_sat"),
            py::arg("friction_angle"), py::kw_only(), py::arg("diameter_d50") = 0.2,
            py::arg("max_cone_resist_type") = MaxConeResistType::STANDARD, py::arg("max_cone_resist") = 0.0,
            py::arg("apply_tension") = true, py::arg("min_void_ratio") = 0.4, py::arg("max_void_ratio") = 0.8,
            py::arg("color") = py::none(), doc_of("TensionPilesModel::create_material"))
        .def(
            "create_profile",
            [](TensionPilesModel& model, const std::string& name, const std::vector<ProfileLayer>& layers, double x,
               double y, const Measurements& measurements, double phreatic_level, double pile_tip_level,
               double top_tension_zone, CPTRule cpt_rule, double min_layer_thickness) {
                model.create_profile(name, layers, x, y, measurements, phreatic_level, pile_tip_level, top_tension_zone,
                                     {cpt_rule, min_layer_thickness});
            },
            py::arg("name"), py::arg("layers"), py::arg("x"), py::arg("y"), py::arg("measurements"),
            py::arg("phreatic_level"), py::arg("pile_tip_level"), py::arg("top_tension_zone"), py::kw_only(),
            py::arg("cpt_rule") = CPTRule::NEN, py::arg("min_layer_thickness") = 0.1,
            doc_of("TensionPilesModel::create_profile"))
        .def(
            "import_profile",
            [](TensionPilesModel& model, const ostrand::geo::GEFData& cpt, const std::vector<ProfileLayer>& layers,
               double x, double y, double phreatic_level, double pile_tip_level, double top_tension_zone,
               std::optional<std::string> name, std::optional<double> manual_ground_level, CPTRule cpt_rule,
               double min_layer_thickness, bool thin_cpt) {
                model.import_profile(cpt, layers, x, y, phreatic_level, pile_tip_level, top_tension_zone,
                                     {std::move(name), manual_ground_level, cpt_rule, min_layer_thickness, thin_cpt});
            },
            py::arg("cpt"), py::arg("layers"), py::arg("x"), py::arg("y"), py::arg("phreatic_level"),
            py::arg("pile_tip_level"), py::arg("top_tension_zone"), py::kw_only(), py::arg("name") = py::none(),
            py::arg("manual_ground_level") = py::none(), py::arg("cpt_rule") = CPTRule::NEN,
            py::arg("min_layer_thickness") = 0.1, py::arg("thin_cpt") = false, doc_of("TensionPilesModel::import_profile"))
        .def(
            "create_pile_type",
            [](TensionPilesModel& model, const std::string& name, const detail::PileShape& shape,
               PileType type_sand_gravel, PileTypeClayLoamPeat type_clay_loam_peat, PileMaterial material,
               std::optional<double> factor_sand_gravel, std::optional<double> factor_clay_loam_peat,
               std::optional<double> unit_weight_material) {
                model.create_pile_type(name, shape, type_sand_gravel, type_clay_loam_peat, material,
                                       {factor_sand_gravel, factor_clay_loam_peat, unit_weight_material});
            },
            py::arg("name"), py::arg("shape"), py::arg("type_sand_gravel"), py::arg("type_clay_loam_peat"),
            py::arg("material"), py::kw_only(), py::arg("factor_sand_gravel") = py::none(),
            py::arg("factor_clay_loam_peat") = py::none(), py::arg("unit_weight_material") = py::none(),
            doc_of("TensionPilesModel::create_pile_type"))
        .def(
            "create_pile",
            [](TensionPilesModel& model, const std::string& name, double x, double y, double pile_head_level,
               std::optional<std::pair<double, double>> load_max_min) {
                model.create_pile(name, x, y, pile_head_level, {load_max_min});
            },
            py::arg("name"), py::arg("x"), py::arg("y"), py::arg("pile_head_level"), py::kw_only(),
            py::arg("load_max_min") = py::none(),
            doc_of("TensionPilesModel::create_pile"));
}

}  // namespace

py::object input_file_of(std::string document_text, bool as_file)
{
    dfo::InputFile file = [&] {
        py::gil_scoped_release release;
        return dfo::input_file_from_document(std::move(document_text), {.as_file = as_file});
    }();
    return file_object(std::move(file));
}

void bind_models(py::module_& module)
{
    bind_model_base(module);
    bind_bearing_model(module);
    bind_tension_model(module);
    module.def("input_file_from_document", &input_file_of, py::arg("document_text"), py::kw_only(),
               py::arg("as_file") = false,
               doc_of("input_file_from_document"));
}

}  // namespace dfoundations_python
