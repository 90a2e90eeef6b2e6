#include "foi/foi_reader.hpp"

#include <algorithm>
#include <charconv>
#include <iterator>
#include <unordered_map>

#include "foi/foi_text.hpp"
#include "text/utf8.hpp"

namespace ostrand::foi {

namespace {

// Real files nest sections a handful deep.
constexpr std::size_t deepest_nesting = 100;

constexpr std::string_view end_prefix = "END OF ";
constexpr std::string_view next_prefix = "NEXT OF ";

bool is_blank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
    return text;
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// A number as the settings write it: 12.50, -6.5, 3, 2.000E+0007.
bool is_number(std::string_view token)
{
    std::size_t at = 0;
    if (at < token.size() && (token[at] == '+' || token[at] == '-')) ++at;
    bool digits = false;
    bool point = false;
    for (; at < token.size(); ++at) {
        if (is_digit(token[at])) {
            digits = true;
        } else if (token[at] == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (!digits) return false;
    if (at < token.size() && (token[at] == 'E' || token[at] == 'e')) {
        ++at;
        if (at < token.size() && (token[at] == '+' || token[at] == '-')) ++at;
        const std::size_t first = at;
        while (at < token.size() && is_digit(token[at])) ++at;
        if (at == first) return false;
    }
    return at == token.size();
}

bool is_whole_number(std::string_view token)
{
    if (!token.empty() && (token.front() == '+' || token.front() == '-')) token.remove_prefix(1);
    return !token.empty() && std::all_of(token.begin(), token.end(), is_digit);
}

enum class Marker { none, open, close, next };

// "[NAME]", "[END OF NAME]" or "[NEXT OF NAME]" on a line of its own (blanks around it allowed).
Marker marker(std::string_view line, std::string_view& name)
{
    const std::string_view text = trimmed(line);
    if (text.size() < 3 || text.front() != '[' || text.back() != ']') return Marker::none;
    name = text.substr(1, text.size() - 2);
    if (name.starts_with(end_prefix) && name.size() > end_prefix.size()) {
        name.remove_prefix(end_prefix.size());
        return Marker::close;
    }
    if (name.starts_with(next_prefix) && name.size() > next_prefix.size()) {
        name.remove_prefix(next_prefix.size());
        return Marker::next;
    }
    return Marker::open;
}

// "<number> : <caption>" (a setting) or "<whole number> = <caption>" (a count): its kind, with the value
// and the caption; plain for any other line. The line is scanned once, as most lines of a large file
// are rows of numbers, neither.
ItemKind split_captioned(std::string_view line, std::string_view& value, std::string_view& caption)
{
    std::string_view text = line;
    while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
    std::size_t end = 0;
    while (end < text.size() && !is_blank(text[end])) ++end;
    const std::string_view token = text.substr(0, end);
    std::string_view rest = text.substr(end);
    if (rest.empty() || !is_blank(rest.front())) return ItemKind::plain;
    while (!rest.empty() && is_blank(rest.front())) rest.remove_prefix(1);
    if (rest.size() < 2 || !is_blank(rest[1])) return ItemKind::plain;
    const char separator = rest.front();
    if (separator == ':' ? !is_number(token) : separator != '=' || !is_whole_number(token)) return ItemKind::plain;
    value = token;
    caption = trimmed(rest.substr(1));
    return separator == ':' ? ItemKind::setting : ItemKind::count;
}

// Gives `item` the shape of a line that is not a section marker.
void classify(FoiItem& item)
{
    const std::string_view text = item.text;
    const std::string_view content = trimmed(text);
    if (content.empty()) {
        item.kind = ItemKind::blank;
        return;
    }
    if (content.size() >= 3 && content.find_first_not_of('-') == std::string_view::npos) {
        item.kind = ItemKind::separator;
        return;
    }
    item.kind = split_captioned(text, item.value, item.caption);
    if (item.kind != ItemKind::plain) return;
    // KEY=VALUE: a key that starts the line and has no blank at either end.
    const std::size_t equals = text.find('=');
    if (equals != std::string_view::npos && equals > 0 && !is_blank(text.front()) && !is_blank(text[equals - 1])) {
        item.kind = ItemKind::key_value;
        item.name = text.substr(0, equals);
        item.value = trimmed(text.substr(equals + 1));
        return;
    }
    item.kind = ItemKind::plain;
}

std::vector<std::string_view> split_lines(std::string_view bytes, bool& ends_with_line_end)
{
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t at = 0; at < bytes.size(); ++at) {
        if (bytes[at] != '\r' && bytes[at] != '\n') continue;
        lines.push_back(bytes.substr(start, at - start));
        if (bytes[at] == '\r' && at + 1 < bytes.size() && bytes[at + 1] == '\n') ++at;
        start = at + 1;
    }
    ends_with_line_end = start == bytes.size();
    if (!ends_with_line_end) lines.push_back(bytes.substr(start));
    return lines;
}

bool is_data_banner(std::string_view line)
{
    const std::string_view text = trimmed(line);
    return text.starts_with('=') && text.find("BEGINNING OF DATA") != std::string_view::npos;
}

const FoiItem* find_in(const std::vector<FoiItem>& items, std::string_view name)
{
    for (const FoiItem& item : items) {
        if (item.kind != ItemKind::section) continue;
        if (item.name == name) return &item;
        if (const FoiItem* found = find_in(item.items, name)) return found;
    }
    return nullptr;
}

// `text` in Windows-1252, appended to `out`; a line of ASCII alone, as most are, is copied as it is.
void append_line(std::string& out, std::string_view text)
{
    if (std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        out.append(text);
    else
        out.append(windows_1252_from_utf8(text));
    out.append("\r\n");
}

void write_items(std::string& out, const std::vector<FoiItem>& items)
{
    for (const FoiItem& item : items) {
        append_line(out, item.text);
        if (item.kind != ItemKind::section) continue;
        write_items(out, item.items);
        append_line(out, item.end_text);
    }
}

std::size_t text_size(const std::vector<FoiItem>& items)
{
    std::size_t size = 0;
    for (const FoiItem& item : items) {
        size += item.text.size() + 2;
        if (item.kind == ItemKind::section) size += text_size(item.items) + item.end_text.size() + 2;
    }
    return size;
}

}  // namespace

const FoiItem* FoiItem::section(std::string_view wanted) const
{
    for (const FoiItem& item : items)
        if (item.kind == ItemKind::section && item.name == wanted) return &item;
    return nullptr;
}

std::vector<const FoiItem*> FoiItem::sections(std::string_view wanted) const
{
    std::vector<const FoiItem*> found;
    for (const FoiItem& item : items)
        if (item.kind == ItemKind::section && item.name == wanted) found.push_back(&item);
    return found;
}

const FoiItem* FoiItem::key_value(std::string_view key) const
{
    for (const FoiItem& item : items)
        if (item.kind == ItemKind::key_value && item.name == key) return &item;
    return nullptr;
}

const FoiItem* FoiItem::setting(std::string_view wanted) const
{
    for (const FoiItem& item : items)
        if (item.kind == ItemKind::setting && item.caption.starts_with(wanted)) return &item;
    return nullptr;
}

std::vector<std::span<const FoiItem>> FoiItem::blocks() const
{
    std::vector<std::span<const FoiItem>> found;
    std::size_t at = 0;
    while (at < items.size() && items[at].kind != ItemKind::separator) ++at;
    while (at < items.size()) {
        const std::size_t start = ++at;  // past the separator
        while (at < items.size() && items[at].kind != ItemKind::separator) ++at;
        found.emplace_back(items.data() + start, at - start);
    }
    return found;
}

FoiTable FoiItem::table() const
{
    FoiTable table;
    if (const FoiItem* count = key_value("DataCount")) table.data_count = count->value;
    if (const FoiItem* columns = section("COLUMN INDICATION"))
        for (const FoiItem& column : columns->items)
            if (column.kind != ItemKind::blank) table.columns.emplace_back(trimmed(column.text));
    if (const FoiItem* data = section("DATA"))
        for (const FoiItem& row : data->items)
            if (row.kind != ItemKind::blank) table.rows.push_back(&row);
    return table;
}

std::optional<std::string> FoiFile::header_value(std::string_view key) const
{
    for (const FoiItem& item : header) {
        const std::string_view text = item.text;
        const std::size_t colon = text.find(':');
        if (colon != std::string_view::npos && trimmed(text.substr(0, colon)) == key)
            return std::string(trimmed(text.substr(colon + 1)));
    }
    return std::nullopt;
}

const FoiItem* FoiFile::find_section(std::string_view name) const { return find_in(items, name); }

std::optional<std::string> FoiFile::version(std::string_view key, bool externals) const
{
    const FoiItem* section = find_section(externals ? "VERSION EXTERNALS" : "VERSION");
    if (section == nullptr) return std::nullopt;
    const FoiItem* item = section->key_value(key);
    if (item == nullptr) return std::nullopt;
    return std::string(item->value);
}

std::optional<int> FoiFile::version_number(std::string_view key) const
{
    const auto text = version(key);
    if (!text) return std::nullopt;
    int number = 0;
    const auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), number);
    if (error != std::errc() || end != text->data() + text->size()) return std::nullopt;
    return number;
}

FoiFile read_foi(std::string_view bytes, std::string* owned)
{
    FoiFile file;
    // A byte-order mark is an editor's, never a line's.
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    // D-Foundations writes Windows-1252. Bytes beyond ASCII that are valid UTF-8 come from an editor
    // or a caller's text instead: Windows-1252 text is all but never valid UTF-8 by chance.
    const bool ascii = std::all_of(bytes.begin(), bytes.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x80;
    });
    const bool utf8 = !ascii && text::is_valid_utf8(bytes);
    // The text is decoded once, as a whole: line ends are the same bytes in either encoding.
    std::string decoded_text;
    if (!ascii && !utf8) {
        decoded_text = utf8_from_windows_1252(bytes);
    } else if (owned != nullptr) {
        owned->erase(0, static_cast<std::size_t>(bytes.data() - owned->data()));
        decoded_text = std::move(*owned);
    } else {
        decoded_text = bytes;
    }
    const std::string_view text = file.keep(std::move(decoded_text));
    const std::vector<std::string_view> lines = split_lines(text, file.ends_with_line_end);
    const auto decoded = [](std::string_view line) { return std::string(line); };
    if (utf8) {
        for (std::size_t at = 0; at < lines.size(); ++at) {
            const std::string character = unencodable_character(lines[at]);
            if (!character.empty())
                file.warnings.push_back({at + 1, "the line holds the character " + character +
                                                     ", which a D-Foundations input file (Windows-1252) cannot "
                                                     "hold; the file cannot be written again as it is."});
        }
    }

    // The header runs to the banner; a banner only counts before the first section.
    std::size_t first_data = 0;
    for (std::size_t at = 0; at < lines.size(); ++at) {
        std::string_view name;
        if (marker(lines[at], name) != Marker::none) break;
        if (is_data_banner(lines[at])) {
            first_data = at + 1;
            break;
        }
    }
    for (std::size_t at = 0; at < first_data; ++at) {
        FoiItem item;
        item.line = at + 1;
        item.text = lines[at];
        item.kind = trimmed(item.text).empty() ? ItemKind::blank : ItemKind::plain;
        file.header.push_back(std::move(item));
    }

    if (first_data == 0 && !lines.empty())
        file.warnings.push_back({1, "The file has no \"BEGINNING OF DATA\" line; every line is read as data."});

    // First pass: pair each opening with its closing. A closing closes the nearest open section of
    // its name; the sections opened after that one and still open are left unclosed. The count of
    // open sections per name answers at once for a closing whose name is not open, so the pairing
    // stays linear.
    std::vector<std::size_t> closing_of(lines.size(), 0);  // line index + 1 of the closing; 0 for none
    std::vector<bool> orphan_closing(lines.size(), false);
    std::vector<std::pair<std::string_view, std::size_t>> open;
    std::unordered_map<std::string_view, std::size_t> open_count;
    for (std::size_t at = first_data; at < lines.size(); ++at) {
        std::string_view name;
        const Marker kind = marker(lines[at], name);
        if (kind == Marker::open) {
            open.emplace_back(name, at);
            ++open_count[name];
        } else if (kind == Marker::close) {
            const auto count = open_count.find(name);
            if (count == open_count.end() || count->second == 0) {
                orphan_closing[at] = true;
                continue;
            }
            while (true) {
                const auto [open_name, open_at] = open.back();
                open.pop_back();
                --open_count[open_name];
                if (open_name == name) {
                    closing_of[open_at] = at + 1;
                    break;
                }
            }
        }
    }

    // Second pass: the tree. Open sections wait on a stack and move into their parent when closed. A
    // section nested deeper than any real file nests is kept as plain lines, so that a hostile file
    // cannot exhaust the stack of the code that walks the tree.
    // The items of the open sections wait, in file order, in `pending`; a section closed takes its own
    // into a list of their exact size, so that a table of thousands of rows is not grown step by step.
    std::vector<FoiItem> stack;
    std::vector<std::size_t> first_item;  // where the items of each open section begin in `pending`
    std::vector<FoiItem> pending;
    const auto take_from = [&pending](std::size_t first, std::vector<FoiItem>& items) {
        if (first == 0) {  // all of them (the file's, or those of its first section): no copy at all
            items = std::move(pending);
            pending.clear();
            return;
        }
        items.reserve(pending.size() - first);
        std::move(pending.begin() + static_cast<std::ptrdiff_t>(first), pending.end(), std::back_inserter(items));
        pending.erase(pending.begin() + static_cast<std::ptrdiff_t>(first), pending.end());
    };
    std::vector<bool> too_deep(lines.size(), false);
    auto add = [&](FoiItem item) { pending.push_back(std::move(item)); };
    for (std::size_t at = first_data; at < lines.size(); ++at) {
        FoiItem item;
        item.line = at + 1;
        item.text = lines[at];
        std::string_view name;
        const Marker kind = marker(lines[at], name);
        if (kind == Marker::open && closing_of[at] != 0 && stack.size() < deepest_nesting) {
            item.kind = ItemKind::section;
            item.name = name;
            item.end_line = closing_of[at];
            stack.push_back(std::move(item));
            first_item.push_back(pending.size());
        } else if (kind == Marker::close && !orphan_closing[at] && !stack.empty() && stack.back().end_line == at + 1) {
            FoiItem section = std::move(stack.back());
            stack.pop_back();
            take_from(first_item.back(), section.items);
            first_item.pop_back();
            section.end_text = item.text;
            add(std::move(section));
        } else if (kind == Marker::next) {
            item.kind = ItemKind::separator;
            item.name = name;
            add(std::move(item));
        } else {
            if (kind == Marker::open && closing_of[at] != 0) {
                too_deep[closing_of[at] - 1] = true;
                file.warnings.push_back({item.line, "[" + decoded(name) + "] lies more than " +
                                                        std::to_string(deepest_nesting) +
                                                        " sections deep; its lines are kept as plain lines."});
            } else if (kind == Marker::open) {
                file.warnings.push_back({item.line, "[" + decoded(name) + "] is not closed by [END OF " +
                                                        decoded(name) +
                                                        "]; its lines are read as lines of the section around it."});
            } else if (kind == Marker::close && !too_deep[at]) {
                file.warnings.push_back(
                    {item.line, "[END OF " + decoded(name) + "] closes no open section; it is kept as a plain line."});
            }
            if (kind == Marker::none) {
                classify(item);
            } else {
                item.kind = ItemKind::plain;
            }
            add(std::move(item));
        }
    }
    // Sections still open are left out, as the lines of no section.
    pending.resize(first_item.empty() ? pending.size() : first_item.front());
    take_from(0, file.items);
    std::stable_sort(file.warnings.begin(), file.warnings.end(),
                     [](const FoiWarning& a, const FoiWarning& b) { return a.line < b.line; });
    return file;
}

std::string write_foi(const FoiFile& file)
{
    std::string out;
    out.reserve(text_size(file.header) + text_size(file.items));
    write_items(out, file.header);
    write_items(out, file.items);
    if (!file.ends_with_line_end && out.ends_with("\r\n")) out.resize(out.size() - 2);
    return out;
}

}  // namespace ostrand::foi
