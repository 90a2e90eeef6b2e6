// GEFData read from a BRO XML CPT: the CPT object gives the descriptive attributes, its
// cptResult the measurements, in the units and with the levels of the GEF reader.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "host/geo/bro_document.hpp"
#include "host/geo/gef_text.hpp"
#include "ostrand/errors.hpp"
#include "ostrand/geo.hpp"

namespace ostrand::geo {

namespace {

using detail::element;
using detail::required_element;
using detail::text_of;

constexpr double MM_PER_M = 1000.0;
constexpr int LEVEL_DECIMALS = 6;       // as the GEF reader: of a millimetre
constexpr int CONVERTED_DECIMALS = 12;  // as the GEF reader: percent to fraction
constexpr double VOID = -999999.0;      // the register's value for "not measured"

double millimetres(double metres) { return detail::round_decimals(metres * MM_PER_M, LEVEL_DECIMALS); }

// A number element; absent when it is missing or empty, a ParsingError when it is no number.
std::optional<double> number_of(const pugi::xml_node& node, std::string_view what)
{
    const std::string_view text = text_of(node);
    if (text.empty()) return std::nullopt;
    const auto value = detail::parse_number(text);
    if (!value)
        throw errors::ParsingError("BRO XML " + std::string(what) + " " + detail::quoted(text) + " is not a number");
    return value;
}

// "2004-06-14" or "2020-08-04T15:08:50+01:00" is "2004-06-14"; anything that is not a real date
// is left out, as the GEF reader does with #FILEDATE.
std::optional<std::string> date_of(std::string_view text)
{
    if (text.size() < 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
    const auto year = detail::parse_integer(text.substr(0, 4));
    const auto month = detail::parse_integer(text.substr(5, 2));
    const auto day = detail::parse_integer(text.substr(8, 2));
    return detail::iso_date(year, month, day);
}

// deliveredLocation/location/pos: "91931.000 438294.000", in the delivered reference system.
std::optional<std::pair<double, double>> coordinates(const pugi::xml_node& cpt)
{
    const pugi::xml_node pos = element(cpt, {"deliveredLocation", "location", "pos"});
    if (text_of(pos).empty()) return std::nullopt;
    const auto fields = detail::split_blanks(text_of(pos));
    std::optional<double> x;
    std::optional<double> y;
    if (fields.size() >= 2) {
        x = detail::parse_number(fields[0]);
        y = detail::parse_number(fields[1]);
    }
    if (!x || !y)
        throw errors::ParsingError("BRO XML deliveredLocation " + detail::quoted(text_of(pos)) +
                                   " is not a pair of coordinates");
    return std::pair(*x, *y);
}

void read_attributes(const pugi::xml_node& root, const pugi::xml_node& cpt, GEFData& data)
{
    if (const auto id = text_of(element(cpt, {"broId"})); !id.empty()) data.name = detail::to_utf8(id);
    // The offset of the local reference point (the ground) to the vertical datum (NAP), m.
    if (const auto offset = number_of(element(cpt, {"deliveredVerticalPosition", "offset"}), "offset")) {
        if (!std::isfinite(millimetres(*offset))) throw errors::ParsingError("BRO XML offset is out of range");
        data.ground_level_wrt_reference = millimetres(*offset);
    }
    data.x_y_coordinates = coordinates(cpt);
    // The predrilled depth is the GEF reader's excavation depth (#MEASUREMENTVAR= 13), m.
    data.excavation_depth =
        number_of(element(cpt, {"conePenetrometerSurvey", "trajectory", "predrilledDepth"}), "predrilledDepth");
    // The day the register wrote the file, as #FILEDATE in the GEF files it writes.
    data.gef_file_date = date_of(text_of(element(root, {"dispatchTime"})));
    data.research_report_date = date_of(text_of(element(cpt, {"researchReportDate", "date"})));
}

// Where the quantities stand in a block: the position of their parameter among the children of
// `parameters`, for those that say "ja".
struct Layout {
    std::size_t values_per_block = 0;
    std::optional<std::size_t> penetration_length;
    std::optional<std::size_t> depth;
    std::optional<std::size_t> cone_resistance;
    std::optional<std::size_t> local_friction;
    std::optional<std::size_t> friction_ratio;
};

// The parameters element: a child of the survey, or deeper in a document that nests it.
pugi::xml_node parameters_of(const pugi::xml_node& survey)
{
    if (const pugi::xml_node direct = element(survey, {"parameters"})) return direct;
    if (const pugi::xml_node nested = detail::descendant(survey, "parameters")) return nested;
    return required_element(survey, {"parameters"});
}

Layout read_layout(const pugi::xml_node& survey)
{
    Layout layout;
    const pugi::xml_node parameters = parameters_of(survey);
    for (const pugi::xml_node parameter : parameters.children()) {
        if (parameter.type() != pugi::node_element) continue;
        const std::size_t index = layout.values_per_block++;
        const std::string_view name = detail::local_name(parameter);
        const std::string_view answer = text_of(parameter);
        if (answer == "nee") continue;
        if (answer != "ja")
            throw errors::ParsingError("BRO XML parameter " + detail::quoted(name) + " is " + detail::quoted(answer) +
                                       ", not ja or nee");
        const auto take = [&](std::optional<std::size_t>& column) {
            if (!column) column = index;  // the first parameter of a quantity counts, as in GEF
        };
        if (name == "penetrationLength")
            take(layout.penetration_length);
        else if (name == "depth")
            take(layout.depth);
        else if (name == "coneResistance")
            take(layout.cone_resistance);
        else if (name == "localFriction")
            take(layout.local_friction);
        else if (name == "frictionRatio")
            take(layout.friction_ratio);
    }
    if (!layout.penetration_length && !layout.depth)
        throw errors::ParsingError(
            "BRO XML CPT has no depth: neither penetrationLength nor depth is \"ja\" in its parameters");
    if (!layout.cone_resistance)
        throw errors::ParsingError(
            "BRO XML CPT has no cone resistance: coneResistance is not \"ja\" in its parameters");
    return layout;
}

// swe:TextEncoding: the separators of the values text.
struct Encoding {
    std::string decimal = ".";
    std::string token;
    std::string block;
};

Encoding read_encoding(const pugi::xml_node& result)
{
    const pugi::xml_node node = required_element(result, {"encoding", "TextEncoding"});
    Encoding encoding;
    const auto separator = [&](const char* name, std::string& value) {
        if (const pugi::xml_attribute attribute = node.attribute(name)) value = attribute.value();
        if (value.empty()) throw errors::ParsingError(std::string("BRO XML TextEncoding has no ") + name);
    };
    separator("decimalSeparator", encoding.decimal);
    separator("tokenSeparator", encoding.token);
    separator("blockSeparator", encoding.block);
    const auto overlaps = [](const std::string& a, const std::string& b) {
        return a.find(b) != a.npos || b.find(a) != b.npos;
    };
    if (overlaps(encoding.token, encoding.block) || overlaps(encoding.decimal, encoding.token) ||
        overlaps(encoding.decimal, encoding.block))
        throw errors::ParsingError("BRO XML TextEncoding separators " + detail::quoted(encoding.decimal) + ", " +
                                   detail::quoted(encoding.token) + " and " + detail::quoted(encoding.block) +
                                   " are not distinct");
    return encoding;
}

struct Row {
    double depth;  // m
    std::optional<double> qc;
    std::optional<double> fs;
    std::optional<double> rf;
};

std::string at_block(std::size_t block) { return "BRO XML block " + std::to_string(block) + ": "; }

class BlockReader {
public:
    BlockReader(const Layout& layout, const Encoding& encoding) : layout_(layout), encoding_(encoding)
    {
        cells_.reserve(layout.values_per_block);
    }

    // Reads one block (1-based number `block` for messages); a row only when it has a depth.
    std::optional<Row> read(std::string_view text, std::size_t block)
    {
        cells_.clear();
        while (true) {
            const std::size_t end = text.find(encoding_.token);
            cells_.push_back(text.substr(0, end));
            if (end == text.npos) break;
            text.remove_prefix(end + encoding_.token.size());
        }
        if (cells_.size() != layout_.values_per_block)
            throw errors::ParsingError(at_block(block) + "it has " + std::to_string(cells_.size()) +
                                       " values, the parameters element lists " +
                                       std::to_string(layout_.values_per_block));
        std::optional<double> depth;
        if (layout_.depth) depth = cell(*layout_.depth, block);
        if (!depth && layout_.penetration_length) depth = cell(*layout_.penetration_length, block);
        Row row{0.0, cell(*layout_.cone_resistance, block), std::nullopt, std::nullopt};
        if (layout_.local_friction) row.fs = cell(*layout_.local_friction, block);
        if (layout_.friction_ratio)
            if (const auto percent = cell(*layout_.friction_ratio, block))
                row.rf = detail::round_decimals(*percent * 0.01, CONVERTED_DECIMALS);
        if (!depth) return std::nullopt;  // a measurement without a depth has no level
        row.depth = *depth;
        return row;
    }

private:
    std::optional<double> cell(std::size_t index, std::size_t block)
    {
        std::string_view text = cells_[index];
        if (encoding_.decimal != ".") {
            decimal_.assign(text);
            for (std::size_t at = decimal_.find(encoding_.decimal); at != decimal_.npos;
                 at = decimal_.find(encoding_.decimal, at + 1))
                decimal_.replace(at, encoding_.decimal.size(), ".");
            text = decimal_;
        }
        const auto value = detail::parse_number(text);
        if (!value) throw errors::ParsingError(at_block(block) + detail::quoted(cells_[index]) + " is not a number");
        if (*value == VOID) return std::nullopt;
        return value;
    }

    const Layout& layout_;
    const Encoding& encoding_;
    std::vector<std::string_view> cells_;
    std::string decimal_;
};

void read_measurements(const pugi::xml_node& cpt, GEFData& data)
{
    const pugi::xml_node survey = required_element(cpt, {"conePenetrometerSurvey"});
    const Layout layout = read_layout(survey);
    pugi::xml_node result = element(survey, {"conePenetrationTest", "cptResult"});
    if (!result) result = detail::descendant(survey, "cptResult");
    if (!result) result = required_element(survey, {"conePenetrationTest", "cptResult"});
    const Encoding encoding = read_encoding(result);
    std::string_view text = required_element(result, {"values"}).child_value();

    std::vector<Row> rows;
    BlockReader reader(layout, encoding);
    for (std::size_t block = 1; !text.empty(); ++block) {
        const std::size_t end = text.find(encoding.block);
        const std::string_view record = detail::trim(text.substr(0, end));
        if (!record.empty())
            if (auto row = reader.read(record, block)) rows.push_back(*row);
        if (end == text.npos) break;
        text.remove_prefix(end + encoding.block.size());
    }
    if (rows.empty())
        throw errors::ParsingError("BRO XML CPT has no measurements: no block of cptResult/values has a depth");

    // The register delivers the blocks of some CPTs out of order (IMBRO/A archive transfers);
    // the GEF file of the same CPT, and every profile, runs from the top down.
    std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) { return a.depth < b.depth; });

    if (layout.local_friction) data.fs.emplace().reserve(rows.size());
    if (layout.friction_ratio) data.Rf.emplace().reserve(rows.size());
    data.elevation.reserve(rows.size());
    data.qc.reserve(rows.size());
    // Without an offset the levels are taken from the reference point itself, i.e. minus the depth.
    const double reference_mm = data.ground_level_wrt_reference.value_or(0.0);
    for (const Row& row : rows) {
        const double level = detail::round_decimals(reference_mm - millimetres(row.depth), LEVEL_DECIMALS);
        if (!std::isfinite(level)) throw errors::ParsingError("BRO XML CPT has a level out of range");
        data.elevation.push_back(level);
        data.qc.push_back(row.qc);
        if (data.fs) data.fs->push_back(row.fs);
        if (data.Rf) data.Rf->push_back(row.rf);
    }
}

}  // namespace

GEFData GEFData::from_bro_xml(std::string_view text, std::string name)
{
    pugi::xml_document document;
    detail::load_xml(document, text);
    const pugi::xml_node cpt = detail::find_cpt(document);
    GEFData data;
    data.name = detail::to_utf8(name);
    read_attributes(document.document_element(), cpt, data);
    read_measurements(cpt, data);
    return data;
}

}  // namespace ostrand::geo
