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

Reading read(const py::object& input_file, const py::object& data)
{
    const ByteView view = view_bytes(renamed_argument(input_file, data, "input_file", "data"));
    dfo::InputFileReading reading = [&] {
        py::gil_scoped_release unlocked;
        return dfo::read_input_file(view.bytes);
    }();
    return Reading{std::move(reading), py::none(), py::none()};
}

template <class Kind>
Kind model_of(const py::object& input_file, const py::object& data)
{
    const ByteView view = view_bytes(renamed_argument(input_file, data, "input_file", "data"));
    py::gil_scoped_release unlocked;
    return Kind::from_input_file(view.bytes);
}

}  // namespace

std::optional<dfo::InputFileReading> edited_reading(const py::object& source)
{
    if (!py::isinstance<Reading>(source)) return std::nullopt;
    return source.cast<const Reading&>().as_edited();
}

void bind_input_file_reader(py::module_& module)
{
    py::class_<Reading>(module, "InputFileReading", doc_of("InputFileReading"))
        .def_property(
            "document", [](Reading& reading) { return reading.held(reading.document, reading.reading.document); },
            [](Reading& reading, py::object document) { reading.document = std::move(document); },
            doc_of("InputFileReading::document"))
        .def_property(
            "extras", [](Reading& reading) { return reading.held(reading.extras, reading.reading.extras); },
            [](Reading& reading, py::object extras) { reading.extras = std::move(extras); },
            doc_of("InputFileReading::extras"))
        .def_property_readonly(
            "layout", [](const Reading& reading) { return reading.reading.layout; }, doc_of("InputFileReading::layout"))
        .def_property_readonly(
            "layout_version",
            [](const Reading& reading) {
                warn_renamed("InputFileReading.layout_version", "InputFileReading.layout");
                return reading.reading.layout;
            },
            "The former name of layout.")
        .def_property_readonly(
            "model_error", [](const Reading& reading) { return reading.reading.model_error; },
            doc_of("InputFileReading::model_error"))
        .def_property_readonly(
            "warnings",
            [](const Reading& reading) {
                py::list warnings;
                for (const dfo::InputFileWarning& warning : reading.reading.warnings)
                    warnings.append(py::make_tuple(warning.line, warning.message));
                return warnings;
            },
            doc_of("InputFileReading::warnings"))
        .def(
            "document_with_extras",
            [](const Reading& reading) { return to_python(reading.as_edited().document_with_extras()); },
            doc_of("InputFileReading::document_with_extras"))
        .def(
            "generate_input_file",
            [](const Reading& reading, bool as_file, const py::object& layout, const py::object& version) {
                return input_file_of(reading.as_edited()._generate_input_text(asked_layout(layout, version)), as_file);
            },
            py::kw_only(), py::arg("as_file") = false, py::arg("layout") = py::none(), py::arg("version") = py::none(),
            doc_of("InputFileReading::generate_input_file"));

    module.def("read_input_file", &read, py::arg("input_file") = py::none(), py::kw_only(),
               py::arg("data") = py::none(), doc_of("read_input_file"));

    py::type bearing = module.attr("BearingPilesModel");
    bearing.attr("from_input_file") = py::staticmethod(py::cpp_function(
        &model_of<dfo::BearingPilesModel>, py::name("from_input_file"), py::arg("input_file") = py::none(),
        py::kw_only(), py::arg("data") = py::none(), doc_of("BearingPilesModel::from_input_file")));
    py::type tension = module.attr("TensionPilesModel");
    tension.attr("from_input_file") = py::staticmethod(py::cpp_function(
        &model_of<dfo::TensionPilesModel>, py::name("from_input_file"), py::arg("input_file") = py::none(),
        py::kw_only(), py::arg("data") = py::none(), doc_of("TensionPilesModel::from_input_file")));
}

}  // namespace dfoundations_python
