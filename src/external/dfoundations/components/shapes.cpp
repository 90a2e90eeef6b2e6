#include <nlohmann/json.hpp>

#include "ostrand/errors.hpp"

#include "ostrand/external/dfoundations/components.hpp"
#include "ostrand/external/dfoundations/number_format.hpp"

namespace ostrand::external::dfoundations {

namespace {

using Shape = detail::PileShape::Shape;
using detail::ShapeClass;
using detail::ShapeDimension;

// Fails when `smaller` is not strictly below `larger`, naming both computed values.
void require_smaller(double smaller, double larger, const std::string& subject, const std::string& limit)
{
    if (smaller >= larger) {
        throw errors::ModelError("'" + subject + "' must be smaller than " + limit + " (currently " +
                                 format_number(smaller) + " >= " + format_number(larger) + ")");
    }
}

void check_wall(double external_diameter, double wall_thickness)
{
    require_smaller(wall_thickness / 1000, 0.5 * external_diameter, "wall_thickness", "half of 'external_diameter'");
}

std::vector<ShapeDimension> hollow_data(double external_diameter, double internal_diameter)
{
    return {{external_diameter, "External diameter [m)"}, {internal_diameter, "Internal diameter [m)"}};
}

}  // namespace

namespace detail {

std::string shape_class_name(ShapeClass shape_class)
{
    switch (shape_class) {
    case ShapeClass::RoundPile: return "RoundPile";
    case ShapeClass::RectPile: return "RectPile";
    case ShapeClass::RectEnlPile: return "RectEnlPile";
    case ShapeClass::SectionPile: return "SectionPile";
    case ShapeClass::UserPile: return "UserPile";
    case ShapeClass::TaperPile: return "TaperPile";
    case ShapeClass::HollowPile: return "HollowPile";
    case ShapeClass::HollowOpenPile: return "HollowOpenPile";
    case ShapeClass::LostTipPile: return "LostTipPile";
    case ShapeClass::RoundEnlPile: return "RoundEnlPile";
    case ShapeClass::DrivenBasePile: return "DrivenBasePile";
    case ShapeClass::HShapedPile: return "HShapedPile";
    }
    return "PileShape";
}

std::string PileShape::text(Shape shape)
{
    switch (shape) {
    case Shape::ROUND: return "Round pile";
    case Shape::RECT: return "Rectangular pile";
    case Shape::ROUND_ENL: return "Round pile with enlarged base";
    case Shape::RECT_ENL: return "Rectangular pile with enlarged base";
    case Shape::TAPER: return "Round tapered pile";
    case Shape::HOLLOW: return "Round hollow pile with closed base";
    case Shape::LOST_TIP: return "Round pile with lost tip";
    case Shape::DRIVEN: return "Round pile with in situ formed base";
    case Shape::SECTION: return "Section";
    case Shape::HOL_OPEN: return "Round open-ended hollow pile";
    case Shape::H: return "H-shaped profile";
    case Shape::USER_DEFINED: return "User defined";
    }
    return "";
}

nlohmann::ordered_json PileShape::_serialize() const
{
    nlohmann::ordered_json data = nlohmann::ordered_json::array();
    for (const auto& [value, caption] : _data()) data.push_back(nlohmann::ordered_json::array({value, caption}));

    nlohmann::ordered_json object;
    object["num"] = to_value(_shape());
    object["name"] = text(_shape());
    object["data"] = std::move(data);
    return object;
}

}  // namespace detail

RoundPile::RoundPile(double diameter) : diameter_(diameter) {}
std::vector<ShapeDimension> RoundPile::_data() const { return {{diameter_, "Diameter [m)"}}; }

RectPile::RectPile(double width, double length) : width_(width), length_(length) {}
std::vector<ShapeDimension> RectPile::_data() const { return {{width_, "Width [m)"}, {length_, "Length [m)"}}; }

RectEnlPile::RectEnlPile(double base_width, double base_length, double base_height, double shaft_width,
                         double shaft_length)
    : base_width_(base_width),
      base_length_(base_length),
      base_height_(base_height),
      shaft_width_(shaft_width),
      shaft_length_(shaft_length)
{
    require_smaller(shaft_width, base_width, "shaft_width", "'base_width'");
    require_smaller(shaft_length, base_length, "shaft_length", "'base_length'");
}
std::vector<ShapeDimension> RectEnlPile::_data() const
{
    return {{base_width_, "Base width [m)"},
            {base_length_, "Base length [m)"},
            {base_height_, "Base height [m)"},
            {shaft_width_, "Shaft width [m)"},
            {shaft_length_, "Shaft length [m)"}};
}

SectionPile::SectionPile(double width, double length) : ShapeOf(width, length) {}

UserPile::UserPile(double circumference, double cross_section)
    : circumference_(circumference),
      cross_section_(cross_section)
{
}
std::vector<ShapeDimension> UserPile::_data() const
{
    return {{circumference_, "Circumference of pile [m)"}, {cross_section_, "Pile area [m)"}};
}

TaperPile::TaperPile(double diameter_tip, double increase) : diameter_tip_(diameter_tip), increase_(increase) {}
std::vector<ShapeDimension> TaperPile::_data() const
{
    return {{diameter_tip_, "Diameter [m)"}, {increase_, "Increase in diameter [m/m)"}};
}

HollowPile::HollowPile(double external_diameter, double wall_thickness)
    : external_diameter_(external_diameter),
      wall_thickness_(wall_thickness)
{
    check_wall(external_diameter, wall_thickness);
}
double HollowPile::internal_diameter() const { return external_diameter_ - (2 * wall_thickness_) / 1000; }
std::vector<ShapeDimension> HollowPile::_data() const { return hollow_data(external_diameter_, internal_diameter()); }

HollowOpenPile::HollowOpenPile(double external_diameter, double wall_thickness)
    : external_diameter_(external_diameter),
      wall_thickness_(wall_thickness)
{
    check_wall(external_diameter, wall_thickness);
}
double HollowOpenPile::internal_diameter() const { return external_diameter_ - (2 * wall_thickness_) / 1000; }
std::vector<ShapeDimension> HollowOpenPile::_data() const
{
    return hollow_data(external_diameter_, internal_diameter());
}

LostTipPile::LostTipPile(double base_diameter, double pile_diameter)
    : base_diameter_(base_diameter),
      pile_diameter_(pile_diameter)
{
    require_smaller(pile_diameter, base_diameter, "pile_diameter", "'base_diameter'");
}
std::vector<ShapeDimension> LostTipPile::_data() const
{
    return {{base_diameter_, "Base diameter [m)"}, {pile_diameter_, "Pile diameter [m)"}};
}

RoundEnlPile::RoundEnlPile(double base_diameter, double pile_diameter, double base_height)
    : ShapeOf(base_diameter, pile_diameter),
      base_height_(base_height)
{
}
std::vector<ShapeDimension> RoundEnlPile::_data() const
{
    std::vector<ShapeDimension> data = LostTipPile::_data();
    data.emplace_back(base_height_, "Base height [m)");
    return data;
}

DrivenBasePile::DrivenBasePile(double base_diameter, double pile_diameter, double base_height)
    : ShapeOf(base_diameter, pile_diameter, base_height)
{
}

HShapedPile::HShapedPile(double height, double width, double thickness_web, double thickness_flange)
    : height_(height),
      width_(width),
      thickness_web_(thickness_web),
      thickness_flange_(thickness_flange)
{
    require_smaller(thickness_web / 1000, width, "thickness_web", "'width'");
    require_smaller(thickness_flange / 1000, 0.5 * height, "thickness_flange", "half of 'height'");
}
std::vector<ShapeDimension> HShapedPile::_data() const
{
    return {{height_, "Height H-shape [m)"},
            {width_, "Width H-shape [m)"},
            {thickness_web_ / 1000, "Thickness web [m)"},
            {thickness_flange_ / 1000, "Thickness flange [m)"}};
}

}  // namespace ostrand::external::dfoundations
