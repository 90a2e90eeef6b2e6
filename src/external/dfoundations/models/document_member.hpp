// One member of a model document being read, and where it sits ("piles[3].x"), so that every
// refusal names the member.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace ostrand::external::dfoundations::detail {

// Throws std::invalid_argument "Model document: {path} {problem}".
[[noreturn]] void refuse_member(const std::string& path, const std::string& problem);

// A value as the messages show it: its JSON text, ASCII only, shortened when long; an array or an
// object by its kind.
std::string shown(const nlohmann::ordered_json& value);

class DocumentMember {
public:
    DocumentMember(const nlohmann::ordered_json& value, std::string path) : value_(value), path_(std::move(path)) {}

    const nlohmann::ordered_json& value() const { return value_; }
    const std::string& path() const { return path_; }
    bool is_null() const { return value_.is_null(); }

    // A member of this object; refused when this is no object or the member is missing.
    DocumentMember operator[](std::string_view key) const;
    // An item of this array, and the number of items (refused when this is no array).
    DocumentMember operator[](std::size_t index) const;
    std::size_t size() const;
    // Refused unless this is an object.
    const nlohmann::ordered_json& object() const;

    double number() const;
    std::optional<double> number_or_null() const;
    std::int64_t integer() const;
    std::optional<std::int64_t> integer_or_null() const;
    bool boolean() const;
    std::string text() const;
    // An integer from `first` to `last` as the enumeration E; `name` names E in the message.
    template <typename E>
    E member_of(const char* name, int first, int last) const
    {
        return static_cast<E>(enumerator(name, first, last));
    }

private:
    int enumerator(const char* name, int first, int last) const;

    const nlohmann::ordered_json& value_;
    std::string path_;
};

// The path of member `key` under `path`: "piles[3].x", or soils["Clay, clean"] for a name that is no
// plain word.
std::string member_path(const std::string& path, std::string_view key);

// Refuses, naming the first member where they differ, unless `document` is what the model operations
// wrote (`written`). Numbers compare by value; members may come in another order.
void require_written_again(const nlohmann::ordered_json& document, const nlohmann::ordered_json& written,
                           const std::string& path = "");

}  // namespace ostrand::external::dfoundations::detail
