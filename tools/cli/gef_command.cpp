// dfoundations gef FILE (or cpt FILE): prints the GEF data of a CPT file, GEF-CPT or BRO XML, as one
// JSON object.
#include <iostream>
#include <memory>
#include <string>

#include <nlohmann/json.hpp>

#include "commands.hpp"
#include "ostrand/errors.hpp"
#include "ostrand/geo.hpp"

namespace dfoundations_cli {

namespace {

int print_gef(const std::string& path)
{
    try {
        std::cout << ostrand::geo::GEFData::from_file(path).to_json().dump() << '\n';
        return 0;
    } catch (const ostrand::errors::ParsingError& error) {
        const nlohmann::ordered_json report = {{"error", {{"type", "ParsingError"}, {"message", error.what()}}}};
        std::cout << report.dump() << '\n';
        return 1;
    } catch (const std::exception& error) {
        std::cerr << "dfoundations gef: " << error.what() << '\n';
        return 2;
    }
}

}  // namespace

void add_gef_command(CLI::App& app, int& status)
{
    auto* command = app.add_subcommand("gef", "Read a CPT file (GEF-CPT or BRO XML) and print its GEF data as JSON");
    command->alias("cpt");
    auto path = std::make_shared<std::string>();
    command->add_option("file", *path, "CPT file: GEF-CPT (.gef) or BRO XML (.xml), told apart by content")->required();
    command->footer("Exit status: 0 read, 1 not a usable CPT file (error as JSON), 2 file not readable.\n");
    command->callback([path, &status] { status = print_gef(*path); });
}

}  // namespace dfoundations_cli
