// Reads a D-Foundations output file and prints its calculation parameters and the size of each
// result table.  Usage: example_read_output FILE.fod
#include <fstream>
#include <iostream>
#include <iterator>

#include "ostrand/external/dfoundations/output.hpp"

namespace dfo = ostrand::external::dfoundations;

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: example_read_output FILE.fod\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    const ostrand::core::StringIO file(std::string(std::istreambuf_iterator<char>(in), {}));

    try {
        const auto parser = dfo::OutputFileParser::create(file);  // picks the parser for the file
        std::cout << "parser: " << parser->class_name() << '\n';
        for (const auto& [name, value] : parser->calculation_parameters()) {
            std::cout << "  " << name << " = ";
            std::visit([](auto v) { std::cout << std::boolalpha << v << '\n'; }, value);
        }
        const dfo::Results results = parser->results();
        for (const auto& [name, table] : std::get<dfo::TableMap>(results)) {
            const auto& data = std::get<dfo::DataTable>(table);
            std::cout << "table " << name << ": " << data.row_count() << " rows, " << data.column_count()
                      << " columns\n";
        }
    } catch (const std::exception& error) {
        std::cerr << error.what() << '\n';
        return 1;
    }
    return 0;
}
