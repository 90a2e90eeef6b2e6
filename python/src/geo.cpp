// The host's value types a user hands to the library: CPT data read from GEF or BRO XML files,
// colours and platform files.
#include <filesystem>
#include <string>

#include "ostrand/core.hpp"
#include "ostrand/geo.hpp"

#include <pybind11/stl/filesystem.h>

#include "bindings.hpp"

namespace dfoundations_python {
namespace {

using ostrand::core::Color;
using ostrand::core::File;
using ostrand::geo::GEFData;


void bind_gef_data(py::module_& module)
{
    py::class_<GEFData>(module, "GEFData",
                        "GEF data of a cone penetration test, as read from a GEF-CPT or BRO XML file.\n"
                        "Levels (elevation, ground_level_wrt_reference) are in mm; qc and fs in MPa; Rf a fraction.")
        .def(py::init<>())
        .def_readwrite("name", &GEFData::name)
        .def_readwrite("elevation", &GEFData::elevation)
        .def_readwrite("qc", &GEFData::qc)
        .def_readwrite("fs", &GEFData::fs)
        .def_readwrite("Rf", &GEFData::Rf)
        .def_readwrite("ground_level_wrt_reference", &GEFData::ground_level_wrt_reference)
        .def_readwrite("project_name", &GEFData::project_name)
        .def_readwrite("project_id", &GEFData::project_id)
        .def_readwrite("client", &GEFData::client)
        .def_readwrite("x_y_coordinates", &GEFData::x_y_coordinates)
        .def_readwrite("excavation_depth", &GEFData::excavation_depth)
        .def_readwrite("gef_version_number", &GEFData::gef_version_number)
        .def_readwrite("gef_file_date", &GEFData::gef_file_date)
        .def_readwrite("warnings", &GEFData::warnings)
        .def_readwrite("research_report_date", &GEFData::research_report_date)
        .def_static(
            "from_file", [](const std::filesystem::path& path) { return GEFData::from_file(path); }, py::arg("path"),
            py::call_guard<py::gil_scoped_release>(),
            "Reads a CPT file, GEF-CPT or BRO XML, told apart by its content. OSError when it cannot be read, "
            "ParsingError when it is not a usable CPT.")
        .def_static(
            "from_cpt_text",
            [](const py::object& bytes, std::string name) {
                const ByteView view = view_bytes(bytes);
                py::gil_scoped_release release;
                return GEFData::from_cpt_text(view.bytes, std::move(name));
            },
            py::arg("bytes"), py::arg("name"),
            "Reads the bytes (or text) of a CPT file of either kind; `name` is used when the file names no test.")
        .def_static(
            "from_text",
            [](const py::object& text, std::string name) {
                return GEFData::from_text(view_bytes(text).bytes, std::move(name));
            },
            py::arg("text"), py::arg("name"), "Reads GEF-CPT text; `name` is used when the text has no #TESTID.")
        .def_static(
            "from_bro_xml",
            [](const py::object& text, std::string name) {
                return GEFData::from_bro_xml(view_bytes(text).bytes, std::move(name));
            },
            py::arg("text"), py::arg("name"), "Reads a BRO XML CPT; `name` is used when the text has no broId.")
        .def(
            "to_json", [](const GEFData& data) { return to_python(data.to_json()); },
            "The fields in declaration order as a dict.")
        .def("__repr__", [](const GEFData& data) {
            return "<GEFData " + data.name + ": " + std::to_string(data.elevation.size()) + " rows>";
        });
}

void bind_color(py::module_& module)
{
    py::class_<Color>(module, "Color", "A colour. D-Foundations writes it as red + 256 * green + 65536 * blue.")
        .def(py::init<std::uint8_t, std::uint8_t, std::uint8_t>(), py::arg("red"), py::arg("green"), py::arg("blue"))
        .def_static("white", &Color::white)
        .def_static("from_deltares", &Color::from_deltares, py::arg("code"),
                    "The colour of a D-Foundations colour code; out-of-range codes keep their lowest 24 bits.")
        .def_property_readonly("deltares", &Color::deltares)
        .def_property_readonly("red", &Color::red)
        .def_property_readonly("green", &Color::green)
        .def_property_readonly("blue", &Color::blue)
        .def("__eq__", [](const Color& color, const Color& other) { return color == other; })
        .def("__hash__", [](const Color& color) { return color.deltares(); })
        .def("__repr__", [](const Color& color) {
            return "Color(" + std::to_string(color.red()) + ", " + std::to_string(color.green()) + ", " +
                   std::to_string(color.blue()) + ")";
        });
}

void bind_file(py::module_& module)
{
    py::class_<File>(module, "File", "A file of the platform: an immutable sequence of bytes.")
        .def_static(
            "from_data", [](const py::object& bytes) { return File::from_data(std::string(view_bytes(bytes).bytes)); }, py::arg("data"))
        .def_static("from_url", &File::from_url, py::arg("url"), py::call_guard<py::gil_scoped_release>(),
                    "The resource at `url`, fetched through the platform.")
        .def(
            "getvalue_binary", [](const File& file) { return py::bytes(file.getvalue_binary()); },
            "The whole content as bytes.")
        .def("__len__", [](const File& file) { return file.getvalue_binary().size(); });
}

}  // namespace

void bind_geo(py::module_& module)
{
    bind_gef_data(module);
    bind_color(module);
    bind_file(module);
}

}  // namespace dfoundations_python
