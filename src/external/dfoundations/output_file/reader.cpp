// Reading the structure of an output file in a few linear passes over its lines: first which
// section markers pair up, then the tree of sections and items, then paths and the index.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <unordered_map>

#include "ostrand/errors.hpp"
#include "ostrand/external/dfoundations/output_file.hpp"

#include "external/dfoundations/output_file/header.hpp"
#include "external/dfoundations/output_file/line_shapes.hpp"
#include "external/dfoundations/output_file/table_block.hpp"
#include "text/line_density.hpp"
#include "text/utf8.hpp"

namespace ostrand::external::dfoundations {
namespace {

constexpr std::uint32_t UNPAIRED = std::numeric_limits<std::uint32_t>::max();
// Deeper nesting than any output file has; past it an opening line is read as text, so that a
// hostile file cannot make the tree (and the walk that frees it) deeper than the stack allows.
constexpr std::size_t MAX_DEPTH = 200;

// For each line that opens a section, the line that closes it, and the reverse; UNPAIRED for every
// other line. A closing line pairs with the nearest open section of its name; the sections opened
// after that one and never closed are left unpaired, so their lines become text.
std::vector<std::uint32_t> pair_markers(const detail::FileLines& lines)
{
    std::vector<std::uint32_t> partner(lines.size(), UNPAIRED);
    std::vector<std::pair<std::string_view, std::size_t>> open;
    std::unordered_map<std::string_view, std::vector<std::size_t>> open_by_name;  // positions in `open`
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const detail::Marker marker = detail::marker_of(lines[i]);
        if (marker.kind == detail::Marker::Kind::OPEN && open.size() < MAX_DEPTH) {
            open_by_name[marker.name].push_back(open.size());
            open.emplace_back(marker.name, i);
        } else if (marker.kind == detail::Marker::Kind::CLOSE) {
            auto found = open_by_name.find(marker.name);
            if (found == open_by_name.end() || found->second.empty()) continue;
            const std::size_t depth = found->second.back();
            while (open.size() > depth) {
                open_by_name[open.back().first].pop_back();
                if (open.size() == depth + 1) {
                    partner[open.back().second] = static_cast<std::uint32_t>(i);
                    partner[i] = static_cast<std::uint32_t>(open.back().second);
                }
                open.pop_back();
            }
        }
    }
    return partner;
}

Item line_item(std::string_view line, std::size_t number)
{
    auto shaped = detail::classify_line(line, number);
    if (auto* value = std::get_if<ValueLine>(&shaped)) return Item{std::move(*value)};
    return Item{std::move(std::get<TextLine>(shaped))};
}

[[noreturn]] void refuse_without_sections()
{
    throw errors::ParsingError("The file holds no D-Foundations section ([NAME] ... [END OF NAME]).");
}

// The number of items directly in the lines [begin, end): a nested section counts once. Reserving
// it spares the copies (and twice the memory) of a list that grows line by line.
std::size_t direct_items(const detail::FileLines& lines, const std::vector<std::uint32_t>& partner, std::size_t begin,
                         std::size_t end)
{
    std::size_t count = 0;
    for (std::size_t i = begin; i < end; ++i) {
        if (detail::is_blank_line(lines[i])) continue;
        ++count;
        if (partner[i] != UNPAIRED && partner[i] > i) i = partner[i];
    }
    return count;
}

// The lines that become items of their own: every non-blank line outside the tables, whose rows
// live in their columns.
std::size_t item_lines(const detail::FileLines& lines, const std::vector<std::uint32_t>& partner)
{
    std::size_t count = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (detail::is_blank_line(lines[i])) continue;
        ++count;
        if (partner[i] != UNPAIRED && partner[i] > i && detail::marker_of(lines[i]).name == "TABLE") i = partner[i];
    }
    return count;
}

void refuse_dense_lines(std::size_t text_size, std::size_t count)
{
    if (!ostrand::text::too_dense_to_read(text_size, count)) return;
    throw errors::ParsingError("The file holds " + std::to_string(count) + " lines of " +
                               std::to_string(text_size / count) +
                               " bytes on average outside its tables: no D-Foundations output file is that dense, "
                               "and it is not read, so that its memory stays bounded.");
}

Section build_tree(const detail::FileLines& lines, std::size_t text_size)
{
    const std::vector<std::uint32_t> partner = pair_markers(lines);
    // A file without a single section is refused before its lines become items, which take many
    // times the memory of the text.
    if (std::all_of(partner.begin(), partner.end(), [](std::uint32_t line) { return line == UNPAIRED; }))
        refuse_without_sections();
    refuse_dense_lines(text_size, item_lines(lines, partner));
    Section root;
    root.items.reserve(direct_items(lines, partner, 0, lines.size()));
    std::vector<Section*> open{&root};
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (detail::is_blank_line(lines[i])) continue;
        Section& current = *open.back();
        if (partner[i] == UNPAIRED) {
            current.items.push_back(line_item(lines[i], i + 1));
        } else if (partner[i] < i) {
            current.end_line = i + 1;
            open.pop_back();
        } else {
            const detail::Marker marker = detail::marker_of(lines[i]);
            if (marker.name == "TABLE") {
                if (auto table = detail::read_table_block(lines, i, partner[i])) {
                    table->name = current.name;
                    table->end_line = partner[i] + 1;
                    current.items.push_back(Item{std::make_unique<OutputTable>(std::move(*table))});
                    i = partner[i];
                    continue;
                }
            }
            Section child;
            child.name = std::string(marker.name);
            child.line = i + 1;
            child.items.reserve(direct_items(lines, partner, i + 1, partner[i]));
            current.items.push_back(Item{std::move(child)});
            open.push_back(&std::get<Section>(current.items.back().content));
        }
    }
    return root;
}

// "[DUMPFILE]" around the input and the output part adds nothing to their paths: its two lines
// stay as text and its sections move to the top.
void unwrap_envelope(Section& root)
{
    for (std::size_t i = 0; i < root.items.size(); ++i) {
        Section* envelope = std::get_if<Section>(&root.items[i].content);
        if (envelope == nullptr || envelope->name != "DUMPFILE" || envelope->section("INPUT DATA") == nullptr) continue;
        std::vector<Item> items;
        items.reserve(root.items.size() + envelope->items.size() + 1);
        for (std::size_t j = 0; j < i; ++j) items.push_back(std::move(root.items[j]));
        const std::size_t opening = envelope->line;
        items.push_back(Item{TextLine{"[DUMPFILE]", opening}});
        const std::size_t closing = envelope->end_line;
        for (Item& item : envelope->items) items.push_back(std::move(item));
        items.push_back(Item{TextLine{"[END OF DUMPFILE]", closing}});
        for (std::size_t j = i + 1; j < root.items.size(); ++j) items.push_back(std::move(root.items[j]));
        root.items = std::move(items);
        return;
    }
}

std::string child_path(const std::string& parent, std::string_view name)
{
    return parent.empty() ? std::string(name) : parent + "/" + std::string(name);
}

// Positions and paths of every section and table under `root`, top down.
void assign_paths(Section& root)
{
    std::vector<Section*> pending{&root};
    while (!pending.empty()) {
        Section& section = *pending.back();
        pending.pop_back();
        std::unordered_map<std::string_view, std::size_t> count;
        std::size_t tables = 0;
        for (const Item& item : section.items) {
            if (const Section* child = item.section()) ++count[child->name];
            if (item.table() != nullptr) ++tables;
        }
        std::unordered_map<std::string_view, std::size_t> seen;
        std::size_t table = 0;
        for (Item& item : section.items) {
            if (auto* child = std::get_if<Section>(&item.content)) {
                child->position = ++seen[child->name];
                child->path = child_path(section.path, child->name);
                if (count[child->name] > 1) child->path += "[" + std::to_string(child->position) + "]";
                pending.push_back(child);
            } else if (auto* boxed = std::get_if<std::unique_ptr<OutputTable>>(&item.content)) {
                OutputTable* found = boxed->get();
                ++table;
                found->path =
                    tables == 1 ? section.path : child_path(section.path, "TABLE[" + std::to_string(table) + "]");
                if (found->path.empty()) found->path = "TABLE";
            }
        }
    }
}

// Output files are nearly always plain ASCII; only text with a byte above 0x7F needs the UTF-8 check.
bool is_ascii(std::string_view bytes)
{
    std::size_t at = 0;
    for (; at + 8 <= bytes.size(); at += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes.data() + at, 8);
        if (word & 0x8080808080808080u) return false;
    }
    for (; at < bytes.size(); ++at) {
        if (static_cast<unsigned char>(bytes[at]) >= 0x80) return false;
    }
    return true;
}

}  // namespace

OutputFile read_output_file(std::string_view bytes)
{
    std::string decoded;
    if (!is_ascii(bytes) && !ostrand::text::is_valid_utf8(bytes))
        decoded = ostrand::text::utf8_or_latin1(std::string(bytes));
    const std::string_view text = decoded.empty() ? bytes : std::string_view(decoded);

    OutputFile file;
    file.root_ = build_tree(detail::FileLines(text), text.size());
    unwrap_envelope(file.root_);
    assign_paths(file.root_);
    detail::index_file(file.root_, file.sections_, file.tables_, file.section_index_, file.table_index_);
    if (file.sections_.empty() && file.tables_.empty()) refuse_without_sections();
    file.header_ = detail::read_header(file.root_);
    file.warnings_ = detail::check_file(file.header_, file.tables_);
    return file;
}

}  // namespace ostrand::external::dfoundations
