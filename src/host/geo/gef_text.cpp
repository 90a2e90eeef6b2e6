#include "host/geo/gef_text.hpp"

#include "text/number_format.hpp"
#include "text/utf8.hpp"

#include <charconv>
#include <chrono>
#include <cstdio>
#include <cmath>

namespace ostrand::geo::detail {

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

}  // namespace

std::string to_utf8(std::string_view text) { return text::utf8_or_latin1(std::string(text)); }

std::string_view trim(std::string_view text)
{
    while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
    return text;
}

std::vector<std::string_view> split_lines(std::string_view text)
{
    // LF, CR LF, or CR alone as older Mac tools write it.
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find_first_of("\r\n");
        lines.push_back(text.substr(0, end));
        if (end == std::string_view::npos) break;
        const bool crlf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
        text.remove_prefix(end + (crlf ? 2 : 1));
    }
    return lines;
}

std::vector<std::string_view> split(std::string_view text, std::string_view separator)
{
    std::vector<std::string_view> pieces;
    if (separator.empty()) return {trim(text)};
    while (true) {
        const std::size_t end = text.find(separator);
        pieces.push_back(trim(text.substr(0, end)));
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + separator.size());
    }
    return pieces;
}

std::vector<std::string_view> split_blanks(std::string_view text)
{
    std::vector<std::string_view> pieces;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && is_blank(text[i])) ++i;
        const std::size_t start = i;
        while (i < text.size() && !is_blank(text[i])) ++i;
        if (i > start) pieces.push_back(text.substr(start, i - start));
    }
    return pieces;
}

std::optional<double> parse_number(std::string_view text)
{
    text = trim(text);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && (text.front() == '+' || text.front() == '-')) return std::nullopt;
    }
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::optional<long> parse_integer(std::string_view text)
{
    text = trim(text);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && (text.front() == '+' || text.front() == '-')) return std::nullopt;
    }
    long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::string quoted(std::string_view text)
{
    constexpr std::size_t longest = 40;
    const bool cut = text.size() > longest;
    return "\"" + to_utf8(text.substr(0, longest)) + (cut ? "...\"" : "\"");
}

double round_decimals(double value, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    const double scaled = value * scale;
    constexpr double exact_limit = 1e15;  // below 2^53: every whole number is exact
    if (!(std::abs(scaled) < exact_limit)) return value;
    return std::round(scaled) / scale;
}

std::string upper(std::string_view text)
{
    std::string result(text);
    for (char& c : result)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return result;
}

std::optional<std::string> iso_date(std::optional<long> year, std::optional<long> month, std::optional<long> day)
{
    if (!year || !month || !day || *year < 1 || *year > 9999 || *month < 1 || *month > 12 || *day < 1 || *day > 31)
        return std::nullopt;
    const std::chrono::year_month_day date{std::chrono::year(static_cast<int>(*year)),
                                           std::chrono::month(static_cast<unsigned>(*month)),
                                           std::chrono::day(static_cast<unsigned>(*day))};
    if (!date.ok()) return std::nullopt;
    char text[16];
    std::snprintf(text, sizeof text, "%04ld-%02ld-%02ld", *year, *month, *day);
    return text;
}

void warn_unless_going_down(GEFData& data)
{
    const auto& levels = data.elevation;
    for (std::size_t row = 1; row < levels.size(); ++row) {
        if (!(levels[row] > levels[row - 1])) continue;
        data.warnings.push_back("the CPT does not go down: row " + std::to_string(row + 1) + " lies at " +
                                text::format_number(levels[row]) + " mm, above row " + std::to_string(row) + " at " +
                                text::format_number(levels[row - 1]) + " mm");
        return;
    }
}

}  // namespace ostrand::geo::detail
