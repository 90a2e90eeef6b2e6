#include "foi/input_file_writer.hpp"

#include <nlohmann/json.hpp>

#include "foi/document_node.hpp"
#include "foi/file_extras.hpp"
#include "foi/foi_sections.hpp"

namespace ostrand::foi {

std::string fill_dfoundations_template(const nlohmann::ordered_json& document)
{
    const DocumentNode root(document, "");
    if (!document.is_object()) root.fail(std::string("must be an object (found ") + document.type_name() + ").");
    const DocumentNode metadata = root["metadata"];
    const auto kind = static_cast<ModelKind>(code_in_range(root["model_type"], 0, 1, "model type"));

    FoiText out;
    write_header(out, metadata);
    write_model(out, kind);
    const SoilOrder soils = write_soil_collection(out, root);
    write_run_identification(out, metadata);
    write_cpt_list(out, root);
    write_profiles(out, root, soils);
    write_pile_types(out, root["pile_types"], kind);
    write_positions(out, root["piles"], kind);
    write_calculation(out, root);
    write_closing_sections(out);
    // A file read back keeps what its document cannot hold beside it.
    const auto extras = document.find("input_file_extras");
    if (extras != document.end() && !extras->is_null()) return with_extras(out.take(), *extras);
    return out.take();
}

std::string fill_dfoundations_template(const nlohmann::json& document)
{
    // The plain JSON type keeps object members sorted by name, so "soils" comes in name order here.
    return fill_dfoundations_template(nlohmann::ordered_json(document));
}

}  // namespace ostrand::foi
