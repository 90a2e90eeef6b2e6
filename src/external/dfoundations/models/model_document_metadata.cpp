// The metadata of a model document and the moment its date and time were stamped at.
#include <array>
#include <ctime>
#include <optional>
#include <string>

#include "external/dfoundations/models/model_document_parts.hpp"

namespace ostrand::external::dfoundations::document_reader {

namespace {

using detail::refuse_member;
using detail::shown;

constexpr const char* UNSTAMPED_DATE = "01/01/1900";
constexpr const char* UNSTAMPED_TIME = "00:00:00";

// The clock counts nanoseconds in 64 bits: about 292 years either side of 1970.
bool within_clock(std::time_t seconds)
{
    const auto reach =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::duration::max()).count();
    return seconds > -reach && seconds < reach;
}

// "dd/mm/yyyy" or "HH:MM:SS": three numbers of the given widths between separators.
std::optional<std::array<int, 3>> three_numbers(const std::string& text, char separator, int last_width)
{
    const std::size_t size = 6 + static_cast<std::size_t>(last_width);
    if (text.size() != size || text[2] != separator || text[5] != separator) return std::nullopt;
    std::array<int, 3> numbers{};
    const std::size_t starts[] = {0, 3, 6};
    const std::size_t widths[] = {2, 2, static_cast<std::size_t>(last_width)};
    for (std::size_t part = 0; part < 3; ++part) {
        for (std::size_t i = starts[part]; i < starts[part] + widths[part]; ++i) {
            if (text[i] < '0' || text[i] > '9') return std::nullopt;
            numbers[part] = numbers[part] * 10 + (text[i] - '0');
        }
    }
    return numbers;
}

}  // namespace

std::chrono::system_clock::time_point stamp_of(const DocumentMember& date, const DocumentMember& time)
{
    const std::string date_text = date.text();
    const std::string time_text = time.text();
    const auto day_month_year = three_numbers(date_text, '/', 4);
    if (!day_month_year || !std::chrono::year_month_day{std::chrono::year{(*day_month_year)[2]},
                                                        std::chrono::month{static_cast<unsigned>((*day_month_year)[1])},
                                                        std::chrono::day{static_cast<unsigned>((*day_month_year)[0])}}
                                .ok()) {
        refuse_member(date.path(), "must be a date written dd/mm/yyyy (currently " + shown(date.value()) + ")");
    }
    const auto hour_minute_second = three_numbers(time_text, ':', 2);
    if (!hour_minute_second || (*hour_minute_second)[0] > 23 || (*hour_minute_second)[1] > 59 ||
        (*hour_minute_second)[2] > 59) {
        refuse_member(time.path(), "must be a time written HH:MM:SS (currently " + shown(time.value()) + ")");
    }
    // An unstamped part takes a moment far from any change of clock, so it cannot move the other.
    const bool dated = date_text != UNSTAMPED_DATE;
    const bool timed = time_text != UNSTAMPED_TIME;
    std::tm local{};
    local.tm_mday = dated ? (*day_month_year)[0] : 15;
    local.tm_mon = dated ? (*day_month_year)[1] - 1 : 0;
    local.tm_year = dated ? (*day_month_year)[2] - 1900 : 100;
    local.tm_hour = timed ? (*hour_minute_second)[0] : 12;
    local.tm_min = timed ? (*hour_minute_second)[1] : 0;
    local.tm_sec = timed ? (*hour_minute_second)[2] : 0;
    local.tm_isdst = -1;
    const std::time_t seconds = std::mktime(&local);
    if (!within_clock(seconds)) {
        refuse_member(date.path(), "must be a date from 1678 to 2262, the years the clock reaches (currently " +
                                       shown(date.value()) + ")");
    }
    return std::chrono::system_clock::from_time_t(seconds);
}

Metadata metadata_of(const DocumentMember& metadata)
{
    return Metadata({.file_name = metadata["file_name"].text(),
                     .company = metadata["company"].text(),
                     .title_1 = metadata["title_1"].text(),
                     .title_2 = metadata["title_2"].text(),
                     .geotechnical_consultant = metadata["geotechnical_consultant"].text(),
                     .design_engineer = metadata["design_engineer"].text(),
                     .principal = metadata["principal"].text(),
                     .project_id = metadata["project_id"].text(),
                     .location = metadata["location"].text(),
                     .current_date = metadata["date"].text() != UNSTAMPED_DATE,
                     .current_time = metadata["time"].text() != UNSTAMPED_TIME});
}

}  // namespace ostrand::external::dfoundations::document_reader
