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

class Pattern;

// The groups of one match, as views into the subject.
class PatternMatch {
public:
    std::size_t start() const { return offsets_[0]; }
    std::size_t end() const { return offsets_[1]; }
    bool matched(const char* name) const;
    // The text of a named group; empty when the group did not take part.
    std::string_view group(const char* name) const;

private:
    friend class Pattern;
    const Pattern* pattern_ = nullptr;
    std::string_view subject_;
    std::vector<std::size_t> offsets_;
};

class Pattern {
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

    int group_number(const char* name) const;

private:
    void* code_ = nullptr;  // pcre2_code_8
    bool jit_ = false;
};

}  // namespace ostrand::external::dfoundations::detail
