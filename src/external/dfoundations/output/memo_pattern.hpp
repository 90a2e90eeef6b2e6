// A MULTILINE pattern of the small kind the version-17 tension patterns are, matched with PCRE2's
// leftmost-first rules and the same groups, by a backtracking search that never tries a state it
// has already seen fail. It cannot blow up, so it needs no step limit: its work is bounded by the
// pattern's size times the text's size, once per distinct text of the back-referenced group.
//
// The subset: literal bytes, the escapes \[ \] \r \n \s \d, ".", "^", groups "(...)", "(?:...)",
// "(?P<name>...)", alternation, the greedy quantifiers ? * +, and one back-reference "(?P=name)" to
// a group outside any repetition. A loop whose body can match empty is refused, as is anything
// else, when the pattern is built (std::logic_error).
#pragma once

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "external/dfoundations/output/pattern.hpp"

namespace ostrand::external::dfoundations::detail {

class MemoPattern : public GroupNames {
public:
    explicit MemoPattern(std::string_view text);

    // Successive non-overlapping matches from left to right, as Pattern::find_all gives them.
    std::vector<PatternMatch> find_all(std::string_view subject) const;

    int group_number(const char* name) const override;

    enum class Op : std::uint8_t { CHAR, CLASS, RUN, BOL, SPLIT, JMP, SAVE, BACKREF, MATCH };
    struct Instruction {
        Op op;
        std::uint8_t byte = 0;    // CHAR
        std::size_t set = 0;      // CLASS, RUN: index into the byte sets
        std::size_t x = 0;        // SPLIT: preferred target; JMP: target; SAVE: slot; BACKREF: group
        std::size_t y = 0;        // SPLIT: other target
        bool possessive = false;  // RUN: what follows can never start with a byte of the run
        std::size_t follow = 0;   // RUN: index of the set of bytes that what follows can start with, or 0
    };

    using ByteSet = std::bitset<256>;

private:
    friend class MemoSearch;
    friend class MemoCompiler;

    std::vector<Instruction> program_;
    std::vector<ByteSet> sets_{ByteSet{}.set()};  // sets_[0], every byte, stands for "not known"
    std::vector<std::string> names_;              // group number -> name ("" when unnamed)
    std::size_t groups_ = 1;                      // including group 0
    std::size_t backref_group_ = 0;               // 0: the pattern has no back-reference
    bool starts_at_line_ = false;                 // every match begins at "^"
};

}  // namespace ostrand::external::dfoundations::detail
