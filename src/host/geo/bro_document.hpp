// The XML side of the BRO CPT reader: parsing with pugixml, refusing entity declarations and
// external DTDs, finding the CPT object in the envelopes the register delivers, and walking to
// elements by their local names (the prefixes and namespace versions differ between files).
#pragma once

#include <initializer_list>
#include <string_view>

#include <pugixml.hpp>

namespace ostrand::geo::detail {

// Whether a file's content is XML: it starts with a UTF-16 byte order mark, or its first
// character after a UTF-8 byte order mark and blanks is '<' (a GEF file starts with "#GEFID").
bool is_xml(std::string_view text);

// Parses the text into `document`. Malformed XML is a ParsingError with pugixml's reason and the
// line; a DOCTYPE that declares entities or names an external DTD is refused the same way, and
// nothing in it is ever expanded or loaded.
void load_xml(pugi::xml_document& document, std::string_view text);

// The CPT object: the root itself (CPT_O, or CPT of a registration request), or the object in
// the root's dispatchDocument or sourceDocument. Any other object or document is a ParsingError
// that names what the file holds.
pugi::xml_node find_cpt(const pugi::xml_document& document);

// The name without its prefix: "cptcommon:values" is "values".
std::string_view local_name(const pugi::xml_node& node);

// The element reached from `parent` through children with these local names, whatever their
// prefixes; an empty node when one of them is missing.
pugi::xml_node element(const pugi::xml_node& parent, std::initializer_list<std::string_view> path);

// The first element below `parent`, at any depth, with this local name; an empty node when there
// is none. The register has nested some elements deeper in some of its schema generations.
pugi::xml_node descendant(const pugi::xml_node& parent, std::string_view name);

// The same element; its absence is a ParsingError "BRO XML CPT has no a/b/c element".
pugi::xml_node required_element(const pugi::xml_node& parent, std::initializer_list<std::string_view> path);

// The trimmed text of an element (empty for an empty node).
std::string_view text_of(const pugi::xml_node& node);

}  // namespace ostrand::geo::detail
