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
// @python GEF data of a cone penetration test, as read from a GEF-CPT or BRO XML file; an absent
//         value is None.
struct GEFData {
    std::string name;                                      // the test's name (#TESTID, or the BRO id)
    std::vector<double> elevation;                         // level of each measurement w.r.t. the reference, mm
    std::vector<std::optional<double>> qc;                 // cone resistance, MPa
    std::optional<std::vector<std::optional<double>>> fs;  // sleeve friction, MPa
    std::optional<std::vector<std::optional<double>>> Rf;  // friction ratio, fraction (not percent)
    std::optional<double> ground_level_wrt_reference;      // mm; absent when the file does not give it
    std::optional<std::string> project_name;               // the project's name
    std::optional<std::string> project_id;                 // the project's identifier
    std::optional<std::string> client;                     // the client's name
    std::optional<std::pair<double, double>> x_y_coordinates;  // (x, y) of the test [m]
    std::optional<double> excavation_depth;                // predrilled depth [m]
    std::optional<std::string> gef_version_number;         // e.g. "1, 1, 0"
    std::optional<std::string> gef_file_date;         // "%Y-%m-%d"
    std::optional<std::string> research_report_date;  // "%Y-%m-%d"; BRO XML only
    // What the reader found doubtful but read all the same, for instance a test that does not go down.
    std::vector<std::string> warnings;

    // Reads a CPT file of either kind, told apart by its content: BRO XML when its first
    // character (after a byte order mark and blanks) is '<', GEF-CPT otherwise. An unreadable
    // file is a std::system_error; a file that is not a usable CPT is an
    // ostrand::errors::ParsingError that says what is wrong (and on which line or block).
    //   auto cpt = GEFData::from_file("CPT000000003688.xml");   // or "CPT000000003688.gef"
    // @param path  the file
    // @returns the test's data
    // @throws errors::ParsingError "... line 12: ..." when the file is no usable CPT (a GEF file of
    //         another kind, a BRO object other than a CPT, malformed XML, a missing column)
    // @python A file that cannot be read is an OSError.
    static GEFData from_file(const std::filesystem::path& path);

    // Reads the bytes of a CPT file of either kind, told apart by content as from_file does. `name`
    // is used when the file names no test.
    // @throws errors::ParsingError as from_file does
    // @python bytes is bytes or str.
    static GEFData from_cpt_text(std::string_view bytes, std::string name);

    // Reads GEF-CPT text (UTF-8 or Latin-1, LF, CR LF or CR line ends). `name` is used when the text
    // has no #TESTID.
    // @throws errors::ParsingError as from_file does
    static GEFData from_text(std::string_view text, std::string name);

    // Reads a BRO XML CPT (IMBRO or IMBRO/A; a dispatchDataResponse, a registration request or a
    // bare CPT_O, of any schema version) into the same units as a GEF-CPT file: the levels are the
    // delivered vertical position's offset minus the depth (or penetration length), the rows run
    // from the top down, and -999999 is a void. `name` is used when the text has no broId.
    // Another BRO object, malformed XML, a missing required element and a DOCTYPE that declares
    // entities or names an external DTD are a ParsingError that says which.
    static GEFData from_bro_xml(std::string_view text, std::string name);

    // The fields in declaration order; absent values are null, except the fields after
    // gef_file_date, which are written only when present (the warnings when there are any).
    // @python a dict, as `dfoundations gef` prints it
    nlohmann::ordered_json to_json() const;
};

}  // namespace ostrand::geo
