// What the binding units share: the one entry point of each unit, the casters that make the
// library's enumerations real Python enums, and the conversions of JSON, column maps and tables.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include <nlohmann/json.hpp>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include "ostrand/external/dfoundations.hpp"
#include "ostrand/external/dfoundations/output_file.hpp"

// doc_of("Name::member"): the docstring that the public headers' comments give a C++ name.
#include "docstrings.hpp"

namespace dfoundations_python {

namespace py = pybind11;
namespace dfo = ostrand::external::dfoundations;

// One call per unit, in this order: the enumerations must exist before any default argument
// that names a member is bound.
void bind_errors(py::module_& module);
void bind_vocabulary(py::module_& module);
void bind_geo(py::module_& module);
void bind_components(py::module_& module);
void bind_models(py::module_& module);
void bind_model_document(py::module_& module);
void bind_input_file_reader(py::module_& module);
void bind_analysis(py::module_& module);
void bind_output(py::module_& module);
void bind_output_file(py::module_& module);
void bind_summary(py::module_& module);
void bind_calculation(py::module_& module);

// The Python enum class that stands for the C++ enumeration E, once bind_vocabulary made it.
template <class E>
struct PythonEnum {
    static inline PyObject* type = nullptr;  // one reference kept for the life of the process
};

// Makes the enum.Enum class `name` with the given (member, value) pairs, an alias being a second
// name for a value, registers it for E and adds it to `scope`.
template <class E>
py::object make_enum(py::handle scope, const char* name, const std::vector<std::pair<std::string, int>>& members,
                     const char* doc)
{
    py::list pairs;
    for (const auto& [member, value] : members) pairs.append(py::make_tuple(member, value));
    py::object type = py::module_::import("enum").attr("Enum")(name, pairs, py::arg("module") = "dfoundations");
    type.attr("__doc__") = doc;
    scope.attr(name) = type;
    PythonEnum<E>::type = type.inc_ref().ptr();
    return type;
}

// The bytes of a Python str (its UTF-8) or of a bytes-like object, viewed in place where they can
// be. Both kinds are immutable, so the view holds while `owner` lives, with or without the GIL.
struct ByteView {
    py::object owner;
    std::string_view bytes;
};
ByteView view_bytes(const py::object& source);

// A keyword argument that has a new name: the value given under the new name, else the one given
// under the former name (with a DeprecationWarning); both at once is a TypeError.
py::object renamed_argument(py::object given, py::object former, const char* name, const char* former_name);
// A DeprecationWarning that `former` (an attribute, or a keyword with its "=") is now called `name`.
void warn_renamed(const char* former, const char* name);
// The input file layout asked for with layout=, or with version=, its former name.
std::optional<int> asked_layout(const py::object& layout, const py::object& version);

// A file as Python users hold it: a byte stream as bytes, the platform's File as it is.
py::object file_object(std::variant<ostrand::core::BytesIO, ostrand::core::File> file);

// The input file the template service fills from a model document's text, as file_object gives it;
// the service runs without the GIL.
py::object input_file_of(std::string document_text, bool as_file);

// Python's value of a JSON document: dicts keep the key order, integers stay integers.
py::object to_python(const nlohmann::ordered_json& value);

// The reading behind a Python InputFileReading, with the document and extras as Python holds them
// now; nothing for any other object.
std::optional<dfo::InputFileReading> edited_reading(const py::object& source);

// A result table as a pandas DataFrame: integer and real columns as numpy arrays.
py::object to_data_frame(const dfo::DataTable& table);
// A result table as its column map: column name -> {row: cell}.
py::dict to_column_map(const dfo::ColumnMap& map);
// A table as the caller asked for it in `results(as_pandas)`.
py::object to_python(const dfo::Table& table);

// An ordered map of plain values as a dict in the same order.
template <class Value>
py::dict to_dict(const dfo::OrderedMap<Value>& map)
{
    py::dict dict;
    for (const auto& [key, value] : map) dict[py::str(key)] = py::cast(value);
    return dict;
}

}  // namespace dfoundations_python

// Lets every binding take and give the Python enum members where the C++ code has enumerators:
// only members of the enum are accepted, never bare integers.
#define DFOUNDATIONS_PYTHON_ENUM(E, NAME)                                                        \
    namespace pybind11::detail {                                                                 \
    template <>                                                                                  \
    struct type_caster<E> {                                                                      \
        PYBIND11_TYPE_CASTER(E, const_name(NAME));                                               \
        bool load(handle source, bool)                                                           \
        {                                                                                        \
            PyObject* type = ::dfoundations_python::PythonEnum<E>::type;                         \
            if (type == nullptr || PyObject_IsInstance(source.ptr(), type) != 1) return false;   \
            value = static_cast<E>(source.attr("value").cast<int>());                            \
            return true;                                                                         \
        }                                                                                        \
        static handle cast(E member, return_value_policy, handle)                                \
        {                                                                                        \
            return handle(::dfoundations_python::PythonEnum<E>::type)(static_cast<int>(member)) \
                .release();                                                                      \
        }                                                                                        \
    };                                                                                           \
    }

DFOUNDATIONS_PYTHON_ENUM(ostrand::external::dfoundations::SoilType, "SoilType")
DFOUNDATIONS_PYTHON_ENUM(ostrand::external::dfoundations::MaxConeResistType, "MaxConeResistType")
DFOUNDATIONS_PYTHON_ENUM(ostrand::external::dfoundations::CPTRule, "CPTRule")
DFOUNDATIONS_PYTHON_ENUM(ostrand::external::dfoundations::ConstructionSequence, "ConstructionSequence")
DFOUNDATIONS_PYTHON_ENUM(ostrand::external::dfoundations::CalculationType, "CalculationType")
DFOUNDATIONS_PYTHON_ENUM(ostrand::external::dfoundations::PileType, "PileType")
DFOUNDATIONS_PYTHON_ENUM(ostrand::external::dfoundations::PileTypeClayLoamPeat, "PileTypeClayLoamPeat")
DFOUNDATIONS_PYTHON_ENUM(ostrand::external::dfoundations::PileLoadSettlementCurve, "PileLoadSettlementCurve")
DFOUNDATIONS_PYTHON_ENUM(ostrand::external::dfoundations::PileMaterial, "PileMaterial")
DFOUNDATIONS_PYTHON_ENUM(ostrand::external::dfoundations::PileSlipLayer, "PileSlipLayer")
DFOUNDATIONS_PYTHON_ENUM(ostrand::external::dfoundations::detail::MainCalculationType, "_MainCalculationType")
DFOUNDATIONS_PYTHON_ENUM(ostrand::external::dfoundations::detail::ReductionConeResistance, "_ReductionConeResistance")
DFOUNDATIONS_PYTHON_ENUM(ostrand::external::dfoundations::detail::PileShape::Shape, "PileShape._Shape")
