#include "foi/input_file_writer.hpp"

#include <nlohmann/json.hpp>

#include "foi/document_node.hpp"
#include "foi/file_extras.hpp"
#include "foi/foi_sections.hpp"

namespace ostrand::foi {

namespace {

// The size of the file, about: the rows of the CPTs, and room for everything else.
std::size_t expected_size(const nlohmann::ordered_json& document)
{
    std::size_t size = 1 << 16;
    const auto piles = document.find("piles");
    if (piles != document.end() && piles->is_array()) size += 256 * piles->size();
    const auto profiles = document.find("profiles");
    if (profiles == document.end() || !profiles->is_array()) return size;
    for (const auto& profile : *profiles) {
        size += 4096;
        const auto cpt = profile.is_object() ? profile.find("cpt") : profile.end();
        if (cpt == profile.end() || !cpt->is_object()) continue;
        const auto rows = cpt->find("measurements");
        if (rows == cpt->end() || !rows->is_array() || rows->empty()) continue;
        const auto& first = rows->front();
        const std::size_t width = first.is_array() ? first.size() : 2;
        size += rows->size() * (28 + 16 * (width > 2 ? width - 2 : 0));
    }
    return size;
}

}  // namespace

std::string fill_dfoundations_template(const nlohmann::ordered_json& document)
{
    const DocumentNode root(document, "");
    if (!document.is_object()) root.fail(std::string("must be an object (found ") + document.type_name() + ").");
    const DocumentNode metadata = root["metadata"];
    const auto kind = static_cast<ModelKind>(code_in_range(root["model_type"], 0, 1, "model type"));
    const Layout layout = layout_of(root);

    FoiText out;
    out.reserve(expected_size(document));
    write_header(out, metadata, layout);
    write_model(out, kind, layout);
    const SoilOrder soils = write_soil_collection(out, root, layout);
    write_run_identification(out, metadata, layout);
    write_cpt_list(out, root, layout);
    write_profiles(out, root, soils, layout);
    write_pile_types(out, root["pile_types"], kind, layout);
    write_positions(out, root["piles"], kind, layout);
    write_calculation(out, root, layout);
    write_closing_sections(out, layout);
    // A file read back keeps what its document cannot hold beside it.
    const auto extras = document.find("input_file_extras");
    if (extras != document.end() && !extras->is_null()) return with_extras(out.take(), *extras);
    return out.take();
}

void check_layout_holds(const nlohmann::ordered_json& document, int version)
{
    const Layout layout = layout_of_version(version);
    const DocumentNode root(document, "");
    FoiText unused;
    write_switch_of_19(unused, root["calculation_options"]["suppress_qciii_reduction"], "Suppress qcIII reduction",
                       "cannot suppress the qcIII reduction", layout);
    if (root["model_type"].integer() != static_cast<int>(ModelKind::BEARING)) return;
    for (const DocumentNode& pile_type : root["pile_types"].items())
        write_switch_of_19(unused, pile_type["config"]["use_pre_2016"], "Use Pre 2016 Alpha P Factor",
                           "has no pre-2016 alpha factors", layout);
}

std::string fill_dfoundations_template(const nlohmann::json& document)
{
    // The plain JSON type keeps object members sorted by name, so "soils" comes in name order here.
    return fill_dfoundations_template(nlohmann::ordered_json(document));
}

}  // namespace ostrand::foi
