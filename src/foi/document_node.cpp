#include "foi/document_node.hpp"

#include <cmath>
#include <limits>

#include "ostrand/errors.hpp"
#include "text/number_format.hpp"

namespace ostrand::foi {

namespace {

// Names in paths are quoted when they are not plain identifiers (material names have blanks).
bool is_identifier(std::string_view key)
{
    if (key.empty()) return false;
    for (const char c : key) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
        if (!plain) return false;
    }
    return true;
}

std::string member_path(const std::string& parent, std::string_view key)
{
    if (!is_identifier(key)) return parent + "[\"" + std::string(key) + "\"]";
    return parent.empty() ? std::string(key) : parent + "." + std::string(key);
}

}  // namespace

DocumentNode::DocumentNode(const Json& value, std::string path) : value_(&value), path_(std::move(path)) {}

void DocumentNode::fail(const std::string& problem) const
{
    if (path_.empty()) throw errors::InternalError("The model document " + problem);
    throw errors::InternalError("'" + path_ + "' in the model document " + problem);
}

void DocumentNode::fail_type(const char* expected) const
{
    fail(std::string("must be ") + expected + " (found " + value_->type_name() + ").");
}

DocumentNode DocumentNode::operator[](std::string_view key) const
{
    if (!value_->is_object()) fail_type("an object");
    const auto found = value_->find(key);
    if (found == value_->end()) {
        const std::string missing = member_path(path_, key);
        throw errors::InternalError("The model document has no member '" + missing + "'.");
    }
    return DocumentNode(*found, member_path(path_, key));
}

double DocumentNode::number() const
{
    if (!value_->is_number()) fail_type("a number");
    const double value = value_->get<double>();
    // A JSON text cannot hold them, but a document built in memory can; the file could not.
    if (!std::isfinite(value)) fail("must be a finite number (found " + text::format_number(value) + ").");
    return value;
}

std::int64_t DocumentNode::integer() const
{
    if (!value_->is_number_integer()) fail_type("an integer");
    if (value_->is_number_unsigned() &&
        value_->get<std::uint64_t>() > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
        fail("is too large (" + value_->dump() + ").");
    return value_->get<std::int64_t>();
}

bool DocumentNode::boolean() const
{
    if (!value_->is_boolean()) fail_type("a boolean");
    return value_->get<bool>();
}

const std::string& DocumentNode::text() const
{
    if (!value_->is_string()) fail_type("a text");
    return value_->get_ref<const std::string&>();
}

std::optional<double> DocumentNode::optional_number() const
{
    if (value_->is_null()) return std::nullopt;
    if (!value_->is_number()) fail_type("a number or null");
    return number();
}

std::vector<DocumentNode> DocumentNode::items() const
{
    if (!value_->is_array()) fail_type("an array");
    std::vector<DocumentNode> result;
    result.reserve(value_->size());
    for (std::size_t i = 0; i < value_->size(); ++i)
        result.emplace_back((*value_)[i], path_ + "[" + std::to_string(i) + "]");
    return result;
}

std::size_t DocumentNode::size() const
{
    if (!value_->is_array()) fail_type("an array");
    return value_->size();
}

DocumentNode DocumentNode::element(std::size_t index) const
{
    if (!value_->is_array()) fail_type("an array");
    return DocumentNode((*value_)[index], path_ + "[" + std::to_string(index) + "]");
}

std::vector<std::pair<std::string, DocumentNode>> DocumentNode::members() const
{
    if (!value_->is_object()) fail_type("an object");
    std::vector<std::pair<std::string, DocumentNode>> result;
    result.reserve(value_->size());
    for (const auto& [key, value] : value_->items())
        result.emplace_back(key, DocumentNode(value, member_path(path_, key)));
    return result;
}

}  // namespace ostrand::foi
