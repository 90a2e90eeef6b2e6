// The two D-Foundations model kinds, Bearing Piles and Tension Piles (EC7-NL): build a model from
// materials, profiles, pile types and piles, then turn it into a D-Foundations input file through
// the platform's template service.
//
//   BearingPilesModel model(ConstructionSequence::CPT_EXCAVATION_INSTALL, options, -1.0);
//   model.create_profile("CPT1", layers, 0.0, 0.0, rows, -1.0, -20.0, 1.0, -0.5, -10.0, 0.1);
//   model.create_pile_type("PT", RoundPile(0.4), PileType::CONTINUOUS_FLIGHT_AUGER, PileSlipLayer::NONE);
//   model.create_pile("A1", 0.0, 0.0, 0.0, 0.0, 500.0, 400.0);
//   core::BytesIO input = std::get<core::BytesIO>(model.generate_input_file(Metadata()));
//
// Every rejected operation throws (errors::ModelError for invalid model input) and leaves the
// model exactly as it was.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <variant>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "ostrand/core.hpp"
#include "ostrand/external/dfoundations/components.hpp"
#include "ostrand/external/dfoundations/input_file.hpp"
#include "ostrand/external/dfoundations/ordered_map.hpp"
#include "ostrand/external/dfoundations/vocabulary.hpp"
#include "ostrand/geo.hpp"

namespace ostrand::external::dfoundations {

// A number written into the model document unchanged: 5 stays 5 and 5.0 stays 5.0.
using IntegerOrReal = std::variant<std::int64_t, double>;

// The named options of a model's constructor.
struct ModelOptions {
    // Absent selects the safe cone-resistance reduction; a number selects Begemann's.
    std::optional<IntegerOrReal> reduction_cone_resistance{};
    // Register the 56 standard materials of the model kind at creation.
    bool create_default_materials = true;
};

// The named options of create_profile.
struct CreateProfileOptions {
    CPTRule cpt_rule = CPTRule::NEN;  // how D-Foundations interprets the CPT
    double min_layer_thickness = 0.1;  // [m], the thinnest layer the CPT interpretation makes
};

// The named options of import_profile.
struct ImportProfileOptions {
    std::optional<std::string> name{};            // the profile's name; empty or absent: the GEF data's name
    std::optional<double> manual_ground_level{};  // [m]; absent or 0.0: the GEF data's ground level
    CPTRule cpt_rule = CPTRule::NEN;              // how D-Foundations interprets the CPT
    double min_layer_thickness = 0.1;             // [m], the thinnest layer the CPT interpretation makes
    // Thin a CPT of more than 5000 usable rows to at most 5000 (see thinned_gef_data) instead of
    // refusing it.
    bool thin_cpt = false;
};

// A profile whose CPT ends above a level that a calculation needs it to reach.
struct ShortCPT {
    std::string profile;     // the profile's name
    double cpt_end;          // m, the level of the CPT's lowest row
    double needed_level;     // m
    std::string needed_for;  // "its pile tip level" or "the end of the trajectory"

    // "Profile 'CPT-1': its CPT ends at -10.0, above its pile tip level -18.0"
    std::string message() const;
};

// The layer boundaries and the pile tip level: the levels that thinning a CPT for a profile keeps.
std::vector<double> levels_to_keep(const std::vector<ProfileLayer>& layers, double pile_tip_level);

// The GEF data with at most `max_rows` of the rows that a profile takes (a qc, and fs and Rf where
// the data has them); unchanged when it has no more. Kept are the first and last row, the rows on
// both sides of each of `keep_levels` (m; layer boundaries, a pile tip), and in each run of
// neighbouring rows the one with the lowest and the one with the highest qc, so that the minima and
// maxima that the bearing capacity depends on stay in.
geo::GEFData thinned_gef_data(const geo::GEFData& data, const std::vector<double>& keep_levels,
                              std::size_t max_rows = detail::CPT::MAX_ROWS);

namespace detail {

// What a model read from an input file keeps of that file (input_file_reader.hpp).
struct InputFileOrigin;

// What both model kinds share: settings, the four collections with their rules, validation, the
// model document and input-file generation.
class Model {
public:
    static constexpr int SOIL_VERSION = 1003;
    static constexpr int DFOUNDATIONS_VERSION = 1011;
    static constexpr std::size_t MAX_PROFILES = 350;
    static constexpr std::size_t MAX_PILES = 200;
    static constexpr std::size_t MAX_MATERIAL_NAME = 25;
    static constexpr std::size_t MAX_PILE_NAME = 10;

    virtual ~Model() = default;

    // The standard material rows of the model kind.
    virtual std::vector<MaterialRow> _default_materials() const = 0;
    // The model document without "metadata"; a model kind puts "model_type" in front.
    virtual nlohmann::ordered_json _serialize() const;

    // The order of CPT, excavation and pile installation.
    ConstructionSequence construction_sequence() const { return construction_sequence_; }
    // The excavation level [m].
    double excavation_level() const { return excavation_level_; }
    // Begemann's cone-resistance reduction (a number), or absent for the safe reduction.
    const std::optional<IntegerOrReal>& reduction_cone_resistance() const { return reduction_cone_resistance_; }
    // Which cone-resistance reduction the model uses: SAFE or BEGEMANN.
    ReductionConeResistance _cone_resistance_reduction_type() const;

    // The materials, as serialized copies in registration order; the stored objects are never
    // exposed.
    // @python a list of dicts, e.g. [{"name": "Gravel, sl silty, loose", "soil_type": 0, ...}, ...]
    nlohmann::ordered_json materials() const;
    // The profiles, as serialized copies in registration order.
    // @python a list of dicts with "name", "cpt", "layers", ...
    nlohmann::ordered_json profiles() const;
    // The pile types, as serialized copies in registration order.
    // @python a list of dicts with "name", "shape" and "config"
    nlohmann::ordered_json pile_types() const;
    // The piles, as serialized copies in registration order.
    // @python a list of dicts with "name", "x", "y", "pile_head_level", ...
    nlohmann::ordered_json piles() const;
    nlohmann::ordered_json _serialize_materials() const;
    nlohmann::ordered_json _serialize_profiles() const;
    nlohmann::ordered_json _serialize_pile_types() const;
    nlohmann::ordered_json _serialize_piles() const;

    // Registration: each either stores the object or throws ModelError with the model unchanged.
    void _create_material(const std::string& name, Material material);
    void _create_profile(const std::string& name, Profile profile);
    virtual void _create_pile_type(const std::string& name, PileType pile_type);
    void _create_pile(const std::string& name, Pile pile);
    void _create_default_materials();

    // Throws ModelError unless the model has a profile, a pile type and a pile.
    void _validate() const;
    // The profiles whose CPT ends above their pile tip level or above the end of the pile tip
    // trajectory, in profile order. The model operations accept such profiles; a calculation cannot
    // use them, so a caller can ask before running one.
    std::vector<ShortCPT> short_cpts() const;

    // The GEF data's name and a CPT made from its rows, ground level and descriptive data.
    static std::pair<std::string, CPT> _cpt_from_gef_data(const geo::GEFData& gef_data,
                                                          std::optional<double> manual_ground_level = std::nullopt,
                                                          CreateProfileOptions options = {});

    // The level of the first measurement row, the profile's ground level; std::out_of_range naming
    // the profile when there is no row or the first row is empty.
    static double _ground_level_of(const std::string& profile, const Measurements& measurements);

    // The complete model document: the JSON object from which the template service fills the input
    // file, in the order of docs/model_document.schema.json.
    // @param metadata  the project metadata; absent: that of a default Metadata
    // @returns the model document (Python: a dict that keeps the key order)
    nlohmann::ordered_json _generate_input(const std::optional<Metadata>& metadata = std::nullopt) const;
    // The model document as the JSON text sent to the template service (ASCII only). Throws
    // ModelError when a number is not finite or a text is not valid UTF-8, naming where it is.
    std::string _generate_input_text(const std::optional<Metadata>& metadata = std::nullopt) const;
    // The same two as if the clock read `now` (a document read back keeps its own date and time); the
    // text asks for the input file layout `layout` when that is not the default 19.
    nlohmann::ordered_json _generate_input(const Metadata& metadata, std::chrono::system_clock::time_point now) const;
    std::string _generate_input_text(const Metadata& metadata, std::chrono::system_clock::time_point now,
                                     int layout = 19) const;
    // Validates the model, has the template service fill an input file from its document and
    // returns that file. A model read from an input file is saved in that file's layout (unless
    // `options.layout` asks for another), with that file's metadata (unless `metadata` is given) and
    // with the lines and sections of that file that the model does not hold.
    //
    // @param metadata  the project metadata of the file; absent: a default Metadata
    // @param options   as_file, and the layout (19: D-Foundations 19.x, 23: 23.x, 25: 25.1)
    // @returns the input file as an in-memory byte stream, or as the platform's File with as_file
    // @throws errors::ModelError "Invalid model: create at least 1 pile." when a profile, pile type or
    //         pile is missing, or the model asks for what the chosen layout does not have
    // @throws std::invalid_argument "The input file layout must be 19 (D-Foundations 19.x), 23
    //         (D-Foundations 23.x) or 25 (D-Foundations 25.1), not 20"
    // @throws std::runtime_error "Input file could not be generated, please check your model" when the
    //         template service fails; its errors::InternalError is nested
    // @python Returns bytes, or a File with as_file=True; the layout is the keyword layout=19, 23 or 25
    //         (version= is its former name).
    InputFile generate_input_file(const std::optional<Metadata>& metadata = std::nullopt,
                                  GenerateInputFileOptions options = {}) const;
    // The JSON text that generate_input_file sends the template service: the model document in the
    // layout `layout` (absent: that of the input file the model was read from, else 19), with that
    // file's metadata unless `metadata` is given, and that file's extras.
    std::string _input_file_document_text(const std::optional<Metadata>& metadata, std::optional<int> layout) const;
    // Throws errors::ModelError when the input file layout `layout` has no place for a
    // setting the model turns on (D-Foundations 25.1 cannot suppress the qc;III reduction, say).
    void _check_layout_holds(int layout) const;
    // The input file the model was read from, or nullptr for a model built by its caller.
    const InputFileOrigin* _input_file_origin() const { return input_file_origin_.get(); }
    void _set_input_file_origin(std::shared_ptr<const InputFileOrigin> origin)
    {
        input_file_origin_ = std::move(origin);
    }

protected:
    Model(ConstructionSequence construction_sequence, const CalculationOptions& calculation_options,
          double excavation_level, std::optional<IntegerOrReal> reduction_cone_resistance);
    Model(const Model&) = default;
    Model& operator=(const Model&) = default;
    // A model moves rather than copies its profiles, whose CPTs hold thousands of rows.
    Model(Model&&) = default;
    Model& operator=(Model&&) = default;

    const CalculationOptions& calculation_options() const { return calculation_options_; }
    std::size_t pile_type_count() const { return pile_types_.size(); }

    // {"model_type": n}: the member a model kind puts in front of the shared ones.
    virtual nlohmann::ordered_json document_head() const = 0;
    // The shared members; with `profiles` false, "profiles" is left an empty array.
    nlohmann::ordered_json serialize_shared(bool profiles) const;
    // document_head() followed by the members of `shared`.
    nlohmann::ordered_json with_head(nlohmann::ordered_json shared) const;
    // The document text with `metadata` as its serialized metadata object. It names the input file
    // layout ("layout") only when that is not the default 19, so that the default road
    // sends the document it always sent.
    std::string document_text(nlohmann::ordered_json metadata, int layout = 19) const;

private:
    ConstructionSequence construction_sequence_;
    CalculationOptions calculation_options_;
    double excavation_level_;
    std::optional<IntegerOrReal> reduction_cone_resistance_;
    OrderedMap<Material> materials_;
    OrderedMap<Profile> profiles_;
    OrderedMap<PileType> pile_types_;
    OrderedMap<Pile> piles_;
    std::shared_ptr<const InputFileOrigin> input_file_origin_;
};

}  // namespace detail

// ---------------------------------------------------------------------------------------------
// Bearing Piles (EC7-NL).

// The named options of BearingPilesModel::create_material.
struct BearingMaterialOptions {
    double diameter_d50 = 0.2;  // [mm]
    std::optional<core::Color> color{};  // absent: the material default (white)
};

// The named options of BearingPilesModel::create_pile_type; an absent value is the pile type's
// standard one. The user-defined pile types need the factors and curve they overrule.
struct BearingPileTypeOptions {
    std::optional<PileType> type_sand_gravel{};                      // alpha s of a user-defined type
    std::optional<PileTypeClayLoamPeat> type_clay_loam_peat{};       // alpha s in clay, loam and peat
    std::optional<PileType> type_p{};                                // alpha p of a user-defined type
    std::optional<PileLoadSettlementCurve> load_settlement_curve{};  // of a user-defined type
    std::optional<PileMaterial> material{};                          // of a user-defined type
    std::optional<double> factor_sand_gravel{};                      // alpha s, sand and gravel
    std::optional<double> factor_clay_loam_peat{};                   // alpha s, clay, loam and peat
    std::optional<double> factor_pile_class{};                       // alpha p
    std::optional<double> e_modulus{};                               // of the pile material [MPa]
    std::optional<double> slip_layer_adhesion{};                     // [kPa], with a user-defined slip layer
    bool use_pre_2016 = false;                                       // the alpha factors before NEN 9997-1:2016
    bool as_prefab = false;                                          // a screw pile treated as prefab
    std::optional<double> qciii_reduction{};                         // [%], the qc;III reduction overruled
    std::optional<double> overrule_tip_section_factor{};             // s, the tip section factor overruled
    std::optional<double> overrule_tip_shape_factor{};               // beta, the tip shape factor overruled
};

// A Bearing Piles (EC7-NL) model: the bearing capacity and settlement of compression piles, in a
// preliminary design (indication, fixed pile tip level, net bearing capacity) or a verification
// (design or complete calculation). Registers the 56 standard bearing materials at creation.
class BearingPilesModel : public detail::Model {
public:
    // A model with no profiles, pile types or piles yet.
    // @param construction_sequence  the order of CPT, excavation and pile installation
    // @param calculation_options    the calculation type and its settings
    // @param excavation_level       [m]
    // @param options                reduction_cone_resistance: absent for the safe reduction, a number
    //                               for Begemann's; create_default_materials
    // @python reduction_cone_resistance is the fourth positional argument, create_default_materials a
    //         keyword.
    BearingPilesModel(ConstructionSequence construction_sequence,
                      const BearingPilesCalculationOptions& calculation_options, double excavation_level,
                      ModelOptions options = {});

    // The model of a D-Foundations input file, built through the operations below, so that every
    // rule applies; see input_file_reader.hpp for what is refused and how.
    // @param input_file  the bytes of a .foi file (Windows-1252)
    // @returns the model, as its operations build it
    // @throws errors::ParsingError "Input file line 3: ..." when it is no Bearing Piles input file
    // @throws InputFileError "Input file line 1502 (calculation_options): ..." when an operation refuses
    //         what the file states; the operation's errors::ModelError is nested (Python: __cause__)
    // @throws std::invalid_argument "The input file holds a Tension Piles model, not a Bearing Piles
    //         model."
    static BearingPilesModel from_input_file(std::string_view input_file);

    std::vector<detail::MaterialRow> _default_materials() const override;
    nlohmann::ordered_json _serialize() const override;
    // At most one pile type under a verification calculation, then the shared rules.
    void _create_pile_type(const std::string& name, detail::PileType pile_type) override;

    // Registers a soil material.
    // @param name            unique in the model, at most 25 characters
    // @param soil_type       gravel, sand, loam, clay or peat
    // @param gamma_unsat     unit weight above the phreatic level [kN/m3]
    // @param gamma_sat       unit weight below the phreatic level [kN/m3]
    // @param friction_angle  [degrees]
    // @param options         diameter_d50 [mm] and color
    // @throws errors::ModelError "Material with name 'Peat' already exists", or "Name of material can be
    //         max. 25 characters long"
    void create_material(const std::string& name, SoilType soil_type, double gamma_unsat, double gamma_sat,
                         double friction_angle, BearingMaterialOptions options = {});
    // Registers a profile made from CPT rows and layers; the first row's level is its ground level.
    // @param name                              unique in the model; at most 350 profiles
    // @param layers                            from the top down, each naming a registered material
    // @param x, y                              the CPT's position [m]
    // @param measurements                      CPT rows: level [m], qc [MPa], then fs [MPa] and Rf where measured
    // @param phreatic_level                    [m]
    // @param pile_tip_level                    [m]
    // @param overconsolidation_ratio           OCR of the soil, at least 1
    // @param top_positive_skin_friction        top of the zone of positive skin friction [m]
    // @param bottom_negative_skin_friction     bottom of the zone of negative skin friction [m]
    // @param expected_ground_level_settlement  [m]
    // @throws errors::ModelError "Material with name 'Peat' does not exist (layer 1).", a name taken,
    //         or "Maximum number of profiles is 350 (currently: 350)"
    // @throws std::out_of_range when there is no measurement row
    void create_profile(const std::string& name, const std::vector<ProfileLayer>& layers, double x, double y,
                        const Measurements& measurements, double phreatic_level, double pile_tip_level,
                        double overconsolidation_ratio, double top_positive_skin_friction,
                        double bottom_negative_skin_friction, double expected_ground_level_settlement,
                        CreateProfileOptions options = {});
    // Registers a profile made from a CPT read from a GEF or BRO XML file; levels [mm] become metres.
    // @param cpt  the CPT as GEFData::from_file reads it
    // @param layers, x, y, phreatic_level, pile_tip_level  as in create_profile
    // @param overconsolidation_ratio, top_positive_skin_friction  as in create_profile
    // @param bottom_negative_skin_friction, expected_ground_level_settlement  as in create_profile
    // @throws errors::ModelError as create_profile does
    void import_profile(const geo::GEFData& cpt, const std::vector<ProfileLayer>& layers, double x, double y,
                        double phreatic_level, double pile_tip_level, double overconsolidation_ratio,
                        double top_positive_skin_friction, double bottom_negative_skin_friction,
                        double expected_ground_level_settlement, ImportProfileOptions options = {});
    // Registers a pile type: a shape and how the pile is installed. A verification calculation takes
    // exactly one pile type.
    // @param name        unique in the model
    // @param shape       one of the twelve shapes, e.g. RoundPile(0.4)
    // @param pile_type   the installation, which must suit the shape
    // @param slip_layer  the slip layer along the shaft
    // @throws errors::ModelError "'pile_type' for Bearing Piles (EC7-NL) model must be one of ...
    //         (currently: PileType.STEEL)" when the installation does not suit the shape, a name
    //         taken, or a second pile type under a verification
    void create_pile_type(const std::string& name, const detail::PileShape& shape, PileType pile_type,
                          PileSlipLayer slip_layer, BearingPileTypeOptions options = {});
    // Registers a pile.
    // @param name                        unique in the model, at most 10 characters; at most 200 piles
    // @param x, y                        position [m]
    // @param pile_head_level             [m]
    // @param surcharge                   [kPa]
    // @param limit_state_str_geo         load in the ultimate limit state STR/GEO [kN]
    // @param serviceability_limit_state  load in the serviceability limit state [kN]
    // @throws errors::ModelError "Pile with name '1' already exists", "Name of pile can be max. 10
    //         characters long" or "Maximum number of piles reached (200)"
    void create_pile(const std::string& name, double x, double y, double pile_head_level, double surcharge,
                     double limit_state_str_geo, double serviceability_limit_state);

    // The calculation type and its settings.
    const BearingPilesCalculationOptions& calculation_options() const { return calculation_options_; }

private:
    nlohmann::ordered_json document_head() const override;

    BearingPilesCalculationOptions calculation_options_;
};

// ---------------------------------------------------------------------------------------------
// Tension Piles (EC7-NL).

// The named options of TensionPilesModel::create_material.
struct TensionMaterialOptions {
    double diameter_d50 = 0.2;                                             // [mm]
    MaxConeResistType max_cone_resist_type = MaxConeResistType::STANDARD;  // how qc is capped
    double max_cone_resist = 0.0;                                          // [MPa], with MANUAL
    bool apply_tension = true;                                             // the layer takes tension
    double min_void_ratio = 0.4;                                           // e min
    double max_void_ratio = 0.8;                                           // e max
    std::optional<core::Color> color{};  // absent: the material default (white)
};

// The named options of TensionPilesModel::create_pile_type; absent: the pile type's standard value.
struct TensionPileTypeOptions {
    std::optional<double> factor_sand_gravel{};     // alpha t, sand and gravel
    std::optional<double> factor_clay_loam_peat{};  // alpha t, clay, loam and peat
    std::optional<double> unit_weight_material{};   // of the pile [kN/m3]
};

// The named options of TensionPilesModel::create_pile.
struct TensionPileOptions {
    std::optional<std::pair<double, double>> load_max_min{};  // the maximum and minimum load [kN]
};

// A Tension Piles (EC7-NL) model: the tension capacity of piles, in a preliminary design only.
// Registers the 56 standard tension materials at creation.
class TensionPilesModel : public detail::Model {
public:
    // A model with no profiles, pile types or piles yet.
    // @param construction_sequence  the order of CPT, excavation and pile installation
    // @param calculation_options    the calculation type (a preliminary design) and its settings
    // @param excavation_level       [m]
    // @param options                reduction_cone_resistance and create_default_materials
    TensionPilesModel(ConstructionSequence construction_sequence,
                      const TensionPilesCalculationOptions& calculation_options, double excavation_level,
                      ModelOptions options = {});

    // The model of a D-Foundations input file, built through the operations below, so that every
    // rule applies; see input_file_reader.hpp for what is refused and how.
    // @param input_file  the bytes of a .foi file (Windows-1252)
    // @returns the model, as its operations build it
    // @throws errors::ParsingError "Input file line 3: ..." when it is no Tension Piles input file
    // @throws InputFileError "Input file line 1502 (calculation_options): Calculation type for Tension
    //         Piles (EC7-NL) model must be one of ..." when an operation refuses what the file states
    // @throws std::invalid_argument "The input file holds a Bearing Piles model, not a Tension Piles
    //         model."
    static TensionPilesModel from_input_file(std::string_view input_file);

    std::vector<detail::MaterialRow> _default_materials() const override;
    nlohmann::ordered_json _serialize() const override;

    // Registers a soil material.
    // @param name            unique in the model, at most 25 characters
    // @param soil_type       gravel, sand, loam, clay or peat
    // @param gamma_unsat     unit weight above the phreatic level [kN/m3]
    // @param gamma_sat       unit weight below the phreatic level [kN/m3]
    // @param friction_angle  [degrees]
    // @throws errors::ModelError "Material with name 'Peat' already exists"
    void create_material(const std::string& name, SoilType soil_type, double gamma_unsat, double gamma_sat,
                         double friction_angle, TensionMaterialOptions options = {});
    // Registers a profile made from CPT rows and layers; the first row's level is its ground level.
    // @param name              unique in the model; at most 350 profiles
    // @param layers            from the top down, each naming a registered material
    // @param x, y              the CPT's position [m]
    // @param measurements      CPT rows: level [m], qc [MPa], then fs [MPa] and Rf where measured
    // @param phreatic_level    [m]
    // @param pile_tip_level    [m]
    // @param top_tension_zone  top of the zone in which the pile takes tension [m]
    // @throws errors::ModelError "Material with name 'Peat' does not exist (layer 1).", or a name taken
    // @throws std::out_of_range when there is no measurement row
    void create_profile(const std::string& name, const std::vector<ProfileLayer>& layers, double x, double y,
                        const Measurements& measurements, double phreatic_level, double pile_tip_level,
                        double top_tension_zone, CreateProfileOptions options = {});
    // Registers a profile made from a CPT read from a GEF or BRO XML file; levels [mm] become metres.
    // @param cpt  the CPT as GEFData::from_file reads it
    // @param layers, x, y, phreatic_level, pile_tip_level, top_tension_zone  as in create_profile
    // @throws errors::ModelError as create_profile does
    void import_profile(const geo::GEFData& cpt, const std::vector<ProfileLayer>& layers, double x, double y,
                        double phreatic_level, double pile_tip_level, double top_tension_zone,
                        ImportProfileOptions options = {});
    // Registers a pile type: a shape and how the pile is installed.
    // @param name                 unique in the model
    // @param shape                one of the shapes, e.g. RoundPile(0.3)
    // @param type_sand_gravel     the installation, as it counts in sand and gravel
    // @param type_clay_loam_peat  as it counts in clay, loam and peat
    // @param material             the pile's material
    // @throws errors::ModelError "'type_sand_gravel' for Tension Piles (EC7-NL) model must be one of ...
    //         (currently: PileType.MV)" when the installation does not suit the shape
    void create_pile_type(const std::string& name, const detail::PileShape& shape, PileType type_sand_gravel,
                          PileTypeClayLoamPeat type_clay_loam_peat, PileMaterial material,
                          TensionPileTypeOptions options = {});
    // Registers a pile.
    // @param name             unique in the model, at most 10 characters; at most 200 piles
    // @param x, y             position [m]
    // @param pile_head_level  [m]
    // @throws errors::ModelError "Pile with name 'T1' already exists"
    void create_pile(const std::string& name, double x, double y, double pile_head_level,
                     TensionPileOptions options = {});

    // The calculation type and its settings.
    const TensionPilesCalculationOptions& calculation_options() const { return calculation_options_; }

private:
    nlohmann::ordered_json document_head() const override;

    TensionPilesCalculationOptions calculation_options_;
};

}  // namespace ostrand::external::dfoundations
