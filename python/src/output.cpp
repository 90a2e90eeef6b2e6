// The versioned output-file parsers: OutputFileParser(text or bytes) recognises the file and reads
// its calculation parameters and result tables. Reading runs without the GIL.
#include <memory>

#include "bindings.hpp"

namespace dfoundations_python {
namespace {

using dfo::OutputFileParser;
using ostrand::core::BytesIO;
using ostrand::core::File;
using ostrand::core::StringIO;

// Decoded text as it is; bytes as D-Foundations wrote them (UTF-8, else Latin-1).
std::unique_ptr<OutputFileParser> create_parser(const py::object& fod_file)
{
    if (py::isinstance<py::str>(fod_file)) {
        const StringIO text{std::string(view_bytes(fod_file).bytes)};
        py::gil_scoped_release release;
        return OutputFileParser::create(text);
    }
    if (py::isinstance<File>(fod_file)) {
        const File file = fod_file.cast<File>();
        py::gil_scoped_release release;
        return OutputFileParser::create(file);
    }
    const BytesIO bytes{std::string(view_bytes(fod_file).bytes)};
    py::gil_scoped_release release;
    return OutputFileParser::create(bytes);
}

py::list results_object(const std::vector<dfo::Table>& tables)
{
    py::list list;
    for (const dfo::Table& table : tables) list.append(to_python(table));
    return list;
}

py::dict results_object(const dfo::TensionResults& results)
{
    py::dict data;
    for (const auto& [section_name, section] : results.data) {
        py::dict entries;
        for (const auto& [name, entry] : section) {
            if (const auto* tables = std::get_if<std::vector<dfo::Table>>(&entry)) {
                entries[py::str(name)] = results_object(*tables);
            } else {
                py::dict pile_types;
                for (const auto& [pile_type, cpt_tables] : std::get<dfo::TensionResults::PileTypeTables>(entry)) {
                    pile_types[py::str(pile_type)] = results_object(cpt_tables);
                }
                entries[py::str(name)] = pile_types;
            }
        }
        data[py::str(section_name)] = entries;
    }
    py::dict result;
    result["pile_groups"] = py::cast(results.pile_groups);
    result["data"] = data;
    return result;
}

py::dict results_object(const dfo::TableMap& tables)
{
    py::dict result;
    for (const auto& [name, table] : tables) result[py::str(name)] = to_python(table);
    return result;
}

py::dict results_object(const dfo::Results& results)
{
    return std::visit([](const auto& value) { return results_object(value); }, results);
}

}  // namespace

void bind_output(py::module_& module)
{
    py::class_<OutputFileParser> parser(
        module, "OutputFileParser",
        doc_of("OutputFileParser"));
    parser
        .def(py::init(&create_parser), py::arg("fod_file"),
             doc_of("OutputFileParser::create"))
        .def_property_readonly("raw_results", &OutputFileParser::raw_results,
                               doc_of("OutputFileParser::raw_results"))
        .def_property_readonly("_raw_results", &OutputFileParser::raw_results)
        .def_property_readonly(
            "calculation_parameters",
            [](const OutputFileParser& self) {
                dfo::CalculationParameters parameters = [&] {
                    py::gil_scoped_release release;
                    return self.calculation_parameters();
                }();
                return to_dict(parameters);
            },
            doc_of("OutputFileParser::calculation_parameters"))
        .def(
            "results",
            [](const OutputFileParser& self, bool as_pandas) {
                dfo::Results results = [&] {
                    py::gil_scoped_release release;
                    return self.results(as_pandas);
                }();
                return results_object(results);
            },
            py::arg("as_pandas") = true,
            doc_of("OutputFileParser::results"))
        .def_property_readonly("class_name", &OutputFileParser::class_name,
                               doc_of("OutputFileParser::class_name"))
        .def("__repr__", [](const OutputFileParser& self) {
            return "<OutputFileParser " + std::string(self.class_name()) + ">";
        });
    parser.attr("_VERSION_PATTERN") = std::string(OutputFileParser::VERSION_PATTERN);
    parser.attr("_MODEL_PATTERN") = std::string(OutputFileParser::MODEL_PATTERN);
    parser.attr("_CALCULATION_TYPE_PATTERN") = std::string(OutputFileParser::CALCULATION_TYPE_PATTERN);
    parser.attr("_OUTPUT_PATTERN") = std::string(OutputFileParser::OUTPUT_PATTERN);

    py::class_<dfo::detail::ParserV19, std::unique_ptr<dfo::detail::ParserV19, py::nodelete>>(module, "_ParserV19", doc_of("detail::ParserV19"))
        .def_static(
            "_parse_tables",
            [](const std::string& text, bool as_pandas) {
                dfo::TableMap tables = [&] {
                    py::gil_scoped_release release;
                    return dfo::detail::ParserV19::_parse_tables(text, as_pandas);
                }();
                return results_object(tables);
            },
            py::arg("string"), py::arg("as_pandas") = true,
            doc_of("detail::ParserV19::_parse_tables"));
}

}  // namespace dfoundations_python
