// The insertion-ordered map of the library: result tables, column maps and a model's collections.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace ostrand::external::dfoundations {

// A map that keeps its keys in insertion order. Assigning to a present key replaces the value
// and keeps the key's first position.
template <class Value>
class OrderedMap {
public:
    // A key and its value, as iteration gives them.
    using value_type = std::pair<std::string, Value>;

    // The value of `key`, appended as Value{} when it is not there yet.
    Value& operator[](const std::string& key)
    {
        if (Value* present = find(key)) return *present;
        return append(key, Value{});
    }
    // Stores `value` under `key`: replaced in place when the key is there, appended otherwise.
    void insert_or_assign(const std::string& key, Value value)
    {
        if (Value* present = find(key)) {
            *present = std::move(value);
        } else {
            append(key, std::move(value));
        }
    }

    // The value of `key`, or null.
    const Value* find(std::string_view key) const
    {
        auto found = index_.find(std::string(key));
        return found == index_.end() ? nullptr : &entries_[found->second].second;
    }
    Value* find(std::string_view key)
    {
        auto found = index_.find(std::string(key));
        return found == index_.end() ? nullptr : &entries_[found->second].second;
    }
    // The value of `key`.
    // @throws std::out_of_range "no entry 'key'" when it is not there
    const Value& at(std::string_view key) const
    {
        if (const Value* value = find(key)) return *value;
        throw std::out_of_range("no entry '" + std::string(key) + "'");
    }
    // Whether `key` is there.
    bool contains(std::string_view key) const { return find(key) != nullptr; }

    // The number of entries.
    std::size_t size() const { return entries_.size(); }
    // Whether there are no entries.
    bool empty() const { return entries_.empty(); }
    // The entries (value_type) in insertion order.
    auto begin() const { return entries_.begin(); }
    // The end of the entries.
    auto end() const { return entries_.end(); }
    // The keys in insertion order.
    std::vector<std::string> keys() const
    {
        std::vector<std::string> result;
        for (const auto& entry : entries_) result.push_back(entry.first);
        return result;
    }

private:
    // Stores the entry, or nothing at all when storing fails.
    Value& append(const std::string& key, Value value)
    {
        entries_.emplace_back(key, std::move(value));
        try {
            index_.emplace(key, entries_.size() - 1);
        } catch (...) {
            entries_.pop_back();
            throw;
        }
        return entries_.back().second;
    }

    std::vector<value_type> entries_;
    std::unordered_map<std::string, std::size_t> index_;
};

}  // namespace ostrand::external::dfoundations
