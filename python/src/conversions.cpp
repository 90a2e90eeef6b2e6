// Library values as Python values: JSON documents as dicts and lists, result tables as pandas
// DataFrames built from whole columns (numpy arrays; no Python object per numeric cell) or as
// column maps.
#include <string_view>
#include <unordered_map>

#include <pybind11/numpy.h>

#include "bindings.hpp"

namespace dfoundations_python {
namespace {

// An attribute of a module, imported on first use and kept for the life of the process (a bare
// reference, so that nothing is released after the interpreter has gone). The GIL guards the slot;
// no lock of its own is held during the import, which may let other threads run: a thread waiting
// for such a lock while it holds the GIL would keep the import from ever finishing.
class KeptAttribute {
public:
    constexpr KeptAttribute(const char* module, const char* name) : module_(module), name_(name) {}

    py::handle get()
    {
        if (value_ == nullptr) {
            PyObject* imported = py::object(py::module_::import(module_).attr(name_)).release().ptr();
            if (value_ == nullptr)
                value_ = imported;
            else
                Py_DECREF(imported);  // another thread was first while this one imported
        }
        return value_;
    }

private:
    const char* module_;
    const char* name_;
    PyObject* value_ = nullptr;
};

constinit KeptAttribute json_loads_attribute("json", "loads");
constinit KeptAttribute data_frame_attribute("pandas", "DataFrame");

py::handle json_loads() { return json_loads_attribute.get(); }

py::handle data_frame_type() { return data_frame_attribute.get(); }

template <class Number>
py::array numbers(const std::vector<Number>& column)
{
    return py::array_t<Number>(static_cast<py::ssize_t>(column.size()), column.data());
}

// Text cells as a numpy object array: None where a cell is missing, one str per distinct text.
py::array texts(const dfo::DataTable::TextColumn& column)
{
    py::array cells(py::dtype("O"), std::vector<py::ssize_t>{static_cast<py::ssize_t>(column.size())});
    auto** slots = static_cast<PyObject**>(cells.mutable_data());
    std::unordered_map<std::string_view, py::object> distinct;
    for (std::size_t row = 0; row < column.size(); ++row) {
        py::object cell = py::none();
        if (column[row]) {
            auto [found, fresh] = distinct.try_emplace(*column[row]);
            if (fresh) found->second = py::str(*column[row]);
            cell = found->second;
        }
        Py_XDECREF(slots[row]);
        slots[row] = cell.release().ptr();
    }
    return cells;
}

py::array column_array(const dfo::DataTable::Column& column)
{
    if (const auto* integers = std::get_if<dfo::DataTable::IntColumn>(&column)) return numbers(*integers);
    if (const auto* reals = std::get_if<dfo::DataTable::RealColumn>(&column)) return numbers(*reals);
    return texts(std::get<dfo::DataTable::TextColumn>(column));
}

py::object cell_value(const dfo::Cell& cell)
{
    return std::visit(
        [](const auto& value) -> py::object {
            using Value = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<Value, std::monostate>) {
                return py::none();
            } else {
                return py::cast(value);
            }
        },
        cell);
}

}  // namespace

ByteView view_bytes(const py::object& source)
{
    ByteView view{source, {}};
    if (py::isinstance<py::str>(source)) {
        Py_ssize_t size = 0;
        const char* text = PyUnicode_AsUTF8AndSize(source.ptr(), &size);
        if (text == nullptr) throw py::error_already_set();
        view.bytes = std::string_view(text, static_cast<std::size_t>(size));
        return view;
    }
    if (!py::isinstance<py::bytes>(source)) view.owner = py::bytes(source);  // bytearray, memoryview, ...
    char* data = nullptr;
    Py_ssize_t size = 0;
    if (PyBytes_AsStringAndSize(view.owner.ptr(), &data, &size) != 0) throw py::error_already_set();
    view.bytes = std::string_view(data, static_cast<std::size_t>(size));
    return view;
}

py::object renamed_argument(py::object given, py::object former, const char* name, const char* former_name)
{
    if (former.is_none()) return given;
    if (!given.is_none())
        throw py::type_error(std::string("give ") + name + "= alone: " + former_name + "= is its former name");
    warn_renamed((std::string(former_name) + "=").c_str(), (std::string(name) + "=").c_str());
    return former;
}

void warn_renamed(const char* former, const char* name)
{
    const std::string message = std::string(former) + " is now called " + name;
    if (PyErr_WarnEx(PyExc_DeprecationWarning, message.c_str(), 2) < 0) throw py::error_already_set();
}

std::optional<int> asked_layout(const py::object& layout, const py::object& version)
{
    return renamed_argument(layout, version, "layout", "version").cast<std::optional<int>>();
}

py::object file_object(std::variant<ostrand::core::BytesIO, ostrand::core::File> file)
{
    if (auto* stream = std::get_if<ostrand::core::BytesIO>(&file)) return py::bytes(stream->getvalue());
    return py::cast(std::get<ostrand::core::File>(std::move(file)));
}

py::object to_python(const nlohmann::ordered_json& value)
{
    return json_loads()(value.dump());
}

py::object to_data_frame(const dfo::DataTable& table)
{
    // pandas first: it imports numpy, so that pybind11's own function-local static of the numpy API
    // no longer imports anything when the arrays below first ask for it. Importing within that
    // static's initialisation lets another thread take the GIL and then wait for the static forever.
    const py::handle data_frame = data_frame_type();
    // Columns keyed by position first, so that a name given twice keeps both of its columns.
    py::dict columns;
    for (std::size_t index = 0; index < table.column_count(); ++index) {
        columns[py::int_(index)] = column_array(table.column(index));
    }
    py::object frame = data_frame(columns, py::arg("copy") = false);
    frame.attr("columns") = py::cast(table.column_names());
    return frame;
}

py::dict to_column_map(const dfo::ColumnMap& map)
{
    py::dict columns;
    for (const auto& [name, cells] : map) {
        py::dict rows;
        for (std::size_t row = 0; row < cells.size(); ++row) rows[py::int_(row)] = cell_value(cells[row]);
        columns[py::str(name)] = rows;
    }
    return columns;
}

py::object to_python(const dfo::Table& table)
{
    if (const auto* data = std::get_if<dfo::DataTable>(&table)) return to_data_frame(*data);
    return to_column_map(std::get<dfo::ColumnMap>(table));
}

}  // namespace dfoundations_python
