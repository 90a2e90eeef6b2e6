// The model document as JSON text, and the input file the template service fills from it.
#include <exception>
#include <stdexcept>

#include <nlohmann/json.hpp>

#include "external/dfoundations/json_text_writer.hpp"
#include "external/dfoundations/models/model_document_parts.hpp"
#include "foi/input_file_writer.hpp"
#include "ostrand/api_v1.hpp"
#include "ostrand/errors.hpp"
#include "ostrand/external/dfoundations/input_file_reader.hpp"
#include "ostrand/external/dfoundations/models.hpp"
#include "text/utf8.hpp"

namespace ostrand::external::dfoundations::detail {

constexpr const char* TEMPLATE_ENDPOINT = "filldfoundationstemplate/v2/jobs/";
constexpr std::chrono::seconds TEMPLATE_TIMEOUT{60};

namespace {

// Room for everything but the measurement rows, generously: a few hundred bytes per material,
// layer, pile type and pile, and the fixed members.
constexpr std::size_t ROOM_PER_PART = 1024;
constexpr std::size_t ROOM_PER_LAYER = 256;
constexpr std::size_t ROOM_FIXED = 1 << 16;

// The profile as it serializes, without its measurement rows, which are written from the model.
Profile without_rows(const Profile& profile)
{
    const CPT& cpt = profile.cpt();
    CPT bare({}, cpt.ground_level(), cpt.imported(),
             CPTOptions{.rule = cpt.rule(),
                        .min_layer_thickness = cpt.min_layer_thickness(),
                        .project_name = cpt.project_name(),
                        .project_id = cpt.project_id(),
                        .client_name = cpt.client_name(),
                        .file_date = cpt.file_date(),
                        .gef_version = cpt.gef_version(),
                        .x = cpt.x(),
                        .y = cpt.y(),
                        .excavation_depth = cpt.excavation_depth()});
    return Profile(std::move(bare), profile.layers(), profile.x(), profile.y(), profile.phreatic_level(),
                   profile.options());
}

std::string label(const char* kind, const std::string& name)
{
    return std::string(kind) + " '" + text::displayable(name) + "'";
}

// Members of `object`, with `special` writing the member under `special_key` itself.
template <typename Special>
void write_members(JsonTextWriter& writer, const nlohmann::ordered_json& object, const Location& at,
                   const char* special_key, Special&& special)
{
    writer.raw("{");
    bool first = true;
    for (auto member = object.begin(); member != object.end(); ++member) {
        if (!first) writer.raw(", ");
        first = false;
        const Location member_at{&at, member.key()};
        writer.string(member.key(), member_at);
        writer.raw(": ");
        if (member.key() == special_key) {
            special(member_at);
        } else {
            writer.value(member.value(), member_at);
        }
    }
    writer.raw("}");
}

void write_profile(JsonTextWriter& writer, const std::string& name, const Profile& profile)
{
    const std::string root = label("profile", name);
    const Location at{nullptr, root};
    const Profile bare = without_rows(profile);
    write_members(writer, bare.serialize(name), at, "cpt", [&](const Location& cpt_at) {
        write_members(writer, bare.cpt().serialize(), cpt_at, "measurements",
                      [&](const Location& rows_at) { writer.rows(profile.cpt().measurements(), rows_at); });
    });
}

// An array of objects, each labelled by its "name".
void write_named_items(JsonTextWriter& writer, const nlohmann::ordered_json& items, const char* kind)
{
    writer.raw("[");
    bool first = true;
    for (const auto& item : items) {
        if (!first) writer.raw(", ");
        first = false;
        const std::string root = label(kind, item.at("name").get_ref<const std::string&>());
        writer.value(item, Location{nullptr, root});
    }
    writer.raw("]");
}

void write_soil_names(JsonTextWriter& writer, const nlohmann::ordered_json& names)
{
    writer.raw("[");
    bool first = true;
    for (const auto& name : names) {
        if (!first) writer.raw(", ");
        first = false;
        const std::string root = label("material", name.get_ref<const std::string&>());
        const Location at{nullptr, root};
        writer.string(name.get_ref<const std::string&>(), Location{&at, "name"});
    }
    writer.raw("]");
}

void write_soils(JsonTextWriter& writer, const nlohmann::ordered_json& soils)
{
    writer.raw("{");
    bool first = true;
    for (auto soil = soils.begin(); soil != soils.end(); ++soil) {
        if (!first) writer.raw(", ");
        first = false;
        const std::string root = label("material", soil.key());
        const Location at{nullptr, root};
        writer.string(soil.key(), Location{&at, "name"});
        writer.raw(": ");
        writer.value(soil.value(), at);
    }
    writer.raw("}");
}

}  // namespace

std::string Model::_generate_input_text(const std::optional<Metadata>& metadata) const
{
    return document_text(metadata ? metadata->_serialize() : Metadata()._serialize());
}

std::string Model::_generate_input_text(const Metadata& metadata, std::chrono::system_clock::time_point now,
                                        int layout) const
{
    return document_text(metadata._serialize(now), layout);
}

std::string Model::document_text(nlohmann::ordered_json metadata, int layout) const
{
    nlohmann::ordered_json document = with_head(serialize_shared(false));
    document["metadata"] = std::move(metadata);

    std::size_t room = ROOM_FIXED + ROOM_PER_PART * (materials_.size() + pile_types_.size() + piles_.size());
    for (const auto& [name, profile] : profiles_) {
        room += ROOM_PER_PART + name.size() + ROOM_PER_LAYER * profile.layers().size() +
                JsonTextWriter::estimate_rows(profile.cpt().measurements());
    }
    std::string text;
    JsonTextWriter::reserve(text, room);

    JsonTextWriter writer(text);
    writer.raw("{");
    bool first = true;
    for (auto member = document.begin(); member != document.end(); ++member) {
        if (!first) writer.raw(", ");
        first = false;
        const std::string& key = member.key();
        const Location at{nullptr, key};
        writer.string(key, at);
        writer.raw(": ");
        if (key == "profiles") {
            writer.raw("[");
            bool first_profile = true;
            for (const auto& [name, profile] : profiles_) {
                if (!first_profile) writer.raw(", ");
                first_profile = false;
                write_profile(writer, name, profile);
            }
            writer.raw("]");
        } else if (key == "soil_names") {
            write_soil_names(writer, member.value());
        } else if (key == "soils") {
            write_soils(writer, member.value());
        } else if (key == "pile_types") {
            write_named_items(writer, member.value(), "pile type");
        } else if (key == "piles") {
            write_named_items(writer, member.value(), "pile");
        } else {
            writer.value(member.value(), at);
        }
    }
    if (layout != 19) {
        writer.raw(", ");
        const Location at{nullptr, "layout"};
        writer.string("layout", at);
        writer.raw(": ");
        writer.value(layout, at);
    }
    writer.raw("}");
    writer.finish();
    return text;
}

std::string Model::_input_file_document_text(const std::optional<Metadata>& metadata, std::optional<int> asked) const
{
    const InputFileOrigin* origin = input_file_origin_.get();
    if (!asked && origin) asked = origin->layout;
    const int layout = checked_layout({.layout = asked});
    _check_layout_holds(layout);
    if (origin == nullptr) return document_text(metadata ? metadata->_serialize() : Metadata()._serialize(), layout);
    std::string text = document_text(metadata ? metadata->_serialize() : origin->metadata, layout);
    return document_reader::with_input_file_extras(std::move(text), origin->extras);
}

void Model::_check_layout_holds(int layout) const
{
    try {
        foi::check_layout_holds(_serialize(), layout);
    } catch (const errors::InternalError& error) {
        throw errors::ModelError(error.what());  // a rule of the layout, which the caller chose
    }
}

InputFile Model::generate_input_file(const std::optional<Metadata>& metadata, GenerateInputFileOptions options) const
{
    checked_layout(options);
    _validate();
    return input_file_from_document(_input_file_document_text(metadata, options.layout), options);
}

}  // namespace ostrand::external::dfoundations::detail

namespace ostrand::external::dfoundations {

namespace {

// Temporary files of one road, discarded when it ends; discarding never throws.
class TemporaryFiles {
public:
    explicit TemporaryFiles(api_v1::API& api) : api_(api) {}
    ~TemporaryFiles()
    {
        for (const std::string& url : urls_) {
            try {
                api_._discard_temporary_file(url);
            } catch (...) {
            }
        }
    }
    TemporaryFiles(const TemporaryFiles&) = delete;
    TemporaryFiles& operator=(const TemporaryFiles&) = delete;
    void keep(const std::string& url) { urls_.push_back(url); }

private:
    api_v1::API& api_;
    std::vector<std::string> urls_;
};

}  // namespace

int checked_layout(const GenerateInputFileOptions& options)
{
    const int layout = options.layout.value_or(19);
    if (layout != 19 && layout != 23 && layout != 25) {
        throw std::invalid_argument("The input file layout must be 19 (D-Foundations 19.x), 23 (D-Foundations "
                                    "23.x) or 25 (D-Foundations 25.1), not " +
                                    std::to_string(layout));
    }
    return layout;
}

InputFile input_file_from_document(std::string document_text, GenerateInputFileOptions options)
{
    checked_layout(options);
    core::BytesIO document(std::move(document_text));
    api_v1::API api;
    const std::string input_url = api._upload_temporary_file(document);
    // The document and the filled file are the road's own: gone once it ends, also when it fails.
    TemporaryFiles road(api);
    road.keep(input_url);
    const std::vector<std::string> locations = api._generate_temporary_file_urls();
    if (locations.size() > 3) throw std::invalid_argument("too many values to unpack (expected 3)");
    if (locations.size() < 3) {
        throw std::invalid_argument("not enough values to unpack (expected 3, got " + std::to_string(locations.size()) +
                                    ")");
    }
    const std::string& upload_url = locations[0];
    const std::string& upload_data = locations[1];
    const std::string& download_url = locations[2];
    road.keep(download_url);

    nlohmann::ordered_json request;
    request["input_url"] = input_url;
    request["upload_url"] = upload_url;
    request["upload_data"] = upload_data;
    try {
        core::_post_on_addon_endpoint(detail::TEMPLATE_ENDPOINT, request, detail::TEMPLATE_TIMEOUT);
    } catch (const errors::InternalError&) {
        std::throw_with_nested(std::runtime_error("Input file could not be generated, please check your model"));
    }

    core::File file = core::File::from_url(download_url);
    if (options.as_file) return file;
    return core::BytesIO(file.getvalue_binary());
}

}  // namespace ostrand::external::dfoundations
