#include "host/geo/gef_header.hpp"

#include "host/geo/gef_text.hpp"
#include "ostrand/errors.hpp"

namespace ostrand::geo::detail {

const GefHeaderLine* GefHeader::find(std::string_view key) const
{
    for (const auto& line : lines)
        if (line.key == key) return &line;
    return nullptr;
}

std::vector<const GefHeaderLine*> GefHeader::find_all(std::string_view key) const
{
    std::vector<const GefHeaderLine*> found;
    for (const auto& line : lines)
        if (line.key == key) found.push_back(&line);
    return found;
}

GefHeader read_header(const std::vector<std::string_view>& lines)
{
    GefHeader header;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view text = trim(lines[i]);
        if (text.empty() || text.front() != '#') continue;  // blank or stray lines carry nothing
        const std::size_t equals = text.find('=');
        const std::string key = upper(trim(text.substr(1, equals == std::string_view::npos ? text.npos : equals - 1)));
        if (key == "EOH") {
            header.first_data_line = i + 1;
            return header;
        }
        if (equals == std::string_view::npos) continue;
        header.lines.push_back({key, trim(text.substr(equals + 1)), i + 1});
    }
    throw errors::ParsingError("GEF file has no data section: the header does not end with #EOH=");
}

std::string at_line(std::size_t line) { return "GEF line " + std::to_string(line) + ": "; }

}  // namespace ostrand::geo::detail
