#include <ctime>

#include <nlohmann/json.hpp>

#include "ostrand/errors.hpp"
#include "ostrand/external/dfoundations/components.hpp"
#include "ostrand/external/dfoundations/number_format.hpp"

namespace ostrand::external::dfoundations {

namespace {

// Characters, not bytes: UTF-8 continuation bytes do not start a character.
std::int64_t character_count(const std::string& text)
{
    std::int64_t count = 0;
    for (unsigned char byte : text) {
        if ((byte & 0xC0) != 0x80) ++count;
    }
    return count;
}

void check_length(const std::string& text, std::int64_t maximum, const std::string& what)
{
    const std::int64_t length = character_count(text);
    if (length > maximum) {
        throw errors::ModelError("Maximum amount of characters for " + what + " is " + format_number(maximum) + " (" +
                                 format_number(length) + ").");
    }
}

std::string format_local(const std::tm& moment, const char* pattern)
{
    char text[32];
    const std::size_t size = std::strftime(text, sizeof text, pattern, &moment);
    return std::string(text, size);
}

}  // namespace

Metadata::Metadata(MetadataOptions options)
{
    check_length(options.title_1, 50, "title");
    check_length(options.title_2, 50, "title");
    check_length(options.project_id, 20, "project_id");
    fields_ = std::move(options);
}

nlohmann::ordered_json Metadata::_serialize() const { return _serialize(std::chrono::system_clock::now()); }

nlohmann::ordered_json Metadata::_serialize(std::chrono::system_clock::time_point now) const
{
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&seconds, &local);

    nlohmann::ordered_json object;
    object["date"] = fields_.current_date ? format_local(local, "%d/%m/%Y") : "01/01/1900";
    object["time"] = fields_.current_time ? format_local(local, "%H:%M:%S") : "00:00:00";
    object["file_name"] = fields_.file_name;
    object["company"] = fields_.company;
    object["title_1"] = fields_.title_1;
    object["title_2"] = fields_.title_2;
    object["project_id"] = fields_.project_id;
    object["geotechnical_consultant"] = fields_.geotechnical_consultant;
    object["design_engineer"] = fields_.design_engineer;
    object["principal"] = fields_.principal;
    object["location"] = fields_.location;
    return object;
}

}  // namespace ostrand::external::dfoundations
