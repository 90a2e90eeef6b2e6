// Builds a Bearing Piles (EC7-NL) verification model on a CPT read from a GEF file and writes its
// D-Foundations input file:
//   example_bearing_model [INPUT.foi] [CPT.gef]   (defaults: bearing_model.foi, examples/data/cpt_w01.gef)
#include <exception>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include <nlohmann/json.hpp>

#include "ostrand/external/dfoundations/models.hpp"
#include "ostrand/geo.hpp"

namespace dfo = ostrand::external::dfoundations;

namespace {

dfo::BearingPilesModel quay_wall(const ostrand::geo::GEFData& cpt)
{
    const dfo::BearingPilesCalculationOptions options(
        dfo::CalculationType::COMPLETE_CALCULATION, false,
        {.max_allowed_settlement_str_geo = 100, .max_allowed_settlement_sls = 30, .cpt_test_level = -12.0});
    // CPT first, then the excavation to -0.5 m, then the piles; qc is reduced after Begemann.
    dfo::BearingPilesModel model(dfo::ConstructionSequence::CPT_EXCAVATION_INSTALL, options, -0.5,
                                 {.reduction_cone_resistance = 2.0});

    // The layers read off the CPT (top levels in m NAP), with the standard materials.
    const std::vector<dfo::ProfileLayer> layers = {
        dfo::ProfileLayer(0.45, "Sand, clean, loose"),    dfo::ProfileLayer(-0.4, "Clay, clean, weak"),
        dfo::ProfileLayer(-3.2, "Peat, not pl, weak"),    dfo::ProfileLayer(-5.6, "Clay, sl san, moderate"),
        dfo::ProfileLayer(-8.0, "Sand, clean, moderate"), dfo::ProfileLayer(-11.5, "Sand, clean, stiff"),
    };
    const auto [x, y] = cpt.x_y_coordinates.value_or(std::pair{0.0, 0.0});
    model.import_profile(cpt, layers, x, y, /*phreatic_level=*/-0.6, /*pile_tip_level=*/-12.0,
                         /*overconsolidation_ratio=*/1.0, /*top_positive_skin_friction=*/-8.0,
                         /*bottom_negative_skin_friction=*/-8.0, /*expected_ground_level_settlement=*/0.05);

    model.create_pile_type("Prefab 350", dfo::RectPile(0.35, 0.35), dfo::PileType::PREFAB_CONCRETE,
                           dfo::PileSlipLayer::NONE, {.material = dfo::PileMaterial::CONCRETE});
    // Four piles under the quay wall: x, y [m], head level [m NAP], surcharge [kPa], loads [kN].
    for (int i = 0; i < 4; ++i) model.create_pile("P" + std::to_string(i + 1), 1.8 * i, 0.0, -0.5, 5.0, 850.0, 650.0);
    return model;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string target = argc > 1 ? argv[1] : "bearing_model.foi";
    const std::string gef_path = argc > 2 ? argv[2] : "examples/data/cpt_w01.gef";
    try {
        const ostrand::geo::GEFData cpt = ostrand::geo::GEFData::from_file(gef_path);
        const dfo::BearingPilesModel model = quay_wall(cpt);

        // The default platform is the embedded one: the template is filled on this machine.
        const dfo::Metadata metadata({.file_name = target,
                                      .company = "Ostrand Geotechniek",
                                      .title_1 = "Quay wall Westhaven",
                                      .title_2 = "Verification of the prefab piles on " + cpt.name,
                                      .current_date = true,
                                      .current_time = true});
        const dfo::InputFile input = model.generate_input_file(metadata);
        const std::string& bytes = std::get<ostrand::core::BytesIO>(input).getvalue();
        std::ofstream out(target, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) throw std::runtime_error("cannot write " + target);

        std::cout << "Bearing Piles (EC7-NL) verification model\n"
                  << "  profile    " << cpt.name << ": " << cpt.elevation.size() << " CPT rows, "
                  << model.profiles()[0]["layers"].size() << " layers, pile tip at -12.0 m\n"
                  << "  pile type  " << model.pile_types()[0]["name"].get<std::string>() << "\n"
                  << "  piles      " << model.piles().size() << "\n"
                  << "  materials  " << model.materials().size() << "\n"
                  << "wrote " << target << " (" << bytes.size() << " bytes)\n";
    } catch (const std::exception& error) {
        std::cerr << "the model could not be written: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
