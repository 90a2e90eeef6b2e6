// Model documents read back into models: the JSON a model writes with _generate_input(), built again
// through the model operations, so that every rule and message of the model applies.
#include "ostrand/external/dfoundations/model_document.hpp"

#include "bindings.hpp"

namespace dfoundations_python {

void bind_model_document(py::module_& module)
{
    using dfo::ModelDocument;
    py::class_<ModelDocument>(module, "ModelDocument", "A model and the metadata of its document.")
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
            "The BearingPilesModel or TensionPilesModel of the document (a part of it: changing it changes the "
            "document's input file).")
        .def_readonly("metadata", &ModelDocument::metadata)
        .def_readonly("input_file_version", &ModelDocument::input_file_version,
                      "The input file layout the document asks for (19, 23 or 25), or None.")
        .def_property_readonly(
            "input_file_extras", [](const ModelDocument& document) { return to_python(document.input_file_extras); },
            "What the input file the document was read from states beyond it, or None.")
        .def(
            "_generate_input", [](const ModelDocument& document) { return to_python(document._generate_input()); },
            "The model document again, with the document's own date and time.")
        .def("_generate_input_text", py::overload_cast<>(&ModelDocument::_generate_input_text, py::const_))
        .def(
            "generate_input_file",
            [](const ModelDocument& document, bool as_file, std::optional<int> version) {
                // The layout asked for, else the one the document asks for, else 19.
                const int layout = version.value_or(document.input_file_version.value_or(19));
                dfo::checked_input_file_version({.as_file = as_file, .version = layout});
                document.base()._validate();
                return input_file_of(document._generate_input_text(layout), as_file);
            },
            py::kw_only(), py::arg("as_file") = false, py::arg("version") = py::none(),
            "Validates the model and has the template service fill an input file from the document, with the "
            "extras of the input file it was read from; in the layout `version` (19, 23 or 25), by default the one "
            "the document asks for.");

    module.def(
        "read_model_document", [](std::string_view json_text) { return dfo::read_model_document(json_text); },
        py::arg("json_text"),
        "Builds the model of a model document's JSON text through the model operations. The operations' "
        "errors pass through (ModelError); what the reader itself refuses is a ValueError naming the member.");
}

}  // namespace dfoundations_python
