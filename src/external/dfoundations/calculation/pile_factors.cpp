#include "external/dfoundations/calculation/pile_factors.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace ostrand::external::dfoundations::calculation {

namespace {

constexpr int STANDARD_TYPES = 23;
// MV piles and the grouted steel profiles and pipes: their factors were not seen in D-Foundations' output.
bool known_type(int code) { return code >= 0 && code < STANDARD_TYPES && code != 15; }

// NEN 9997-1 table 7.c: alpha_p before the factor 0.7, by pile type index (0 B1 ... 22 ME).
constexpr std::array<double, STANDARD_TYPES> ALPHA_P_TABLE = {
    1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 0.9, 0.9, 0.8, 0.8, 1.0, 0.8, 0.5, 0.5, 1.0, 1.0,
    0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5};

// alpha_s for sand and gravel, by pile type index (the 2017 table).
constexpr std::array<double, STANDARD_TYPES> ALPHA_S_SG_TABLE = {
    0.010, 0.010, 0.014, 0.012, 0.012, 0.010, 0.009, 0.009, 0.009, 0.006, 0.006, 0.006,
    0.006, 0.005, 0.006, 0.006, 0.011, 0.008, 0.011, 0.008, 0.008, 0.008, 0.006};

bool standard(int code) { return code >= 0 && code < STANDARD_TYPES; }

bool uses_2025_factors(const PileType& pile, PileFactorRules rules)
{
    return rules == PileFactorRules::RULES_2025 && !pile.use_pre_2025_alpha;
}

// The 2025 revision lowers alpha_p of the screw, auger, cased bored and micro piles.
bool low_alpha_p_2025(int code) { return code == 6 || code == 7 || code == 9 || code == 11 || code == 13 || (code >= 16 && code <= 22); }

double standard_alpha_p(int code, const PileType& pile, PileFactorRules rules)
{
    const double table = standard(code) ? ALPHA_P_TABLE[static_cast<std::size_t>(code)] : 1.0;
    if (rules == PileFactorRules::RULES_2017) return pile.use_pre_2016_alpha_p ? table : 0.7 * table;
    if (uses_2025_factors(pile, rules) && low_alpha_p_2025(code)) return 0.30;
    return 0.7 * table;
}

double standard_alpha_s_sg(int code, const PileType& pile, PileFactorRules rules)
{
    if (!standard(code)) return 0.0;
    if (uses_2025_factors(pile, rules)) {
        if (code == 1) return 0.008;
        if (code == 22) return 0.010;
    }
    return ALPHA_S_SG_TABLE[static_cast<std::size_t>(code)];
}

bool displacement_type(const PileType& pile, PileFactorRules rules)
{
    if (pile.user_defined) return pile.user_vibrating;
    const int k = pile.code;
    if (k == 0 || k == 1 || k == 2 || k == 3 || k == 22) return true;
    return rules == PileFactorRules::RULES_2025 && (k == 4 || k == 5);
}

double area_round(double d) { return std::numbers::pi * d * d / 4.0; }

// The side lengths in ascending order.
std::pair<double, double> sorted(double a, double b) { return a <= b ? std::pair{a, b} : std::pair{b, a}; }

double equivalent_diameter(double a, double b) { return 1.13 * std::sqrt(a * b); }

double s_of(double a, double b)
{
    const auto [small, large] = sorted(a, b);
    return large > 0 ? std::cbrt(small / large) : 1.0;
}

// beta of an enlarged base (NEN 9997-1 figure 7.g) from the ratio of the base's and the shaft's
// equivalent diameters and the base height relative to the base. Interpolated between the points
// D-Foundations prints (a lost tip 550/430 gives 0.77, a driven base 550/430 high 0.60 gives 0.90, bases
// higher than about twice their diameter 1.00); the figure itself was not at hand.
double enlarged_base_beta(double base, double shaft, double height)
{
    if (shaft <= 0 || base <= shaft) return 1.0;
    const double reduction = 0.824 * (base / shaft - 1.0);
    const double relative_height = base > 0 ? height / base : 0.0;
    const double remaining = std::max(0.0, 1.0 - relative_height / 1.93);
    return std::clamp(1.0 - reduction * remaining, 0.5, 1.0);
}

}  // namespace

double PileFactors::alpha_s_clp(SoilKind kind, double qc) const
{
    if (pile->user_alpha_s_clp) return *pile->user_alpha_s_clp;
    switch (kind) {
        case SoilKind::loam: return 0.025;
        case SoilKind::clay: return qc > 2.0 ? 0.030 : 0.020;
        default: return 0.0;
    }
}

double PileFactors::coarse_grain_factor(const Soil& soil) const
{
    const bool gravel = soil.kind == SoilKind::gravel;
    const int grain_class = soil.d50 <= 0.6 ? 0 : (soil.d50 <= 2.0 ? 1 : 2);
    const int k = pile->user_defined ? -1 : pile->code;
    // Unlike alpha_p and alpha_s, the grain-size factors of the 2025 revision hold with the pre-2025 factors too.
    if (rules == PileFactorRules::RULES_2025) {
        if (k == 0 || k == 1) return gravel || grain_class == 1 ? 0.85 : 1.0;
        if (k == 4 || k == 5) {
            if (gravel) return grain_class == 2 ? 0.75 : 0.85;
            return grain_class == 2 ? 0.85 : 1.0;
        }
        if (k == 10) return gravel ? (grain_class == 2 ? 0.75 : grain_class == 1 ? 0.85 : 1.0) : (grain_class == 2 ? 0.85 : 1.0);
        return 1.0;
    }
    if (k == 0 || k == 1) return gravel && grain_class > 0 ? 0.85 : 1.0;
    if (k == 4 || k == 5 || k == 8 || k == 9 || k == 10) {
        if (gravel) return grain_class == 2 ? 0.75 : grain_class == 1 ? 0.85 : 1.0;
        return grain_class == 2 ? 0.85 : 1.0;
    }
    return 1.0;
}

PileFactors pile_factors(const PileType& pile, PileFactorRules rules)
{
    PileFactors factors;
    factors.pile = &pile;
    factors.rules = rules;
    factors.displacement = displacement_type(pile, rules);
    if (pile.user_defined) {
        if ((!pile.user_alpha_p && !known_type(pile.alpha_p_code)) || (!pile.user_alpha_s_sg && !known_type(pile.alpha_s_sg_code)))
            throw UnsupportedCalculation("The open calculation core has no pile factors for the pile type that '" +
                                         pile.name + "' takes its factors from; it covers " + CORE_COVERS + ".");
        factors.alpha_p = pile.user_alpha_p ? *pile.user_alpha_p : standard_alpha_p(pile.alpha_p_code, pile, rules);
        factors.alpha_s_sg = pile.user_alpha_s_sg ? *pile.user_alpha_s_sg : standard_alpha_s_sg(pile.alpha_s_sg_code, pile, rules);
        factors.delta_is_phi = false;
        return factors;
    }
    const int k = pile.code;
    if (!known_type(k))
        throw UnsupportedCalculation("The open calculation core has no pile factors for the pile type '" + pile.type_name +
                                     "' of '" + pile.name + "'; it covers " + CORE_COVERS +
                                     " for the pile types B1 to B8, S1 to S7, H1, H2, the micro piles MA to ME and "
                                     "user-defined types.");
    factors.alpha_p = standard_alpha_p(k, pile, rules);
    factors.alpha_s_sg = standard_alpha_s_sg(k, pile, rules);
    factors.delta_is_phi = k == 2 || k == 3 || k == 6 || k == 7 || k == 11 || k == 12;
    factors.limit_qc3_to_2_mpa = rules == PileFactorRules::RULES_2017 && k == 11;
    return factors;
}

PileGeometry pile_geometry(const PileType& pile)
{
    PileGeometry g;
    g.pile = &pile;
    const auto d = [&](std::string_view label) { return pile.dimension(label); };
    switch (pile.shape) {
        case Shape::round:
        case Shape::round_hollow_closed:
            g.tip_area = area_round(d("Diameter") + d("External diameter"));
            g.d_eq = d("Diameter") + d("External diameter");
            break;
        case Shape::round_open_hollow:
            g.tip_area = area_round(d("External diameter"));
            g.d_eq = d("External diameter");
            break;
        case Shape::round_tapered:
            g.tip_area = area_round(d("Diameter"));
            g.d_eq = d("Diameter");
            break;
        case Shape::round_enlarged_base:
        case Shape::round_lost_tip:
        case Shape::round_driven_base:
            g.tip_area = area_round(d("Base diameter"));
            g.d_eq = d("Base diameter");
            g.beta_factor = enlarged_base_beta(d("Base diameter"), d("Pile diameter"), d("Base height"));
            break;
        case Shape::rectangular:
        case Shape::section:
            g.tip_area = d("Width") * d("Length");
            g.d_eq = equivalent_diameter(d("Width"), d("Length"));
            g.s_factor = s_of(d("Width"), d("Length"));
            break;
        case Shape::rectangular_enlarged_base:
            g.tip_area = d("Base width") * d("Base length");
            g.d_eq = equivalent_diameter(d("Base width"), d("Base length"));
            g.s_factor = s_of(d("Base width"), d("Base length"));
            g.beta_factor = enlarged_base_beta(g.d_eq, equivalent_diameter(d("Shaft width"), d("Shaft length")), d("Base height"));
            break;
        case Shape::h_profile: {
            const double h = d("Height H-shape");
            const double w = d("Width H-shape");
            const double tf = d("Thickness flange");
            g.tip_area = 2.0 * w * tf + (h - 2.0 * tf) * d("Thickness web");
            g.d_eq = equivalent_diameter(h, w);
            g.s_factor = s_of(h, w);
            break;
        }
    }
    // A user-defined type holds its beta and s as D-Foundations shows them, to two decimals (Tutorial-1's
    // enlarged base 400 x 420: s 0.98, not 0.984, reproduces its tip resistance).
    if (pile.user_defined) {
        g.beta_factor = std::round(g.beta_factor * 100.0) / 100.0;
        g.s_factor = std::round(g.s_factor * 100.0) / 100.0;
    }
    if (pile.beta_user) g.beta_factor = *pile.beta_user;
    if (pile.s_user) g.s_factor = *pile.s_user;
    return g;
}

namespace {

constexpr double ABOVE_EVERYTHING = 1e9;

PerimeterSegments stretches(double tip, double base_height, double base, double shaft)
{
    PerimeterSegments segments;
    const double top_of_base = tip + base_height;
    if (base_height > 0 && base > 0) segments.items[segments.count++] = {top_of_base, tip, base, 0.0};
    if (shaft > 0) segments.items[segments.count++] = {ABOVE_EVERYTHING, base_height > 0 ? top_of_base : tip, shaft, 0.0};
    return segments;
}

}  // namespace

double PileGeometry::base_height() const { return pile->dimension("Base height"); }

PerimeterSegments PileGeometry::shaft_perimeter(double tip) const
{
    return perimeter(tip, false);
}

PerimeterSegments PileGeometry::nsf_perimeter(double tip) const
{
    return perimeter(tip, true);
}

PerimeterSegments PileGeometry::perimeter(double tip, bool negative) const
{
    const PileType& p = *pile;
    const auto d = [&](std::string_view label) { return p.dimension(label); };
    const double pi = std::numbers::pi;
    // Standard types with an enlarged base take positive friction on the base only; user-defined types,
    // and the negative skin friction, on the shaft above it too.
    const bool shaft_above_base = negative || p.user_defined;
    switch (p.shape) {
        case Shape::round: return stretches(tip, 0, 0, pi * d("Diameter"));
        case Shape::round_hollow_closed:
        case Shape::round_open_hollow: return stretches(tip, 0, 0, pi * d("External diameter"));
        case Shape::rectangular:
        case Shape::section: return stretches(tip, 0, 0, 2.0 * (d("Width") + d("Length")));
        case Shape::round_tapered: {
            // 19.x calls the increase one of the diameter, 25.1 one of the radius; both hold a radius rate.
            const double increase = d("Increase in radius") + d("Increase in diameter");
            PerimeterSegments segments;
            segments.items[0] = {ABOVE_EVERYTHING, tip, pi * (d("Diameter") - 2.0 * increase * tip), 2.0 * pi * increase};
            segments.count = 1;
            return segments;
        }
        case Shape::round_enlarged_base:
            return stretches(tip, d("Base height"), pi * d("Base diameter"), shaft_above_base ? pi * d("Pile diameter") : 0.0);
        case Shape::rectangular_enlarged_base:
            return stretches(tip, d("Base height"), 2.0 * (d("Base width") + d("Base length")),
                             shaft_above_base ? 2.0 * (d("Shaft width") + d("Shaft length")) : 0.0);
        case Shape::round_lost_tip: return stretches(tip, 0, 0, pi * d("Pile diameter"));
        case Shape::round_driven_base: return stretches(tip, d("Base height"), pi * d("Base diameter"), pi * d("Pile diameter"));
        case Shape::h_profile:
            return stretches(tip, 0, 0, 2.0 * d("Height H-shape") + 4.0 * d("Width H-shape") - 2.0 * d("Thickness web"));
    }
    return {};
}

}  // namespace ostrand::external::dfoundations::calculation
