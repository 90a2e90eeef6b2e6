// Input files (.foi) read back: the model document and the extras of a file, and the models built from
// a file through the model operations.
#include "ostrand/external/dfoundations/input_file_reader.hpp"

#include <optional>
#include <string>
#include <utility>

#include <nlohmann/json.hpp>

#include "bindings.hpp"

namespace dfoundations_python {

namespace {

// An input file read back, as Python holds it: its document and extras become Python objects once,
// on first use, and the file is written from them as they stand, so that an edit of either is
// written (or refused by the writer), never lost.
struct Reading {
    dfo::InputFileReading reading;
    py::object document;  // None until asked for
    py::object extras;

    py::object& held(py::object& object, const nlohmann::ordered_json& value)
    {
        if (object.is_none()) object = to_python(value);
        return object;
    }
    // The reading with the document and extras as Python holds them now.
    dfo::InputFileReading as_edited() const
    {
        dfo::InputFileReading edited = reading;
        if (!document.is_none()) edited.document = from_python(document, "document");
        if (!extras.is_none()) edited.extras = from_python(extras, "extras");
        return edited;
    }

private:
    static nlohmann::ordered_json from_python(const py::object& value, const char* name)
    {
        const std::string text =
            py::module_::import("json").attr("dumps")(value, py::arg("allow_nan") = false).cast<std::string>();
        try {
            return nlohmann::ordered_json::parse(text);
        } catch (const nlohmann::ordered_json::exception& error) {
            throw py::value_error(std::string("The reading's ") + name + " is not JSON: " + error.what());
        }
    }
};

Reading read(const py::object& data)
{
    const ByteView view = view_bytes(data);
    dfo::InputFileReading reading = [&] {
        py::gil_scoped_release unlocked;
        return dfo::read_input_file(view.bytes);
    }();
    return Reading{std::move(reading), py::none(), py::none()};
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
    py::class_<Reading>(module, "InputFileReading",
                        "An input file read back: its model document and what the file states beyond it.")
        .def_property(
            "document", [](Reading& reading) { return reading.held(reading.document, reading.reading.document); },
            [](Reading& reading, py::object document) { reading.document = std::move(document); },
            "The model document (a dict, the same one on every access): the one the file's model writes when "
            "the model operations can build it, else the document as the file states it. generate_input_file "
            "writes it as it stands, edits included.")
        .def_property(
            "extras", [](Reading& reading) { return reading.held(reading.extras, reading.reading.extras); },
            [](Reading& reading, py::object extras) { reading.extras = std::move(extras); },
            "What the file states beyond the document, written back with it (the same dict on every access).")
        .def_property_readonly(
            "layout_version", [](const Reading& reading) { return reading.reading.layout_version; },
            "19, 23 or 25: the layout of D-Foundations 19.x, 23.x or 25.1 that the file has.")
        .def_property_readonly(
            "model_error", [](const Reading& reading) { return reading.reading.model_error; },
            "Why the model operations refuse the file's model; empty when they build it.")
        .def_property_readonly(
            "warnings",
            [](const Reading& reading) {
                py::list warnings;
                for (const dfo::InputFileWarning& warning : reading.reading.warnings)
                    warnings.append(py::make_tuple(warning.line, warning.message));
                return warnings;
            },
            "Lines of the file that cannot be written back, as (line, message).")
        .def(
            "document_with_extras",
            [](const Reading& reading) { return to_python(reading.as_edited().document_with_extras()); },
            "The document with the extras as its member 'input_file_extras', as read_model_document takes it.")
        .def(
            "generate_input_file",
            [](const Reading& reading, bool as_file, std::optional<int> version) {
                return input_file_of(reading.as_edited()._generate_input_text(version), as_file);
            },
            py::kw_only(), py::arg("as_file") = false, py::arg("version") = py::none(),
            "The input file again, from the document and extras as they stand: bytes, or a File with as_file; in "
            "the layout `version` (19, 23 or 25; None: the file's own). ModelError with the rule's message when "
            "that layout has no place for a setting the document turns on.");

    module.def("read_input_file", &read, py::arg("data"),
               "Reads a D-Foundations input file (bytes or str; Windows-1252, any line ends) of version 19, 23 or 25. "
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
