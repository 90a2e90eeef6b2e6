// Model documents read back into models: the JSON a model writes with _generate_input(), built again
// through the model operations, so that every rule and message of the model applies.
#include "ostrand/external/dfoundations/model_document.hpp"

#include "bindings.hpp"

namespace dfoundations_python {

void bind_model_document(py::module_& module)
{
    using dfo::ModelDocument;
    py::class_<ModelDocument>(module, "ModelDocument", doc_of("ModelDocument"))
        .def_property_readonly(
            "model",
            [](py::object self) {
                const auto& document = self.cast<const ModelDocument&>();
                return std::visit(
                    [&](const auto& model) {
                        return py::cast(&model, py::return_value_policy::reference_internal, self);
                    },
                    document.model);
            },
            doc_of("ModelDocument::model"))
        .def_readonly("metadata", &ModelDocument::metadata, doc_of("ModelDocument::metadata"))
        .def_readonly("layout", &ModelDocument::layout, doc_of("ModelDocument::layout"))
        .def_property_readonly(
            "input_file_version",
            [](const ModelDocument& document) {
                warn_renamed("ModelDocument.input_file_version", "ModelDocument.layout");
                return document.layout;
            },
            "The former name of layout.")
        .def_property_readonly(
            "input_file_extras", [](const ModelDocument& document) { return to_python(document.input_file_extras); },
            doc_of("ModelDocument::input_file_extras"))
        .def(
            "_generate_input", [](const ModelDocument& document) { return to_python(document._generate_input()); },
            doc_of("ModelDocument::_generate_input"))
        .def("_generate_input_text", py::overload_cast<>(&ModelDocument::_generate_input_text, py::const_))
        .def(
            "generate_input_file",
            [](const ModelDocument& document, bool as_file, const py::object& layout, const py::object& version) {
                // The layout asked for, else the one the document asks for, else 19.
                const int chosen = asked_layout(layout, version).value_or(document.layout.value_or(19));
                dfo::checked_layout({.as_file = as_file, .layout = chosen});
                document.base()._validate();
                return input_file_of(document._generate_input_text(chosen), as_file);
            },
            py::kw_only(), py::arg("as_file") = false, py::arg("layout") = py::none(), py::arg("version") = py::none(),
            doc_of("ModelDocument::generate_input_file"));

    module.def(
        "read_model_document", [](std::string_view json_text) { return dfo::read_model_document(json_text); },
        py::arg("json_text"),
        doc_of("read_model_document"));
}

}  // namespace dfoundations_python
