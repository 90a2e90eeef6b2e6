#include "example_documents.hpp"

#include <stdexcept>

#include "ostrand/external/dfoundations/models.hpp"
#include "ostrand/geo.hpp"

namespace dfoundations_cli {

namespace {

namespace dfo = ostrand::external::dfoundations;

// A CPT as a GEF-CPT file gives it: levels in mm, cone resistance and sleeve friction in MPa.
ostrand::geo::GEFData example_cpt()
{
    ostrand::geo::GEFData cpt;
    cpt.name = "CPT-02";
    cpt.elevation = {500.0, -1000.0, -4000.0, -8000.0, -12000.0};
    cpt.qc = {0.8, 1.5, 12.0, 18.5, 22.0};
    cpt.fs = std::vector<std::optional<double>>{0.01, 0.03, 0.08, 0.12, 0.15};
    cpt.ground_level_wrt_reference = 500.0;
    cpt.project_name = "Example quay";
    cpt.x_y_coordinates = std::pair{155010.0, 463020.0};
    cpt.gef_file_date = "2024-05-13";
    return cpt;
}

dfo::Metadata example_metadata(const char* title)
{
    return dfo::Metadata({.company = "Example company", .title_1 = title, .title_2 = "Start from this document"});
}

std::string bearing_example()
{
    dfo::BearingPilesModel model(
        dfo::ConstructionSequence::CPT_EXCAVATION_INSTALL,
        dfo::BearingPilesCalculationOptions(dfo::CalculationType::INDICATION_BEARING_CAPACITY, false,
                                            {.trajectory_begin_end_interval = dfo::Trajectory{-10.0, -14.0, 0.5}}),
        0.0, {.create_default_materials = false});
    model.create_material("Clay", dfo::SoilType::CLAY, 17.0, 17.5, 22.5);
    model.create_material("Sand", dfo::SoilType::SAND, 18.0, 20.0, 32.5, {.color = ostrand::core::Color(230, 200, 90)});
    const std::vector<dfo::ProfileLayer> layers{dfo::ProfileLayer(0.5, "Clay"), dfo::ProfileLayer(-3.0, "Sand")};
    model.create_profile("CPT-01", layers, 155000.0, 463000.0,
                         {{0.5, 0.9}, {-1.0, 1.2}, {-3.0, 10.5}, {-8.0, 16.0}, {-12.0, 21.0}}, -1.0, -11.0, 1.0, -3.0,
                         -1.5, 0.05);
    model.import_profile(example_cpt(), layers, 155010.0, 463020.0, -1.0, -11.0, 1.0, -3.0, -1.5, 0.05);
    model.create_pile_type("Prefab 400", dfo::RectPile(0.4, 0.4), dfo::PileType::PREFAB_CONCRETE,
                           dfo::PileSlipLayer::NONE);
    model.create_pile("P1", 155002.0, 463005.0, 0.0, 0.0, 900.0, 650.0);
    model.create_pile("P2", 155008.0, 463015.0, 0.0, 0.0, 900.0, 650.0);
    return model._generate_input_text(example_metadata("Bearing piles example"));
}

std::string tension_example()
{
    dfo::TensionPilesModel model(
        dfo::ConstructionSequence::CPT_EXCAVATION_INSTALL,
        dfo::TensionPilesCalculationOptions(dfo::CalculationType::BEARING_CAPACITY_AT_FIXED_PILE_TIP_LEVEL, false), 0.0,
        {.create_default_materials = false});
    model.create_material("Sand", dfo::SoilType::SAND, 18.0, 20.0, 32.5, {.min_void_ratio = 0.45});
    model.create_profile("CPT-01", {dfo::ProfileLayer(0.5, "Sand")}, 0.0, 0.0,
                         {{0.5, 2.0}, {-4.0, 12.0}, {-10.0, 20.0}}, -1.0, -9.0, -2.0);
    model.create_pile_type("Steel 500", dfo::RoundPile(0.5), dfo::PileType::DRIVEN_TUBE_BACK_DRIVING,
                           dfo::PileTypeClayLoamPeat::ACCORDING_TO_STANDARD, dfo::PileMaterial::STEEL);
    model.create_pile("T1", 0.0, 2.0, -0.5, {.load_max_min = std::pair{250.0, -400.0}});
    return model._generate_input_text(example_metadata("Tension piles example"));
}

}  // namespace

std::string example_document(const std::string& kind)
{
    if (kind == "bearing") return bearing_example();
    if (kind == "tension") return tension_example();
    throw std::invalid_argument("There is no example of a '" + kind + "' model; choose bearing or tension");
}

}  // namespace dfoundations_cli
