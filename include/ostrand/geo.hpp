// GEF data of a cone penetration test, as the platform reads it from a GEF-CPT file.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <nlohmann/json_fwd.hpp>

namespace ostrand::geo {

// Absent optional attributes are std::nullopt; absent cells (void values) in the measured columns
// are std::nullopt as well. All measured sequences have one entry per row of the file that has a
// depth; a row without any depth is left out because it has no level.
struct GEFData {
    std::string name;
    std::vector<double> elevation;                    // level of each measurement w.r.t. the reference, mm
    std::vector<std::optional<double>> qc;            // cone resistance, MPa
    std::optional<std::vector<std::optional<double>>> fs;  // sleeve friction, MPa
    std::optional<std::vector<std::optional<double>>> Rf;  // friction ratio, fraction (not percent)
    std::optional<double> ground_level_wrt_reference;  // mm; absent when the file does not give it
    std::optional<std::string> project_name;
    std::optional<std::string> project_id;
    std::optional<std::string> client;
    std::optional<std::pair<double, double>> x_y_coordinates;
    std::optional<double> excavation_depth;
    std::optional<std::string> gef_version_number;
    std::optional<std::string> gef_file_date;  // "%Y-%m-%d"

    // Reads a GEF-CPT file. An unreadable file is a std::system_error; a file that is not usable
    // GEF-CPT is an ostrand::errors::ParsingError that says what is wrong (and on which line).
    static GEFData from_file(const std::filesystem::path& path);

    // Reads GEF-CPT text (UTF-8 or Latin-1, LF or CR LF line ends). `name` is used when the text
    // has no #TESTID.
    static GEFData from_text(std::string_view text, std::string name);

    // The fields in declaration order; absent values are null.
    nlohmann::ordered_json to_json() const;
};

}  // namespace ostrand::geo
