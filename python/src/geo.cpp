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
                        doc_of("geo::GEFData"))
        .def(py::init<>())
        .def_readwrite("name", &GEFData::name, doc_of("geo::GEFData::name"))
        .def_readwrite("elevation", &GEFData::elevation, doc_of("geo::GEFData::elevation"))
        .def_readwrite("qc", &GEFData::qc, doc_of("geo::GEFData::qc"))
        .def_readwrite("fs", &GEFData::fs, doc_of("geo::GEFData::fs"))
        .def_readwrite("Rf", &GEFData::Rf, doc_of("geo::GEFData::Rf"))
        .def_readwrite("ground_level_wrt_reference", &GEFData::ground_level_wrt_reference,
                       doc_of("geo::GEFData::ground_level_wrt_reference"))
        .def_readwrite("project_name", &GEFData::project_name, doc_of("geo::GEFData::project_name"))
        .def_readwrite("project_id", &GEFData::project_id, doc_of("geo::GEFData::project_id"))
        .def_readwrite("client", &GEFData::client, doc_of("geo::GEFData::client"))
        .def_readwrite("x_y_coordinates", &GEFData::x_y_coordinates, doc_of("geo::GEFData::x_y_coordinates"))
        .def_readwrite("excavation_depth", &GEFData::excavation_depth, doc_of("geo::GEFData::excavation_depth"))
        .def_readwrite("gef_version_number", &GEFData::gef_version_number, doc_of("geo::GEFData::gef_version_number"))
        .def_readwrite("gef_file_date", &GEFData::gef_file_date, doc_of("geo::GEFData::gef_file_date"))
        .def_readwrite("warnings", &GEFData::warnings, doc_of("geo::GEFData::warnings"))
        .def_readwrite("research_report_date", &GEFData::research_report_date,
                       doc_of("geo::GEFData::research_report_date"))
        .def_static(
            "from_file", [](const std::filesystem::path& path) { return GEFData::from_file(path); }, py::arg("path"),
            py::call_guard<py::gil_scoped_release>(),
            doc_of("geo::GEFData::from_file"))
        .def_static(
            "from_cpt_text",
            [](const py::object& bytes, std::string name) {
                const ByteView view = view_bytes(bytes);
                py::gil_scoped_release release;
                return GEFData::from_cpt_text(view.bytes, std::move(name));
            },
            py::arg("bytes"), py::arg("name"),
            doc_of("geo::GEFData::from_cpt_text"))
        .def_static(
            "from_text",
            [](const py::object& text, std::string name) {
                return GEFData::from_text(view_bytes(text).bytes, std::move(name));
            },
            py::arg("text"), py::arg("name"), doc_of("geo::GEFData::from_text"))
        .def_static(
            "from_bro_xml",
            [](const py::object& text, std::string name) {
                return GEFData::from_bro_xml(view_bytes(text).bytes, std::move(name));
            },
            py::arg("text"), py::arg("name"), doc_of("geo::GEFData::from_bro_xml"))
        .def(
            "to_json", [](const GEFData& data) { return to_python(data.to_json()); },
            doc_of("geo::GEFData::to_json"))
        .def("__repr__", [](const GEFData& data) {
            return "<GEFData " + data.name + ": " + std::to_string(data.elevation.size()) + " rows>";
        });
}

void bind_color(py::module_& module)
{
    py::class_<Color>(module, "Color", doc_of("core::Color"))
        .def(py::init<std::uint8_t, std::uint8_t, std::uint8_t>(), py::arg("red"), py::arg("green"), py::arg("blue"),
             doc_of("core::Color::Color"))
        .def_static("white", &Color::white, doc_of("core::Color::white"))
        .def_static("from_deltares", &Color::from_deltares, py::arg("code"),
                    doc_of("core::Color::from_deltares"))
        .def_property_readonly("deltares", &Color::deltares, doc_of("core::Color::deltares"))
        .def_property_readonly("red", &Color::red, doc_of("core::Color::red"))
        .def_property_readonly("green", &Color::green, doc_of("core::Color::green"))
        .def_property_readonly("blue", &Color::blue, doc_of("core::Color::blue"))
        .def("__eq__", [](const Color& color, const Color& other) { return color == other; })
        .def("__hash__", [](const Color& color) { return color.deltares(); })
        .def("__repr__", [](const Color& color) {
            return "Color(" + std::to_string(color.red()) + ", " + std::to_string(color.green()) + ", " +
                   std::to_string(color.blue()) + ")";
        });
}

void bind_file(py::module_& module)
{
    py::class_<File>(module, "File", doc_of("core::File"))
        .def_static(
            "from_data", [](const py::object& bytes) { return File::from_data(std::string(view_bytes(bytes).bytes)); }, py::arg("data"),
            doc_of("core::File::from_data"))
        .def_static("from_url", &File::from_url, py::arg("url"), py::call_guard<py::gil_scoped_release>(),
                    doc_of("core::File::from_url"))
        .def(
            "getvalue_binary", [](const File& file) { return py::bytes(file.getvalue_binary()); },
            doc_of("core::File::getvalue_binary"))
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
