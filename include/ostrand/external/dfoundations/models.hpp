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

struct ModelOptions {
    // Absent selects the safe cone-resistance reduction; a number selects Begemann's.
    std::optional<IntegerOrReal> reduction_cone_resistance{};
    // Register the 56 standard materials of the model kind at creation.
    bool create_default_materials = true;
};

struct CreateProfileOptions {
    CPTRule cpt_rule = CPTRule::NEN;
    double min_layer_thickness = 0.1;
};

struct ImportProfileOptions {
    std::optional<std::string> name{};            // empty or absent: the GEF data's name
    std::optional<double> manual_ground_level{};  // m; absent or 0.0: the GEF ground level
    CPTRule cpt_rule = CPTRule::NEN;
    double min_layer_thickness = 0.1;
};

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

    ConstructionSequence construction_sequence() const { return construction_sequence_; }
    double excavation_level() const { return excavation_level_; }
    const std::optional<IntegerOrReal>& reduction_cone_resistance() const { return reduction_cone_resistance_; }
    ReductionConeResistance _cone_resistance_reduction_type() const;

    // Fresh serialized copies of the collections; the stored objects are never exposed.
    nlohmann::ordered_json materials() const;
    nlohmann::ordered_json profiles() const;
    nlohmann::ordered_json pile_types() const;
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

    // The GEF data's name and a CPT made from its rows, ground level and descriptive data.
    static std::pair<std::string, CPT> _cpt_from_gef_data(const geo::GEFData& gef_data,
                                                          std::optional<double> manual_ground_level = std::nullopt,
                                                          CreateProfileOptions options = {});

    // The level of the first measurement row, the profile's ground level; std::out_of_range naming
    // the profile when there is no row or the first row is empty.
    static double _ground_level_of(const std::string& profile, const Measurements& measurements);

    // The complete model document; without metadata that of a default Metadata.
    nlohmann::ordered_json _generate_input(const std::optional<Metadata>& metadata = std::nullopt) const;
    // The model document as the JSON text sent to the template service (ASCII only). Throws
    // ModelError when a number is not finite or a text is not valid UTF-8, naming where it is.
    std::string _generate_input_text(const std::optional<Metadata>& metadata = std::nullopt) const;
    // The same two as if the clock read `now` (a document read back keeps its own date and time); the
    // text asks for the input file layout `input_file_version` when that is not the default 19.
    nlohmann::ordered_json _generate_input(const Metadata& metadata, std::chrono::system_clock::time_point now) const;
    std::string _generate_input_text(const Metadata& metadata, std::chrono::system_clock::time_point now,
                                     int input_file_version = 19) const;
    // Validates the model, has the template service fill an input file from its document and
    // returns that file. A model read from an input file is saved in that file's layout (unless
    // `options.version` asks for another), with that file's metadata (unless `metadata` is given) and
    // with the lines and sections of that file that the model does not hold.
    InputFile generate_input_file(const std::optional<Metadata>& metadata = std::nullopt,
                                  GenerateInputFileOptions options = {}) const;
    // The JSON text that generate_input_file sends the template service: the model document in the
    // layout `version` (absent: that of the input file the model was read from, else 19), with that
    // file's metadata unless `metadata` is given, and that file's extras.
    std::string _input_file_document_text(const std::optional<Metadata>& metadata, std::optional<int> version) const;
    // Throws errors::ModelError when the input file layout `input_file_version` has no place for a
    // setting the model turns on (D-Foundations 25.1 cannot suppress the qc;III reduction, say).
    void _check_layout_holds(int input_file_version) const;
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

    const CalculationOptions& calculation_options() const { return calculation_options_; }
    std::size_t pile_type_count() const { return pile_types_.size(); }

    // {"model_type": n}: the member a model kind puts in front of the shared ones.
    virtual nlohmann::ordered_json document_head() const = 0;
    // The shared members; with `profiles` false, "profiles" is left an empty array.
    nlohmann::ordered_json serialize_shared(bool profiles) const;
    // document_head() followed by the members of `shared`.
    nlohmann::ordered_json with_head(nlohmann::ordered_json shared) const;
    // The document text with `metadata` as its serialized metadata object. It names the input file
    // layout ("input_file_version") only when that is not the default 19, so that the default road
    // sends the document it always sent.
    std::string document_text(nlohmann::ordered_json metadata, int input_file_version = 19) const;

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

struct BearingMaterialOptions {
    double diameter_d50 = 0.2;
    std::optional<core::Color> color{};  // absent: the material default (white)
};

struct BearingPileTypeOptions {
    std::optional<PileType> type_sand_gravel{};
    std::optional<PileTypeClayLoamPeat> type_clay_loam_peat{};
    std::optional<PileType> type_p{};
    std::optional<PileLoadSettlementCurve> load_settlement_curve{};
    std::optional<PileMaterial> material{};
    std::optional<double> factor_sand_gravel{};
    std::optional<double> factor_clay_loam_peat{};
    std::optional<double> factor_pile_class{};
    std::optional<double> e_modulus{};
    std::optional<double> slip_layer_adhesion{};
    bool use_pre_2016 = false;
    bool as_prefab = false;
    std::optional<double> qciii_reduction{};
    std::optional<double> overrule_tip_section_factor{};
    std::optional<double> overrule_tip_shape_factor{};
};

class BearingPilesModel : public detail::Model {
public:
    BearingPilesModel(ConstructionSequence construction_sequence,
                      const BearingPilesCalculationOptions& calculation_options, double excavation_level,
                      ModelOptions options = {});

    // The model of a D-Foundations input file, built through the operations below, so that every
    // rule applies; see input_file_reader.hpp for what is refused and how.
    static BearingPilesModel from_input_file(std::string_view input_file);

    std::vector<detail::MaterialRow> _default_materials() const override;
    nlohmann::ordered_json _serialize() const override;
    // At most one pile type under a verification calculation, then the shared rules.
    void _create_pile_type(const std::string& name, detail::PileType pile_type) override;

    void create_material(const std::string& name, SoilType soil_type, double gamma_unsat, double gamma_sat,
                         double friction_angle, BearingMaterialOptions options = {});
    void create_profile(const std::string& name, const std::vector<ProfileLayer>& layers, double x, double y,
                        const Measurements& measurements, double phreatic_level, double pile_tip_level,
                        double overconsolidation_ratio, double top_positive_skin_friction,
                        double bottom_negative_skin_friction, double expected_ground_level_settlement,
                        CreateProfileOptions options = {});
    void import_profile(const geo::GEFData& cpt, const std::vector<ProfileLayer>& layers, double x, double y,
                        double phreatic_level, double pile_tip_level, double overconsolidation_ratio,
                        double top_positive_skin_friction, double bottom_negative_skin_friction,
                        double expected_ground_level_settlement, ImportProfileOptions options = {});
    void create_pile_type(const std::string& name, const detail::PileShape& shape, PileType pile_type,
                          PileSlipLayer slip_layer, BearingPileTypeOptions options = {});
    void create_pile(const std::string& name, double x, double y, double pile_head_level, double surcharge,
                     double limit_state_str_geo, double serviceability_limit_state);

    const BearingPilesCalculationOptions& calculation_options() const { return calculation_options_; }

private:
    nlohmann::ordered_json document_head() const override;

    BearingPilesCalculationOptions calculation_options_;
};

// ---------------------------------------------------------------------------------------------
// Tension Piles (EC7-NL).

struct TensionMaterialOptions {
    double diameter_d50 = 0.2;
    MaxConeResistType max_cone_resist_type = MaxConeResistType::STANDARD;
    double max_cone_resist = 0.0;
    bool apply_tension = true;
    double min_void_ratio = 0.4;
    double max_void_ratio = 0.8;
    std::optional<core::Color> color{};  // absent: the material default (white)
};

struct TensionPileTypeOptions {
    std::optional<double> factor_sand_gravel{};
    std::optional<double> factor_clay_loam_peat{};
    std::optional<double> unit_weight_material{};
};

struct TensionPileOptions {
    std::optional<std::pair<double, double>> load_max_min{};  // maximum, minimum
};

class TensionPilesModel : public detail::Model {
public:
    TensionPilesModel(ConstructionSequence construction_sequence,
                      const TensionPilesCalculationOptions& calculation_options, double excavation_level,
                      ModelOptions options = {});

    // The model of a D-Foundations input file, built through the operations below, so that every
    // rule applies; see input_file_reader.hpp for what is refused and how.
    static TensionPilesModel from_input_file(std::string_view input_file);

    std::vector<detail::MaterialRow> _default_materials() const override;
    nlohmann::ordered_json _serialize() const override;

    void create_material(const std::string& name, SoilType soil_type, double gamma_unsat, double gamma_sat,
                         double friction_angle, TensionMaterialOptions options = {});
    void create_profile(const std::string& name, const std::vector<ProfileLayer>& layers, double x, double y,
                        const Measurements& measurements, double phreatic_level, double pile_tip_level,
                        double top_tension_zone, CreateProfileOptions options = {});
    void import_profile(const geo::GEFData& cpt, const std::vector<ProfileLayer>& layers, double x, double y,
                        double phreatic_level, double pile_tip_level, double top_tension_zone,
                        ImportProfileOptions options = {});
    void create_pile_type(const std::string& name, const detail::PileShape& shape, PileType type_sand_gravel,
                          PileTypeClayLoamPeat type_clay_loam_peat, PileMaterial material,
                          TensionPileTypeOptions options = {});
    void create_pile(const std::string& name, double x, double y, double pile_head_level,
                     TensionPileOptions options = {});

    const TensionPilesCalculationOptions& calculation_options() const { return calculation_options_; }

private:
    nlohmann::ordered_json document_head() const override;

    TensionPilesCalculationOptions calculation_options_;
};

}  // namespace ostrand::external::dfoundations
