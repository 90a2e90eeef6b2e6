// Checked reading of the model document: every access names the member it reads, so a document that
// cannot become an input file fails with a message that points at the offending member.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

namespace ostrand::foi {

using Json = nlohmann::ordered_json;

// One value of the model document together with its path ("profiles[0].cpt.rule").
class DocumentNode {
public:
    DocumentNode(const Json& value, std::string path);

    bool is_null() const { return value_->is_null(); }
    bool is_number() const { return value_->is_number(); }

    // The member `key` of this object; a missing member or a value that is no object raises.
    DocumentNode operator[](std::string_view key) const;

    double number() const;
    std::int64_t integer() const;
    bool boolean() const;
    const std::string& text() const;
    // Null counts as absent; any other value must be a number.
    std::optional<double> optional_number() const;

    // The elements of an array, in order.
    std::vector<DocumentNode> items() const;
    // The number of elements of an array.
    std::size_t size() const;
    // Element `index` of an array; for reading long arrays without a path for every element.
    DocumentNode element(std::size_t index) const;
    // The value itself, for loops that build nodes (and their paths) only to report a fault.
    const Json& json() const { return *value_; }
    // The members of an object as (name, value), in the document's order.
    std::vector<std::pair<std::string, DocumentNode>> members() const;

    // Raises errors::InternalError "'<path>' in the model document <problem>".
    [[noreturn]] void fail(const std::string& problem) const;

private:
    [[noreturn]] void fail_type(const char* expected) const;

    const Json* value_;
    std::string path_;
};

}  // namespace ostrand::foi
