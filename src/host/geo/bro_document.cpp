#include "host/geo/bro_document.hpp"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "host/geo/gef_text.hpp"
#include "ostrand/errors.hpp"

namespace ostrand::geo::detail {

namespace {

constexpr std::string_view byte_order_mark = "\xEF\xBB\xBF";

// The 1-based line of a byte offset into the text.
std::size_t line_at(std::string_view text, std::ptrdiff_t offset)
{
    const auto end =
        static_cast<std::size_t>(std::clamp<std::ptrdiff_t>(offset, 0, static_cast<std::ptrdiff_t>(text.size())));
    return 1 +
           static_cast<std::size_t>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(end), '\n'));
}

// "<!DOCTYPE root [ <!ENTITY x 'y'> ]>" declares an entity; "<!DOCTYPE root SYSTEM 'a.dtd'>"
// names an external DTD, which could declare them. pugixml expands neither; both are refused so
// that no later reader of the same text can be led to.
void refuse_entities(const pugi::xml_document& document)
{
    for (const pugi::xml_node node : document.children()) {
        if (node.type() != pugi::node_doctype) continue;
        const std::string_view declaration = node.value();
        if (declaration.find("<!ENTITY") != declaration.npos)
            throw errors::ParsingError(
                "BRO XML file declares entities in its DOCTYPE: entity declarations are refused, not expanded");
        const std::string_view head = declaration.substr(0, declaration.find('['));
        for (const auto word : split_blanks(head))
            if (word == "SYSTEM" || word == "PUBLIC")
                throw errors::ParsingError(
                    "BRO XML file names an external DTD in its DOCTYPE: external entities are refused, not loaded");
    }
}

bool is_cpt(std::string_view name) { return name == "CPT_O" || name == "CPT"; }

// What a BRO object other than a CPT is, for the message; the register's object codes.
std::string_view object_kind(std::string_view name)
{
    if (name.substr(0, 3) == "BHR") return " (a borehole)";
    if (name.substr(0, 3) == "SFR") return " (a soil face research)";
    if (name.substr(0, 3) == "GMW") return " (a groundwater monitoring well)";
    if (name.substr(0, 3) == "CPT") return " (a CPT without its measurements)";
    return "";
}

}  // namespace

bool is_xml(std::string_view text)
{
    if (text.substr(0, 2) == "\xFF\xFE" || text.substr(0, 2) == "\xFE\xFF") return true;  // UTF-16: never GEF
    if (text.substr(0, byte_order_mark.size()) == byte_order_mark) text.remove_prefix(byte_order_mark.size());
    text = trim(text);
    return !text.empty() && text.front() == '<';
}

namespace {

// The character number of a reference "&#...;" at `at`, or absent when there is none there.
std::optional<unsigned long> reference_number(std::string_view text, std::size_t at)
{
    std::size_t digits = at + 2;
    const bool hexadecimal = digits < text.size() && (text[digits] == 'x' || text[digits] == 'X');
    if (hexadecimal) ++digits;
    const std::size_t end = text.find(';', digits);
    if (end == std::string_view::npos || end == digits || end - digits > 16) return std::nullopt;
    unsigned long number = 0;
    for (std::size_t i = digits; i < end; ++i) {
        const char c = text[i];
        const int digit = c >= '0' && c <= '9'                  ? c - '0'
                          : hexadecimal && c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : hexadecimal && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                                : -1;
        if (digit < 0) return std::nullopt;
        number = std::min(number * (hexadecimal ? 16 : 10) + static_cast<unsigned long>(digit), 0x110000UL);
    }
    return number;
}

// XML has no character 0, as a byte or as a reference (&#x0;); read anyway, it would cut every text
// it stands in short, a CPT's name for one.
void refuse_null_characters(std::string_view text)
{
    const bool utf16 = text.starts_with("\xFF\xFE") || text.starts_with("\xFE\xFF");  // half its bytes are 0
    if (const std::size_t at = text.find('\0'); at != std::string_view::npos && !utf16)
        throw errors::ParsingError("BRO XML file is not well-formed XML: it holds the character 0 (line " +
                                   std::to_string(line_at(text, static_cast<std::ptrdiff_t>(at))) + ")");
    for (std::size_t at = text.find("&#"); at != std::string_view::npos; at = text.find("&#", at + 2))
        if (reference_number(text, at) == 0UL)
            throw errors::ParsingError("BRO XML file is not well-formed XML: it refers to the character 0 (line " +
                                       std::to_string(line_at(text, static_cast<std::ptrdiff_t>(at))) + ")");
}

}  // namespace

void load_xml(pugi::xml_document& document, std::string_view text)
{
    refuse_null_characters(text);
    const pugi::xml_parse_result result =
        document.load_buffer(text.data(), text.size(), pugi::parse_default | pugi::parse_doctype);
    if (!result)
        throw errors::ParsingError("BRO XML file is not well-formed XML: " + std::string(result.description()) +
                                   " (line " + std::to_string(line_at(text, result.offset)) + ")");
    refuse_entities(document);
}

pugi::xml_node find_cpt(const pugi::xml_document& document)
{
    const pugi::xml_node root = document.document_element();
    if (is_cpt(local_name(root))) return root;
    pugi::xml_node container;
    for (const pugi::xml_node child : root.children())
        if (child.type() == pugi::node_element &&
            (local_name(child) == "dispatchDocument" || local_name(child) == "sourceDocument")) {
            container = child;
            break;
        }
    if (!container)
        throw errors::ParsingError("XML file is not a BRO CPT: its root element " + quoted(root.name()) +
                                   " holds no dispatchDocument or sourceDocument");
    const pugi::xml_node object =
        container.find_child([](const pugi::xml_node& node) { return node.type() == pugi::node_element; });
    if (!object)
        throw errors::ParsingError("BRO XML file holds no object: its " + std::string(local_name(container)) +
                                   " is empty");
    const std::string_view name = local_name(object);
    if (!is_cpt(name))
        throw errors::ParsingError("BRO XML file holds a " + quoted(name) + " object" + std::string(object_kind(name)) +
                                   ", not a CPT (CPT_O)");
    return object;
}

std::string_view local_name(const pugi::xml_node& node)
{
    const std::string_view name = node.name();
    const std::size_t colon = name.rfind(':');
    return colon == name.npos ? name : name.substr(colon + 1);
}

pugi::xml_node element(const pugi::xml_node& parent, std::initializer_list<std::string_view> path)
{
    pugi::xml_node node = parent;
    for (const std::string_view name : path) {
        pugi::xml_node found;
        for (const pugi::xml_node child : node.children())
            if (child.type() == pugi::node_element && local_name(child) == name) {
                found = child;
                break;
            }
        if (!found) return {};
        node = found;
    }
    return node;
}

pugi::xml_node descendant(const pugi::xml_node& parent, std::string_view name)
{
    // An explicit stack: a hostile document may nest deeper than the call stack allows.
    std::vector<pugi::xml_node> pending;
    for (pugi::xml_node child = parent.last_child(); child; child = child.previous_sibling()) pending.push_back(child);
    while (!pending.empty()) {
        const pugi::xml_node node = pending.back();
        pending.pop_back();
        if (node.type() != pugi::node_element) continue;
        if (local_name(node) == name) return node;
        for (pugi::xml_node child = node.last_child(); child; child = child.previous_sibling())
            pending.push_back(child);
    }
    return {};
}

pugi::xml_node required_element(const pugi::xml_node& parent, std::initializer_list<std::string_view> path)
{
    const pugi::xml_node node = element(parent, path);
    if (!node) {
        std::string joined;
        for (const std::string_view name : path) joined += (joined.empty() ? "" : "/") + std::string(name);
        throw errors::ParsingError("BRO XML CPT has no " + joined + " element");
    }
    return node;
}

std::string_view text_of(const pugi::xml_node& node) { return trim(node.child_value()); }

}  // namespace ostrand::geo::detail
