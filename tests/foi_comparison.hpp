// Compares a generated D-Foundations input file with one D-Foundations wrote itself, section by
// section, allowing only the differences a test lists with their reasons.
#pragma once

#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace foi_comparison {

inline std::string read_file(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The path of a D-Foundations input file among the shared fixtures (which may be absent): `folder` is
// "foi" for the files of D-Foundations 19.2, "foi25" for those of 25.1.
inline std::filesystem::path fixture_path(const std::string& name, const std::string& folder = "foi")
{
    return std::filesystem::path(DFOUNDATIONS_FIXTURES_DIR) / folder / (name + ".foi");
}

// The lines of a text whose lines end in CR LF.
inline std::vector<std::string> split_lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// An input file cut into its header (the lines before [INPUT DATA]) and its top-level sections.
struct Sections {
    std::vector<std::string> header;
    std::vector<std::pair<std::string, std::vector<std::string>>> sections;
};

inline Sections split_sections(const std::vector<std::string>& lines)
{
    Sections result;
    std::size_t i = 0;
    for (; i < lines.size() && lines[i] != "[INPUT DATA]"; ++i) result.header.push_back(lines[i]);
    int depth = 0;
    for (++i; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        const bool tag = line.size() > 2 && line.front() == '[' && line.back() == ']';
        const bool closing = tag && line.rfind("[END OF ", 0) == 0;
        if (tag && !closing && depth == 0) result.sections.push_back({line, {}});
        if (!result.sections.empty() && (depth > 0 || tag)) result.sections.back().second.push_back(line);
        if (tag) depth += closing ? -1 : 1;
    }
    return result;
}

// The lines of a [SOIL COLLECTION] section with its [SOIL] blocks in the order of their material names.
inline std::vector<std::string> materials_by_name(const std::vector<std::string>& section)
{
    std::vector<std::string> head, tail;
    std::vector<std::vector<std::string>> blocks;
    bool inside = false;
    for (const std::string& line : section) {
        if (line == "[SOIL]") {
            blocks.emplace_back();
            inside = true;
        }
        if (inside)
            blocks.back().push_back(line);
        else
            (blocks.empty() ? head : tail).push_back(line);
        if (line == "[END OF SOIL]") inside = false;
    }
    std::stable_sort(blocks.begin(), blocks.end(), [](const auto& a, const auto& b) { return a.at(1) < b.at(1); });
    for (const auto& block : blocks) head.insert(head.end(), block.begin(), block.end());
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

// A line in which the generated file differs from D-Foundations' own, and why. One entry stands for
// every line of its section that differs in exactly this way; a line ending in '*' stands for every
// line that starts with the text before it (a value a model cannot set, whatever it is). The lines
// before [INPUT DATA] are the section HEADER.
struct KnownDifference {
    std::string section;
    std::string fixture_line;
    std::string generated_line;

    static bool line_matches(const std::string& pattern, const std::string& line)
    {
        if (!pattern.empty() && pattern.back() == '*') return line.rfind(pattern.substr(0, pattern.size() - 1), 0) == 0;
        return pattern == line;
    }
    bool matches(const std::string& section_name, const std::string& fixture, const std::string& generated) const
    {
        return section == section_name && line_matches(fixture_line, fixture) &&
               line_matches(generated_line, generated);
    }
};

inline const std::string HEADER = "(header)";

// Expects `generated` to match the fixture `expected` line for line, apart from the header's date,
// time and file name (the moment and place of writing) and the listed differences, each of which
// must still occur. With `materials_in_any_order`, the materials are compared by name.
inline void expect_matches_fixture(const std::string& generated, const std::string& expected,
                                   const std::vector<KnownDifference>& differences, bool materials_in_any_order = false)
{
    ASSERT_FALSE(generated.empty());
    ASSERT_EQ(generated.back(), '\n');
    EXPECT_EQ(generated.find('\n'), generated.find("\r\n") + 1) << "lines end in CR LF";

    Sections ours = split_sections(split_lines(generated));
    Sections theirs = split_sections(split_lines(expected));
    if (materials_in_any_order)
        for (Sections* file : {&ours, &theirs})
            for (auto& [name, lines] : file->sections)
                if (name == "[SOIL COLLECTION]") lines = materials_by_name(lines);

    std::vector<bool> seen(differences.size(), false);
    const auto known = [&](const std::string& section, const std::string& fixture, const std::string& generated) {
        bool found = false;
        for (std::size_t d = 0; d < differences.size(); ++d)
            if (differences[d].matches(section, fixture, generated)) found = seen[d] = true;
        return found;
    };

    ASSERT_EQ(ours.header.size(), theirs.header.size());
    for (std::size_t i = 0; i < ours.header.size(); ++i) {
        const std::string label = theirs.header[i].substr(0, 13);
        if (label == "DATE       : " || label == "TIME       : " || label == "FILENAME   : ") {
            EXPECT_EQ(ours.header[i].substr(0, 13), label);
        } else if (ours.header[i] != theirs.header[i]) {
            EXPECT_TRUE(known(HEADER, theirs.header[i], ours.header[i]))
                << "header line " << i + 1 << ":\n  D-Foundations: " << theirs.header[i]
                << "\n  generated:     " << ours.header[i];
        }
    }

    std::vector<std::string> our_names, their_names;
    for (const auto& section : ours.sections) our_names.push_back(section.first);
    for (const auto& section : theirs.sections) their_names.push_back(section.first);
    ASSERT_EQ(our_names, their_names);

    for (std::size_t s = 0; s < ours.sections.size(); ++s) {
        const auto& [name, our_lines] = ours.sections[s];
        const auto& their_lines = theirs.sections[s].second;
        ASSERT_EQ(our_lines.size(), their_lines.size()) << name;
        for (std::size_t i = 0; i < our_lines.size(); ++i) {
            if (our_lines[i] == their_lines[i]) continue;
            EXPECT_TRUE(known(name, their_lines[i], our_lines[i]))
                << name << " line " << i + 1 << ":\n  D-Foundations: " << their_lines[i]
                << "\n  generated:     " << our_lines[i];
        }
    }
    for (std::size_t d = 0; d < seen.size(); ++d)
        EXPECT_TRUE(seen[d]) << "the known difference " << differences[d].fixture_line << " no longer occurs";
}

}  // namespace foi_comparison
