#include <string_view>

#include "ostrand/external/dfoundations/components.hpp"

namespace ostrand::external::dfoundations::detail {

namespace {

// A value of the standard sets: the bearing and the tension value, or one value for both.
struct SetValue {
    constexpr SetValue(double both) : bearing(both), tension(both) {}
    constexpr SetValue(double bearing_value, double tension_value) : bearing(bearing_value), tension(tension_value) {}
    double bearing;
    double tension;
};

struct StandardRow {
    std::string_view name;
    SoilType soil_type;
    std::int64_t colour;
    SetValue gam_dry, gam_wet, phi, cohesion, cu, cc, ca, e0;
};

// Both sets share names, soil types and colours; they differ in unit weights and strengths.
// Columns: name, soil type, colour, gam_dry, gam_wet, phi, cohesion, cu, cc, ca, e0.
// One row a line, as the table is printed.
// clang-format off
constexpr StandardRow STANDARD_ROWS[] = {
    {"BClay, clean, moderate", SoilType::CLAY, 10871211, {18.0, 17.0}, {18.0, 17.0}, 20.0, {8.0, 4.0}, {8.0, 4.0}, 1.0, 1.0, 0.001001},
    {"BClay, clean, modstiff", SoilType::CLAY, 12837291, {19.0, 18.0}, {19.0, 18.0}, 20.0, {15.0, 8.0}, {15.0, 8.0}, 1.0, 1.0, 0.001001},
    {"BClay, clean, stiff", SoilType::CLAY, 11526571, 19.0, 19.0, 20.0, 15.0, 15.0, 1.0, 1.0, 0.001001},
    {"BClay, clean, weak", SoilType::CLAY, 12181931, {17.0, 16.0}, {17.0, 16.0}, 20.0, {4.0, 2.0}, {4.0, 2.0}, 1.0, 1.0, 0.001001},
    {"BClay, sl san, moderate", SoilType::CLAY, 11527851, {18.0, 17.0}, {18.0, 17.0}, 22.0, {8.0, 4.0}, {8.0, 4.0}, 1.0, 1.0, 0.001001},
    {"BClay, sl san, modstiff", SoilType::CLAY, 13493931, {19.0, 18.0}, {19.0, 18.0}, 22.0, {15.0, 8.0}, {15.0, 8.0}, 1.0, 1.0, 0.001001},
    {"BClay, sl san, stiff", SoilType::CLAY, 12183211, 19.0, 19.0, 22.0, 15.0, 15.0, 1.0, 1.0, 0.001001},
    {"BClay, sl san, weak", SoilType::CLAY, 12838571, {17.0, 16.0}, {17.0, 16.0}, 22.0, {4.0, 2.0}, {4.0, 2.0}, 1.0, 1.0, 0.001001},
    {"BGravel, clean, moderate", SoilType::GRAVEL, 9205895, {19.0, 18.0}, {21.0, 20.0}, {40.0, 35.0}, 0.0, 0.0, 1.0, 1.0, 0.256082},
    {"BGravel, clean, stiff", SoilType::GRAVEL, 9861255, 19.0, 21.0, 40.0, 0.0, 0.0, 1.0, 1.0, 0.256082},
    {"BGravel, ve sil, moderate", SoilType::GRAVEL, 8549255, {20.0, 19.0}, {22.0, 21.0}, {37.0, 32.0}, 0.0, 0.0, 1.0, 1.0, 0.256082},
    {"BGravel, ve sil, stiff", SoilType::GRAVEL, 9204615, 20.0, 22.0, 37.0, 0.0, 0.0, 1.0, 1.0, 0.256082},
    {"BLoam, clean, moderate", SoilType::LOAM, 10850182, {19.0, 18.0}, {19.0, 18.0}, 22.0, {4.0, 2.0}, {4.0, 2.0}, 1.0, 1.0, 0.001001},
    {"BLoam, clean, modstiff", SoilType::LOAM, 12816262, {20.0, 19.0}, {20.0, 19.0}, 22.0, {8.0, 4.0}, {8.0, 4.0}, 1.0, 1.0, 0.001001},
    {"BLoam, clean, stiff", SoilType::LOAM, 11505542, 20.0, 20.0, 22.0, 8.0, 8.0, 1.0, 1.0, 0.001001},
    {"BLoam, clean, weak", SoilType::LOAM, 12160902, {18.0, 17.0}, {18.0, 17.0}, 22.0, {2.0, 0.0}, {2.0, 0.0}, 1.0, 1.0, 0.001001},
    {"BLoam, sl san, moderate", SoilType::LOAM, 11506822, {19.0, 18.0}, {19.0, 18.0}, 25.0, {4.0, 2.0}, {4.0, 2.0}, 1.0, 1.0, 0.001001},
    {"BLoam, sl san, modstiff", SoilType::LOAM, 13472902, {20.0, 19.0}, {20.0, 19.0}, 25.0, {8.0, 4.0}, {8.0, 4.0}, 1.0, 1.0, 0.001001},
    {"BLoam, sl san, stiff", SoilType::LOAM, 12162182, 20.0, 20.0, 25.0, 8.0, 8.0, 1.0, 1.0, 0.001001},
    {"BLoam, sl san, weak", SoilType::LOAM, 12817542, {18.0, 17.0}, {18.0, 17.0}, 25.0, {2.0, 0.0}, {2.0, 0.0}, 1.0, 1.0, 0.001001},
    {"BPeat, sl san, moderate", SoilType::PEAT, 3418799, {14.0, 12.0}, {14.0, 12.0}, 15.0, {10.0, 5.0}, {10.0, 5.0}, 1.0, 1.0, 0.001001},
    {"BPeat, sl san, stiff", SoilType::PEAT, 4074159, 14.0, 14.0, 15.0, 10.0, 10.0, 1.0, 1.0, 0.001001},
    {"BPeat, sl san, weak", SoilType::PEAT, 4729519, {12.0, 10.0}, {12.0, 10.0}, 15.0, {5.0, 2.0}, {5.0, 2.0}, 1.0, 1.0, 0.001001},
    {"BSand, clean, loose", SoilType::SAND, 1368569, {17.0, 16.0}, {19.0, 18.0}, {30.0, 27.0}, 0.0, 0.0, 1.0, 1.0, 0.256082},
    {"BSand, clean, moderate", SoilType::SAND, 2023929, {18.0, 17.0}, {20.0, 19.0}, {35.0, 30.0}, 0.0, 0.0, 1.0, 1.0, 0.256082},
    {"BSand, clean, stiff", SoilType::SAND, 2679289, 18.0, 20.0, 35.0, 0.0, 0.0, 1.0, 1.0, 0.256082},
    {"BSand, ve sil, loose", SoilType::SAND, 711929, {17.0, 16.0}, {19.0, 18.0}, {27.0, 25.0}, 0.0, 0.0, 1.0, 1.0, 0.256082},
    {"BSand, ve sil, moderate", SoilType::SAND, 1367289, {18.0, 17.0}, {20.0, 19.0}, {30.0, 27.0}, 0.0, 0.0, 1.0, 1.0, 0.256082},
    {"BSand, ve sil, stiff", SoilType::SAND, 2022649, 18.0, 20.0, 30.0, 0.0, 0.0, 1.0, 1.0, 0.256082},
    {"Clay, clean, moderate", SoilType::CLAY, 10871201, {19.0, 17.0}, {19.0, 17.0}, 17.5, {13.0, 5.0}, {100.0, 50.0}, {0.0921, 0.1535}, {0.0037, 0.0061}, 0.001001},
    {"Clay, clean, stiff", SoilType::CLAY, 11526561, {20.0, 19.0}, {20.0, 19.0}, {25.0, 17.5}, {15.0, 13.0}, {200.0, 100.0}, {0.0768, 0.0921}, {0.0031, 0.0037}, 0.001001},
    {"Clay, clean, weak", SoilType::CLAY, 12181921, {17.0, 14.0}, {17.0, 14.0}, 17.5, {5.0, 0.0}, {50.0, 25.0}, {0.1535, 0.3289}, {0.0061, 0.0131}, 0.001001},
    {"Clay, organ, moderate", SoilType::CLAY, 12841121, {16.0, 15.0}, {16.0, 15.0}, 15.0, {1.0, 0.0}, {30.0, 25.0}, {0.1535, 0.2302}, {0.0077, 0.0115}, 0.001001},
    {"Clay, organ, weak", SoilType::CLAY, 14151841, {15.0, 13.0}, {15.0, 13.0}, 15.0, {1.0, 0.0}, {25.0, 10.0}, {0.2302, 0.307}, {0.0115, 0.0153}, 0.001001},
    {"Clay, sl san, moderate", SoilType::CLAY, 11527841, {20.0, 18.0}, {20.0, 18.0}, 22.5, {13.0, 5.0}, {120.0, 80.0}, {0.0768, 0.1151}, {0.0031, 0.0046}, 0.001001},
    {"Clay, sl san, stiff", SoilType::CLAY, 12183201, {21.0, 20.0}, {21.0, 20.0}, {27.5, 22.5}, {15.0, 13.0}, {170.0, 120.0}, {0.046, 0.0768}, {0.0018, 0.0031}, 0.001001},
    {"Clay, sl san, weak", SoilType::CLAY, 12838561, {18.0, 15.0}, {18.0, 15.0}, 22.5, {5.0, 0.0}, {80.0, 40.0}, {0.1151, 0.2302}, {0.0046, 0.0092}, 0.001001},
    {"Clay, ve san, stiff", SoilType::CLAY, 12839841, {20.0, 18.0}, {20.0, 18.0}, {32.5, 27.5}, {1.0, 0.0}, {10.0, 0.0}, {0.0164, 0.0921}, {0.0007, 0.0037}, 0.001001},
    {"Gravel, sl sil, loose", SoilType::GRAVEL, 7237245, {18.0, 17.0}, {20.0, 19.0}, {35.0, 32.5}, 0.0, 0.0, {0.0029, 0.0058}, 0.0, 0.256082},
    {"Gravel, sl sil, moderate", SoilType::GRAVEL, 7892605, {19.0, 18.0}, {21.0, 20.0}, {37.5, 35.0}, 0.0, 0.0, {0.0024, 0.0029}, 0.0, 0.256082},
    {"Gravel, sl sil, stiff", SoilType::GRAVEL, 8547965, {20.0, 19.0}, {22.0, 21.0}, {40.0, 37.5}, 0.0, 0.0, {0.002, 0.0024}, 0.0, 0.256082},
    {"Gravel, ve sil, loose", SoilType::GRAVEL, 7893885, {19.0, 18.0}, {21.0, 20.0}, {32.5, 30.0}, 0.0, 0.0, {0.0048, 0.0073}, 0.0, 0.256082},
    {"Gravel, ve sil, moderate", SoilType::GRAVEL, 8549245, {20.0, 19.0}, {22.0, 21.0}, {35.0, 32.5}, 0.0, 0.0, {0.0029, 0.0048}, 0.0, 0.256082},
    {"Gravel, ve sil, stiff", SoilType::GRAVEL, 9204605, {21.0, 20.0}, {22.5, 22.0}, {40.0, 35.0}, 0.0, 0.0, {0.0018, 0.0029}, 0.0, {0.180505, 0.256082}},
    {"Loam, sl san, moderate", SoilType::LOAM, 11506812, {21.0, 20.0}, {21.0, 20.0}, {32.5, 27.5}, {2.5, 1.0}, {200.0, 100.0}, {0.0329, 0.0512}, {0.0013, 0.002}, 0.001001},
    {"Loam, sl san, stiff", SoilType::LOAM, 12162172, {22.0, 21.0}, {22.0, 21.0}, {35.0, 27.5}, {3.8, 2.5}, {300.0, 200.0}, {0.023, 0.0329}, {0.0009, 0.0013}, 0.001001},
    {"Loam, sl san, weak", SoilType::LOAM, 12817532, {20.0, 19.0}, {20.0, 19.0}, {30.0, 27.5}, {1.0, 0.0}, {100.0, 50.0}, {0.0512, 0.0921}, {0.002, 0.0037}, 0.001001},
    {"Loam, ve san, stiff", SoilType::LOAM, 12818812, {20.0, 19.0}, {20.0, 19.0}, {35.0, 27.5}, {1.0, 0.0}, {100.0, 50.0}, {0.0329, 0.0512}, {0.0013, 0.002}, 0.001001},
    {"Peat, mod pl, moderate", SoilType::PEAT, 6045349, {13.0, 12.0}, {13.0, 12.0}, 15.0, {5.0, 2.5}, {30.0, 20.0}, {0.2302, 0.307}, {0.0115, 0.0153}, 0.001001},
    {"Peat, not pl, weak", SoilType::PEAT, 6699429, {12.0, 10.0}, {12.0, 10.0}, 15.0, {2.5, 1.0}, {20.0, 10.0}, {0.307, 0.4605}, {0.0153, 0.023}, 0.001001},
    {"Sand, clean, loose", SoilType::SAND, 1368559, {18.0, 17.0}, {20.0, 19.0}, {32.5, 30.0}, 0.0, 0.0, {0.0048, 0.0144}, 0.0, 0.256082},
    {"Sand, clean, moderate", SoilType::SAND, 2023919, {19.0, 18.0}, {21.0, 20.0}, {35.0, 32.5}, 0.0, 0.0, {0.0029, 0.0048}, 0.0, 0.256082},
    {"Sand, clean, stiff", SoilType::SAND, 2679279, {20.0, 19.0}, {22.0, 21.0}, {40.0, 35.0}, 0.0, 0.0, {0.0019, 0.0029}, 0.0, 0.256082},
    {"Sand, sl sil, moderate", SoilType::SAND, 710639, {19.0, 18.0}, {21.0, 20.0}, {32.5, 27.0}, 0.0, 0.0, {0.0044, 0.0064}, 0.0, 0.256082},
    {"Sand, ve sil, loose", SoilType::SAND, 711919, {19.0, 18.0}, {21.0, 20.0}, {30.0, 25.0}, 0.0, 0.0, {0.0073, 0.0144}, 0.0, 0.256082},
    {"Undetermined", SoilType::LOAM, 16777215, 0.01, 0.02, 0.0, 0.0, 0.0, 1.0, 1.0, 0.0},
};
// clang-format on

enum class StandardSet { BEARING, TENSION };

std::vector<MaterialRow> standard_rows(StandardSet set)
{
    const auto pick = [set](const SetValue& value) {
        return set == StandardSet::BEARING ? value.bearing : value.tension;
    };
    std::vector<MaterialRow> rows;
    rows.reserve(std::size(STANDARD_ROWS));
    for (const StandardRow& row : STANDARD_ROWS) {
        rows.push_back({
            .name = std::string(row.name),
            .soil_type = row.soil_type,
            .gam_dry = pick(row.gam_dry),
            .gam_wet = pick(row.gam_wet),
            .phi = pick(row.phi),
            .cohesion = pick(row.cohesion),
            .cu = pick(row.cu),
            .cc = pick(row.cc),
            .ca = pick(row.ca),
            .e0 = pick(row.e0),
            .color = core::Color::from_deltares(row.colour),
        });
    }
    return rows;
}

}  // namespace

std::vector<MaterialRow> bearing_default_materials() { return standard_rows(StandardSet::BEARING); }

std::vector<MaterialRow> tension_default_materials() { return standard_rows(StandardSet::TENSION); }

}  // namespace ostrand::external::dfoundations::detail
