// The layout of a D-Foundations input file read into a tree, before any meaning is given to it: the
// header, then sections "[NAME]" ... "[END OF NAME]" in file order, each holding its lines and the
// sections inside it. Every line of the file lands in exactly one item, with its line number, so that
// a later step can name the line it refuses; a line of no known shape stays a plain line.
#pragma once

#include <cstddef>
#include <deque>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ostrand::foi {

enum class ItemKind {
    section,    // "[NAME]" ... "[END OF NAME]"
    key_value,  // "SoilColor=11526561"
    setting,    // "   12.50 : Characteristic adhesion [kN/m2)"
    count,      // "   20 = number of items"
    separator,  // a dashed line or "[NEXT OF NAME]" between repeated blocks
    blank,      // an empty line or one of blanks only
    plain,      // any other line: a name, a row of numbers, free text
};

struct FoiItem;

// A [TABLE] section: the names of [COLUMN INDICATION], the rows of [DATA] and, in the newer layout, the
// "DataCount=" it states.
struct FoiTable {
    std::vector<std::string> columns;
    std::vector<const FoiItem*> rows;  // the lines of [DATA] that are not blank
    std::optional<std::string> data_count;
};

// An item's texts are views of the texts its FoiFile keeps: an item lives no longer than its file. A
// large file is mostly rows of numbers, each an item, so an item holds no text of its own.
struct FoiItem {
    ItemKind kind = ItemKind::plain;
    std::size_t line = 0;    // from 1; for a section the line that opens it
    std::string_view text;   // the whole line as read (UTF-8, without its line end)
    // section: its name; key_value: the key; separator: NAME of "[NEXT OF NAME]" (empty for a dashed
    // line).
    std::string_view name;
    // key_value and setting: the value as written, without the blanks around it; count: the number.
    std::string_view value;
    // setting and count: the text after " : " or " = ".
    std::string_view caption;
    // section only: its items, the line that closes it and that line's text.
    std::vector<FoiItem> items;
    std::size_t end_line = 0;
    std::string_view end_text;

    // The first section named `name` among the items, or nullptr.
    const FoiItem* section(std::string_view name) const;
    // Every section named `name` among the items, in file order.
    std::vector<const FoiItem*> sections(std::string_view name) const;
    // The first key_value item with key `key`, or nullptr.
    const FoiItem* key_value(std::string_view key) const;
    // The first setting among the items whose caption starts with `caption`, or nullptr.
    const FoiItem* setting(std::string_view caption) const;
    // The repeated blocks of a section: the items after each separator, up to the next separator or
    // the end. The items before the first separator (a count, say) belong to no block.
    std::vector<std::span<const FoiItem>> blocks() const;
    // This section read as a [TABLE]; a part it lacks stays empty.
    FoiTable table() const;
};

struct FoiWarning {
    std::size_t line = 0;
    std::string message;
};

struct FoiFile {
    // The texts that the items view: the file's text as read (UTF-8) and any text put in later with
    // `keep`. The copies of a file share them.
    std::shared_ptr<std::deque<std::string>> texts = std::make_shared<std::deque<std::string>>();
    // The lines before the data, the "==== BEGINNING OF DATA ====" line included; empty when the file
    // has no such line.
    std::vector<FoiItem> header;
    // The data in file order; the sections at the top level (normally the one [INPUT DATA]) and any
    // line outside them.
    std::vector<FoiItem> items;
    std::vector<FoiWarning> warnings;
    // Whether the last line ended with a line end.
    bool ends_with_line_end = true;

    // `text` kept with the file, as a view that lives as long as the file does.
    std::string_view keep(std::string text) const { return texts->emplace_back(std::move(text)); }
    // A field of the header ("CREATED BY", "DATE") as written after its colon; nullopt when absent.
    std::optional<std::string> header_value(std::string_view key) const;
    // The first section named `name`, searched depth first through the whole tree, or nullptr.
    const FoiItem* find_section(std::string_view name) const;
    // A number of [VERSION] ("Soil", "D-Foundations") or, with `externals`, of [VERSION EXTERNALS]
    // as written ("19.1.2.28503"); nullopt when absent.
    std::optional<std::string> version(std::string_view key, bool externals = false) const;
    // A whole number of [VERSION]; nullopt when absent or not a whole number.
    std::optional<int> version_number(std::string_view key) const;
};

// Reads the text of an input file as its bytes (Windows-1252, any of CR LF, LF and CR as line ends).
// Bytes beyond ASCII that are valid UTF-8 are read as UTF-8: a file saved by an editor, or a text a
// caller hands over, rather than one D-Foundations wrote.
// Never fails: what does not fit the layout (an unclosed section, a stray closing, sections nested
// more than 100 deep) is kept as plain lines and named in `warnings`.
// With `owned` (the text that `bytes` views), the file takes that text as its own, rather than copy
// it, when it needs no decoding; `owned` is then left empty.
FoiFile read_foi(std::string_view bytes, std::string* owned = nullptr);

// The file as D-Foundations writes it: the lines of the tree in order, each ended by CR LF, in
// Windows-1252. Reading a file written with CR LF and writing it back gives the same bytes.
std::string write_foi(const FoiFile& file);

}  // namespace ostrand::foi
