// The whole-file reader: every section, value line and table of an output file of any version, by
// path, and the views of the results asked for most. Sections and tables handed to Python keep
// the file they belong to alive.
#include <memory>

#include "bindings.hpp"

namespace dfoundations_python {
namespace {

using dfo::OutputFile;
using dfo::OutputTable;
using dfo::Section;
using FilePtr = std::shared_ptr<OutputFile>;

// A section or table of a file, together with the file that owns it.
template <class Part>
struct Ref {
    FilePtr file;
    const Part* part;

    const Part& operator*() const { return *part; }
    const Part* operator->() const { return part; }
};

template <class Part>
py::object ref_or_none(const FilePtr& file, const Part* part)
{
    if (part == nullptr) return py::none();
    return py::cast(Ref<Part>{file, part});
}

template <class Part>
std::vector<Ref<Part>> refs(const FilePtr& file, const std::vector<const Part*>& parts)
{
    std::vector<Ref<Part>> result;
    result.reserve(parts.size());
    for (const Part* part : parts) result.push_back({file, part});
    return result;
}

py::list items_of(const Ref<Section>& section)
{
    py::list items;
    for (const dfo::Item& item : section->items) {
        if (const auto* value = item.value()) {
            items.append(py::cast(*value));
        } else if (const auto* text = item.text()) {
            items.append(py::cast(*text));
        } else if (const auto* table = item.table()) {
            items.append(py::cast(Ref<OutputTable>{section.file, table}));
        } else {
            items.append(py::cast(Ref<Section>{section.file, item.section()}));
        }
    }
    return items;
}

void bind_lines(py::module_& module)
{
    py::class_<dfo::ValueLine>(module, "ValueLine",
                               "A line that holds a value and names it: key, raw value text, the numbers in it.")
        .def_readonly("key", &dfo::ValueLine::key)
        .def_readonly("value", &dfo::ValueLine::value)
        .def_readonly("numbers", &dfo::ValueLine::numbers)
        .def_readonly("line", &dfo::ValueLine::line)
        .def("__repr__", [](const dfo::ValueLine& line) { return "<ValueLine " + line.key + " = " + line.value + ">"; });
    py::class_<dfo::TextLine>(module, "TextLine", "A line that fits no value shape, as it stands.")
        .def_readonly("text", &dfo::TextLine::text)
        .def_readonly("line", &dfo::TextLine::line);
}

void bind_table(py::module_& module)
{
    py::class_<Ref<OutputTable>>(module, "OutputTable",
                                 "A [TABLE] block. Quoted cells are text without their quotes; a table that cannot be "
                                 "read keeps its error and no data.")
        .def_property_readonly("name", [](const Ref<OutputTable>& table) { return table->name; })
        .def_property_readonly("path", [](const Ref<OutputTable>& table) { return table->path; })
        .def_property_readonly("line", [](const Ref<OutputTable>& table) { return table->line; })
        .def_property_readonly("end_line", [](const Ref<OutputTable>& table) { return table->end_line; })
        .def_property_readonly("data_count", [](const Ref<OutputTable>& table) { return table->data_count; })
        .def_property_readonly("error", [](const Ref<OutputTable>& table) { return table->error; })
        .def_property_readonly("row_count", [](const Ref<OutputTable>& table) { return table->row_count(); })
        .def_property_readonly("column_count", [](const Ref<OutputTable>& table) { return table->column_count(); })
        .def_property_readonly(
            "column_names", [](const Ref<OutputTable>& table) { return table->data.column_names(); })
        .def_property_readonly(
            "data", [](const Ref<OutputTable>& table) { return to_data_frame(table->data); },
            "The table as a new pandas DataFrame.")
        .def(
            "column_map", [](const Ref<OutputTable>& table) { return to_column_map(table->data.column_map()); },
            "The table as its column map: column -> {row: cell}.")
        .def("__repr__", [](const Ref<OutputTable>& table) { return "<OutputTable " + table->path + ">"; });
}

void bind_section(py::module_& module)
{
    py::class_<Ref<Section>>(module, "Section", "A section [NAME] ... [END OF NAME] with its items in file order.")
        .def_property_readonly("name", [](const Ref<Section>& section) { return section->name; })
        .def_property_readonly("position", [](const Ref<Section>& section) { return section->position; })
        .def_property_readonly("path", [](const Ref<Section>& section) { return section->path; })
        .def_property_readonly("line", [](const Ref<Section>& section) { return section->line; })
        .def_property_readonly("end_line", [](const Ref<Section>& section) { return section->end_line; })
        .def_property_readonly("items", &items_of,
                               "Value lines, text lines, tables and child sections in file order.")
        .def(
            "value",
            [](const Ref<Section>& section, std::string_view key) -> py::object {
                const dfo::ValueLine* line = section->value(key);
                return line == nullptr ? py::none() : py::cast(*line);
            },
            py::arg("key"), "The first value line of that key, or None.")
        .def(
            "number", [](const Ref<Section>& section, std::string_view key) { return section->number(key); },
            py::arg("key"), "The first number of the first value line of that key, or None.")
        .def(
            "sections",
            [](const Ref<Section>& section, std::string_view name) {
                return refs(section.file, section->sections(name));
            },
            py::arg("name") = "", "Child sections, all or those of one name, in file order.")
        .def(
            "section",
            [](const Ref<Section>& section, std::string_view name) {
                return ref_or_none(section.file, section->section(name));
            },
            py::arg("name"))
        .def("tables", [](const Ref<Section>& section) { return refs(section.file, section->tables()); })
        .def("values",
             [](const Ref<Section>& section) {
                 std::vector<dfo::ValueLine> values;
                 for (const dfo::ValueLine* value : section->values()) values.push_back(*value);
                 return values;
             })
        .def("__repr__", [](const Ref<Section>& section) { return "<Section " + section->path + ">"; });
}

void bind_header(py::module_& module)
{
    using dfo::FileHeader;
    py::class_<FileHeader>(module, "FileHeader", "What identifies the run: version, model and calculation type.")
        .def_readonly("version", &FileHeader::version)
        .def_readonly("major_version", &FileHeader::major_version)
        .def_readonly("model_code", &FileHeader::model_code)
        .def_readonly("model_name", &FileHeader::model_name)
        .def_readonly("cu_values_code", &FileHeader::cu_values_code)
        .def_readonly("cu_values", &FileHeader::cu_values)
        .def_readonly("main_calculation_type", &FileHeader::main_calculation_type)
        .def_readonly("sub_calculation_type", &FileHeader::sub_calculation_type);
    py::class_<dfo::ReadWarning>(module, "ReadWarning", "Something the reader noticed and read past.")
        .def_readonly("path", &dfo::ReadWarning::path)
        .def_readonly("line", &dfo::ReadWarning::line)
        .def_readonly("message", &dfo::ReadWarning::message)
        .def("__repr__", [](const dfo::ReadWarning& warning) { return "<ReadWarning " + warning.message + ">"; });
}

FilePtr read(const py::object& source)
{
    const ByteView view = view_bytes(source);
    py::gil_scoped_release release;
    return std::make_shared<OutputFile>(dfo::read_output_file(view.bytes));
}

void bind_file(py::module_& module)
{
    // Dynamic attributes: the Python layer keeps the file's name and the bytes it pickles as.
    py::class_<OutputFile, std::shared_ptr<OutputFile>>(module, "OutputFile", py::dynamic_attr(),
                                                        "A whole output file: sections, value lines and tables.")
        .def_property_readonly("header", [](const FilePtr& file) { return file->header(); })
        .def_property_readonly("root", [](const FilePtr& file) { return Ref<Section>{file, &file->root()}; })
        .def_property_readonly("input", [](const FilePtr& file) { return ref_or_none(file, file->input()); })
        .def_property_readonly("output", [](const FilePtr& file) { return ref_or_none(file, file->output()); })
        .def("sections", [](const FilePtr& file) { return refs(file, file->sections()); },
             "Every section, in file order.")
        .def("tables", [](const FilePtr& file) { return refs(file, file->tables()); }, "Every table, in file order.")
        .def(
            "section", [](const FilePtr& file, std::string_view path) { return ref_or_none(file, file->section(path)); },
            py::arg("path"), "The section at `path`, or None.")
        .def(
            "table", [](const FilePtr& file, std::string_view path) { return ref_or_none(file, file->table(path)); },
            py::arg("path"), "The table at `path`, or None.")
        .def(
            "nearest_table_paths",
            [](const FilePtr& file, std::string_view path, std::size_t count) {
                return file->nearest_table_paths(path, count);
            },
            py::arg("path"), py::arg("count") = 5, "The table paths that come closest to `path`, best first.")
        .def_property_readonly("warnings", [](const FilePtr& file) { return file->warnings(); })
        .def(
            "to_json",
            [](const FilePtr& file, std::string_view file_name) {
                std::string text;
                {
                    py::gil_scoped_release release;
                    text = dfo::to_json(*file, file_name);
                }
                return text;
            },
            py::arg("file_name") = "",
            "The whole file as one line of JSON text, as `dfoundations read` prints it (docs/output_file.schema.json).");

    module.def(
        "_read_output_file", &read,
        py::arg("bytes"),
        "Reads an output file from its bytes (UTF-8, else Latin-1). ParsingError when it holds no section.");
}

// The views, each keeping the file it was read from.
struct PileView {
    Ref<Section> section;
    dfo::PileView view;
};
struct IterationView {
    Ref<Section> section;
    dfo::IterationView view;
};
struct ElementView {
    Ref<Section> section;
    dfo::ElementView view;
};

template <class View, class Source>
std::vector<View> views(const FilePtr& file, const std::vector<Source>& found)
{
    std::vector<View> result;
    for (const Source& view : found) result.push_back({{file, view.section}, view});
    return result;
}

template <class View>
auto tables_of(const View& view)
{
    return refs(view.section.file, view.view.tables);
}

void bind_views(py::module_& module)
{
    py::class_<PileView>(module, "PileView", "A pile of a Bearing Piles preliminary design.")
        .def_readonly("section", &PileView::section)
        .def_property_readonly("name", [](const PileView& pile) { return pile.view.name; })
        .def_property_readonly("beta_factor", [](const PileView& pile) { return pile.view.beta_factor; })
        .def_property_readonly("s_factor", [](const PileView& pile) { return pile.view.s_factor; })
        .def_property_readonly("tables", &tables_of<PileView>)
        .def_property_readonly("calculation_parameters",
                               [](const PileView& pile) { return to_dict(pile.view.calculation_parameters); });
    py::class_<IterationView>(module, "IterationView", "One step of a verification design.")
        .def_readonly("section", &IterationView::section)
        .def_property_readonly("number", [](const IterationView& iteration) { return iteration.view.number; })
        .def_property_readonly("depth", [](const IterationView& iteration) { return iteration.view.depth; })
        .def_property_readonly("values", [](const IterationView& iteration) { return to_dict(iteration.view.values); })
        .def_property_readonly("tables", &tables_of<IterationView>)
        .def_property_readonly("calculation_parameters", [](const IterationView& iteration) {
            return to_dict(iteration.view.calculation_parameters);
        });
    py::class_<ElementView>(module, "ElementView", "An element of a Shallow Foundations verification.")
        .def_readonly("section", &ElementView::section)
        .def_property_readonly("values", [](const ElementView& element) { return to_dict(element.view.values); })
        .def_property_readonly("tables", &tables_of<ElementView>);
    using dfo::TensionGroupView;
    py::class_<TensionGroupView>(module, "TensionGroupView",
                                 "One Tension Piles result: a pile group with one pile type at one CPT.")
        .def_readonly("result_index", &TensionGroupView::result_index)
        .def_readonly("pile_group", &TensionGroupView::pile_group)
        .def_readonly("pile_type", &TensionGroupView::pile_type)
        .def_readonly("cpt", &TensionGroupView::cpt)
        .def_readonly("piles", &TensionGroupView::piles);
    py::class_<dfo::PileTypeWarnings>(module, "PileTypeWarnings")
        .def_readonly("pile_type_number", &dfo::PileTypeWarnings::pile_type_number)
        .def_property_readonly("flags", [](const dfo::PileTypeWarnings& warnings) { return to_dict(warnings.flags); });
    py::class_<dfo::CalculationWarnings>(module, "CalculationWarnings")
        .def_property_readonly("calculation",
                               [](const dfo::CalculationWarnings& warnings) { return to_dict(warnings.calculation); })
        .def_readonly("pile_types", &dfo::CalculationWarnings::pile_types);
    py::class_<dfo::NenResults>(module, "NenResults")
        .def_property_readonly("global_", [](const dfo::NenResults& results) { return to_dict(results.global); })
        .def_property_readonly("piles", [](const dfo::NenResults& results) {
            py::list piles;
            for (const auto& numbers : results.piles) piles.append(to_dict(numbers));
            return piles;
        });

    module.def(
        "piles", [](const FilePtr& file) { return views<PileView>(file, dfo::piles(*file)); },
        py::arg("file").none(false),
        "The piles of a Bearing Piles preliminary design; empty for a file of another kind.");
    module.def(
        "iterations", [](const FilePtr& file) { return views<IterationView>(file, dfo::iterations(*file)); },
        py::arg("file").none(false), "The steps of a verification design.");
    module.def(
        "elements", [](const FilePtr& file) { return views<ElementView>(file, dfo::elements(*file)); },
        py::arg("file").none(false), "The elements of a Shallow Foundations verification.");
    module.def("tension_groups", &dfo::tension_groups, py::arg("file"), "The results of Tension Piles by index.");
    module.def("calculation_warnings", &dfo::calculation_warnings, py::arg("file"),
               "The warning flags, and per pile type its dimension warnings.");
    module.def("nen_results", &dfo::nen_results, py::arg("file"), "The global and per-pile NEN numbers by key.");
}

}  // namespace

void bind_output_file(py::module_& module)
{
    bind_lines(module);
    bind_table(module);
    bind_section(module);
    bind_header(module);
    bind_file(module);
    bind_views(module);
}

}  // namespace dfoundations_python
