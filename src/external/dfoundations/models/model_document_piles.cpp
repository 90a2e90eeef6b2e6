// Pile types and piles of a model document, through create_pile_type and create_pile.
#include <memory>

#include "external/dfoundations/models/model_document_parts.hpp"

namespace ostrand::external::dfoundations::document_reader {

namespace {

using detail::refuse_member;

template <typename E>
std::optional<E> pair_or_null(const DocumentMember& member, const char* name, int first, int last)
{
    if (member.is_null()) return std::nullopt;
    if (member.size() != 2) refuse_member(member.path(), "must be a pair [value, text] or null");
    return member[std::size_t{0}].member_of<E>(name, first, last);
}
std::optional<PileType> pile_type_or_null(const DocumentMember& member)
{
    return pair_or_null<PileType>(member, "PileType", 0, 27);
}
template <typename T>
T given(const std::optional<T>& value, const DocumentMember& member)
{
    if (!value) refuse_member(member.path(), "must be given (currently null)");
    return *value;
}

std::unique_ptr<detail::PileShape> shape_of(const DocumentMember& shape)
{
    using Shape = detail::PileShape::Shape;
    const Shape code = shape["num"].member_of<Shape>("the shape codes", 0, 11);
    const DocumentMember data = shape["data"];
    const auto value = [&](std::size_t i) {
        if (data[i].size() != 2) refuse_member(data[i].path(), "must be a pair [value, caption]");
        return data[i][std::size_t{0}].number();
    };
    const auto dimensions = [&](std::size_t count) {
        if (data.size() != count) {
            refuse_member(data.path(), "must hold " + std::to_string(count) + " dimensions for shape " +
                                           std::to_string(static_cast<int>(code)) + " (currently " +
                                           std::to_string(data.size()) + ")");
        }
    };
    // The wall thickness (mm) whose internal diameter is the document's.
    const auto wall_thickness = [&] {
        const double external = value(0);
        return made_into(value(1), (external - value(1)) * 1000 / 2,
                         [&](double thickness) { return external - (2 * thickness) / 1000; });
    };
    const auto millimetres = [&](std::size_t i) {
        return made_into(value(i), value(i) * 1000, [](double mm) { return mm / 1000; });
    };
    switch (code) {
    case Shape::ROUND: dimensions(1); return std::make_unique<RoundPile>(value(0));
    case Shape::RECT: dimensions(2); return std::make_unique<RectPile>(value(0), value(1));
    case Shape::ROUND_ENL: dimensions(3); return std::make_unique<RoundEnlPile>(value(0), value(1), value(2));
    case Shape::RECT_ENL:
        dimensions(5);
        return std::make_unique<RectEnlPile>(value(0), value(1), value(2), value(3), value(4));
    case Shape::TAPER: dimensions(2); return std::make_unique<TaperPile>(value(0), value(1));
    case Shape::HOLLOW: dimensions(2); return std::make_unique<HollowPile>(value(0), wall_thickness());
    case Shape::LOST_TIP: dimensions(2); return std::make_unique<LostTipPile>(value(0), value(1));
    case Shape::DRIVEN: dimensions(3); return std::make_unique<DrivenBasePile>(value(0), value(1), value(2));
    case Shape::SECTION: dimensions(2); return std::make_unique<SectionPile>(value(0), value(1));
    case Shape::HOL_OPEN: dimensions(2); return std::make_unique<HollowOpenPile>(value(0), wall_thickness());
    case Shape::H:
        dimensions(4);
        return std::make_unique<HShapedPile>(value(0), value(1), millimetres(2), millimetres(3));
    case Shape::USER_DEFINED: dimensions(2); return std::make_unique<UserPile>(value(0), value(1));
    }
    refuse_member(shape.path(), "has an unknown shape");
}

}  // namespace

void create_pile_type(BearingPilesModel& model, const DocumentMember& pile_type)
{
    const DocumentMember config = pile_type["config"];
    const DocumentMember pile_type_member = config["pile_type"];
    const DocumentMember slip_layer = config["slip_layer"];
    model.create_pile_type(pile_type["name"].text(), *shape_of(pile_type["shape"]),
                           given(pile_type_or_null(pile_type_member), pile_type_member),
                           given(pair_or_null<PileSlipLayer>(slip_layer, "PileSlipLayer", 0, 4), slip_layer),
                           {.type_sand_gravel = pile_type_or_null(config["type_sand_gravel"]),
                            .type_clay_loam_peat = pair_or_null<PileTypeClayLoamPeat>(config["type_clay_loam_peat"],
                                                                                      "PileTypeClayLoamPeat", 0, 1),
                            .type_p = pile_type_or_null(config["type_p"]),
                            .load_settlement_curve =
                                config["load_settlement_curve"].is_null()
                                    ? std::nullopt
                                    : std::optional(config["load_settlement_curve"].member_of<PileLoadSettlementCurve>(
                                          "PileLoadSettlementCurve", 0, 2)),
                            .material = pair_or_null<PileMaterial>(config["material"], "PileMaterial", 0, 3),
                            .factor_sand_gravel = config["factor_sand_gravel"].number_or_null(),
                            .factor_clay_loam_peat = config["factor_clay_loam_peat"].number_or_null(),
                            .factor_pile_class = config["factor_pile_class"].number_or_null(),
                            .e_modulus = config["material_property"].number_or_null(),
                            .slip_layer_adhesion = config["slip_layer_adhesion"].number_or_null(),
                            .use_pre_2016 = config["use_pre_2016"].boolean(),
                            .as_prefab = config["as_prefab"].boolean(),
                            .qciii_reduction = config["qciii_reduction"].number_or_null(),
                            .overrule_tip_section_factor = config["overrule_tip_section_factor"].number_or_null(),
                            .overrule_tip_shape_factor = config["overrule_tip_shape_factor"].number_or_null()});
}

void create_pile_type(TensionPilesModel& model, const DocumentMember& pile_type)
{
    const DocumentMember config = pile_type["config"];
    const DocumentMember type_sand_gravel = config["type_sand_gravel"];
    const DocumentMember type_clay_loam_peat = config["type_clay_loam_peat"];
    const DocumentMember material = config["material"];
    model.create_pile_type(pile_type["name"].text(), *shape_of(pile_type["shape"]),
                           given(pile_type_or_null(type_sand_gravel), type_sand_gravel),
                           given(pair_or_null<PileTypeClayLoamPeat>(type_clay_loam_peat, "PileTypeClayLoamPeat", 0, 1),
                                 type_clay_loam_peat),
                           given(pair_or_null<PileMaterial>(material, "PileMaterial", 0, 3), material),
                           {.factor_sand_gravel = config["factor_sand_gravel"].number_or_null(),
                            .factor_clay_loam_peat = config["factor_clay_loam_peat"].number_or_null(),
                            .unit_weight_material = config["material_property"].number_or_null()});
}

void create_pile(BearingPilesModel& model, const DocumentMember& pile)
{
    model.create_pile(pile["name"].text(), pile["x"].number(), pile["y"].number(), pile["pile_head_level"].number(),
                      pile["surcharge"].number(), pile["limit_state_str_geo"].number(),
                      pile["serviceability_limit_state"].number());
}

void create_pile(TensionPilesModel& model, const DocumentMember& pile)
{
    const DocumentMember loads = pile["load_max_min"];
    std::optional<std::pair<double, double>> load_max_min;
    if (!loads.is_null()) {
        if (loads.size() != 2) refuse_member(loads.path(), "must be [maximum, minimum] or null");
        load_max_min.emplace(loads[std::size_t{0}].number(), loads[1].number());
    }
    model.create_pile(pile["name"].text(), pile["x"].number(), pile["y"].number(), pile["pile_head_level"].number(),
                      {.load_max_min = load_max_min});
}

}  // namespace ostrand::external::dfoundations::document_reader
