// A CPT from GEF data, as both model kinds import it.
#include <algorithm>
#include <cmath>

#include "ostrand/errors.hpp"
#include "ostrand/external/dfoundations/models.hpp"

namespace ostrand::external::dfoundations::detail {

namespace {

// The placeholder that GEF-derived rows carry in front of the friction ratio.
constexpr double PLACEHOLDER = 987000000.0;

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// The number that a run of decimal digits spells.
int digits_value(std::string_view text)
{
    int value = 0;
    for (char c : text) value = value * 10 + (c - '0');
    return value;
}

bool all_digits(std::string_view text)
{
    for (char c : text)
        if (!is_digit(c)) return false;
    return !text.empty();
}

// A month as "%m" reads it: 01 to 12, or a single digit 1 to 9.
std::optional<int> month_of(std::string_view text)
{
    if (!all_digits(text) || text.size() > 2 || (text.size() == 1 && text[0] == '0')) return std::nullopt;
    const int month = digits_value(text);
    if (month < 1 || month > 12) return std::nullopt;
    return month;
}

// A day as "%d" reads it: 01 to 31, a single digit 1 to 9, or a blank and a single digit.
std::optional<int> day_of(std::string_view text)
{
    if (text.size() == 2 && text[0] == ' ') text.remove_prefix(1);
    if (!all_digits(text) || text.size() > 2 || (text.size() == 1 && text[0] == '0')) return std::nullopt;
    const int day = digits_value(text);
    if (day < 1 || day > 31) return std::nullopt;
    return day;
}

// "%Y-%m-%d": four-digit year, month, day, a date of the calendar, nothing after it.
std::optional<std::chrono::local_seconds> parse_file_date(std::string_view text)
{
    if (text.size() < 8 || !all_digits(text.substr(0, 4)) || text[4] != '-') return std::nullopt;
    const std::size_t dash = text.find('-', 5);
    if (dash == std::string_view::npos) return std::nullopt;
    const std::optional<int> month = month_of(text.substr(5, dash - 5));
    const std::optional<int> day = day_of(text.substr(dash + 1));
    const int year = digits_value(text.substr(0, 4));
    if (!month || !day || year < 1) return std::nullopt;
    const std::chrono::year_month_day date{std::chrono::year{year}, std::chrono::month{static_cast<unsigned>(*month)},
                                           std::chrono::day{static_cast<unsigned>(*day)}};
    if (!date.ok()) return std::nullopt;
    return std::chrono::local_seconds{std::chrono::local_days{date}};
}

Measurements rows_of(const geo::GEFData& gef_data)
{
    static const std::vector<std::optional<double>> none;
    const auto& fs = gef_data.fs ? *gef_data.fs : none;
    const auto& rf = gef_data.Rf ? *gef_data.Rf : none;
    const std::size_t pairs = std::min(gef_data.elevation.size(), gef_data.qc.size());

    Measurements rows;
    for (std::size_t i = 0; i < pairs; ++i) {
        std::vector<std::optional<double>> row{gef_data.elevation[i] / 1000, gef_data.qc[i]};
        if (!fs.empty()) row.push_back(fs.at(i));
        if (!rf.empty()) {
            const std::optional<double> ratio = rf.at(i);
            row.push_back(PLACEHOLDER);
            row.push_back(ratio ? std::optional<double>(*ratio * 100) : std::nullopt);
        }
        if (std::any_of(row.begin(), row.end(), [](const auto& value) { return !value; })) continue;
        std::vector<double>& kept = rows.emplace_back();
        kept.reserve(row.size());
        for (const auto& value : row) kept.push_back(*value);
    }
    return rows;
}

// A ground level that is not a finite number is as good as none.
double ground_level_of(const geo::GEFData& gef_data, std::optional<double> manual_ground_level)
{
    if (manual_ground_level && *manual_ground_level != 0.0) return *manual_ground_level;
    const std::optional<double>& reference = gef_data.ground_level_wrt_reference;
    if (reference && std::isfinite(*reference)) return *reference / 1000;
    throw errors::ModelError("Could not read ground level from cpt. Please provide a manual ground level.");
}

}  // namespace

std::pair<std::string, CPT> Model::_cpt_from_gef_data(const geo::GEFData& gef_data,
                                                      std::optional<double> manual_ground_level,
                                                      CreateProfileOptions options)
{
    Measurements rows = rows_of(gef_data);
    const double ground_level = ground_level_of(gef_data, manual_ground_level);

    CPTOptions descriptive{.rule = options.cpt_rule, .min_layer_thickness = options.min_layer_thickness};
    if (gef_data.project_name && !gef_data.project_name->empty()) descriptive.project_name = *gef_data.project_name;
    if (gef_data.project_id && !gef_data.project_id->empty()) descriptive.project_id = *gef_data.project_id;
    if (gef_data.client && !gef_data.client->empty()) descriptive.client_name = *gef_data.client;
    if (gef_data.x_y_coordinates) {
        descriptive.x = gef_data.x_y_coordinates->first;
        descriptive.y = gef_data.x_y_coordinates->second;
    }
    if (gef_data.excavation_depth && *gef_data.excavation_depth != 0.0) {
        descriptive.excavation_depth = *gef_data.excavation_depth;
    }
    if (gef_data.gef_version_number && !gef_data.gef_version_number->empty()) {
        descriptive.gef_version = *gef_data.gef_version_number;
    }
    if (gef_data.gef_file_date && !gef_data.gef_file_date->empty()) {
        descriptive.file_date = parse_file_date(*gef_data.gef_file_date);
    }
    return {gef_data.name, CPT(std::move(rows), ground_level, true, std::move(descriptive))};
}

}  // namespace ostrand::external::dfoundations::detail
