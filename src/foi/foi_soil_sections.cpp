// The soil collection: one [SOIL] block per material of the document.
#include <algorithm>
#include <set>

#include "foi/foi_sections.hpp"

namespace ostrand::foi {

namespace {

// "soil_names" must list exactly the materials of "soils": it is the document's own index of them.
void check_soil_names(const DocumentNode& document, const std::vector<std::pair<std::string, DocumentNode>>& soils)
{
    const DocumentNode names = document["soil_names"];
    std::set<std::string> held;
    for (const auto& soil : soils) held.insert(soil.first);
    std::set<std::string> listed;
    for (const DocumentNode& name : names.items()) {
        const std::string& text = name.text();
        if (held.count(text) == 0) name.fail("names the material '" + text + "', which 'soils' does not hold.");
        if (!listed.insert(text).second) name.fail("lists the material '" + text + "' a second time.");
    }
    for (const auto& soil : soils)
        if (listed.count(soil.first) == 0) names.fail("lacks the material '" + soil.first + "' of 'soils'.");
}

// The names of D-Foundations' standard material set, in name order.
const std::set<std::string, std::less<>> standard_materials = {
    "BClay, clean, moderate",   "BClay, clean, modstiff",  "BClay, clean, stiff",       "BClay, clean, weak",
    "BClay, sl san, moderate",  "BClay, sl san, modstiff", "BClay, sl san, stiff",      "BClay, sl san, weak",
    "BGravel, clean, moderate", "BGravel, clean, stiff",   "BGravel, ve sil, moderate", "BGravel, ve sil, stiff",
    "BLoam, clean, moderate",   "BLoam, clean, modstiff",  "BLoam, clean, stiff",       "BLoam, clean, weak",
    "BLoam, sl san, moderate",  "BLoam, sl san, modstiff", "BLoam, sl san, stiff",      "BLoam, sl san, weak",
    "BPeat, sl san, moderate",  "BPeat, sl san, stiff",    "BPeat, sl san, weak",       "BSand, clean, loose",
    "BSand, clean, moderate",   "BSand, clean, stiff",     "BSand, ve sil, loose",      "BSand, ve sil, moderate",
    "BSand, ve sil, stiff",     "Clay, clean, moderate",   "Clay, clean, stiff",        "Clay, clean, weak",
    "Clay, organ, moderate",    "Clay, organ, weak",       "Clay, sl san, moderate",    "Clay, sl san, stiff",
    "Clay, sl san, weak",       "Clay, ve san, stiff",     "Gravel, sl sil, loose",     "Gravel, sl sil, moderate",
    "Gravel, sl sil, stiff",    "Gravel, ve sil, loose",   "Gravel, ve sil, moderate",  "Gravel, ve sil, stiff",
    "Loam, sl san, moderate",   "Loam, sl san, stiff",     "Loam, sl san, weak",        "Loam, ve san, stiff",
    "Peat, mod pl, moderate",   "Peat, not pl, weak",      "Sand, clean, loose",        "Sand, clean, moderate",
    "Sand, clean, stiff",       "Sand, sl sil, moderate",  "Sand, ve sil, loose",       "Undetermined",
};

// The document has no Belgian soil type. A standard material has its own soil type there; a material
// added to a model gets the type that D-Foundations gives a new material, 1.
std::int64_t belgian_soil_type(const std::string& name, std::int64_t soil_type)
{
    return standard_materials.count(name) != 0 ? soil_type : 1;
}

// 25.1 keeps the compression ratio Cc / (1 + e0) in place of the compression index and void ratio.
double compression_ratio(const DocumentNode& soil)
{
    const DocumentNode e0 = soil["e0"];
    if (e0.number() <= -1.0) e0.fail("must be above -1: the compression ratio divides by 1 + e0.");
    return soil["cc"].number() / (1.0 + e0.number());
}

// 25.1 holds an undrained shear strength of at least 0.01 kN/m2, the value it gives a material without
// one; with the strength taken from the CPTs it goes unused.
constexpr double LEAST_CU_25 = 0.01;

void write_soil(FoiText& out, const std::string& name, const DocumentNode& soil, Layout layout)
{
    const auto number = [&soil](std::string_view key, int decimals) { return fixed(soil[key].number(), 0, decimals); };
    const std::int64_t soil_type = code_in_range(soil["soil_type"], 0, 4, "soil type");
    const std::int64_t max_cone_resist_type =
        code_in_range(soil["max_cone_resist_type"], 0, 1, "maximum cone resistance type");

    out.line("[SOIL]");
    out.line(line_text(name, soil));
    out.line("SoilColor=" + std::to_string(soil["color"].integer()));
    out.line("SoilSoilType=" + std::to_string(soil_type));
    if (!layout.since_23()) out.line("SoilBelgianSoilType=" + std::to_string(belgian_soil_type(name, soil_type)));
    out.line("SoilGamDry=" + number("gam_dry", 2));
    out.line("SoilGamWet=" + number("gam_wet", 2));
    if (!layout.v25) out.line("SoilInitialVoidRatio=" + number("e0", 6));
    out.line("SoilDiameterD50=" + number("diameter_d50", 5));
    out.line("SoilMinVoidRatio=" + number("min_void_ratio", 3));
    out.line("SoilMaxVoidRatio=" + number("max_void_ratio", 3));
    out.line("SoilCohesion=" + number("cohesion", 2));
    out.line("SoilPhi=" + number("phi", 2));
    out.line("SoilCu=" + (layout.v25 ? fixed(std::max(soil["cu"].number(), LEAST_CU_25), 0, 2) : number("cu", 2)));
    out.line("SoilMaxConeResistType=" + std::to_string(max_cone_resist_type));
    out.line("SoilMaxConeResist=" + number("max_cone_resist", 2));
    out.line(std::string("SoilUseTension=") + (soil["use_tension"].boolean() ? "1" : "0"));
    out.line("SoilCa=" + number("ca", 7));
    if (layout.v25)
        out.line("SoilCRatio=" + fixed(compression_ratio(soil), 0, 7));
    else
        out.line("SoilCcIndex=" + number("cc", 7));
    out.line("[END OF SOIL]");
}

}  // namespace

SoilOrder write_soil_collection(FoiText& out, const DocumentNode& document, Layout layout)
{
    const auto soils = document["soils"].members();
    check_soil_names(document, soils);
    out.line("[SOIL COLLECTION]");
    out.line(padded(static_cast<std::int64_t>(soils.size()), 5) + " = number of items");
    SoilOrder order;
    order.reserve(soils.size());
    for (const auto& [name, soil] : soils) {
        write_soil(out, name, soil, layout);
        order.push_back(name);
    }
    out.line("[END OF SOIL COLLECTION]");
    return order;
}

}  // namespace ostrand::foi
