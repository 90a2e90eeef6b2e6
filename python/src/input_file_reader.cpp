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

}  // namespace

void bind_input_file_reader(py::module_& module)
{
    using dfo::InputFileReading;
    py::class_<InputFileReading>(module, "InputFileReading", doc_of("InputFileReading"))
        .def_property_readonly(
            "document", [](const InputFileReading& reading) { return to_python(reading.document); },
            doc_of("InputFileReading::document"))
        .def_property_readonly(
            "extras", [](const InputFileReading& reading) { return to_python(reading.extras); },
            doc_of("InputFileReading::extras"))
        .def_readonly("layout_version", &InputFileReading::layout_version,
                      doc_of("InputFileReading::layout_version"))
        .def_readonly("model_error", &InputFileReading::model_error,
                      doc_of("InputFileReading::model_error"))
        .def_property_readonly(
            "warnings",
            [](const InputFileReading& reading) {
                py::list warnings;
                for (const dfo::InputFileWarning& warning : reading.warnings)
                    warnings.append(py::make_tuple(warning.line, warning.message));
                return warnings;
            },
            doc_of("InputFileReading::warnings"))
        .def(
            "document_with_extras",
            [](const InputFileReading& reading) { return to_python(reading.document_with_extras()); },
            doc_of("InputFileReading::document_with_extras"))
        .def(
            "generate_input_file",
            [](const InputFileReading& reading, bool as_file) {
                return input_file_of(reading._generate_input_text(), as_file);
            },
            py::kw_only(), py::arg("as_file") = false, doc_of("InputFileReading::generate_input_file"));

    module.def("read_input_file", &read, py::arg("data"), doc_of("read_input_file"));

    py::type bearing = module.attr("BearingPilesModel");
    bearing.attr("from_input_file") =
        py::staticmethod(py::cpp_function(&model_of<dfo::BearingPilesModel>, py::arg("data"),
                                                                     doc_of("BearingPilesModel::from_input_file")));
    py::type tension = module.attr("TensionPilesModel");
    tension.attr("from_input_file") =
        py::staticmethod(py::cpp_function(&model_of<dfo::TensionPilesModel>, py::arg("data"),
                                                                     doc_of("TensionPilesModel::from_input_file")));
}

}  // namespace dfoundations_python
