// What the indication calculation reads from an input file, as plain values: the soils, the CPTs with
// their profiles, the pile types, the trajectory and the factors of the calculation options. Read
// from the input file's layout tree, so that every layout of D-Foundations 19 to 25 is read alike.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "foi/foi_reader.hpp"

namespace ostrand::external::dfoundations::calculation {

enum class SoilKind { gravel = 0, sand = 1, loam = 2, clay = 3, peat = 4 };

struct Soil {
    std::string name;
    SoilKind kind = SoilKind::sand;
    double gamma_dry = 0.0;  // kN/m3, above the phreatic level
    double gamma_wet = 0.0;  // kN/m3, below it
    double d50 = 0.2;        // mm
    double phi = 0.0;        // degrees
    double max_cone_resistance = 0.0;  // MPa; used when max_cone_resistance_type is not 0
    int max_cone_resistance_type = 0;
};

struct Layer {
    int soil = 0;  // index into CoreInput::soils
    double top = 0.0;
    double reduction_percent = 0.0;  // the manual reduction of the cone resistance
};

struct Profile {
    std::string name;
    std::vector<double> z;   // m, top down
    std::vector<double> qc;  // MPa
    std::vector<Layer> layers;  // top down
    double phreatic_level = 0.0;
    double ocr_bearing_layer = 1.0;
    double top_positive_skin_friction = 0.0;
    double bottom_negative_skin_friction = 0.0;
    int reduction_type = 0;  // 0 standard, 1 ..., 2 manual
    double excavation_level = 0.0;
};

enum class Shape {
    round = 0,
    rectangular = 1,
    round_enlarged_base = 2,
    rectangular_enlarged_base = 3,
    round_tapered = 4,
    round_hollow_closed = 5,
    round_lost_tip = 6,
    round_driven_base = 7,
    section = 8,
    round_open_hollow = 9,
    h_profile = 10,
};

enum class SlipLayer { none = 0, synthetic = 1, bentonite = 2, bitumen = 3, user_defined = 4 };

struct PileType {
    std::string name;
    int code = 0;  // the standard pile type's index; -1 for a user-defined type
    std::string type_name;  // as the file names it: "B1-Prefabricated concrete pile"
    bool user_defined = false;
    bool user_vibrating = false;
    SlipLayer slip_layer = SlipLayer::none;
    double adhesion = 0.0;  // kPa, for a user-defined slip layer
    Shape shape = Shape::round;
    // The shape's dimensions by their label without the unit ("Base diameter", "Width"), in m or m/m.
    std::vector<std::pair<std::string, double>> dimensions;
    // The dimension of that label; 0 when the file gives none.
    double dimension(std::string_view label) const;
    std::optional<double> beta_user;
    std::optional<double> s_user;
    bool use_pre_2016_alpha_p = false;
    bool use_pre_2025_alpha = false;
    bool manual_qc3_reduction = false;
    double qc3_reduction_percent = 0.0;
    // A user-defined type: its factors, or the standard type whose factor it takes.
    std::optional<double> user_alpha_s_sg;
    int alpha_s_sg_code = -1;
    std::optional<double> user_alpha_s_clp;
    std::optional<double> user_alpha_p;
    int alpha_p_code = -1;
};

struct Factors {
    std::optional<double> xi3, xi4, gamma_b, gamma_s, gamma_fnk;
    std::optional<double> qb_max;
    std::optional<double> qcza_low, qcza_high;
    double unit_weight_water = 9.81;
};

struct CoreInput {
    int layout = 1015;  // the file's "D-Foundations=" version number
    std::vector<Soil> soils;
    std::vector<Profile> profiles;  // those selected, in the order of the preliminary design
    std::vector<PileType> pile_types;  // those selected, in order
    std::vector<double> tip_levels;
    Factors factors;
    double surcharge = 0.0;  // kPa, of the first pile position
};

// Reads the calculation's inputs. Throws UnsupportedCalculation for another model or calculation
// type, errors::ParsingError naming the line for a value that is missing or not a number.
CoreInput read_core_input(const foi::FoiFile& file);

}  // namespace ostrand::external::dfoundations::calculation
