// Runs D-Foundations on an input file and writes the output file beside it:
//   DFOUNDATIONS_CONSOLE=... example_run_analysis model.foi
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>

#include "ostrand/errors.hpp"
#include "ostrand/external/dfoundations/analysis.hpp"

int main(int argc, char** argv)
{
    using ostrand::external::dfoundations::DFoundationsAnalysis;
    if (argc != 2) {
        std::cerr << "usage: " << argv[0] << " INPUT.foi\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::cerr << "cannot read " << argv[1] << '\n';
        return 1;
    }
    std::string input{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};

    DFoundationsAnalysis analysis(ostrand::core::BytesIO(std::move(input)));
    try {
        analysis.execute(std::chrono::seconds(300));
    } catch (const ostrand::errors::Error& error) {
        std::cerr << "the analysis failed: " << error.what() << '\n';
        return 1;
    }

    const auto output = analysis.get_output_file(".fod", {.as_file = true});
    if (!output) {
        std::cerr << "D-Foundations wrote no .fod file\n";
        return 1;
    }
    const std::string& bytes = std::get<ostrand::core::File>(*output).getvalue_binary();
    const auto target = std::filesystem::path(argv[1]).replace_extension(".fod");
    std::ofstream out(target, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        std::cerr << "cannot write " << target.string() << '\n';
        return 1;
    }
    std::cout << "wrote " << target.string() << " (" << bytes.size() << " bytes)\n";
    return 0;
}
