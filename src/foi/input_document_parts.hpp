// Reading helpers shared by the parts of the input-file document reader: values of settings found by
// caption, numbers refused with the line they stand on, and the member lines being recorded.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "foi/input_document.hpp"

namespace ostrand::foi::input {

// An empty object with room for `members`. The members of an ordered object live in a vector whose
// elements (a const name and a value) are copied, not moved, when it grows: without room, adding a
// member after the measurements of a CPT would copy all its rows.
inline Json object_with_room(std::size_t members)
{
    Json object = Json::object();
    object.get_ref<Json::object_t&>().reserve(members);
    return object;
}

// Raises errors::ParsingError "Input file line N: <problem>".
[[noreturn]] void refuse(std::size_t line, const std::string& problem);

// The number a setting, count or key_value holds.
double number(const FoiItem& item);
// `text` as a document text; refused when it holds a control character, which no line of an input
// file may hold and which would keep the document from being written again. `what` names it.
std::string text_of(std::string_view text, std::size_t line, std::string_view what);
std::int64_t integer(const FoiItem& item);
double number_text(std::string_view text, std::size_t line);
std::int64_t integer_text(std::string_view text, std::size_t line);

// The settings of a part of a section in order, searched by the start of their caption. Captions
// differ between layouts only at their ends ("Width [m)" and "Width [m]"), so callers pass the part
// the layouts share.
class Settings {
public:
    Settings(std::span<const FoiItem> items, std::size_t line) : items_(items), line_(line) {}

    // The first setting whose caption starts with `caption`; refused when there is none.
    const FoiItem& at(std::string_view caption) const;
    const FoiItem* find(std::string_view caption) const;
    // The setting right after `item`; refused when another line follows.
    const FoiItem& after(const FoiItem& item) const;
    double number(std::string_view caption) const { return input::number(at(caption)); }
    std::int64_t integer(std::string_view caption) const { return input::integer(at(caption)); }
    bool on(std::string_view caption) const { return integer(caption) != 0; }
    // The value after a switch when the switch is on, else null.
    Json overruled(std::string_view switch_caption) const;
    std::size_t line() const { return line_; }

private:
    std::span<const FoiItem> items_;
    std::size_t line_;
};

// A line that heads a part of a section (a profile's name, "Layer (1)", a pile type's name) and the
// lines of that part, up to the next heading.
struct Headed {
    const FoiItem* heading;
    std::span<const FoiItem> items;
};

// The parts of `items` that begin at the lines `is_heading` picks, asked of each line in order; the
// lines before the first heading belong to no part.
template <class IsHeading>
std::vector<Headed> headed_parts(std::span<const FoiItem> items, IsHeading is_heading)
{
    std::vector<std::size_t> headings;
    for (std::size_t i = 0; i < items.size(); ++i)
        if (is_heading(items[i])) headings.push_back(i);
    std::vector<Headed> parts;
    parts.reserve(headings.size());
    for (std::size_t k = 0; k < headings.size(); ++k) {
        const std::size_t end = k + 1 < headings.size() ? headings[k + 1] : items.size();
        parts.push_back({&items[headings[k]], items.subspan(headings[k] + 1, end - headings[k] - 1)});
    }
    return parts;
}

// A count the file states (`item`, "   12 = number of items") against the `found` parts that follow
// it; refused at the count's line when they differ, so that a count never says what the file is not.
void check_count(const FoiItem& item, std::size_t found, std::string_view what);
// The same for the count item among `items` whose caption starts with `caption`, when there is one.
void check_count(std::span<const FoiItem> items, std::string_view caption, std::size_t found, std::string_view what);
// The rows of a table, checked against its "DataCount=" when it states one.
void check_table_count(const FoiTable& table, std::size_t line);

// The section `name` among the items of `parent`; refused, naming what lacks it, when absent.
const FoiItem& section(const FoiItem& parent, std::string_view name);
// The first line of a section that is not blank, as written without the blanks around it; empty
// when it has none.
std::string single_value(const FoiItem& section);

// The model kind, 0 Bearing Piles and 1 Tension Piles.
struct Context {
    InputDocument& input;
    int model_type;
    std::vector<std::string> soil_order;  // the soil collection in file order, for layer materials

    void mark(const std::string& path, std::size_t line) { input.member_lines.emplace(path, line); }
};

Json read_pile_types(Context& context, const FoiItem& data);
Json read_piles(Context& context, const FoiItem& data);
Json read_calculation_options(Context& context, const FoiItem& data);

}  // namespace ostrand::foi::input
