// dfoundations gef FILE (or cpt FILE): prints the GEF data of a CPT file, GEF-CPT or BRO XML, as one
// JSON object.
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include "commands.hpp"
#include "files.hpp"
#include "ostrand/geo.hpp"
#include "report.hpp"

namespace dfoundations_cli {

namespace {

int print_gef(const std::string& path)
{
    // The file's own name is the CPT's name when the file has no #TESTID.
    const std::string name = path == "-" ? "stdin" : std::filesystem::path(path).stem().string();
    const std::string bytes = read_input(path);
    const auto data = ostrand::geo::GEFData::from_cpt_text(bytes, name);
    std::cout << data.to_json().dump() << '\n';
    for (const auto& warning : data.warnings) std::cerr << "dfoundations gef: warning: " << warning << '\n';
    return DONE;
}

}  // namespace

void add_gef_command(CLI::App& app, int& status)
{
    auto* command = app.add_subcommand(
        "gef", "Read a CPT file (GEF-CPT or BRO XML) and print its GEF data as JSON (GEFData::from_file, to_json)");
    command->alias("cpt");
    auto path = std::make_shared<std::string>();
    command
        ->add_option("FILE", *path,
                     "CPT file: GEF-CPT (.gef) or BRO XML (.xml), told apart by content; - for standard input")
        ->required();
    command->footer(EXIT_STATUS_TABLE);
    command->callback([path, &status] { status = run_reported("gef", [&] { return print_gef(*path); }); });
}

}  // namespace dfoundations_cli
