#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "ostrand/errors.hpp"
#include "ostrand/external/dfoundations/components.hpp"

#include "support/model_error.hpp"

namespace dfo = ostrand::external::dfoundations;
using dfo::detail::PileShape;
using dfo::detail::ShapeClass;

namespace {

struct ShapeCase {
    std::function<std::unique_ptr<PileShape>()> make;
    ShapeClass shape_class;
    std::string class_name;
    std::string serialized;
};

template <typename S, typename... Args>
std::function<std::unique_ptr<PileShape>()> make(Args... args)
{
    return [=] { return std::make_unique<S>(args...); };
}

}  // namespace

TEST(PileShape, EveryClassSerializesItsCodeTextAndDimensions)
{
    const std::vector<ShapeCase> cases = {
        {make<dfo::RoundPile>(0.4), ShapeClass::RoundPile, "RoundPile",
         R"j({"num":0,"name":"Round pile","data":[[0.4,"Diameter [m)"]]})j"},
        {make<dfo::RectPile>(0.3, 0.4), ShapeClass::RectPile, "RectPile",
         R"j({"num":1,"name":"Rectangular pile","data":[[0.3,"Width [m)"],[0.4,"Length [m)"]]})j"},
        {make<dfo::RoundEnlPile>(0.6, 0.4, 0.5), ShapeClass::RoundEnlPile, "RoundEnlPile",
         R"j({"num":2,"name":"Round pile with enlarged base","data":[[0.6,"Base diameter [m)"],)j"
         R"j([0.4,"Pile diameter [m)"],[0.5,"Base height [m)"]]})j"},
        {make<dfo::RectEnlPile>(0.6, 0.7, 0.2, 0.3, 0.4), ShapeClass::RectEnlPile, "RectEnlPile",
         R"j({"num":3,"name":"Rectangular pile with enlarged base","data":[[0.6,"Base width [m)"],)j"
         R"j([0.7,"Base length [m)"],[0.2,"Base height [m)"],[0.3,"Shaft width [m)"],[0.4,"Shaft length [m)"]]})j"},
        {make<dfo::TaperPile>(0.25, 0.01), ShapeClass::TaperPile, "TaperPile",
         R"j({"num":4,"name":"Round tapered pile","data":[[0.25,"Diameter [m)"],)j"
         R"j([0.01,"Increase in diameter [m/m)"]]})j"},
        {make<dfo::HollowPile>(1.0, 250.0), ShapeClass::HollowPile, "HollowPile",
         R"j({"num":5,"name":"Round hollow pile with closed base","data":[[1.0,"External diameter [m)"],)j"
         R"j([0.5,"Internal diameter [m)"]]})j"},
        {make<dfo::LostTipPile>(0.5, 0.4), ShapeClass::LostTipPile, "LostTipPile",
         R"j({"num":6,"name":"Round pile with lost tip","data":[[0.5,"Base diameter [m)"],)j"
         R"j([0.4,"Pile diameter [m)"]]})j"},
        {make<dfo::DrivenBasePile>(0.6, 0.4, 0.5), ShapeClass::DrivenBasePile, "DrivenBasePile",
         R"j({"num":7,"name":"Round pile with in situ formed base","data":[[0.6,"Base diameter [m)"],)j"
         R"j([0.4,"Pile diameter [m)"],[0.5,"Base height [m)"]]})j"},
        {make<dfo::SectionPile>(0.3, 0.4), ShapeClass::SectionPile, "SectionPile",
         R"j({"num":8,"name":"Section","data":[[0.3,"Width [m)"],[0.4,"Length [m)"]]})j"},
        {make<dfo::HollowOpenPile>(0.5, 20.0), ShapeClass::HollowOpenPile, "HollowOpenPile",
         R"j({"num":9,"name":"Round open-ended hollow pile","data":[[0.5,"External diameter [m)"],)j"
         R"j([0.46,"Internal diameter [m)"]]})j"},
        {make<dfo::HShapedPile>(0.3, 0.3, 12.0, 20.0), ShapeClass::HShapedPile, "HShapedPile",
         R"j({"num":10,"name":"H-shaped profile","data":[[0.3,"Height H-shape [m)"],[0.3,"Width H-shape [m)"],)j"
         R"j([0.012,"Thickness web [m)"],[0.02,"Thickness flange [m)"]]})j"},
        {make<dfo::UserPile>(1.2, 0.1), ShapeClass::UserPile, "UserPile",
         R"j({"num":11,"name":"User defined","data":[[1.2,"Circumference of pile [m)"],[0.1,"Pile area [m)"]]})j"},
    };
    for (const ShapeCase& c : cases) {
        SCOPED_TRACE(c.class_name);
        const auto shape = c.make();
        EXPECT_EQ(shape->_serialize().dump(), c.serialized);
        EXPECT_EQ(shape->shape_class(), c.shape_class);
        EXPECT_EQ(dfo::detail::shape_class_name(shape->shape_class()), c.class_name);
        // A copy keeps its exact class, also for the subclasses of other shapes.
        const auto copy = shape->clone();
        EXPECT_EQ(copy->shape_class(), c.shape_class);
        EXPECT_EQ(copy->_serialize(), shape->_serialize());
    }
}

TEST(PileShape, ChecksRunInOrderAndEqualityFails)
{
    const std::vector<std::pair<std::function<void()>, std::string>> cases = {
        {[] { dfo::RectEnlPile(0.6, 0.7, 0.2, 0.6, 0.4); },
         "'shaft_width' must be smaller than 'base_width' (currently 0.6 >= 0.6)"},
        {[] { dfo::RectEnlPile(0.6, 0.7, 0.2, 0.3, 0.7); },
         "'shaft_length' must be smaller than 'base_length' (currently 0.7 >= 0.7)"},
        {[] { dfo::RectEnlPile(0.6, 0.7, 0.2, 0.8, 0.9); },
         "'shaft_width' must be smaller than 'base_width' (currently 0.8 >= 0.6)"},
        {[] { dfo::HollowPile(0.5, 250.0); },
         "'wall_thickness' must be smaller than half of 'external_diameter' (currently 0.25 >= 0.25)"},
        {[] { dfo::HollowOpenPile(0.4, 300.0); },
         "'wall_thickness' must be smaller than half of 'external_diameter' (currently 0.3 >= 0.2)"},
        {[] { dfo::LostTipPile(0.4, 0.4); },
         "'pile_diameter' must be smaller than 'base_diameter' (currently 0.4 >= 0.4)"},
        {[] { dfo::RoundEnlPile(0.4, 0.5, 1.0); },
         "'pile_diameter' must be smaller than 'base_diameter' (currently 0.5 >= 0.4)"},
        {[] { dfo::DrivenBasePile(2.0, 3.0, 1.0); },
         "'pile_diameter' must be smaller than 'base_diameter' (currently 3.0 >= 2.0)"},
        {[] { dfo::HShapedPile(1.0, 0.3, 300.0, 10.0); },
         "'thickness_web' must be smaller than 'width' (currently 0.3 >= 0.3)"},
        {[] { dfo::HShapedPile(0.04, 0.3, 300.0, 20.0); },
         "'thickness_web' must be smaller than 'width' (currently 0.3 >= 0.3)"},
        {[] { dfo::HShapedPile(0.04, 0.3, 299.0, 20.0); },
         "'thickness_flange' must be smaller than half of 'height' (currently 0.02 >= 0.02)"},
    };
    for (const auto& [construct, message] : cases) EXPECT_EQ(model_error(construct), message);
}

TEST(PileShape, AcceptsWhatTheChecksAllow)
{
    EXPECT_EQ(model_error([] { dfo::HShapedPile(1.0, 0.3, 299.0, 20.0); }), "<no ModelError>");
    EXPECT_EQ(model_error([] { dfo::RectEnlPile(0.6, 0.7, 0.2, 0.59, 0.69); }), "<no ModelError>");
    // No shape checks for positive or finite dimensions.
    EXPECT_EQ(model_error([] { dfo::RoundPile(-1.0); }), "<no ModelError>");
    EXPECT_EQ(model_error([] { dfo::TaperPile(0.0, -0.5); }), "<no ModelError>");
}

TEST(PileShape, FieldsKeepTheGivenUnits)
{
    const dfo::HShapedPile h(0.3, 0.2, 12.0, 20.0);
    EXPECT_EQ(h.thickness_web(), 12.0);
    EXPECT_EQ(h.thickness_flange(), 20.0);
    const dfo::HollowPile hollow(1.0, 250.0);
    EXPECT_EQ(hollow.wall_thickness(), 250.0);
    EXPECT_EQ(hollow.internal_diameter(), 0.5);
    EXPECT_DOUBLE_EQ(dfo::HollowOpenPile(0.8, 10.0).internal_diameter(), 0.78);
    const dfo::DrivenBasePile driven(0.6, 0.4, 0.5);
    EXPECT_EQ(driven.base_diameter(), 0.6);
    EXPECT_EQ(driven.pile_diameter(), 0.4);
    EXPECT_EQ(driven.base_height(), 0.5);
}
