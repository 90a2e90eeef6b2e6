// The table locator against the table pattern run by PCRE2, on many small generated texts.
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ostrand/external/dfoundations/output.hpp"

#include "external/dfoundations/output/pattern.hpp"
#include "external/dfoundations/output/table_locator.hpp"

// The case tables below are laid out by hand, a case a line where it fits.
// clang-format off

namespace {

using namespace ostrand::external::dfoundations;
using detail::locate_tables;
using detail::Pattern;
using detail::PatternOption;

const Pattern& dataframe_pattern()
{
    static const Pattern pattern(detail::ParserV19::DATAFRAME_PATTERN, PatternOption::DOTALL);
    return pattern;
}

std::string show(const std::string& text)
{
    std::string shown;
    for (char c : text) {
        if (c == '\r') shown += "\\r";
        else if (c == '\n') shown += "\\n";
        else shown += c;
    }
    return shown;
}

void expect_same_tables(const std::string& text)
{
    const auto expected = dataframe_pattern().find_all(text);
    const auto found = locate_tables(text);
    ASSERT_EQ(found.size(), expected.size()) << show(text);
    for (std::size_t i = 0; i < found.size(); ++i) {
        EXPECT_EQ(found[i].start, expected[i].start()) << show(text);
        EXPECT_EQ(found[i].end, expected[i].end()) << show(text);
        EXPECT_EQ(found[i].name, expected[i].group("name")) << show(text);
        EXPECT_EQ(found[i].columns, expected[i].group("columns")) << show(text);
        EXPECT_EQ(found[i].data, expected[i].group("data")) << show(text);
    }
}

const std::vector<std::string> BREAKS = {"\r\n", "\n", "\r"};

// A table skeleton whose pieces are then shuffled a little, so that texts come close to tables
// and miss them in every way.
std::vector<std::string> table_pieces(std::mt19937& random)
{
    const std::vector<std::string> names = {"A", "B", "", "A]", "A]\nB", "[A", "A]\r\n[TABLE", "END OF A"};
    std::uniform_int_distribution<std::size_t> pick_name(0, names.size() - 1), pick_break(0, BREAKS.size() - 1);
    const auto lb = [&] { return BREAKS[pick_break(random)]; };
    const std::string name = names[pick_name(random)];
    const std::string closing = random() % 4 == 0 ? names[pick_name(random)] : name;
    return {"[", name, "]", lb(), "[TABLE]", lb(), "[COLUMN INDICATION]", lb(), "c", lb(),
            "[END OF COLUMN INDICATION]", lb(), "[DATA]", lb(), "1 2", lb(), "[END OF DATA]", lb(),
            "[END OF TABLE]", lb(), "[END OF ", closing, "]", lb()};
}

std::string generated_text(std::mt19937& random)
{
    const std::vector<std::string> noise = {"[", "]", "\r\n", "\n", "\r", "A", "B", "[A]", "x",
                                            "[TABLE]", "[DATA]", "[END OF ", "[END OF DATA]", "[END OF TABLE]",
                                            "[COLUMN INDICATION]", "[END OF COLUMN INDICATION]", "]\n", "\r\n["};
    std::vector<std::string> pieces;
    const int tables = static_cast<int>(random() % 4);
    for (int t = 0; t < tables; ++t) {
        if (random() % 2) pieces.push_back(noise[random() % noise.size()]);
        for (auto& piece : table_pieces(random)) pieces.push_back(piece);
    }
    const int edits = static_cast<int>(random() % 6);
    for (int e = 0; e < edits; ++e) {
        const std::size_t at = pieces.empty() ? 0 : random() % (pieces.size() + 1);
        switch (random() % 3) {
        case 0: pieces.insert(pieces.begin() + static_cast<long>(at), noise[random() % noise.size()]); break;
        case 1: if (at < pieces.size()) pieces.erase(pieces.begin() + static_cast<long>(at)); break;
        default: if (at < pieces.size()) pieces[at] = noise[random() % noise.size()]; break;
        }
    }
    std::string text;
    for (const auto& piece : pieces) text += piece;
    return text;
}

TEST(TableLocator, FindsWhatThePatternFindsOnGeneratedTexts)
{
    std::mt19937 random(20261210);
    std::size_t with_tables = 0;
    for (int i = 0; i < 60000; ++i) {
        const std::string text = generated_text(random);
        expect_same_tables(text);
        if (HasFatalFailure() || HasFailure()) return;
        with_tables += locate_tables(text).empty() ? 0 : 1;
    }
    EXPECT_GT(with_tables, 3000u);  // the generator reaches real tables often enough to mean something
}

TEST(TableLocator, FindsWhatThePatternFindsInTrickyCases)
{
    const std::vector<std::string> cases = {
        // a name with "]" and a line break in it
        "[A]\n[B]\n[TABLE]\n[COLUMN INDICATION]\nc\n[END OF COLUMN INDICATION]\n[DATA]\n1\n[END OF DATA]\n"
        "[END OF TABLE]\n[END OF A]\n[B]\n",
        // an earlier "[" whose longer name closes too: the leftmost start wins
        "[B [A]\n[TABLE]\n[COLUMN INDICATION]\nc\n[END OF COLUMN INDICATION]\n[DATA]\n1\n[END OF DATA]\n"
        "[END OF TABLE]\n[END OF B [A]\n",
        // an earlier "[" whose name does not close, then the real table
        "[X]\n[A]\n[TABLE]\n[COLUMN INDICATION]\nc\n[END OF COLUMN INDICATION]\n[DATA]\n1\n[END OF DATA]\n"
        "[END OF TABLE]\n[END OF A]\n",
        // empty columns and data with CR LF: the engine falls back to reading CR alone
        "[A]\r\n[TABLE]\r\n[COLUMN INDICATION]\r\n[END OF COLUMN INDICATION]\r\n[DATA]\r\n[END OF DATA]\r\n"
        "[END OF TABLE]\r\n[END OF A]\r\n",
        // the first closing name does not match: data runs on to the next table's end
        "[A]\n[TABLE]\n[COLUMN INDICATION]\nc\n[END OF COLUMN INDICATION]\n[DATA]\n1\n[END OF DATA]\n"
        "[END OF TABLE]\n[END OF B]\n[B]\n[TABLE]\n[COLUMN INDICATION]\nc\n[END OF COLUMN INDICATION]\n"
        "[DATA]\n2\n[END OF DATA]\n[END OF TABLE]\n[END OF A]\r",
        // mixed line breaks, a closing name with no line break after it
        "[A]\r[TABLE]\n[COLUMN INDICATION]\r\nc\rd\n[END OF COLUMN INDICATION]\r[DATA]\n1\r\n[END OF DATA]\n"
        "[END OF TABLE]\r[END OF A]",
    };
    for (const auto& text : cases) expect_same_tables(text);
}

}  // namespace
// clang-format on
