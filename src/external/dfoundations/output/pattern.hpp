// A compiled PCRE2 pattern (8-bit, newline LF, JIT when available) matched over bytes as they are.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ostrand::external::dfoundations::detail {

enum class PatternOption : std::uint32_t { NONE = 0, DOTALL = 1, MULTILINE = 2 };

// The offset of a group that did not take part in a match.
inline constexpr std::size_t UNSET_OFFSET = static_cast<std::size_t>(-1);

// Group name -> group number, for whatever matched.
class GroupNames {
public:
    // -1 or below when the pattern has no group of that name.
    virtual int group_number(const char* name) const = 0;

protected:
    ~GroupNames() = default;
};

// The groups of one match, as views into the subject.
class PatternMatch {
public:
    std::size_t start() const { return offsets_[0]; }
    std::size_t end() const { return offsets_[1]; }
    bool matched(const char* name) const;
    // The text of a named group; empty when the group did not take part.
    std::string_view group(const char* name) const;
    // Start and end of every group by number, group 0 the whole match; UNSET_OFFSET for a group
    // that did not take part.
    const std::vector<std::size_t>& offsets() const { return offsets_; }

private:
    friend class Pattern;
    friend class MemoSearch;
    const GroupNames* pattern_ = nullptr;
    std::string_view subject_;
    std::vector<std::size_t> offsets_;
};

class Pattern : public GroupNames {
public:
    Pattern(std::string_view text, PatternOption option);
    ~Pattern();
    Pattern(const Pattern&) = delete;
    Pattern& operator=(const Pattern&) = delete;

    // The first match at or after `start`. Throws PatternLimitError when the engine stops on a limit.
    std::optional<PatternMatch> search(std::string_view subject, std::size_t start = 0) const;
    // Successive non-overlapping matches from left to right.
    std::vector<PatternMatch> find_all(std::string_view subject) const;
    // `subject` with every match removed.
    std::string remove_all(std::string_view subject) const;

    int group_number(const char* name) const override;

private:
    void* code_ = nullptr;  // pcre2_code_8
    bool jit_ = false;
};

}  // namespace ostrand::external::dfoundations::detail
