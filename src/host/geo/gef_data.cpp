// GEFData read from GEF-CPT text: the header gives the layout and the descriptive attributes,
// the data section the measurements.
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <system_error>

#include <nlohmann/json.hpp>

#include "host/geo/bro_document.hpp"
#include "host/geo/gef_columns.hpp"
#include "host/geo/gef_header.hpp"
#include "host/geo/gef_text.hpp"
#include "ostrand/errors.hpp"
#include "ostrand/geo.hpp"

namespace ostrand::geo {

namespace {

using detail::at_line;
using detail::GefHeader;
using detail::GefHeaderLine;
using detail::GefLayout;
using detail::quoted;
using detail::split;

constexpr double MM_PER_M = 1000.0;
constexpr int LEVEL_DECIMALS = 6;         // of a millimetre: far below any measuring accuracy
constexpr long PRE_EXCAVATED_DEPTH = 13;  // #MEASUREMENTVAR number

// GEF writes "-" where a value is not known.
bool is_placeholder(std::string_view text) { return text.empty() || text == "-"; }

std::optional<std::string> text_value(std::string_view text)
{
    text = detail::trim(text);
    if (is_placeholder(text)) return std::nullopt;
    return detail::to_utf8(text);
}

// A number field of a header line; "-" is absent, anything else that is no number an error.
std::optional<double> number_field(const GefHeaderLine& entry, std::size_t field, std::size_t fields_needed)
{
    const auto fields = split(entry.value, ",");
    if (fields.size() < fields_needed)
        throw errors::ParsingError(at_line(entry.line) + "#" + entry.key + "= has too few values");
    if (is_placeholder(fields[field])) return std::nullopt;
    const auto value = detail::parse_number(fields[field]);
    if (!value) throw errors::ParsingError(at_line(entry.line) + quoted(fields[field]) + " is not a number");
    return value;
}

double millimetres(double metres) { return detail::round_decimals(metres * MM_PER_M, LEVEL_DECIMALS); }

// #ZID= height system, level of the reference point (m)[, accuracy].
std::optional<double> ground_level(const GefHeader& header)
{
    const auto* entry = header.find("ZID");
    if (!entry) return std::nullopt;
    const auto level = number_field(*entry, 1, 2);
    if (level && !std::isfinite(millimetres(*level)))
        throw errors::ParsingError(at_line(entry->line) + "the level is out of range");
    return level ? std::optional(millimetres(*level)) : std::nullopt;
}

// #XYID= coordinate system, x, y[, accuracies].
std::optional<std::pair<double, double>> coordinates(const GefHeader& header)
{
    const auto* entry = header.find("XYID");
    if (!entry) return std::nullopt;
    const auto x = number_field(*entry, 1, 3);
    const auto y = number_field(*entry, 2, 3);
    if (!x || !y) return std::nullopt;
    return std::pair(*x, *y);
}

// #MEASUREMENTVAR= 13, depth (m), unit, description.
std::optional<double> excavation_depth(const GefHeader& header)
{
    for (const auto* entry : header.find_all("MEASUREMENTVAR"))
        if (detail::parse_integer(split(entry->value, ",").front()) == PRE_EXCAVATED_DEPTH)
            return number_field(*entry, 1, 2);
    return std::nullopt;
}

// The text of "#MEASUREMENTTEXT= number, text, description"; the text itself may hold commas.
std::optional<std::string> measurement_text(const GefHeader& header, long number)
{
    for (const auto* entry : header.find_all("MEASUREMENTTEXT")) {
        const std::string_view value = entry->value;
        const std::size_t first = value.find(',');
        if (first == value.npos || detail::parse_integer(value.substr(0, first)) != number) continue;
        const std::size_t last = value.rfind(',');
        return text_value(last > first ? value.substr(first + 1, last - first - 1) : value.substr(first + 1));
    }
    return std::nullopt;
}

std::optional<std::string> header_text(const GefHeader& header, std::string_view key)
{
    const auto* entry = header.find(key);
    return entry ? text_value(entry->value) : std::nullopt;
}

// "#PROJECTID= CPT, 65418, 1" is "CPT, 65418, 1"; "#PROJECTID= CO, -, -" is "CO".
std::optional<std::string> project_id(const GefHeader& header)
{
    const auto* entry = header.find("PROJECTID");
    if (!entry) return std::nullopt;
    std::string joined;
    for (const auto field : split(entry->value, ","))
        if (!is_placeholder(field)) joined += (joined.empty() ? "" : ", ") + detail::to_utf8(field);
    return joined.empty() ? std::nullopt : std::optional(joined);
}

// The contractor named by #COMPANYID, else the client of #MEASUREMENTTEXT= 1.
std::optional<std::string> client(const GefHeader& header)
{
    if (const auto* entry = header.find("COMPANYID"))
        if (auto name = text_value(split(entry->value, ",").front())) return name;
    return measurement_text(header, 1);
}

// "#GEFID= 1, 1, 0" is version "1.1.0".
std::optional<std::string> gef_version(const GefHeader& header)
{
    const auto* entry = header.find("GEFID");
    if (!entry) return std::nullopt;
    std::string joined;
    for (const auto field : split(entry->value, ","))
        if (!field.empty()) joined += (joined.empty() ? "" : ".") + detail::to_utf8(field);
    return joined.empty() ? std::nullopt : std::optional(joined);
}

// "#FILEDATE= 2016, 8, 8" is "2016-08-08"; a date that is not a real date is left out.
std::optional<std::string> file_date(const GefHeader& header)
{
    const auto* entry = header.find("FILEDATE");
    if (!entry) return std::nullopt;
    const auto fields = split(entry->value, ",");
    if (fields.size() < 3) return std::nullopt;
    const auto year = detail::parse_integer(fields[0]);
    const auto month = detail::parse_integer(fields[1]);
    const auto day = detail::parse_integer(fields[2]);
    return detail::iso_date(year, month, day);
}

void read_attributes(const GefHeader& header, GEFData& data)
{
    if (auto test_id = header_text(header, "TESTID")) data.name = std::move(*test_id);
    data.ground_level_wrt_reference = ground_level(header);
    data.project_name = header_text(header, "PROJECTNAME");
    if (!data.project_name) data.project_name = measurement_text(header, 2);
    data.project_id = project_id(header);
    data.client = client(header);
    data.x_y_coordinates = coordinates(header);
    data.excavation_depth = excavation_depth(header);
    data.gef_version_number = gef_version(header);
    data.gef_file_date = file_date(header);
}

// The depth of a row: the corrected (vertical) depth where the row has one, otherwise the
// penetration length, which equals it for a test that stayed vertical.
std::optional<double> row_depth(const std::vector<std::string_view>& cells, const GefLayout& layout, std::size_t line)
{
    std::optional<double> corrected;
    std::optional<double> length;
    if (layout.corrected_depth) corrected = detail::read_cell(cells, *layout.corrected_depth, layout, line);
    if (layout.penetration_length) length = detail::read_cell(cells, *layout.penetration_length, layout, line);
    return corrected ? corrected : length;
}

void read_row(const std::vector<std::string_view>& cells, const GefLayout& layout, double reference_mm,
              std::size_t line, GEFData& data)
{
    const auto depth = row_depth(cells, layout, line);
    const auto qc = detail::read_cell(cells, *layout.cone_resistance, layout, line);
    std::optional<double> fs;
    std::optional<double> rf;
    if (layout.sleeve_friction) fs = detail::read_cell(cells, *layout.sleeve_friction, layout, line);
    if (layout.friction_ratio) rf = detail::read_cell(cells, *layout.friction_ratio, layout, line);
    if (!depth) return;  // a measurement without a depth has no level
    // Some writers give the depth as a negative number, down being negative; a test always goes
    // down, so the depth counts by its size, as D-Foundations reads such a file.
    const double level = detail::round_decimals(reference_mm - millimetres(std::abs(*depth)), LEVEL_DECIMALS);
    if (!std::isfinite(level)) throw errors::ParsingError(at_line(line) + "the level is out of range");
    data.elevation.push_back(level);
    data.qc.push_back(qc);
    if (data.fs) data.fs->push_back(fs);
    if (data.Rf) data.Rf->push_back(rf);
}

void read_measurements(const std::vector<std::string_view>& lines, const GefHeader& header, GEFData& data)
{
    const GefLayout layout = detail::read_layout(header);
    if (layout.sleeve_friction) data.fs.emplace();
    if (layout.friction_ratio) data.Rf.emplace();
    // Without a #ZID the levels are taken from the reference point itself, i.e. minus the depth.
    const double reference_mm = data.ground_level_wrt_reference.value_or(0.0);
    for (std::size_t i = header.first_data_line; i < lines.size(); ++i) {
        const auto records =
            layout.record_separator.empty() ? std::vector{lines[i]} : split(lines[i], layout.record_separator);
        for (const auto record : records) {
            const auto cells = detail::split_cells(record, layout);
            if (!cells.empty()) read_row(cells, layout, reference_mm, i + 1, data);
        }
    }
    if (data.elevation.empty())
        throw errors::ParsingError("GEF file has no data section: no measurements with a depth follow #EOH=");
    detail::warn_unless_going_down(data);
}

nlohmann::ordered_json optional_json(const auto& value)
{
    return value ? nlohmann::ordered_json(*value) : nlohmann::ordered_json(nullptr);
}

nlohmann::ordered_json cells_json(const std::vector<std::optional<double>>& cells)
{
    auto array = nlohmann::ordered_json::array();
    for (const auto& cell : cells) array.push_back(optional_json(cell));
    return array;
}

// "GEF-CPT-Report" -> "CPT"; empty when the code does not follow the GEF-<KIND>-... form.
std::string report_kind(std::string_view code)
{
    code = code.substr(0, code.find(','));
    code = detail::trim(code);
    std::string upper;
    for (char c : code) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (upper.rfind("GEF-", 0) != 0) return {};
    const std::size_t end = upper.find('-', 4);
    return upper.substr(4, end == std::string::npos ? std::string::npos : end - 4);
}

std::string kind_description(const std::string& kind)
{
    if (kind == "BORE") return "a borehole report (GEF-BORE)";
    if (kind == "DISS") return "a dissipation test report (GEF-DISS)";
    if (kind == "SIEVE") return "a sieve analysis report (GEF-SIEVE)";
    return "a GEF-" + kind + " report";
}

// A GEF file of another kind (a borehole, a dissipation test) has columns that would read as
// nonsense cone resistances: refuse it by what its header says it is.
void require_cpt_report(const GefHeader& header)
{
    for (const char* key : {"REPORTCODE", "PROCEDURECODE"}) {
        const GefHeaderLine* entry = header.find(key);
        if (entry == nullptr) continue;
        const std::string kind = report_kind(entry->value);
        if (!kind.empty() && kind != "CPT" && kind != "CPTU" && kind != "SCPT")
            throw errors::ParsingError(at_line(entry->line) + "the file is " + kind_description(kind) +
                                       ", not a cone penetration test (GEF-CPT); read it with a tool for that kind");
    }
}

}  // namespace

GEFData GEFData::from_text(std::string_view text, std::string name)
{
    constexpr std::string_view byte_order_mark = "\xEF\xBB\xBF";
    if (text.substr(0, byte_order_mark.size()) == byte_order_mark) text.remove_prefix(byte_order_mark.size());
    const auto lines = detail::split_lines(text);
    const GefHeader header = detail::read_header(lines);
    require_cpt_report(header);
    GEFData data;
    data.name = detail::to_utf8(name);
    read_attributes(header, data);
    read_measurements(lines, header, data);
    return data;
}

GEFData GEFData::from_file(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in || std::filesystem::is_directory(path))
        throw std::filesystem::filesystem_error("cannot read CPT file", path,
                                                std::error_code(in ? EISDIR : errno, std::generic_category()));
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad())
        throw std::filesystem::filesystem_error("cannot read CPT file", path,
                                                std::make_error_code(std::errc::io_error));
    return from_cpt_text(bytes, path.stem().string());
}

GEFData GEFData::from_cpt_text(std::string_view bytes, std::string name)
{
    if (detail::is_xml(bytes)) return from_bro_xml(bytes, std::move(name));
    return from_text(bytes, std::move(name));
}

nlohmann::ordered_json GEFData::to_json() const
{
    nlohmann::ordered_json json;
    json["name"] = name;
    json["elevation"] = elevation;
    json["qc"] = cells_json(qc);
    json["fs"] = fs ? cells_json(*fs) : nlohmann::ordered_json(nullptr);
    json["Rf"] = Rf ? cells_json(*Rf) : nlohmann::ordered_json(nullptr);
    json["ground_level_wrt_reference"] = optional_json(ground_level_wrt_reference);
    json["project_name"] = optional_json(project_name);
    json["project_id"] = optional_json(project_id);
    json["client"] = optional_json(client);
    json["x_y_coordinates"] =
        x_y_coordinates ? nlohmann::ordered_json::array({x_y_coordinates->first, x_y_coordinates->second}) : nullptr;
    json["excavation_depth"] = optional_json(excavation_depth);
    json["gef_version_number"] = optional_json(gef_version_number);
    json["gef_file_date"] = optional_json(gef_file_date);
    if (research_report_date) json["research_report_date"] = *research_report_date;
    if (!warnings.empty()) json["warnings"] = warnings;
    return json;
}

}  // namespace ostrand::geo
