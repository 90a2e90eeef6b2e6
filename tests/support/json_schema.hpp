// Checks a JSON value against the part of JSON Schema that the program's schemas use: $ref to
// "#/$defs/...", oneOf, type (one or a list), const, enum, required, properties,
// additionalProperties false, items and minimum. Returns the first mismatch, empty when none.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

namespace test_support {

class JsonSchema {
public:
    explicit JsonSchema(nlohmann::json schema) : root_(std::move(schema)) {}

    std::string mismatch(const nlohmann::json& value) const { return check(root_, value, "$"); }

private:
    static bool has_type(const nlohmann::json& value, const std::string& type)
    {
        if (type == "object") return value.is_object();
        if (type == "array") return value.is_array();
        if (type == "string") return value.is_string();
        if (type == "integer") return value.is_number_integer();
        if (type == "number") return value.is_number();
        if (type == "boolean") return value.is_boolean();
        if (type == "null") return value.is_null();
        return false;
    }

    std::string check(const nlohmann::json& schema, const nlohmann::json& value, const std::string& where) const
    {
        if (schema.contains("$ref")) {
            const std::string ref = schema["$ref"];
            return check(root_.at("$defs").at(ref.substr(std::string("#/$defs/").size())), value, where);
        }
        if (schema.contains("oneOf")) {
            int matches = 0;
            for (const auto& option : schema["oneOf"]) matches += check(option, value, where).empty() ? 1 : 0;
            if (matches != 1) return where + ": matches " + std::to_string(matches) + " of oneOf";
        }
        if (schema.contains("type")) {
            bool any = false;
            if (schema["type"].is_string())
                any = has_type(value, schema["type"]);
            else
                for (const auto& type : schema["type"]) any = any || has_type(value, type);
            if (!any) return where + ": not of type " + schema["type"].dump();
        }
        if (schema.contains("const") && value != schema["const"]) return where + ": not " + schema["const"].dump();
        if (schema.contains("enum") &&
            std::find(schema["enum"].begin(), schema["enum"].end(), value) == schema["enum"].end()) {
            return where + ": not one of " + schema["enum"].dump();
        }
        if (schema.contains("minimum") && value.is_number() && value.get<double>() < schema["minimum"].get<double>()) {
            return where + ": below the minimum";
        }
        if (value.is_object()) {
            for (const auto& key : schema.value("required", nlohmann::json::array())) {
                if (!value.contains(key)) return where + ": lacks " + key.dump();
            }
            const auto properties = schema.value("properties", nlohmann::json::object());
            for (const auto& [key, member] : value.items()) {
                if (properties.contains(key)) {
                    if (auto found = check(properties[key], member, where + "." + key); !found.empty()) return found;
                } else if (schema.contains("additionalProperties") && schema["additionalProperties"] == false) {
                    return where + ": unexpected member " + key;
                }
            }
        }
        if (value.is_array() && schema.contains("items")) {
            for (std::size_t i = 0; i < value.size(); ++i) {
                if (auto found = check(schema["items"], value[i], where + "[" + std::to_string(i) + "]");
                    !found.empty()) {
                    return found;
                }
            }
        }
        return {};
    }

    nlohmann::json root_;
};

}  // namespace test_support
