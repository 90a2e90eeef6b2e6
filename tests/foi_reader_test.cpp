#include "foi/foi_reader.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using ostrand::foi::FoiFile;
using ostrand::foi::FoiItem;
using ostrand::foi::ItemKind;
using ostrand::foi::read_foi;
using ostrand::foi::write_foi;

const fs::path fixtures = fs::path(DFOUNDATIONS_FIXTURES_DIR);

std::string read_bytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<fs::path> fixture_files()
{
    std::vector<fs::path> files;
    for (const char* folder : {"foi", "foi25"}) {
        if (!fs::is_directory(fixtures / folder)) continue;
        for (const auto& entry : fs::directory_iterator(fixtures / folder))
            if (entry.path().extension() == ".foi") files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

// The lines of a CR LF file, split independently of the reader.
std::vector<std::string> crlf_lines(const std::string& bytes)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(bytes.substr(start, end - start));
    if (start < bytes.size()) lines.push_back(bytes.substr(start));
    return lines;
}

// How often each line number is claimed by an item, and the text each claim gives it.
void claim(const std::vector<FoiItem>& items, std::vector<int>& claims, std::vector<std::string>& texts)
{
    auto one = [&](std::size_t line, std::string_view text) {
        ASSERT_GE(line, 1u);
        ASSERT_LE(line, claims.size());
        ++claims[line - 1];
        texts[line - 1] = std::string(text);
    };
    for (const FoiItem& item : items) {
        one(item.line, item.text);
        if (item.kind != ItemKind::section) continue;
        claim(item.items, claims, texts);
        one(item.end_line, item.end_text);
    }
}

void count_sections(const std::vector<FoiItem>& items, std::map<std::string, int>& counts)
{
    for (const FoiItem& item : items) {
        if (item.kind != ItemKind::section) continue;
        ++counts[std::string(item.name)];
        count_sections(item.items, counts);
    }
}

TEST(FoiReader, EveryFixtureLineLandsInExactlyOneItemAndWritesBackUnchanged)
{
    const auto files = fixture_files();
    if (files.empty()) GTEST_SKIP() << "no fixture input files under " << fixtures;
    for (const fs::path& path : files) {
        SCOPED_TRACE(path.string());
        const std::string bytes = read_bytes(path);
        const FoiFile file = read_foi(bytes);
        EXPECT_TRUE(file.warnings.empty()) << file.warnings.front().line << ": " << file.warnings.front().message;

        const auto lines = crlf_lines(bytes);
        std::vector<int> claims(lines.size(), 0);
        std::vector<std::string> texts(lines.size());
        claim(file.header, claims, texts);
        claim(file.items, claims, texts);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            EXPECT_EQ(claims[i], 1) << "line " << i + 1 << ": " << lines[i];
            EXPECT_EQ(texts[i], lines[i]) << "line " << i + 1;  // the fixtures are plain ASCII
        }

        // The sections found are those a plain search for "[NAME]" lines finds.
        std::map<std::string, int> grep;
        for (const std::string& line : lines)
            if (line.size() > 2 && line.front() == '[' && line.back() == ']' && !line.starts_with("[END OF ") &&
                !line.starts_with("[NEXT OF "))
                ++grep[line.substr(1, line.size() - 2)];
        std::map<std::string, int> found;
        count_sections(file.items, found);
        EXPECT_EQ(found, grep);

        // Where a table states its number of rows, the rows found are as many.
        std::function<void(const std::vector<FoiItem>&)> check_tables = [&](const std::vector<FoiItem>& items) {
            for (const FoiItem& item : items) {
                if (item.kind != ItemKind::section) continue;
                if (item.name == "TABLE") {
                    const auto table = item.table();
                    if (table.data_count) {
                        EXPECT_EQ(*table.data_count, std::to_string(table.rows.size())) << "line " << item.line;
                    }
                }
                check_tables(item.items);
            }
        };
        check_tables(file.items);

        EXPECT_EQ(write_foi(file), bytes);
    }
}

TEST(FoiReader, ReadsTheVersionsModelSoilsAndRepeatedCptBlocksOfBothLayouts)
{
    struct Case {
        const char* path;
        int soil;
        int dfoundations;
    };
    for (const Case& c : {Case{"foi/bm1-1b.foi", 1005, 1015}, Case{"foi25/bm1-1b.foi", 1013, 1033}}) {
        SCOPED_TRACE(c.path);
        if (!fs::exists(fixtures / c.path)) GTEST_SKIP() << "fixture absent: " << c.path;
        const FoiFile file = read_foi(read_bytes(fixtures / c.path));
        EXPECT_EQ(file.version_number("Soil"), c.soil);
        EXPECT_EQ(file.version_number("D-Foundations"), c.dfoundations);
        EXPECT_TRUE(file.version("DGSFoundationCalc.dll", true).has_value());
        ASSERT_FALSE(file.header.empty());
        EXPECT_EQ(file.header.front().text, "INPUT FILE FOR D-FOUNDATIONS");
        EXPECT_NE(file.header.back().text.find("BEGINNING OF DATA"), std::string::npos);
        EXPECT_TRUE(file.header_value("CREATED BY").value_or("").starts_with("D-Foundations"));
        EXPECT_EQ(file.header_value("COMPANY"), "");
        EXPECT_TRUE(file.header_value("FILENAME").value_or("").ends_with("\\bm1-1b.foi"));
        EXPECT_EQ(file.header_value("MISSING"), std::nullopt);

        const FoiItem* model = file.find_section("MODEL");
        ASSERT_NE(model, nullptr);
        ASSERT_FALSE(model->items.empty());
        EXPECT_EQ(model->items.front().kind, ItemKind::setting);
        EXPECT_EQ(model->items.front().value, "0");
        EXPECT_EQ(model->items.front().caption, "Model = Bearing Piles (EC7-NL)");

        const FoiItem* soils = file.find_section("SOIL COLLECTION");
        ASSERT_NE(soils, nullptr);
        EXPECT_EQ(soils->items.front().kind, ItemKind::count);
        EXPECT_EQ(soils->items.front().value, "20");
        EXPECT_EQ(soils->items.front().caption, "number of items");
        const auto soil_list = soils->sections("SOIL");
        ASSERT_EQ(soil_list.size(), 20u);
        EXPECT_EQ(soil_list.front()->items.front().kind, ItemKind::plain);
        EXPECT_EQ(soil_list.front()->items.front().text, "Clay, clean, stiff");
        const FoiItem* color = soil_list.front()->key_value("SoilColor");
        ASSERT_NE(color, nullptr);
        EXPECT_EQ(color->value, "11526561");

        const FoiItem* cpts = file.find_section("CPT LIST");
        ASSERT_NE(cpts, nullptr);
        const FoiItem* number = cpts->section("NUMBER OF CPTS");
        ASSERT_NE(number, nullptr);
        EXPECT_EQ(number->items.front().text, "3");
        const auto blocks = number->blocks();
        ASSERT_EQ(blocks.size(), 3u);
        std::vector<std::string> separators;
        for (const FoiItem& item : number->items)
            if (item.kind == ItemKind::separator) separators.emplace_back(item.name);
        EXPECT_EQ(separators, (std::vector<std::string>{"", "NUMBER OF CPTS", "NUMBER OF CPTS"}));
        const char* names[] = {"FUGBEN1", "FUGBEN2", "FUGBEN3"};
        for (std::size_t i = 0; i < blocks.size(); ++i) {
            ASSERT_FALSE(blocks[i].empty());
            EXPECT_EQ(blocks[i].front().name, "CPTNAME");
            EXPECT_EQ(blocks[i].front().items.front().text, names[i]);
        }
        // The measured data of a CPT: a table of named columns and rows of numbers.
        const FoiItem* measured = nullptr;
        for (const FoiItem& item : blocks[0])
            if (item.name == "MEASURED DATA") measured = &item;
        ASSERT_NE(measured, nullptr);
        const FoiItem* table = measured->section("TABLE");
        ASSERT_NE(table, nullptr);
        const auto measured_table = table->table();
        EXPECT_EQ(measured_table.columns, (std::vector<std::string>{"z", "qc"}));
        ASSERT_EQ(measured_table.rows.size(), 16u);
        EXPECT_EQ(measured_table.rows.front()->kind, ItemKind::plain);
        EXPECT_EQ(measured_table.rows.front()->text, "       0.500        2.000");
        EXPECT_EQ(measured_table.rows.front()->line, table->section("DATA")->line + 1);
    }
}

constexpr std::string_view banner = "==== BEGINNING OF DATA ====\r\n";

TEST(FoiReader, GivesEachLineOfASectionItsShape)
{
    struct Case {
        std::string line;
        ItemKind kind;
        std::string name;
        std::string value;
        std::string caption;
    };
    const std::vector<Case> cases = {
        {"SoilColor=11526561", ItemKind::key_value, "SoilColor", "11526561", ""},
        {"DGSFoundationCalc.dll=19.1.2.28503", ItemKind::key_value, "DGSFoundationCalc.dll", "19.1.2.28503", ""},
        {"LevelText=", ItemKind::key_value, "LevelText", "", ""},
        {"   12.50 : Characteristic adhesion [kN/m2)", ItemKind::setting, "", "12.50",
         "Characteristic adhesion [kN/m2)"},
        {"0 : Model = Bearing Piles (EC7-NL)", ItemKind::setting, "", "0", "Model = Bearing Piles (EC7-NL)"},
        {"       -6.50 : Excavation level [m]", ItemKind::setting, "", "-6.50", "Excavation level [m]"},
        {" 2.000E+0007 : Elasticity modulus [kN/m2)", ItemKind::setting, "", "2.000E+0007",
         "Elasticity modulus [kN/m2)"},
        {"    8 : Number of layers", ItemKind::setting, "", "8", "Number of layers"},
        {"   20 = number of items", ItemKind::count, "", "20", "number of items"},
        {"--------------------------------------", ItemKind::separator, "", "", ""},
        {"[NEXT OF NUMBER OF CPTS]", ItemKind::separator, "NUMBER OF CPTS", "", ""},
        {"", ItemKind::blank, "", "", ""},
        {"   \t", ItemKind::blank, "", "", ""},
        // Lines that look like a shape but are not: kept as they stand.
        {"-", ItemKind::plain, "", "", ""},
        {"Source: Fugro", ItemKind::plain, "", "", ""},
        {"DATE       : 11/03/2020", ItemKind::plain, "", "", ""},
        {"Sand D50 = 2.001", ItemKind::plain, "", "", ""},
        {"  1.5 = half", ItemKind::plain, "", "", ""},
        {"Clay, clean, stiff", ItemKind::plain, "", "", ""},
        {"Layer (1)", ItemKind::plain, "", "", ""},
        {"       0.500        2.000", ItemKind::plain, "", "", ""},
        {"     1      0.00      0.00      0.50 'Pos (1)'", ItemKind::plain, "", "", ""},
        {"[]", ItemKind::plain, "", "", ""},
        {"[kN/m2) is a unit", ItemKind::plain, "", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const FoiFile file = read_foi(std::string(banner) + "[S]\r\n" + c.line + "\r\n[END OF S]\r\n");
        EXPECT_TRUE(file.warnings.empty());
        ASSERT_EQ(file.items.size(), 1u);
        ASSERT_EQ(file.items[0].items.size(), 1u);
        const FoiItem& item = file.items[0].items[0];
        EXPECT_EQ(item.kind, c.kind);
        EXPECT_EQ(item.line, 3u);
        EXPECT_EQ(item.text, c.line);
        EXPECT_EQ(item.name, c.name);
        EXPECT_EQ(item.value, c.value);
        EXPECT_EQ(item.caption, c.caption);
    }
}

TEST(FoiReader, KeepsUnclosedSectionsAndStrayClosingsAsPlainLinesWithAWarning)
{
    struct Case {
        std::string text;
        std::string shape;  // the tree: sections as NAME{...}, other items by their line number
        std::vector<std::size_t> warned;
    };
    const std::vector<Case> cases = {
        // [B] is never closed: its line and its content go to [A].
        {"[A]\r\n[B]\r\nx\r\n[END OF A]\r\n", "A{3 4}", {3}},
        // A closing with nothing open.
        {"[A]\r\n[END OF A]\r\n[END OF C]\r\n", "A{} 4", {4}},
        // A closing of an outer section closes it; the inner one left open becomes plain.
        {"[A]\r\n[B]\r\n[C]\r\ny\r\n[END OF C]\r\n[END OF A]\r\n", "A{3 C{5}}", {3}},
        // Nothing closes: every line stays.
        {"[A]\r\nx\r\n[B]", "2 3 4", {2, 4}},
        // The same name nested: a closing closes the nearest.
        {"[A]\r\n[A]\r\n[END OF A]\r\n[END OF A]\r\n", "A{A{}}", {}},
        {"[END OF A]\r\n[A]\r\n[END OF A]\r\n", "2 A{}", {2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const std::string bytes = std::string(banner) + c.text;
        const FoiFile file = read_foi(bytes);
        std::function<std::string(const std::vector<FoiItem>&)> shape = [&](const std::vector<FoiItem>& items) {
            std::string out;
            for (const FoiItem& item : items) {
                if (!out.empty()) out += ' ';
                if (item.kind == ItemKind::section) {
                    out += std::string(item.name) + "{" + shape(item.items) + "}";
                } else {
                    EXPECT_EQ(item.kind, ItemKind::plain);
                    out += std::to_string(item.line);
                }
            }
            return out;
        };
        EXPECT_EQ(shape(file.items), c.shape);
        std::vector<std::size_t> warned;
        for (const auto& warning : file.warnings) warned.push_back(warning.line);
        EXPECT_EQ(warned, c.warned);
        EXPECT_EQ(write_foi(file), bytes);
    }
}

TEST(FoiReader, KeepsSectionsNestedDeeperThanAnyRealFileAsPlainLines)
{
    std::string bytes(banner);
    for (int i = 0; i < 1000; ++i) bytes += "[A]\r\n";
    for (int i = 0; i < 1000; ++i) bytes += "[END OF A]\r\n";
    const FoiFile file = read_foi(bytes);
    std::size_t depth = 0;
    std::size_t plain = 0;
    for (const std::vector<FoiItem>* items = &file.items; !items->empty();) {
        const FoiItem* section = nullptr;
        for (const FoiItem& item : *items) {
            if (item.kind == ItemKind::section) section = &item;
            if (item.kind == ItemKind::plain) ++plain;
        }
        if (section == nullptr) break;
        ++depth;
        items = &section->items;
    }
    EXPECT_EQ(depth, 100u);
    EXPECT_EQ(plain, 1800u);
    ASSERT_EQ(file.warnings.size(), 900u);  // one for each opening, none for its closing
    EXPECT_EQ(file.warnings.front().line, 102u);
    EXPECT_NE(file.warnings.front().message.find("more than 100 sections deep"), std::string::npos);
    EXPECT_EQ(write_foi(file), bytes);
}

TEST(FoiReader, NamesTheMissingPiecesInItsWarnings)
{
    const FoiFile file = read_foi("[SOIL]\r\n[END OF PILE]\r\n");
    ASSERT_EQ(file.warnings.size(), 3u);
    EXPECT_EQ(file.warnings[0].line, 1u);
    EXPECT_NE(file.warnings[0].message.find("BEGINNING OF DATA"), std::string::npos);
    EXPECT_EQ(file.warnings[1].line, 1u);
    EXPECT_NE(file.warnings[1].message.find("[SOIL] is not closed by [END OF SOIL]"), std::string::npos);
    EXPECT_EQ(file.warnings[2].line, 2u);
    EXPECT_NE(file.warnings[2].message.find("[END OF PILE] closes no open section"), std::string::npos);
    EXPECT_TRUE(file.header.empty());
    EXPECT_EQ(file.items.size(), 2u);
}

TEST(FoiReader, DecodesWindows1252AndEveryLineEnd)
{
    // 0x80 and 0x9F differ from Latin-1; 0x81 is unused in Windows-1252 and must survive the round trip.
    const std::string bytes = std::string(banner) + "[S]\r\nEUR \x80 \x9F \xE9 \x81\nnext\rlast\r\n[END OF S]";
    const FoiFile file = read_foi(bytes);
    EXPECT_TRUE(file.warnings.empty());
    EXPECT_FALSE(file.ends_with_line_end);
    ASSERT_EQ(file.items.size(), 1u);
    const FoiItem& section = file.items[0];
    EXPECT_EQ(section.end_line, 6u);
    ASSERT_EQ(section.items.size(), 3u);
    EXPECT_EQ(section.items[0].text, "EUR \u20AC \u0178 \u00E9 \u0081");
    EXPECT_EQ(section.items[0].line, 3u);
    EXPECT_EQ(section.items[1].text, "next");
    EXPECT_EQ(section.items[1].line, 4u);
    EXPECT_EQ(section.items[2].line, 5u);
    // Written back with CR LF throughout, the bytes themselves unchanged.
    EXPECT_EQ(write_foi(file), std::string(banner) + "[S]\r\nEUR \x80 \x9F \xE9 \x81\r\nnext\r\nlast\r\n[END OF S]");
    EXPECT_TRUE(read_foi("").items.empty());
    EXPECT_EQ(write_foi(read_foi("")), "");
}

}  // namespace
