#include "external/dfoundations/models/document_member.hpp"

#include <limits>
#include <stdexcept>

namespace ostrand::external::dfoundations::detail {

namespace {

using json = nlohmann::ordered_json;

constexpr std::size_t SHOWN_LENGTH = 60;

const char* kind_of(const json& value)
{
    switch (value.type()) {
    case json::value_t::null: return "null";
    case json::value_t::object: return "an object";
    case json::value_t::array: return "an array";
    case json::value_t::string: return "a text";
    case json::value_t::boolean: return "a boolean";
    case json::value_t::number_float: return "a real number";
    default: return "an integer";
    }
}

bool is_word(std::string_view key)
{
    if (key.empty()) return false;
    for (char c : key) {
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_')) return false;
    }
    return true;
}

bool same_value(const json& document, const json& written)
{
    if (document.is_number() && written.is_number()) {
        if (document.is_number_integer() && written.is_number_integer()) return document.dump() == written.dump();
        return document.get<double>() == written.get<double>();
    }
    return document == written;
}

}  // namespace

void refuse_member(const std::string& path, const std::string& problem)
{
    throw std::invalid_argument("Model document: " + (path.empty() ? std::string("the document") : path) + " " +
                                problem);
}

std::string shown(const json& value)
{
    // Arrays and objects by their kind only: writing them out would recurse as deep as they nest.
    if (value.is_structured()) return kind_of(value);
    std::string text = value.dump(-1, ' ', true, json::error_handler_t::replace);
    if (text.size() > SHOWN_LENGTH) text = text.substr(0, SHOWN_LENGTH - 3) + "...";
    return text;
}

std::string member_path(const std::string& path, std::string_view key)
{
    if (!is_word(key)) return path + "[" + shown(json(std::string(key))) + "]";
    return path.empty() ? std::string(key) : path + "." + std::string(key);
}

DocumentMember DocumentMember::operator[](std::string_view key) const
{
    const json& members = object();
    const std::string where = member_path(path_, key);
    const auto found = members.find(std::string(key));
    if (found == members.end()) refuse_member(where, "is missing");
    return DocumentMember(*found, where);
}

const json& DocumentMember::object() const
{
    if (!value_.is_object()) refuse_member(path_, std::string("must be an object (currently ") + kind_of(value_) + ")");
    return value_;
}

std::size_t DocumentMember::size() const
{
    if (!value_.is_array()) refuse_member(path_, std::string("must be an array (currently ") + kind_of(value_) + ")");
    return value_.size();
}

DocumentMember DocumentMember::operator[](std::size_t index) const
{
    if (index >= size()) refuse_member(path_, "has no item " + std::to_string(index));
    return DocumentMember(value_[index], path_ + "[" + std::to_string(index) + "]");
}

double DocumentMember::number() const
{
    if (!value_.is_number()) refuse_member(path_, "must be a number (currently " + shown(value_) + ")");
    return value_.get<double>();
}

std::optional<double> DocumentMember::number_or_null() const
{
    if (value_.is_null()) return std::nullopt;
    return number();
}

std::int64_t DocumentMember::integer() const
{
    if (value_.is_number_unsigned() &&
        value_.get<std::uint64_t>() > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
        refuse_member(path_, "is too large an integer (currently " + shown(value_) + ")");
    }
    if (!value_.is_number_integer()) refuse_member(path_, "must be an integer (currently " + shown(value_) + ")");
    return value_.get<std::int64_t>();
}

std::optional<std::int64_t> DocumentMember::integer_or_null() const
{
    if (value_.is_null()) return std::nullopt;
    return integer();
}

bool DocumentMember::boolean() const
{
    if (!value_.is_boolean()) refuse_member(path_, "must be true or false (currently " + shown(value_) + ")");
    return value_.get<bool>();
}

std::string DocumentMember::text() const
{
    if (!value_.is_string()) refuse_member(path_, "must be a text (currently " + shown(value_) + ")");
    return value_.get<std::string>();
}

int DocumentMember::enumerator(const char* name, int first, int last) const
{
    if (!value_.is_number_integer() || value_.get<std::int64_t>() < first || value_.get<std::int64_t>() > last) {
        refuse_member(path_, std::string("must be a value of ") + name + ", " + std::to_string(first) + " to " +
                                 std::to_string(last) + " (currently " + shown(value_) + ")");
    }
    return static_cast<int>(value_.get<std::int64_t>());
}

void require_written_again(const json& document, const json& written, const std::string& path)
{
    if (document.is_object() && written.is_object()) {
        for (auto member = document.begin(); member != document.end(); ++member) {
            const std::string where = member_path(path, member.key());
            const auto found = written.find(member.key());
            if (found == written.end()) refuse_member(where, "is not a member of a model document");
            require_written_again(member.value(), *found, where);
        }
        for (auto member = written.begin(); member != written.end(); ++member) {
            if (!document.contains(member.key())) refuse_member(member_path(path, member.key()), "is missing");
        }
        return;
    }
    if (document.is_array() && written.is_array() && document.size() == written.size()) {
        for (std::size_t i = 0; i < document.size(); ++i) {
            require_written_again(document[i], written[i], path + "[" + std::to_string(i) + "]");
        }
        return;
    }
    if (same_value(document, written)) return;
    refuse_member(path, "is " + shown(document) +
                            ", which the model operations do not write: from this document they "
                            "write " +
                            shown(written));
}

}  // namespace ostrand::external::dfoundations::detail
