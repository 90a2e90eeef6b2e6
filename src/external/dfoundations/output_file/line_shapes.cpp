#include "external/dfoundations/output_file/line_shapes.hpp"

#include <cstring>
#include <limits>

#include "ostrand/errors.hpp"

#include "external/dfoundations/output/text.hpp"

namespace ostrand::external::dfoundations::detail {
namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }

std::string_view trim(std::string_view text)
{
    while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
    return text;
}

// The word at the start of `text` (no leading blanks) up to the next blank.
std::string_view first_word(std::string_view text)
{
    std::size_t end = 0;
    while (end < text.size() && !is_blank(text[end])) ++end;
    return text.substr(0, end);
}

// A word that stands for a value: a number, or the asterisks D-Foundations writes when a number
// does not fit its field.
bool is_value_word(std::string_view word)
{
    if (word.empty()) return false;
    if (word.find_first_not_of('*') == std::string_view::npos) return true;
    return number_shape(word).number;
}

bool is_letter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

ValueLine value_line(std::string_view key, std::string_view value, std::size_t number)
{
    return ValueLine{std::string(trim(key)), std::string(trim(value)), numbers_in(value), number};
}

// "value = name", "value : name", "value  name", several values before one name.
std::optional<ValueLine> value_first(std::string_view line, std::size_t number)
{
    std::string_view rest = trim(line);
    const char* const start = rest.data();
    bool any = false;
    while (!rest.empty()) {
        const std::string_view word = first_word(rest);
        if (!is_value_word(word)) break;
        any = true;
        rest = trim(rest.substr(word.size()));
    }
    if (!any || rest.empty()) return std::nullopt;
    const std::string_view value(start, static_cast<std::size_t>(rest.data() - start));
    if ((rest.front() == '=' || rest.front() == ':') && (rest.size() == 1 || is_blank(rest[1]))) {
        return value_line(rest.substr(1), value, number);
    }
    if (is_letter(rest.front()) || rest.front() == '(') return value_line(rest, value, number);
    return std::nullopt;
}

// "name = value", "name=value", " = name" and "NAME : value".
std::optional<ValueLine> name_first(std::string_view line, std::size_t number)
{
    const std::string_view trimmed = trim(line);
    if (trimmed.empty()) return std::nullopt;
    if (trimmed.front() == '=' && (trimmed.size() == 1 || is_blank(trimmed[1]))) {
        return value_line(trimmed.substr(1), {}, number);
    }
    if (const std::size_t equals = trimmed.find('='); equals != std::string_view::npos) {
        if (trim(trimmed.substr(0, equals)).empty()) return std::nullopt;
        return value_line(trimmed.substr(0, equals), trimmed.substr(equals + 1), number);
    }
    if (const std::size_t colon = trimmed.find(':'); colon != std::string_view::npos && colon > 0) {
        const std::string_view name = trim(trimmed.substr(0, colon));
        if (!name.empty() && is_letter(name.front())) {
            return value_line(name, trimmed.substr(colon + 1), number);
        }
    }
    return std::nullopt;
}

}  // namespace

FileLines::FileLines(std::string_view text) : text_(text)
{
    if (text.size() >= std::numeric_limits<std::uint32_t>::max()) {
        throw errors::ParsingError("An output file of 4 GiB or more is not read.");
    }
    // Most files end their lines in CR LF or LF alone: find each LF with memchr, and look for a
    // lone CR inside the line with memchr too.
    const char* const data = text.data();
    const std::size_t size = text.size();
    std::size_t count = 0;
    for (const char* at = data; (at = static_cast<const char*>(std::memchr(at, '\n', size - (at - data)))); ++at)
        ++count;
    starts_.reserve(count + 2);
    std::size_t start = 0;
    while (start < size) {
        const void* found = std::memchr(data + start, '\n', size - start);
        const std::size_t feed = found ? static_cast<std::size_t>(static_cast<const char*>(found) - data) : size;
        std::size_t end = feed;
        if (end > start && data[end - 1] == '\r') --end;
        for (const void* cr; (cr = std::memchr(data + start, '\r', end - start));) {
            starts_.push_back(static_cast<std::uint32_t>(start));
            start = static_cast<std::size_t>(static_cast<const char*>(cr) - data) + 1;
        }
        if (feed < size || end > start) starts_.push_back(static_cast<std::uint32_t>(start));
        start = feed + 1;
    }
    starts_.push_back(static_cast<std::uint32_t>(size));
}

bool is_blank_line(std::string_view line)
{
    for (char c : line) {
        if (!is_blank(c) && c != '\v' && c != '\f') return false;
    }
    return true;
}

Marker marker_of(std::string_view line)
{
    if (line.empty() || line.front() != '[') return {};
    while (!line.empty() && is_blank(line.back())) line.remove_suffix(1);
    if (line.size() < 3 || line.front() != '[' || line.back() != ']') return {};
    std::string_view name = trim(line.substr(1, line.size() - 2));
    if (name.empty() || name.find_first_of("[]") != std::string_view::npos) return {};
    constexpr std::string_view end_of = "END OF ";
    if (name.substr(0, end_of.size()) == end_of) {
        name = trim(name.substr(end_of.size()));
        if (name.empty()) return {};
        return {Marker::Kind::CLOSE, name};
    }
    return {Marker::Kind::OPEN, name};
}

std::variant<ValueLine, TextLine> classify_line(std::string_view line, std::size_t number)
{
    const std::string_view trimmed = trim(line);
    const bool plain = !trimmed.empty() && trimmed.front() != '[' && trimmed.front() != '\'' && trimmed.front() != '"';
    if (plain) {
        if (auto value = value_first(line, number)) return std::move(*value);
        if (auto value = name_first(line, number)) return std::move(*value);
    }
    return TextLine{std::string(line), number};
}

std::vector<double> numbers_in(std::string_view text)
{
    std::vector<double> numbers;
    text = trim(text);
    while (!text.empty()) {
        const std::string_view word = first_word(text);
        if (number_shape(word).number) numbers.push_back(read_number(word));
        text = trim(text.substr(word.size()));
    }
    return numbers;
}

}  // namespace ostrand::external::dfoundations::detail
