// The value objects a D-Foundations model is built from: project metadata, calculation options,
// soil materials and the standard material sets, CPTs, layers and profiles, pile shapes, pile type
// configurations, pile types and piles. Each checks its own arguments when it is constructed (a
// constructor that throws leaves nothing behind) and turns itself into its JSON object of the
// model document.
//
// Arguments that have a default are passed in one options struct per constructor, with designated
// initializers, e.g. `BearingPilesCalculationOptions(CalculationType::DESIGN_CALCULATION, false,
// {.trajectory_begin_end_interval = Trajectory{0.0, -15.0, 0.5}, .cpt_test_level = -1.0})`.
// An absent value is an empty std::optional. Every member of an options struct has an initializer,
// so that a designated initializer may leave out any of them.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "ostrand/core.hpp"
#include "ostrand/external/dfoundations/vocabulary.hpp"

namespace ostrand::external::dfoundations {

// ---------------------------------------------------------------------------------------------
// Project metadata of an input file.

// The named options of Metadata.
struct MetadataOptions {
    std::string file_name = "-";            // the file name the input file states
    std::string company = "-";              // the company the input file states
    std::string title_1 = "-";              // at most 50 characters
    std::string title_2 = "-";              // at most 50 characters
    std::string geotechnical_consultant{};  // the geotechnical consultant
    std::string design_engineer{};          // the design engineer
    std::string principal{};                // the principal
    std::string project_id{};               // at most 20 characters
    std::string location{};                 // the project's location
    bool current_date = false;  // stamp today's local date instead of 01/01/1900
    bool current_time = false;  // stamp the local time instead of 00:00:00
};

// Project metadata of an input file: titles, company and the people involved, and whether the
// file is stamped with today's date and time.
class Metadata {
public:
    // @throws errors::ModelError "Maximum amount of characters for title is 50 (51)." (and the like for
    //         project_id)
    explicit Metadata(MetadataOptions options = {});

    // The file name the input file states.
    const std::string& file_name() const { return fields_.file_name; }
    // The company the input file states.
    const std::string& company() const { return fields_.company; }
    // The first title line, at most 50 characters.
    const std::string& title_1() const { return fields_.title_1; }
    // The second title line, at most 50 characters.
    const std::string& title_2() const { return fields_.title_2; }
    // The geotechnical consultant.
    const std::string& geotechnical_consultant() const { return fields_.geotechnical_consultant; }
    // The design engineer.
    const std::string& design_engineer() const { return fields_.design_engineer; }
    // The principal.
    const std::string& principal() const { return fields_.principal; }
    // The project's identifier, at most 20 characters.
    const std::string& project_id() const { return fields_.project_id; }
    // The project's location.
    const std::string& location() const { return fields_.location; }
    // Whether the file is stamped with today's local date (else 01/01/1900).
    bool current_date() const { return fields_.current_date; }
    // Whether the file is stamped with the local time (else 00:00:00).
    bool current_time() const { return fields_.current_time; }

    // The metadata object of the model document. Reads the clock once, so date and time always
    // belong to the same moment.
    nlohmann::ordered_json _serialize() const;
    // The same object as if the clock read `now`.
    nlohmann::ordered_json _serialize(std::chrono::system_clock::time_point now) const;

private:
    MetadataOptions fields_;
};

// ---------------------------------------------------------------------------------------------
// Calculation options.

// Pile tip trajectory: begin, end, interval.
using Trajectory = std::array<double, 3>;

namespace detail {

// Every setting of a calculation; absent values get their substitutes only when serialized.
struct CalculationSettings {
    std::optional<double> unit_weight_water{};
    std::optional<double> surcharge{};
    std::optional<std::int64_t> max_allowed_settlement_str_geo{};
    std::optional<std::int64_t> max_allowed_relative_rotation_str_geo{};
    std::optional<std::int64_t> max_allowed_settlement_sls{};
    std::optional<std::int64_t> max_allowed_relative_rotation_sls{};
    std::optional<double> xi3{};
    std::optional<double> xi4{};
    std::optional<double> gamma_b{};
    std::optional<double> gamma_s{};
    std::optional<double> gamma_fnk{};
    std::optional<double> gamma_m_var_qc{};
    std::optional<double> gamma_st{};
    std::optional<double> gamma_gamma{};
    std::optional<double> area{};
    std::optional<double> e_ea_gem{};
    bool write_intermediate_results = false;
    bool use_pile_group = true;
    bool overrule_excavation = false;
    bool suppress_qciii_reduction = false;
    bool use_almere_rules = false;
    bool use_extra_almere_rules = false;
    bool use_compaction = false;
    bool overrule_excess_pore_pressure = true;
    std::optional<Trajectory> trajectory_begin_end_interval{};
    std::optional<std::int64_t> net_bearing_capacity{};
    std::optional<double> cpt_test_level{};
};

// Holds and checks the settings shared by both model kinds: the calculation type, whether the
// structure is rigid, and the settings of the type. Immutable.
// Throws ModelError when a calculation type lacks a setting it needs or the trajectory has too
// many steps, and std::domain_error for a trajectory interval of 0.
class CalculationOptions {
public:
    CalculationOptions(CalculationType calculation_type, bool rigid, CalculationSettings settings = {});

    // The calculation type.
    CalculationType calculation_type() const { return calculation_type_; }
    // Preliminary design or verification, as the calculation type says.
    MainCalculationType _main_calculation_type() const;
    // Whether the structure on the piles is rigid.
    bool rigid() const { return rigid_; }
    const CalculationSettings& settings() const { return settings_; }

    nlohmann::ordered_json _serialize() const;

private:
    CalculationType calculation_type_;
    bool rigid_;
    CalculationSettings settings_;
};

}  // namespace detail

// The named options of BearingPilesCalculationOptions. An absent factor is the standard one.
struct BearingPilesCalculationSettings {
    std::int64_t max_allowed_settlement_str_geo = 150;         // [mm], ultimate limit state STR/GEO
    std::int64_t max_allowed_settlement_sls = 150;             // [mm], serviceability limit state
    std::int64_t max_allowed_relative_rotation_str_geo = 100;  // 1/N: N, ultimate limit state STR/GEO
    std::int64_t max_allowed_relative_rotation_sls = 300;      // 1/N: N, serviceability limit state
    std::optional<double> xi3{};                               // correlation factor xi 3, overruled
    std::optional<double> xi4{};                               // correlation factor xi 4, overruled
    std::optional<double> gamma_b{};                           // partial factor of the point resistance
    std::optional<double> gamma_s{};                           // partial factor of the shaft resistance
    std::optional<double> gamma_fnk{};                         // partial factor of negative skin friction
    std::optional<double> area{};                              // [m2], the area the piles stand in
    std::optional<double> e_ea_gem{};                          // [kN], the mean pile stiffness E·A
    bool write_intermediate_results = false;                   // D-Foundations writes its intermediate results
    bool use_pile_group = true;                                // the piles act as a group
    bool overrule_excavation = false;                          // the excavation is overruled
    bool suppress_qciii_reduction = false;                     // qc;III is not reduced
    bool use_almere_rules = false;                             // the Almere rules apply
    bool use_extra_almere_rules = false;                       // the extra Almere rules apply
    std::optional<Trajectory> trajectory_begin_end_interval{};  // pile tip levels [m]: begin, end, interval
    std::optional<std::int64_t> net_bearing_capacity{};        // [kN], for PILE_TIP_LEVEL_AND_NET_BEARING_CAPACITY
    std::optional<double> cpt_test_level{};                    // [m], for a verification
};

// Calculation options of a Bearing Piles (EC7-NL) model; every calculation type is allowed.
class BearingPilesCalculationOptions : public detail::CalculationOptions {
public:
    // @param calculation_type  what D-Foundations calculates
    // @param rigid             whether the structure on the piles is rigid
    // @throws errors::ModelError "'trajectory_begin_end_interval' must be set for calculation type
    //         CalculationType.INDICATION_BEARING_CAPACITY" when the type lacks a setting it needs, or a
    //         trajectory of more than 151 steps
    // @throws std::domain_error "float division by zero" for a trajectory interval of 0
    BearingPilesCalculationOptions(CalculationType calculation_type, bool rigid,
                                   BearingPilesCalculationSettings settings = {});
};

// The named options of TensionPilesCalculationOptions. An absent factor is the standard one.
struct TensionPilesCalculationSettings {
    double unit_weight_water = 9.81;                            // [kN/m3]
    double surcharge = 0.0;                                     // [kPa]
    std::optional<double> xi3{};                                // correlation factor xi 3, overruled
    std::optional<double> xi4{};                                // correlation factor xi 4, overruled
    std::optional<double> gamma_m_var_qc{};                     // partial factor of the qc variation
    std::optional<double> gamma_st{};                           // partial factor of the tension resistance
    std::optional<double> gamma_gamma{};                        // partial factor of the unit weight
    bool use_compaction = false;                                // installation compacts the soil
    bool overrule_excavation = false;                           // the excavation is overruled
    bool overrule_excess_pore_pressure = true;                  // the excess pore pressure is overruled
    std::optional<Trajectory> trajectory_begin_end_interval{};  // pile tip levels [m]: begin, end, interval
    std::optional<std::int64_t> net_bearing_capacity{};         // [kN], for PILE_TIP_LEVEL_AND_NET_BEARING_CAPACITY
};

// Calculation options of a Tension Piles (EC7-NL) model: preliminary-design types only.
class TensionPilesCalculationOptions : public detail::CalculationOptions {
public:
    // The calculation types a Tension Piles model takes.
    static constexpr std::array<CalculationType, 3> VALID_CALCULATION_TYPES = {
        CalculationType::INDICATION_BEARING_CAPACITY,
        CalculationType::BEARING_CAPACITY_AT_FIXED_PILE_TIP_LEVEL,
        CalculationType::PILE_TIP_LEVEL_AND_NET_BEARING_CAPACITY,
    };

    // @param calculation_type  one of VALID_CALCULATION_TYPES
    // @param rigid             whether the structure on the piles is rigid
    // @throws errors::ModelError "Calculation type for Tension Piles (EC7-NL) model must be one of ..."
    //         or a setting the type needs that is missing
    // @throws std::domain_error "float division by zero" for a trajectory interval of 0
    TensionPilesCalculationOptions(CalculationType calculation_type, bool rigid,
                                   TensionPilesCalculationSettings settings = {});
};

// ---------------------------------------------------------------------------------------------
// Soil materials and the standard material sets.

namespace detail {

struct MaterialOptions {
    core::Color color = core::Color::white();
    double e0 = 0.001001;
    double diameter_d50 = 0.2;
    double min_void_ratio = 0.4;
    double max_void_ratio = 0.8;
    double cohesion = 0.0;
    double phi = 20.0;
    double cu = 0.0;
    MaxConeResistType max_cone_resist_type = MaxConeResistType::STANDARD;
    double max_cone_resist = 0.0;
    bool use_tension = true;
    double ca = 1.0;
    double cc = 1.0;
};

// The soil parameters of one material; layers refer to it by the name the model keeps it under.
// Checks nothing. Immutable.
class Material {
public:
    Material(SoilType soil_type, double gam_dry, double gam_wet, MaterialOptions options = {});

    SoilType soil_type() const { return soil_type_; }
    double gam_dry() const { return gam_dry_; }
    double gam_wet() const { return gam_wet_; }
    const core::Color& color() const { return options_.color; }
    const MaterialOptions& options() const { return options_; }

    nlohmann::ordered_json serialize() const;

private:
    SoilType soil_type_;
    double gam_dry_;
    double gam_wet_;
    MaterialOptions options_;
};

// One material of a standard set, with the name it is registered under.
struct MaterialRow {
    std::string name{};
    SoilType soil_type;
    double gam_dry;
    double gam_wet;
    double phi;
    double cohesion;
    double cu;
    double cc;
    double ca;
    double e0;
    core::Color color;

    // The material of this row; the fields a row does not carry keep the Material defaults.
    Material material() const;
};

// The 56 standard materials of each model kind, in registration order; a new list each call.
std::vector<MaterialRow> bearing_default_materials();
std::vector<MaterialRow> tension_default_materials();

}  // namespace detail

// ---------------------------------------------------------------------------------------------
// CPT data, profile layers and profiles.

// The named options of ProfileLayer.
struct ProfileLayerOptions {
    double ad_pore_pressure_at_top = 0.0;     // additional pore pressure at the layer's top [kPa]
    double ad_pore_pressure_at_bottom = 0.0;  // additional pore pressure at the layer's bottom [kPa]
    double ocr = 1.0;                         // overconsolidation ratio of the layer
};

// One soil layer of a profile: its top level and the name of its material. Immutable.
class ProfileLayer {
public:
    // @param top_level  [m]
    // @param material   the name of a material registered in the model
    ProfileLayer(double top_level, std::string material, ProfileLayerOptions options = {});
    ProfileLayer(double top_level, std::string material, double ad_pore_pressure_at_top,
                 double ad_pore_pressure_at_bottom = 0.0, double ocr = 1.0);

    // The layer's top level [m].
    double top_level() const { return top_level_; }
    // The name of the layer's material.
    const std::string& material() const { return material_; }
    // Additional pore pressure at the layer's top [kPa].
    double ad_pore_pressure_at_top() const { return options_.ad_pore_pressure_at_top; }
    // Additional pore pressure at the layer's bottom [kPa].
    double ad_pore_pressure_at_bottom() const { return options_.ad_pore_pressure_at_bottom; }
    // Overconsolidation ratio of the layer.
    double ocr() const { return options_.ocr; }

    nlohmann::ordered_json _serialize() const;

private:
    double top_level_;
    std::string material_;
    ProfileLayerOptions options_;
};

// Rows of a CPT: a level first, then cone resistance and further columns.
using Measurements = std::vector<std::vector<double>>;

namespace detail {

struct CPTOptions {
    CPTRule rule = CPTRule::NEN;
    double min_layer_thickness = 0.1;
    std::string project_name = "Unknown";
    std::string project_id{};
    std::string client_name = "Unknown";
    std::optional<std::chrono::local_seconds> file_date{};  // absent: 1 January 1900, 00:00
    std::string gef_version = "Unknown";
    double x = 987000000.0;
    double y = 987000000.0;
    double excavation_depth = 0.0;
};

// A cone penetration test: at most 5000 measurement rows and the test's descriptive data.
class CPT {
public:
    static constexpr std::size_t MAX_ROWS = 5000;

    CPT(Measurements measurements, double ground_level, bool imported, CPTOptions options = {});

    const Measurements& measurements() const { return measurements_; }
    double ground_level() const { return ground_level_; }
    bool imported() const { return imported_; }
    CPTRule rule() const { return options_.rule; }
    double min_layer_thickness() const { return options_.min_layer_thickness; }
    const std::string& project_name() const { return options_.project_name; }
    const std::string& project_id() const { return options_.project_id; }
    const std::string& client_name() const { return options_.client_name; }
    std::chrono::local_seconds file_date() const { return *options_.file_date; }
    const std::string& gef_version() const { return options_.gef_version; }
    double x() const { return options_.x; }
    double y() const { return options_.y; }
    double excavation_depth() const { return options_.excavation_depth; }

    nlohmann::ordered_json serialize() const;

private:
    Measurements measurements_;
    double ground_level_;
    bool imported_;
    CPTOptions options_;
};

struct ProfileOptions {
    std::optional<double> pile_tip_level{};
    std::optional<double> overconsolidation_ratio{};
    std::optional<double> top_positive_skin_friction{};
    std::optional<double> bottom_negative_skin_friction{};
    std::optional<double> expected_ground_level_settlement{};
    std::optional<double> top_tension_zone{};
};

// A soil profile: a CPT, at most 100 layers, the location and the phreatic level.
class Profile {
public:
    static constexpr std::size_t MAX_LAYERS = 100;

    Profile(CPT cpt, std::vector<ProfileLayer> layers, double x, double y, double phreatic_level,
            ProfileOptions options = {});

    const CPT& cpt() const { return cpt_; }
    const std::vector<ProfileLayer>& layers() const { return layers_; }
    double x() const { return x_; }
    double y() const { return y_; }
    double phreatic_level() const { return phreatic_level_; }
    const ProfileOptions& options() const { return options_; }

    nlohmann::ordered_json serialize(const std::string& name) const;

private:
    CPT cpt_;
    std::vector<ProfileLayer> layers_;
    double x_;
    double y_;
    double phreatic_level_;
    ProfileOptions options_;
};

}  // namespace detail

// ---------------------------------------------------------------------------------------------
// Pile shapes.

namespace detail {

// The exact class of a shape: a subclass is never taken for its base.
enum class ShapeClass {
    RoundPile,
    RectPile,
    RectEnlPile,
    SectionPile,
    UserPile,
    TaperPile,
    HollowPile,
    HollowOpenPile,
    LostTipPile,
    RoundEnlPile,
    DrivenBasePile,
    HShapedPile,
};

// The class name, e.g. "SectionPile".
std::string shape_class_name(ShapeClass shape_class);

// A dimension of a shape and its caption, e.g. {0.4, "Diameter [m)"}.
using ShapeDimension = std::pair<double, std::string>;

// Cross-section (and base) of a pile type. Lengths in metres, thicknesses in millimetres.
class PileShape {
public:
    // The D-Foundations shape codes; text(shape) gives each code's display text.
    enum class Shape {
        ROUND = 0,
        RECT = 1,
        ROUND_ENL = 2,
        RECT_ENL = 3,
        TAPER = 4,
        HOLLOW = 5,
        LOST_TIP = 6,
        DRIVEN = 7,
        SECTION = 8,
        HOL_OPEN = 9,
        H = 10,
        USER_DEFINED = 11,
    };
    // The display text of a shape code, e.g. "Round pile".
    static std::string text(Shape shape);

    virtual ~PileShape() = default;

    // The shape's code.
    virtual Shape _shape() const = 0;
    // The (value, caption) pairs of the shape's dimensions.
    virtual std::vector<ShapeDimension> _data() const = 0;
    virtual ShapeClass shape_class() const = 0;
    virtual std::unique_ptr<PileShape> clone() const = 0;

    // {"num": code, "name": text, "data": [[value, caption], ...]}
    nlohmann::ordered_json _serialize() const;

protected:
    PileShape() = default;
    PileShape(const PileShape&) = default;
    PileShape& operator=(const PileShape&) = default;
};

// What every concrete shape repeats: its code, its exact class and a copy of itself. `Base` is the
// shape it specialises (a SectionPile is a RectPile under another code).
template <class Derived, ShapeClass exact_class, PileShape::Shape code, class Base = PileShape>
class ShapeOf : public Base {
public:
    using Base::Base;
    PileShape::Shape _shape() const override { return code; }
    ShapeClass shape_class() const override { return exact_class; }
    std::unique_ptr<PileShape> clone() const override
    {
        return std::make_unique<Derived>(static_cast<const Derived&>(*this));
    }
};

}  // namespace detail

// A round pile.
class RoundPile : public detail::ShapeOf<RoundPile, detail::ShapeClass::RoundPile, detail::PileShape::Shape::ROUND> {
public:
    // @param diameter  [m]
    explicit RoundPile(double diameter);
    // [m]
    double diameter() const { return diameter_; }

    std::vector<detail::ShapeDimension> _data() const override;

private:
    double diameter_;
};

// A rectangular pile.
class RectPile : public detail::ShapeOf<RectPile, detail::ShapeClass::RectPile, detail::PileShape::Shape::RECT> {
public:
    // @param width, length  [m]
    RectPile(double width, double length);
    // [m]
    double width() const { return width_; }
    // [m]
    double length() const { return length_; }

    std::vector<detail::ShapeDimension> _data() const override;

private:
    double width_;
    double length_;
};

// A rectangular pile with an enlarged base.
class RectEnlPile
    : public detail::ShapeOf<RectEnlPile, detail::ShapeClass::RectEnlPile, detail::PileShape::Shape::RECT_ENL> {
public:
    // @param base_width, base_length, base_height, shaft_width, shaft_length  [m]
    // @throws errors::ModelError "'shaft_width' must be smaller than 'base_width' (currently 0.6 >= 0.5)"
    //         unless the shaft is narrower and shorter than the base
    RectEnlPile(double base_width, double base_length, double base_height, double shaft_width, double shaft_length);
    // [m]
    double base_width() const { return base_width_; }
    // [m]
    double base_length() const { return base_length_; }
    // [m]
    double base_height() const { return base_height_; }
    // [m]
    double shaft_width() const { return shaft_width_; }
    // [m]
    double shaft_length() const { return shaft_length_; }

    std::vector<detail::ShapeDimension> _data() const override;

private:
    double base_width_;
    double base_length_;
    double base_height_;
    double shaft_width_;
    double shaft_length_;
};

// A steel section: a RectPile under its own shape code.
class SectionPile : public detail::ShapeOf<SectionPile, detail::ShapeClass::SectionPile,
                                           detail::PileShape::Shape::SECTION, RectPile> {
public:
    // @param width, length  [m]
    SectionPile(double width, double length);
};

// A pile of a user-defined cross-section (Tension Piles only).
class UserPile
    : public detail::ShapeOf<UserPile, detail::ShapeClass::UserPile, detail::PileShape::Shape::USER_DEFINED> {
public:
    // @param circumference  [m]
    // @param cross_section  [m2]
    UserPile(double circumference, double cross_section);
    // [m]
    double circumference() const { return circumference_; }
    // [m2]
    double cross_section() const { return cross_section_; }

    std::vector<detail::ShapeDimension> _data() const override;

private:
    double circumference_;
    double cross_section_;
};

// A tapered pile.
class TaperPile : public detail::ShapeOf<TaperPile, detail::ShapeClass::TaperPile, detail::PileShape::Shape::TAPER> {
public:
    // @param diameter_tip  [m]
    // @param increase      increase in diameter [m/m]
    TaperPile(double diameter_tip, double increase);
    // [m]
    double diameter_tip() const { return diameter_tip_; }
    // Increase in diameter [m/m].
    double increase() const { return increase_; }

    std::vector<detail::ShapeDimension> _data() const override;

private:
    double diameter_tip_;
    double increase_;
};

// Closed-base hollow pile. Throws ModelError unless the wall is thinner than half the diameter.
class HollowPile
    : public detail::ShapeOf<HollowPile, detail::ShapeClass::HollowPile, detail::PileShape::Shape::HOLLOW> {
public:
    // @param external_diameter  [m]
    // @param wall_thickness     [mm]
    // @throws errors::ModelError "'wall_thickness' must be smaller than half of 'external_diameter'
    //         (currently 0.25 >= 0.2)"
    HollowPile(double external_diameter, double wall_thickness);
    // [m]
    double external_diameter() const { return external_diameter_; }
    // [mm]
    double wall_thickness() const { return wall_thickness_; }
    // In metres.
    double internal_diameter() const;

    std::vector<detail::ShapeDimension> _data() const override;

private:
    double external_diameter_;
    double wall_thickness_;
};

// Open-ended hollow pile; the same dimensions and check as HollowPile.
class HollowOpenPile
    : public detail::ShapeOf<HollowOpenPile, detail::ShapeClass::HollowOpenPile, detail::PileShape::Shape::HOL_OPEN> {
public:
    // @param external_diameter  [m]
    // @param wall_thickness     [mm]
    // @throws errors::ModelError "'wall_thickness' must be smaller than half of 'external_diameter'
    //         (currently 0.25 >= 0.2)"
    HollowOpenPile(double external_diameter, double wall_thickness);
    // [m]
    double external_diameter() const { return external_diameter_; }
    // [mm]
    double wall_thickness() const { return wall_thickness_; }
    // In metres.
    double internal_diameter() const;

    std::vector<detail::ShapeDimension> _data() const override;

private:
    double external_diameter_;
    double wall_thickness_;
};

// A pile with a lost tip.
class LostTipPile
    : public detail::ShapeOf<LostTipPile, detail::ShapeClass::LostTipPile, detail::PileShape::Shape::LOST_TIP> {
public:
    // @param base_diameter, pile_diameter  [m]
    // @throws errors::ModelError "'pile_diameter' must be smaller than 'base_diameter' (currently 0.5 >= 0.4)"
    LostTipPile(double base_diameter, double pile_diameter);
    // [m]
    double base_diameter() const { return base_diameter_; }
    // [m]
    double pile_diameter() const { return pile_diameter_; }

    std::vector<detail::ShapeDimension> _data() const override;

private:
    double base_diameter_;
    double pile_diameter_;
};

// A round pile with an enlarged base.
class RoundEnlPile : public detail::ShapeOf<RoundEnlPile, detail::ShapeClass::RoundEnlPile,
                                            detail::PileShape::Shape::ROUND_ENL, LostTipPile> {
public:
    // @param base_diameter, pile_diameter, base_height  [m]
    // @throws errors::ModelError unless the pile is narrower than its base
    RoundEnlPile(double base_diameter, double pile_diameter, double base_height);
    // [m]
    double base_height() const { return base_height_; }

    std::vector<detail::ShapeDimension> _data() const override;

private:
    double base_height_;
};

// A pile with an in-situ formed base: a RoundEnlPile under its own shape code.
class DrivenBasePile : public detail::ShapeOf<DrivenBasePile, detail::ShapeClass::DrivenBasePile,
                                              detail::PileShape::Shape::DRIVEN, RoundEnlPile> {
public:
    // @param base_diameter, pile_diameter, base_height  [m]
    // @throws errors::ModelError unless the pile is narrower than its base
    DrivenBasePile(double base_diameter, double pile_diameter, double base_height);
};

// An H-shaped pile.
class HShapedPile : public detail::ShapeOf<HShapedPile, detail::ShapeClass::HShapedPile, detail::PileShape::Shape::H> {
public:
    // @param height, width                    [m]
    // @param thickness_web, thickness_flange  [mm]
    // @throws errors::ModelError unless the web is thinner than the width and the flange thinner than
    //         half the height
    HShapedPile(double height, double width, double thickness_web, double thickness_flange);
    // [m]
    double height() const { return height_; }
    // [m]
    double width() const { return width_; }
    // [mm]
    double thickness_web() const { return thickness_web_; }
    // [mm]
    double thickness_flange() const { return thickness_flange_; }

    std::vector<detail::ShapeDimension> _data() const override;

private:
    double height_;
    double width_;
    double thickness_web_;
    double thickness_flange_;
};

// ---------------------------------------------------------------------------------------------
// Pile type configurations.

namespace detail {

// Everything about a pile type but its shape. Checks its own arguments when constructed and,
// through validate, whether a shape class fits it. Immutable.
class PileTypeConfig {
public:
    // The pile types allowed with each exact shape class, in order.
    static const std::map<ShapeClass, std::vector<dfoundations::PileType>> VALID_TYPES;

    virtual ~PileTypeConfig() = default;

    virtual const std::map<PileTypeClayLoamPeat, std::string>& _type_clay_naming() const = 0;
    // Throws ModelError when the shape class is not allowed for this configuration.
    virtual void validate(ShapeClass shape) const = 0;
    // The six keys shared by both kinds; a bearing configuration puts its own keys in front.
    virtual nlohmann::ordered_json serialize() const;
    virtual std::unique_ptr<PileTypeConfig> clone() const = 0;

    std::optional<dfoundations::PileType> _type_sand_gravel() const { return type_sand_gravel_; }
    std::optional<PileTypeClayLoamPeat> _type_clay_loam_peat() const { return type_clay_loam_peat_; }
    std::optional<PileMaterial> _material() const { return material_; }
    std::optional<double> _factor_sand_gravel() const { return factor_sand_gravel_; }
    std::optional<double> _factor_clay_loam_peat() const { return factor_clay_loam_peat_; }
    std::optional<double> _material_property() const { return material_property_; }

protected:
    PileTypeConfig(std::optional<dfoundations::PileType> type_sand_gravel,
                   std::optional<PileTypeClayLoamPeat> type_clay_loam_peat, std::optional<PileMaterial> material,
                   std::optional<double> factor_sand_gravel, std::optional<double> factor_clay_loam_peat,
                   std::optional<double> material_property);
    PileTypeConfig(const PileTypeConfig&) = default;
    PileTypeConfig& operator=(const PileTypeConfig&) = default;

    // The allowed types of the exact shape class, then the two user-defined vibration types.
    static std::vector<dfoundations::PileType> allowed_types(ShapeClass shape);

private:
    std::optional<dfoundations::PileType> type_sand_gravel_;
    std::optional<PileTypeClayLoamPeat> type_clay_loam_peat_;
    std::optional<PileMaterial> material_;
    std::optional<double> factor_sand_gravel_;
    std::optional<double> factor_clay_loam_peat_;
    std::optional<double> material_property_;
};

struct BearingPileTypeConfigOptions {
    std::optional<dfoundations::PileType> type_sand_gravel{};
    std::optional<PileTypeClayLoamPeat> type_clay_loam_peat{};
    std::optional<dfoundations::PileType> type_p{};
    std::optional<PileLoadSettlementCurve> load_settlement_curve{};
    std::optional<PileMaterial> material{};
    std::optional<double> factor_sand_gravel{};
    std::optional<double> factor_clay_loam_peat{};
    std::optional<double> factor_pile_class{};
    std::optional<double> e_modulus_material{};
    std::optional<double> slip_layer_adhesion{};
    bool use_pre_2016 = false;
    bool as_prefab = false;
    std::optional<double> qciii_reduction{};
    std::optional<double> overrule_tip_section_factor{};
    std::optional<double> overrule_tip_shape_factor{};
};

// Configuration of a Bearing Piles (EC7-NL) pile type; the E-modulus is its material property.
class BearingPileTypeConfig final : public PileTypeConfig {
public:
    BearingPileTypeConfig(dfoundations::PileType pile_type, PileSlipLayer slip_layer,
                          BearingPileTypeConfigOptions options = {});

    const std::map<PileTypeClayLoamPeat, std::string>& _type_clay_naming() const override;
    void validate(ShapeClass shape) const override;
    nlohmann::ordered_json serialize() const override;
    std::unique_ptr<PileTypeConfig> clone() const override;

    dfoundations::PileType _pile_type() const { return pile_type_; }
    PileSlipLayer _slip_layer() const { return slip_layer_; }
    std::optional<double> _slip_layer_adhesion() const { return slip_layer_adhesion_; }
    std::optional<dfoundations::PileType> _type_p() const { return type_p_; }
    std::optional<double> _factor_pile_class() const { return factor_pile_class_; }
    std::optional<PileLoadSettlementCurve> _load_settlement_curve() const { return load_settlement_curve_; }
    bool _use_pre_2016() const { return use_pre_2016_; }
    bool _as_prefab() const { return as_prefab_; }
    std::optional<double> _qciii_reduction() const { return qciii_reduction_; }
    std::optional<double> _overrule_tip_section_factor() const { return overrule_tip_section_factor_; }
    std::optional<double> _overrule_tip_shape_factor() const { return overrule_tip_shape_factor_; }

private:
    dfoundations::PileType pile_type_;
    PileSlipLayer slip_layer_;
    std::optional<double> slip_layer_adhesion_;
    std::optional<dfoundations::PileType> type_p_;
    std::optional<double> factor_pile_class_;
    std::optional<PileLoadSettlementCurve> load_settlement_curve_;
    bool use_pre_2016_;
    bool as_prefab_;
    std::optional<double> qciii_reduction_;
    std::optional<double> overrule_tip_section_factor_;
    std::optional<double> overrule_tip_shape_factor_;
};

struct TensionPileTypeConfigOptions {
    std::optional<double> factor_sand_gravel{};
    std::optional<double> factor_clay_loam_peat{};
    std::optional<double> unit_weight_material{};
};

// Configuration of a Tension Piles (EC7-NL) pile type; the unit weight is its material property.
class TensionPileTypeConfig final : public PileTypeConfig {
public:
    TensionPileTypeConfig(std::optional<dfoundations::PileType> type_sand_gravel,
                          std::optional<PileTypeClayLoamPeat> type_clay_loam_peat, std::optional<PileMaterial> material,
                          TensionPileTypeConfigOptions options = {});

    const std::map<PileTypeClayLoamPeat, std::string>& _type_clay_naming() const override;
    void validate(ShapeClass shape) const override;
    std::unique_ptr<PileTypeConfig> clone() const override;
};

// ---------------------------------------------------------------------------------------------
// Pile types and piles.

// A shape joined with a configuration that accepts it. Owns copies of both.
class PileType {
public:
    // Throws the configuration's ModelError when it does not accept the shape's class.
    PileType(const PileShape& shape, const PileTypeConfig& config);
    PileType(const PileType& other);
    PileType& operator=(const PileType& other);
    PileType(PileType&&) noexcept = default;
    PileType& operator=(PileType&&) noexcept = default;
    ~PileType() = default;

    const PileShape& shape() const { return *shape_; }
    const PileTypeConfig& config() const { return *config_; }

    // {"name": name, "shape": ..., "config": ...}
    nlohmann::ordered_json serialize(const std::string& name) const;

private:
    std::unique_ptr<PileShape> shape_;
    std::unique_ptr<PileTypeConfig> config_;
};

struct PileOptions {
    double pile_head_level = 0.0;
    double surcharge = 0.0;
    double limit_state_str_geo = 0.0;
    double serviceability_limit_state = 0.0;
    std::optional<std::pair<double, double>> load_max_min{};  // maximum, minimum
};

// One pile at a position, with its head level and loads. Checks nothing.
class Pile {
public:
    Pile(double x, double y, PileOptions options = {});

    double x() const { return x_; }
    double y() const { return y_; }
    const PileOptions& options() const { return options_; }

    nlohmann::ordered_json serialize(const std::string& name) const;

private:
    double x_;
    double y_;
    PileOptions options_;
};

}  // namespace detail

}  // namespace ostrand::external::dfoundations
