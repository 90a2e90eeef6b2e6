// The version-17 tension patterns on the memoising matcher against the same patterns run by PCRE2
// with limits it never reaches on these small texts: the same matches with every group, on many
// generated result sections, CR LF, LF, CR and mixed, whole or damaged.
#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ostrand/external/dfoundations/output.hpp"

#include "external/dfoundations/output/memo_pattern.hpp"

namespace {

using namespace ostrand::external::dfoundations;
using detail::MemoPattern;
using detail::PreliminaryTensionParserV17;
using Offsets = std::vector<std::size_t>;

// PCRE2 as the parsers configure it (MULTILINE, newline LF, JIT), but with every limit at its
// maximum, so that it always decides; successive matches as Pattern::find_all takes them.
class UnlimitedPcre2 {
public:
    explicit UnlimitedPcre2(const std::string& pattern)
    {
        auto* context = pcre2_compile_context_create(nullptr);
        pcre2_set_newline(context, PCRE2_NEWLINE_LF);
        int error = 0;
        PCRE2_SIZE offset = 0;
        code_.reset(pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(),
                                  PCRE2_MULTILINE | PCRE2_NO_UTF_CHECK, &error, &offset, context));
        pcre2_compile_context_free(context);
        if (!code_) throw std::logic_error("pattern does not compile");
        pcre2_jit_compile(code_.get(), PCRE2_JIT_COMPLETE);
        data_.reset(pcre2_match_data_create_from_pattern(code_.get(), nullptr));
        match_context_.reset(pcre2_match_context_create(nullptr));
        pcre2_set_match_limit(match_context_.get(), UINT32_MAX);
        pcre2_set_depth_limit(match_context_.get(), UINT32_MAX);
        pcre2_set_heap_limit(match_context_.get(), UINT32_MAX);
        stack_.reset(pcre2_jit_stack_create(64 * 1024, 256 * 1024 * 1024, nullptr));
        pcre2_jit_stack_assign(match_context_.get(), nullptr, stack_.get());
    }

    std::vector<Offsets> find_all(const std::string& subject) const
    {
        std::vector<Offsets> matches;
        std::size_t position = 0;
        while (position <= subject.size()) {
            const int rc = pcre2_match(code_.get(), reinterpret_cast<PCRE2_SPTR>(subject.data()), subject.size(),
                                       position, PCRE2_NO_UTF_CHECK, data_.get(), match_context_.get());
            if (rc == PCRE2_ERROR_NOMATCH) break;
            if (rc < 0) throw std::runtime_error("PCRE2 gave up: " + std::to_string(rc));
            const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data_.get());
            matches.emplace_back(ovector, ovector + 2 * pcre2_get_ovector_count(data_.get()));
            position = ovector[1] > ovector[0] ? ovector[1] : ovector[1] + 1;
        }
        return matches;
    }

private:
    std::unique_ptr<pcre2_code, decltype(&pcre2_code_free)> code_{nullptr, pcre2_code_free};
    std::unique_ptr<pcre2_match_data, decltype(&pcre2_match_data_free)> data_{nullptr, pcre2_match_data_free};
    std::unique_ptr<pcre2_match_context, decltype(&pcre2_match_context_free)> match_context_{nullptr,
                                                                                             pcre2_match_context_free};
    std::unique_ptr<pcre2_jit_stack, decltype(&pcre2_jit_stack_free)> stack_{nullptr, pcre2_jit_stack_free};
};

std::string show(const std::string& text)
{
    std::string shown;
    for (char c : text) {
        if (c == '\r')
            shown += "\\r";
        else if (c == '\n')
            shown += "\\n\n";
        else
            shown += c;
    }
    return shown;
}

struct Patterns {
    std::string text;
    MemoPattern memo{text};
    UnlimitedPcre2 pcre2{text};
};

Patterns& results_patterns()
{
    static Patterns patterns{PreliminaryTensionParserV17::results_pattern()};
    return patterns;
}

Patterns& block_patterns()
{
    static Patterns patterns{std::string(PreliminaryTensionParserV17::DATA_PATTERN)};
    return patterns;
}

// Every match with every group (numbered ones included) as PCRE2 gives them; returns the matches.
std::vector<Offsets> expect_same_matches(const Patterns& patterns, const std::string& text)
{
    const auto expected = patterns.pcre2.find_all(text);
    const auto found = patterns.memo.find_all(text);
    std::vector<Offsets> offsets;
    for (const auto& match : found) offsets.push_back(match.offsets());
    EXPECT_EQ(offsets, expected) << show(text);
    return expected;
}

// Both patterns on `text`, and the block pattern on the data of every result section, as the
// parser runs it.
void expect_same_results(const std::string& text)
{
    const int data = results_patterns().memo.group_number("data");
    for (const Offsets& section : expect_same_matches(results_patterns(), text)) {
        expect_same_matches(block_patterns(),
                            text.substr(section[2 * data], section[2 * data + 1] - section[2 * data]));
    }
    expect_same_matches(block_patterns(), text);
}

class SectionWriter {
public:
    explicit SectionWriter(std::mt19937& random) : random_(random), style_(pick(4)) {}

    std::string section()
    {
        const std::string name = pick(4) == 0 ? "OTHER RESULTS" : "TENSION RESULTS";
        std::string text = line("[" + name + "]");
        const int blocks = 1 + static_cast<int>(pick(2));
        for (int b = 0; b < blocks; ++b) text += block(b);
        switch (pick(5)) {
        case 0: break;  // never closed
        case 1: text += line("[END OF OTHER]"); break;
        default: text += pick(2) ? line("[END OF " + name + "]") : "[END OF " + name + "]"; break;
        }
        return text;
    }

    std::string noise()
    {
        static const std::vector<std::string> lines = {
            "", "\r", " ", "x", "[A]", "[END OF A]", "   1", "   PILE GROUP 1", "   1 : Number of data rows"};
        return line(lines[pick(lines.size())]);
    }

    // A few edits anywhere: bytes that make or break lines, blanks of every kind, digits, brackets.
    std::string mutated(std::string text)
    {
        static const std::string bytes = "\r\n \n[]1x\t\v\f\xa0";
        const int edits = static_cast<int>(pick(4));
        for (int e = 0; e < edits && !text.empty(); ++e) {
            const std::size_t at = pick(text.size());
            switch (pick(3)) {
            case 0: text.insert(at, 1, bytes[pick(bytes.size())]); break;
            case 1: text.erase(at, 1); break;
            default: text[at] = bytes[pick(bytes.size())]; break;
            }
        }
        return text;
    }

private:
    std::size_t pick(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random_); }

    // The line break of this text: LF, CR LF, CR, or any of them line by line.
    std::string line(const std::string& content)
    {
        static const std::vector<std::string> breaks = {"\n", "\r\n", "\r"};
        return content + breaks[style_ < 3 ? style_ : pick(3)];
    }

    std::string block(int number)
    {
        std::string text;
        if (pick(2)) text += line("CPT " + std::to_string(number));
        text += line(pick(2) ? "Pile type A" : "Pile type B");
        text += line("   PILE GROUP " + std::to_string(1 + pick(3)));
        const std::size_t piles = pick(3);
        text += line("   " + std::to_string(piles) + " : Number of piles in group");
        for (std::size_t p = 0; p < piles; ++p) text += line("   " + std::to_string(p + 1));
        const std::size_t rows = 1 + pick(2);
        text += line("   " + std::to_string(rows) + " : Number of data rows");
        text += line("Level  Rt;d");
        for (std::size_t r = 0; r < rows; ++r) text += line("-15.0" + std::to_string(r) + "  1061.7");
        text += line("");
        if (pick(3) == 0) text += line("Remark") + line("");
        return text;
    }

    std::mt19937& random_;
    std::size_t style_;
};

TEST(MemoPattern, FindsWhatPcre2FindsOnGeneratedResultSections)
{
    std::mt19937 random(20261210);
    std::size_t compared = 0, sections_found = 0;
    for (int i = 0; i < 20000; ++i) {
        SectionWriter writer(random);
        std::string text = random() % 2 ? writer.noise() : "";
        text += writer.section();
        if (random() % 3 == 0) text += writer.noise() + writer.section();
        if (random() % 2) text = writer.mutated(text);
        // PCRE2's time doubles with every CR LF line it may read two ways: keep it deciding quickly.
        if (std::count(text.begin(), text.end(), '\n') > 22) continue;
        expect_same_results(text);
        if (HasFailure()) return;
        ++compared;
        sections_found += results_patterns().memo.find_all(text).empty() ? 0 : 1;
    }
    // enough texts, and often enough a real section, to mean something
    EXPECT_GT(compared, 8000u);
    EXPECT_GT(sections_found, 2000u);
}

TEST(MemoPattern, FindsWhatPcre2FindsInTrickyCases)
{
    const std::vector<std::string> cases = {
        // CR LF: blank lines are frame lines too, the first block's frame runs to the last blank line
        "[R]\r\nCPT 1\r\nP\r\n   PILE GROUP 1\r\n   1 : Number of piles in group\r\n   7\r\n"
        "   1 : Number of data rows\r\nL\r\n1\r\n\r\nP\r\n   PILE GROUP 2\r\n   0 : Number of piles in group\r\n"
        "   1 : Number of data rows\r\nL\r\n2\r\n\r\nRemark\r\n\r\n[END OF R]",
        // the whitespace before PILE GROUP and pile numbers may span blank lines
        "[R]\nP\n\n \n   PILE GROUP 12\n\t3 : Number of piles in group\n\n 4\n 5\n 2 : Number of data rows\n"
        "c\nr\n\nx\n\n[END OF R]\n",
        // extra data ending in CR read as one line, and a name holding "]"
        "[R]x]\r\nP\r\n PILE GROUP 1\r\n 0 : Number of piles in group\r\n 1 : Number of data rows\r\nc\r\nr\n\n"
        "extra\r\r\n[END OF R]x]",
        // "^" does not match after a final line feed
        "P\n PILE GROUP 1\n 0 : Number of piles in group\n 1 : Number of data rows\nc\nr\n\n",
        // an unclosed section before a closed one
        "[A]\r\nP\r\n PILE GROUP 1\r\n 0 : Number of piles in group\r\n 1 : Number of data rows\r\nc\r\nr\r\n\r\n"
        "[B]\r\nP\r\n PILE GROUP 1\r\n 0 : Number of piles in group\r\n 1 : Number of data rows\r\nc\r\nr\r\n\r\n"
        "[END OF B]",
    };
    for (const auto& text : cases) expect_same_results(text);
}

TEST(MemoPattern, RefusesWhatItCannotMatchFaithfully)
{
    for (const char* pattern : {"a*?", "a++", "[ab]", "a$", "(a*)*", "(?=a)", "\\w", "(?P<n>a)+(?P=n)", "a{2}"}) {
        EXPECT_THROW(MemoPattern{pattern}, std::logic_error) << pattern;
    }
}

}  // namespace
