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
    py::class_<dfo::ValueLine>(module, "ValueLine", doc_of("ValueLine"))
        .def_readonly("key", &dfo::ValueLine::key, doc_of("ValueLine::key"))
        .def_readonly("value", &dfo::ValueLine::value, doc_of("ValueLine::value"))
        .def_readonly("numbers", &dfo::ValueLine::numbers, doc_of("ValueLine::numbers"))
        .def_readonly("line", &dfo::ValueLine::line, doc_of("ValueLine::line"))
        .def("__repr__", [](const dfo::ValueLine& line) { return "<ValueLine " + line.key + " = " + line.value + ">"; });
    py::class_<dfo::TextLine>(module, "TextLine", doc_of("TextLine"))
        .def_readonly("text", &dfo::TextLine::text, doc_of("TextLine::text"))
        .def_readonly("line", &dfo::TextLine::line, doc_of("TextLine::line"));
}

void bind_table(py::module_& module)
{
    py::class_<Ref<OutputTable>>(module, "OutputTable",
                                 doc_of("OutputTable"))
        .def_property_readonly("name", [](const Ref<OutputTable>& table) { return table->name; },
                               doc_of("OutputTable::name"))
        .def_property_readonly("path", [](const Ref<OutputTable>& table) { return table->path; },
                               doc_of("OutputTable::path"))
        .def_property_readonly("line", [](const Ref<OutputTable>& table) { return table->line; },
                               doc_of("OutputTable::line"))
        .def_property_readonly("end_line", [](const Ref<OutputTable>& table) { return table->end_line; },
                               doc_of("OutputTable::end_line"))
        .def_property_readonly("data_count", [](const Ref<OutputTable>& table) { return table->data_count; },
                               doc_of("OutputTable::data_count"))
        .def_property_readonly("error", [](const Ref<OutputTable>& table) { return table->error; },
                               doc_of("OutputTable::error"))
        .def_property_readonly("row_count", [](const Ref<OutputTable>& table) { return table->row_count(); },
                               doc_of("OutputTable::row_count"))
        .def_property_readonly("column_count", [](const Ref<OutputTable>& table) { return table->column_count(); },
                               doc_of("OutputTable::column_count"))
        .def_property_readonly(
            "column_names", [](const Ref<OutputTable>& table) { return table->data.column_names(); },
            doc_of("DataTable::column_names"))
        .def_property_readonly(
            "data", [](const Ref<OutputTable>& table) { return to_data_frame(table->data); },
            doc_of("OutputTable::data"))
        .def(
            "column_map", [](const Ref<OutputTable>& table) { return to_column_map(table->data.column_map()); },
            doc_of("DataTable::column_map"))
        .def("__repr__", [](const Ref<OutputTable>& table) { return "<OutputTable " + table->path + ">"; });
}

void bind_section(py::module_& module)
{
    py::class_<Ref<Section>>(module, "Section", doc_of("Section"))
        .def_property_readonly("name", [](const Ref<Section>& section) { return section->name; },
                               doc_of("Section::name"))
        .def_property_readonly("position", [](const Ref<Section>& section) { return section->position; },
                               doc_of("Section::position"))
        .def_property_readonly("path", [](const Ref<Section>& section) { return section->path; },
                               doc_of("Section::path"))
        .def_property_readonly("line", [](const Ref<Section>& section) { return section->line; },
                               doc_of("Section::line"))
        .def_property_readonly("end_line", [](const Ref<Section>& section) { return section->end_line; },
                               doc_of("Section::end_line"))
        .def_property_readonly("items", &items_of, doc_of("Section::items"))
        .def(
            "value",
            [](const Ref<Section>& section, std::string_view key) -> py::object {
                const dfo::ValueLine* line = section->value(key);
                return line == nullptr ? py::none() : py::cast(*line);
            },
            py::arg("key"), doc_of("Section::value"))
        .def(
            "number", [](const Ref<Section>& section, std::string_view key) { return section->number(key); },
            py::arg("key"), doc_of("Section::number"))
        .def(
            "sections",
            [](const Ref<Section>& section, std::string_view name) {
                return refs(section.file, section->sections(name));
            },
            py::arg("name") = "", doc_of("Section::sections"))
        .def(
            "section",
            [](const Ref<Section>& section, std::string_view name) {
                return ref_or_none(section.file, section->section(name));
            },
            py::arg("name"), doc_of("Section::section"))
        .def("tables", [](const Ref<Section>& section) { return refs(section.file, section->tables()); },
             doc_of("Section::tables"))
        .def("values",
             [](const Ref<Section>& section) {
                 std::vector<dfo::ValueLine> values;
                 for (const dfo::ValueLine* value : section->values()) values.push_back(*value);
                 return values;
             },
             doc_of("Section::values"))
        .def("__repr__", [](const Ref<Section>& section) { return "<Section " + section->path + ">"; });
}

void bind_header(py::module_& module)
{
    using dfo::FileHeader;
    py::class_<FileHeader>(module, "FileHeader", doc_of("FileHeader"))
        .def_readonly("version", &FileHeader::version, doc_of("FileHeader::version"))
        .def_readonly("major_version", &FileHeader::major_version, doc_of("FileHeader::major_version"))
        .def_readonly("model_code", &FileHeader::model_code, doc_of("FileHeader::model_code"))
        .def_readonly("model_name", &FileHeader::model_name, doc_of("FileHeader::model_name"))
        .def_readonly("cu_values_code", &FileHeader::cu_values_code, doc_of("FileHeader::cu_values_code"))
        .def_readonly("cu_values", &FileHeader::cu_values, doc_of("FileHeader::cu_values"))
        .def_readonly("main_calculation_type", &FileHeader::main_calculation_type,
                      doc_of("FileHeader::main_calculation_type"))
        .def_readonly("sub_calculation_type", &FileHeader::sub_calculation_type,
                      doc_of("FileHeader::sub_calculation_type"));
    py::class_<dfo::ReadWarning>(module, "ReadWarning", doc_of("ReadWarning"))
        .def_readonly("path", &dfo::ReadWarning::path, doc_of("ReadWarning::path"))
        .def_readonly("line", &dfo::ReadWarning::line, doc_of("ReadWarning::line"))
        .def_readonly("message", &dfo::ReadWarning::message, doc_of("ReadWarning::message"))
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
    py::class_<OutputFile, std::shared_ptr<OutputFile>>(module, "OutputFile",
                                                        doc_of("OutputFile"))
        .def_property_readonly("header", [](const FilePtr& file) { return file->header(); },
                               doc_of("OutputFile::header"))
        .def_property_readonly("root", [](const FilePtr& file) { return Ref<Section>{file, &file->root()}; },
                               doc_of("OutputFile::root"))
        .def_property_readonly("input", [](const FilePtr& file) { return ref_or_none(file, file->input()); },
                               doc_of("OutputFile::input"))
        .def_property_readonly("output", [](const FilePtr& file) { return ref_or_none(file, file->output()); },
                               doc_of("OutputFile::output"))
        .def("sections", [](const FilePtr& file) { return refs(file, file->sections()); },
             doc_of("OutputFile::sections"))
        .def("tables", [](const FilePtr& file) { return refs(file, file->tables()); }, doc_of("OutputFile::tables"))
        .def(
            "section", [](const FilePtr& file, std::string_view path) { return ref_or_none(file, file->section(path)); },
            py::arg("path"), doc_of("OutputFile::section"))
        .def(
            "table", [](const FilePtr& file, std::string_view path) { return ref_or_none(file, file->table(path)); },
            py::arg("path"), doc_of("OutputFile::table"))
        .def(
            "nearest_table_paths",
            [](const FilePtr& file, std::string_view path, std::size_t count) {
                return file->nearest_table_paths(path, count);
            },
            py::arg("path"), py::arg("count") = 5, doc_of("OutputFile::nearest_table_paths"))
        .def_property_readonly("warnings", [](const FilePtr& file) { return file->warnings(); },
                               doc_of("OutputFile::warnings"));

    module.def(
        "_read_output_file", &read,
        py::arg("bytes"),
        doc_of("read_output_file"));
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
    py::class_<PileView>(module, "PileView", doc_of("PileView"))
        .def_readonly("section", &PileView::section, doc_of("PileView::section"))
        .def_property_readonly("name", [](const PileView& pile) { return pile.view.name; }, doc_of("PileView::name"))
        .def_property_readonly("beta_factor", [](const PileView& pile) { return pile.view.beta_factor; },
                               doc_of("PileView::beta_factor"))
        .def_property_readonly("s_factor", [](const PileView& pile) { return pile.view.s_factor; },
                               doc_of("PileView::s_factor"))
        .def_property_readonly("tables", &tables_of<PileView>, doc_of("PileView::tables"))
        .def_property_readonly("calculation_parameters",
                               [](const PileView& pile) { return to_dict(pile.view.calculation_parameters); },
                               doc_of("PileView::calculation_parameters"));
    py::class_<IterationView>(module, "IterationView", doc_of("IterationView"))
        .def_readonly("section", &IterationView::section, doc_of("IterationView::section"))
        .def_property_readonly("number", [](const IterationView& iteration) { return iteration.view.number; },
                               doc_of("IterationView::number"))
        .def_property_readonly("depth", [](const IterationView& iteration) { return iteration.view.depth; },
                               doc_of("IterationView::depth"))
        .def_property_readonly("values", [](const IterationView& iteration) { return to_dict(iteration.view.values); },
                               doc_of("IterationView::values"))
        .def_property_readonly("tables", &tables_of<IterationView>, doc_of("IterationView::tables"))
        .def_property_readonly("calculation_parameters", [](const IterationView& iteration) {
            return to_dict(iteration.view.calculation_parameters);
        }, doc_of("IterationView::calculation_parameters"));
    py::class_<ElementView>(module, "ElementView", doc_of("ElementView"))
        .def_readonly("section", &ElementView::section, doc_of("ElementView::section"))
        .def_property_readonly("values", [](const ElementView& element) { return to_dict(element.view.values); },
                               doc_of("ElementView::values"))
        .def_property_readonly("tables", &tables_of<ElementView>, doc_of("ElementView::tables"));
    using dfo::TensionGroupView;
    py::class_<TensionGroupView>(module, "TensionGroupView",
                                 doc_of("TensionGroupView"))
        .def_readonly("result_index", &TensionGroupView::result_index, doc_of("TensionGroupView::result_index"))
        .def_readonly("pile_group", &TensionGroupView::pile_group, doc_of("TensionGroupView::pile_group"))
        .def_readonly("pile_type", &TensionGroupView::pile_type, doc_of("TensionGroupView::pile_type"))
        .def_readonly("cpt", &TensionGroupView::cpt, doc_of("TensionGroupView::cpt"))
        .def_readonly("piles", &TensionGroupView::piles, doc_of("TensionGroupView::piles"));
    py::class_<dfo::PileTypeWarnings>(module, "PileTypeWarnings", doc_of("PileTypeWarnings"))
        .def_readonly("pile_type_number", &dfo::PileTypeWarnings::pile_type_number,
                      doc_of("PileTypeWarnings::pile_type_number"))
        .def_property_readonly(
            "flags", [](const dfo::PileTypeWarnings& warnings) { return to_dict(warnings.flags); },
            doc_of("PileTypeWarnings::flags"));
    py::class_<dfo::CalculationWarnings>(module, "CalculationWarnings", doc_of("CalculationWarnings"))
        .def_property_readonly("calculation",
                               [](const dfo::CalculationWarnings& warnings) { return to_dict(warnings.calculation); },
                               doc_of("CalculationWarnings::calculation"))
        .def_readonly("pile_types", &dfo::CalculationWarnings::pile_types, doc_of("CalculationWarnings::pile_types"));
    py::class_<dfo::NenResults>(module, "NenResults", doc_of("NenResults"))
        .def_property_readonly(
            "global_", [](const dfo::NenResults& results) { return to_dict(results.global); },
            doc_of("NenResults::global"))
        .def_property_readonly("piles", [](const dfo::NenResults& results) {
            py::list piles;
            for (const auto& numbers : results.piles) piles.append(to_dict(numbers));
            return piles;
        }, doc_of("NenResults::piles"));

    module.def(
        "piles", [](const FilePtr& file) { return views<PileView>(file, dfo::piles(*file)); }, py::arg("file"),
        doc_of("piles"));
    module.def(
        "iterations", [](const FilePtr& file) { return views<IterationView>(file, dfo::iterations(*file)); },
        py::arg("file"), doc_of("iterations"));
    module.def(
        "elements", [](const FilePtr& file) { return views<ElementView>(file, dfo::elements(*file)); },
        py::arg("file"), doc_of("elements"));
    module.def("tension_groups", &dfo::tension_groups, py::arg("file"), doc_of("tension_groups"));
    module.def("calculation_warnings", &dfo::calculation_warnings, py::arg("file"),
               doc_of("calculation_warnings"));
    module.def("nen_results", &dfo::nen_results, py::arg("file"), doc_of("nen_results"));
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
