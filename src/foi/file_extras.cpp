#include "foi/file_extras.hpp"

#include <algorithm>
#include <map>
#include <utility>
#include <unordered_map>

#include "foi/foi_text.hpp"
#include "ostrand/errors.hpp"

namespace ostrand::foi {

namespace {

// ---------------------------------------------------------------------------------------------
// Where a line stands.

struct Placed {
    std::string scope;  // "SOIL COLLECTION/SOIL Clay, clean, stiff"
    std::string key;    // "SoilBelgianSoilType", "Pile type for execution factor sand/gravel"
    const FoiItem* item;
};

std::string trimmed(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

// What tells a section or a block apart from its siblings: its first line that is not blank.
std::string first_text(const FoiItem& item)
{
    if (item.kind != ItemKind::section) return trimmed(item.text);
    for (const FoiItem& child : item.items)
        if (child.kind != ItemKind::blank) return first_text(child);
    return {};
}

// A section that stands within the section being placed, with its own scope.
struct Child {
    std::string scope;
    const FoiItem* section;
};

// The lines of one section's items and the sections among them, each with the place that finds it
// again. The sections are not entered: a caller enters only those it needs, which keeps the many
// rows of equal CPTs out of the work.
struct Level {
    std::vector<Placed> lines;
    std::vector<Child> children;
};

class Placer {
public:
    static Level place(const std::vector<FoiItem>& items, const std::string& scope)
    {
        Level level;
        std::string block = scope;
        std::string heading;
        std::string layer;
        std::map<std::string, int> seen;
        // A section is known by its name, and by its first line where its block holds more of that
        // name (the [SOIL]s of the soil collection).
        std::map<std::pair<int, std::string_view>, int> names;
        int blocks = 0;
        for (const FoiItem& item : items) {
            if (item.kind == ItemKind::separator) ++blocks;
            if (item.kind == ItemKind::section) ++names[{blocks, item.name}];
        }
        // A section of one value (a tag of a CPT: "0 : True", "1 : Equivalent qc required", or nothing)
        // knows that value by its place alone.
        const bool single_value = std::count_if(items.begin(), items.end(), [](const FoiItem& item) {
                                      return item.kind != ItemKind::section;
                                  }) == 1 && items.size() == 1;
        blocks = 0;
        for (std::size_t i = 0; i < items.size(); ++i) {
            const FoiItem& item = items[i];
            if (item.kind == ItemKind::separator) {
                // Blocks are known by their place: the name of a CPT is one of its lines, which the
                // document may write otherwise (as its profile's name).
                block = scope + "/block " + std::to_string(++blocks);
                heading.clear();
                layer.clear();
                seen.clear();
                continue;
            }
            if (item.kind == ItemKind::section) {
                const std::string label = names[{blocks, item.name}] > 1 ? " " + first_text(item) : std::string();
                level.children.push_back({block + "/" + std::string(item.name) + label, &item});
                continue;
            }
            const std::string context = heading + " > " + layer + " > " + (single_value ? "line" : base_key(item));
            const int occurrence = seen[context]++;
            level.lines.push_back(
                {block, occurrence == 0 ? context : context + " #" + std::to_string(occurrence), &item});
            if (item.kind == ItemKind::plain && heads_settings(items, i + 1)) {
                if (item.text.starts_with("Layer (")) {
                    layer = item.text;
                } else {
                    heading = item.text;
                    layer.clear();
                }
            }
        }
        return level;
    }

private:
    static std::string base_key(const FoiItem& item)
    {
        switch (item.kind) {
        case ItemKind::setting: return setting_key(item.caption);
        case ItemKind::count: return std::string(item.caption);
        case ItemKind::key_value: return std::string(item.name);
        // A blank line is a line with nothing on it: an empty value the file gives where the document
        // writes one, or the reverse.
        default: return "line";
        }
    }

    // A name or "Layer (n)" line heads the settings after it; a row of a table heads nothing.
    static bool heads_settings(const std::vector<FoiItem>& items, std::size_t from)
    {
        for (std::size_t i = from; i < items.size(); ++i) {
            if (items[i].kind == ItemKind::blank) continue;
            return items[i].kind == ItemKind::setting || items[i].kind == ItemKind::key_value ||
                   items[i].kind == ItemKind::count;
        }
        return false;
    }

    // A setting is known by its caption without the label after " = ". The flag after a pile type
    // reads "User defined name" or "Program defined name": one line in either case.
    static std::string setting_key(std::string_view caption)
    {
        if (caption == "Program defined name") return "User defined name";
        return std::string(caption.substr(0, caption.find(" = ")));
    }
};

// Whether two parts of files hold the same lines.
bool same_lines(const std::vector<FoiItem>& a, const std::vector<FoiItem>& b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].text != b[i].text || a[i].end_text != b[i].end_text) return false;
        if (!same_lines(a[i].items, b[i].items)) return false;
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// The sections below [INPUT DATA].

// The first section named `name` among `items`, or nullptr; as const as the items are.
template <class Items>
auto section_in(Items& items, std::string_view name) -> decltype(&items.front())
{
    for (auto& item : items)
        if (item.kind == ItemKind::section && item.name == name) return &item;
    return nullptr;
}

void flatten(const std::vector<FoiItem>& items, Json& lines)
{
    for (const FoiItem& item : items) {
        lines.push_back(item.text);
        if (item.kind != ItemKind::section) continue;
        flatten(item.items, lines);
        lines.push_back(item.end_text);
    }
}

// The number of lines `flatten` gives, without copying them.
std::size_t line_count(const std::vector<FoiItem>& items)
{
    std::size_t count = items.size();
    for (const FoiItem& item : items)
        if (item.kind == ItemKind::section) count += line_count(item.items) + 1;
    return count;
}

Json section_lines(const FoiItem& section)
{
    Json lines = Json::array();
    flatten(section.items, lines);
    return lines;
}

std::string header_key(const FoiItem& item, int index)
{
    const std::size_t colon = item.text.find(':');
    if (colon == std::string::npos) return "line " + std::to_string(index);
    return trimmed(std::string_view(item.text).substr(0, colon));
}

Json override_of(std::string_view written, std::string_view file)
{
    return Json{{"written", written}, {"file", file}};
}

// The key of the header's lines from `index` on, when the file's header is longer or shorter than
// the one written (blank lines padded into it, say): they are the file's own lines.
std::string header_rest_key(std::size_t index) { return "file lines from " + std::to_string(index); }

void compare_header(const FoiFile& original, const FoiFile& written, Json& values)
{
    // Keyed by the line written, which is what a write finds in its place.
    const std::size_t common = std::min(original.header.size(), written.header.size());
    for (std::size_t i = 0; i < common; ++i) {
        const FoiItem& theirs = original.header[i];
        const FoiItem& ours = written.header[i];
        if (theirs.text != ours.text)
            values["header"][header_key(ours, static_cast<int>(i))] = override_of(ours.text, theirs.text);
    }
    if (original.header.size() == written.header.size()) return;
    Json rest = Json::array();
    for (std::size_t i = common; i < original.header.size(); ++i) rest.push_back(original.header[i].text);
    values["header"][header_rest_key(common)] = std::move(rest);
}

void unkept_lines(const FoiItem& section, Extras& extras)
{
    for (const FoiItem& item : section.items) {
        if (item.kind == ItemKind::section) {
            unkept_lines(item, extras);
        } else {
            extras.unkept.push_back({item.line, "'" + std::string(item.text) + "' has no place in the file written again"});
        }
    }
}

void compare_level(const std::vector<FoiItem>& theirs, const std::vector<FoiItem>& ours, const std::string& scope,
                   Extras& extras)
{
    if (same_lines(theirs, ours)) return;
    const Level original = Placer::place(theirs, scope);
    const Level written = Placer::place(ours, scope);
    std::unordered_map<std::string, const FoiItem*> by_place;
    for (const Placed& line : written.lines) by_place[line.scope + '\n' + line.key] = line.item;
    for (const Placed& line : original.lines) {
        const auto found = by_place.find(line.scope + '\n' + line.key);
        if (found == by_place.end()) {
            extras.unkept.push_back(
                {line.item->line, "'" + std::string(line.item->text) + "' has no place in the file written again"});
        } else if (found->second->text != line.item->text) {
            extras.values["lines"][line.scope][line.key] = override_of(found->second->text, line.item->text);
        }
    }
    std::unordered_map<std::string, const FoiItem*> sections;
    for (const Child& child : written.children) sections.emplace(child.scope, child.section);
    for (const Child& child : original.children) {
        const auto found = sections.find(child.scope);
        if (found == sections.end()) {
            unkept_lines(*child.section, extras);
        } else {
            compare_level(child.section->items, found->second->items, child.scope, extras);
        }
    }
}

// The sections of settings, whose lines a model holds only in part: one whose lines do not all find
// their place in the file written again (a calculation that the model holds as another) is kept whole.
bool kept_whole_when_unplaced(std::string_view name)
{
    return name == "MODEL" || name == "CALCULATION OPTIONS" || name == "CALCULATIONTYPE" ||
           name == "PRELIMINARY DESIGN" || name == "RUN IDENTIFICATION";
}

void compare_read_section(const FoiItem& theirs, const FoiItem& ours, const std::string& previous, Extras& extras)
{
    Extras section{Json::object(), {}};
    compare_level(theirs.items, ours.items, std::string(theirs.name), section);
    // A list of another length (the profiles selected for calculation, a few of the model's) has no
    // place for each line either.
    const bool unplaced = !section.unkept.empty() || line_count(theirs.items) != line_count(ours.items);
    if (unplaced && kept_whole_when_unplaced(theirs.name)) {
        extras.values["sections"][theirs.name] = Json{{"after", previous}, {"lines", section_lines(theirs)}};
        return;
    }
    extras.unkept.insert(extras.unkept.end(), section.unkept.begin(), section.unkept.end());
    if (!section.values.contains("lines")) return;
    for (auto& [scope, lines] : section.values["lines"].items())
        for (auto& [key, line] : lines.items()) extras.values["lines"][scope][key] = std::move(line);
}

}  // namespace

bool section_is_read(std::string_view name, int model_type)
{
    static const std::set<std::string, std::less<>> read = {
        "MODEL",    "SOIL COLLECTION",     "RUN IDENTIFICATION", "CPT LIST",
        "PROFILES", "CALCULATION OPTIONS", "CALCULATIONTYPE",    "PRELIMINARY DESIGN"};
    if (read.count(name) != 0) return true;
    if (model_type == 0) return name == "TYPES - BEARING PILES" || name == "POSITIONS - BEARING PILES";
    return name == "TYPES - TENSION PILES (CUR)" || name == "POSITIONS - TENSION PILES (CUR)";
}

Extras extras_between(const FoiFile& original, const FoiFile& written, int model_type)
{
    Extras extras{Json::object(), {}};
    compare_header(original, written, extras.values);
    const FoiItem* theirs = section_in(original.items, "INPUT DATA");
    const FoiItem* ours = section_in(written.items, "INPUT DATA");
    if (theirs == nullptr || ours == nullptr) return extras;
    std::string previous;
    for (const FoiItem& section : theirs->items) {
        if (section.kind != ItemKind::section) continue;
        const FoiItem* counterpart = ours->section(section.name);
        if (counterpart != nullptr && section_is_read(section.name, model_type)) {
            compare_read_section(section, *counterpart, previous, extras);
        } else if (counterpart == nullptr || (!same_lines(section.items, counterpart->items) &&
                                                section_lines(section) != section_lines(*counterpart))) {
            extras.values["sections"][section.name] = Json{{"after", previous}, {"lines", section_lines(section)}};
        }
        previous = section.name;
    }
    for (const FoiItem& section : ours->items)
        if (section.kind == ItemKind::section && theirs->section(section.name) == nullptr)
            extras.values["absent_sections"].push_back(section.name);
    return extras;
}

namespace {

const std::string& text_member(const Json& object, const char* key, const std::string& where)
{
    if (!object.is_object() || !object.contains(key) || !object[key].is_string())
        throw errors::InternalError("The input file extras: '" + where + "' must hold the text '" + key + "'.");
    return object[key].get_ref<const std::string&>();
}

// The file being written is the caller's own, so its lines may be changed where they were placed.
void put_back(const FoiItem& placed, const Json& change, const std::string& where)
{
    FoiItem& item = const_cast<FoiItem&>(placed);
    if (item.text == text_member(change, "written", where)) item.text = text_member(change, "file", where);
}

// Whether a scope of the extras lies within `scope`.
bool holds_scope_within(const std::set<std::string>& scopes, const std::string& scope)
{
    const auto first = scopes.lower_bound(scope);
    return first != scopes.end() && first->starts_with(scope);
}

void put_back_lines(const std::vector<FoiItem>& items, const std::string& scope, const Json& lines,
                    const std::set<std::string>& scopes)
{
    if (!holds_scope_within(scopes, scope)) return;
    const Level level = Placer::place(items, scope);
    for (const Placed& line : level.lines) {
        const auto changes = lines.find(line.scope);
        if (changes == lines.end() || !changes->contains(line.key)) continue;
        put_back(*line.item, (*changes)[line.key], line.scope + "/" + line.key);
    }
    for (const Child& child : level.children) put_back_lines(child.section->items, child.scope, lines, scopes);
}

// A section of the extras, whose texts `file` keeps.
FoiItem section_of(const FoiFile& file, const std::string& name, const Json& lines)
{
    FoiItem section;
    section.kind = ItemKind::section;
    section.name = file.keep(name);
    section.text = file.keep("[" + name + "]");
    section.end_text = file.keep("[END OF " + name + "]");
    if (!lines.is_array())
        throw errors::InternalError("The input file extras: the lines of '" + name + "' must be a list.");
    for (const Json& line : lines) {
        if (!line.is_string())
            throw errors::InternalError("The input file extras: the lines of '" + name + "' must be texts.");
        FoiItem item;
        item.text = file.keep(line.get<std::string>());
        section.items.push_back(std::move(item));
    }
    return section;
}

void put_back_sections(const FoiFile& file, FoiItem& data, const Json& sections)
{
    for (const auto& [name, kept] : sections.items()) {
        FoiItem replacement = section_of(file, name, kept.contains("lines") ? kept["lines"] : Json());
        if (FoiItem* present = section_in(data.items, name)) {
            present->items = std::move(replacement.items);
            continue;
        }
        const std::string after = kept.value("after", std::string());
        auto at = data.items.begin();
        if (!after.empty())
            for (auto item = data.items.begin(); item != data.items.end(); ++item)
                if (item->kind == ItemKind::section && item->name == after) at = item + 1;
        data.items.insert(at, std::move(replacement));
    }
}

// Every text of the extras must be one that the file can hold: Windows-1252 would write another
// character in its place.
void require_encodable(const Json& value)
{
    if (value.is_string()) {
        const std::string character = unencodable_character(value.get_ref<const std::string&>());
        if (!character.empty())
            throw errors::InternalError("The input file extras: the line '" + value.get<std::string>() +
                                        "' holds the character " + character +
                                        ", which a D-Foundations input file (Windows-1252) cannot hold.");
    }
    if (value.is_structured())
        for (const Json& element : value) require_encodable(element);
}

void put_back_header(FoiFile& file, const Json& header)
{
    for (std::size_t i = 0; i < file.header.size(); ++i) {
        const std::string key = header_key(file.header[i], static_cast<int>(i));
        if (header.contains(key)) put_back(file.header[i], header[key], "header/" + key);
    }
    for (std::size_t from = 0; from <= file.header.size(); ++from) {
        const std::string key = header_rest_key(from);
        if (!header.contains(key)) continue;
        const Json& rest = header[key];
        if (!rest.is_array())
            throw errors::InternalError("The input file extras: 'header/" + key + "' must be a list.");
        file.header.erase(file.header.begin() + static_cast<std::ptrdiff_t>(from), file.header.end());
        for (const Json& text : rest) {
            if (!text.is_string())
                throw errors::InternalError("The input file extras: 'header/" + key + "' must be a list of texts.");
            FoiItem item;
            item.text = file.keep(text.get<std::string>());
            item.kind = trimmed(item.text).empty() ? ItemKind::blank : ItemKind::plain;
            file.header.push_back(std::move(item));
        }
        return;
    }
}

}  // namespace

std::string with_extras(std::string written_text, const Json& extras)
{
    if (!extras.is_object()) throw errors::InternalError("The input file extras must be an object.");
    require_encodable(extras);
    FoiFile file = read_foi(written_text, &written_text);
    if (extras.contains("header")) put_back_header(file, extras["header"]);
    FoiItem* data = section_in(file.items, "INPUT DATA");
    if (data == nullptr) return write_foi(file);
    if (extras.contains("lines")) {
        const Json& lines = extras["lines"];
        std::set<std::string> scopes;
        for (const auto& [scope, changes] : lines.items()) scopes.insert(scope);
        for (FoiItem& section : data->items)
            if (section.kind == ItemKind::section) put_back_lines(section.items, std::string(section.name), lines, scopes);
    }
    if (extras.contains("absent_sections"))
        for (const Json& name : extras["absent_sections"])
            std::erase_if(data->items, [&](const FoiItem& item) {
                return item.kind == ItemKind::section && name.is_string() && item.name == name.get<std::string>();
            });
    if (extras.contains("sections")) put_back_sections(file, *data, extras["sections"]);
    return write_foi(file);
}

}  // namespace ostrand::foi
