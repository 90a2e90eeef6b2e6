// Input files (.foi) read back: the model document and the extras of a file, and the models built from
// a file through the model operations.
#include "ostrand/external/dfoundations/input_file_reader.hpp"

#include "bindings.hpp"

namespace dfoundations_python {

namespace {

dfo::InputFileReading read(const py::object& data)
{
    const ByteView view = view_bytes(data);
    py::gil_scoped_release unlocked;
    return dfo::read_input_file(view.bytes);
}

template <class Kind>
Kind model_of(const py::object& data)
{
    const ByteView view = view_bytes(data);
    py::gil_scoped_release unlocked;
    return Kind::from_input_file(view.bytes);
}

const char* const FROM_INPUT_FILE_DOC =
    "The model of a D-Foundations input file (bytes or str), built through the model operations. A file they "
    "refuse is a ModelError 'Input file line N (member): ...' whose __cause__ is the operation's own error; a "
    "file that is no input file of these models is a ParsingError; a file of the other kind a ValueError.";

}  // namespace

void bind_input_file_reader(py::module_& module)
{
    using dfo::InputFileReading;
    py::class_<InputFileReading>(module, "InputFileReading",
                                 "An input file read back: its model document and what the file states beyond it.")
        .def_property_readonly(
            "document", [](const InputFileReading& reading) { return to_python(reading.document); },
            "The model document (a dict): the one the file's model writes when the model operations can build "
            "it, else the document as the file states it.")
        .def_property_readonly(
            "extras", [](const InputFileReading& reading) { return to_python(reading.extras); },
            "What the file states beyond the document, written back with it.")
        .def_readonly("layout_version", &InputFileReading::layout_version,
                      "19 for the layout of D-Foundations 19 to 23, 25 for that of 25.")
        .def_readonly("model_error", &InputFileReading::model_error,
                      "Why the model operations refuse the file's model; empty when they build it.")
        .def_property_readonly(
            "warnings",
            [](const InputFileReading& reading) {
                py::list warnings;
                for (const dfo::InputFileWarning& warning : reading.warnings)
                    warnings.append(py::make_tuple(warning.line, warning.message));
                return warnings;
            },
            "Lines of the file that cannot be written back, as (line, message).")
        .def(
            "document_with_extras",
            [](const InputFileReading& reading) { return to_python(reading.document_with_extras()); },
            "The document with the extras as its member 'input_file_extras', as read_model_document takes it.")
        .def(
            "generate_input_file",
            [](const InputFileReading& reading, bool as_file) {
                return input_file_of(reading._generate_input_text(), as_file);
            },
            py::kw_only(), py::arg("as_file") = false, "The input file again: bytes, or a File with as_file.");

    module.def("read_input_file", &read, py::arg("data"),
               "Reads a D-Foundations input file (bytes or str; Windows-1252, any line ends) of version 19 to 25. "
               "A file that is no input file of Bearing Piles or Tension Piles (EC7-NL) is a ParsingError naming "
               "the line.");

    py::type bearing = module.attr("BearingPilesModel");
    bearing.attr("from_input_file") =
        py::staticmethod(py::cpp_function(&model_of<dfo::BearingPilesModel>, py::arg("data"), FROM_INPUT_FILE_DOC));
    py::type tension = module.attr("TensionPilesModel");
    tension.attr("from_input_file") =
        py::staticmethod(py::cpp_function(&model_of<dfo::TensionPilesModel>, py::arg("data"), FROM_INPUT_FILE_DOC));
}

}  // namespace dfoundations_python
