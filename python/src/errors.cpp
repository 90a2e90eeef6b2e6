// The library's errors as Python exceptions: the host errors as classes of their own under one
// base class, the general kinds as Python's built-in ones, messages as the C++ code wrote them and
// a nested error as the exception's __cause__.
#include <exception>
#include <filesystem>
#include <system_error>

#include "ostrand/errors.hpp"

#include "bindings.hpp"

namespace dfoundations_python {
namespace {

namespace errors = ostrand::errors;

struct ExceptionTypes {
    PyObject* error = nullptr;
    PyObject* model_error = nullptr;
    PyObject* parsing_error = nullptr;
    PyObject* internal_error = nullptr;
    PyObject* execution_error = nullptr;
    PyObject* pattern_limit_error = nullptr;
};

ExceptionTypes types;

PyObject* new_exception_type(py::module_& module, const char* name, PyObject* base, const char* doc)
{
    const std::string qualified = std::string("dfoundations.") + name;
    PyObject* type = PyErr_NewExceptionWithDoc(qualified.c_str(), doc, base, nullptr);
    if (type == nullptr) throw py::error_already_set();
    module.attr(name) = py::handle(type);  // the module holds a reference of its own; ours is kept
    return type;
}

// The Python exception type that stands for `error`, most derived first.
PyObject* python_type_of(const std::exception& error)
{
    if (dynamic_cast<const errors::ModelError*>(&error)) return types.model_error;
    if (dynamic_cast<const errors::ParsingError*>(&error)) return types.parsing_error;
    if (dynamic_cast<const errors::InternalError*>(&error)) return types.internal_error;
    if (dynamic_cast<const errors::ExecutionError*>(&error)) return types.execution_error;
    if (dynamic_cast<const errors::Error*>(&error)) return types.error;
    if (dynamic_cast<const errors::NotImplementedError*>(&error)) return PyExc_NotImplementedError;
    if (dynamic_cast<const dfo::PatternLimitError*>(&error)) return types.pattern_limit_error;
    if (dynamic_cast<const std::invalid_argument*>(&error)) return PyExc_ValueError;
    if (dynamic_cast<const std::out_of_range*>(&error)) return PyExc_IndexError;
    if (dynamic_cast<const std::domain_error*>(&error)) return PyExc_ZeroDivisionError;
    if (dynamic_cast<const std::system_error*>(&error)) return PyExc_OSError;
    if (dynamic_cast<const std::bad_alloc*>(&error)) return PyExc_MemoryError;
    return PyExc_RuntimeError;
}

// The Python exception object for `error`, with the error nested in it as its __cause__.
py::object python_exception_of(const std::exception& error)
{
    py::object exception = py::handle(python_type_of(error))(py::str(error.what()));
    const auto* nested = dynamic_cast<const std::nested_exception*>(&error);
    if (nested != nullptr && nested->nested_ptr() != nullptr) {
        try {
            nested->rethrow_nested();
        } catch (const std::exception& cause) {
            exception.attr("__cause__") = python_exception_of(cause);
        } catch (...) {
        }
    }
    return exception;
}

void translate(std::exception_ptr thrown)
{
    try {
        std::rethrow_exception(thrown);
    } catch (const py::error_already_set&) {
        throw;  // pybind11's own exceptions go to its own translator
    } catch (const py::reference_cast_error&) {
        // None, inside a list for instance, where an object of the library is needed: a wrong type
        // of argument, not a failure of the library.
        PyErr_SetString(PyExc_TypeError, "None was given where an object of the library is needed");
    } catch (const py::builtin_exception&) {
        throw;
    } catch (const std::exception& error) {
        const py::object exception = python_exception_of(error);
        PyErr_SetObject(reinterpret_cast<PyObject*>(Py_TYPE(exception.ptr())), exception.ptr());
    }
}

}  // namespace

void bind_errors(py::module_& module)
{
    types.error = new_exception_type(module, "Error", PyExc_RuntimeError,
                                     doc_of("errors::Error"));
    types.model_error = new_exception_type(module, "ModelError", types.error, doc_of("errors::ModelError"));
    types.parsing_error = new_exception_type(module, "ParsingError", types.error,
                                             doc_of("errors::ParsingError"));
    types.internal_error = new_exception_type(module, "InternalError", types.error,
                                              doc_of("errors::InternalError"));
    types.execution_error =
        new_exception_type(module, "ExecutionError", types.error, doc_of("errors::ExecutionError"));
    types.pattern_limit_error = new_exception_type(
        module, "PatternLimitError", PyExc_RuntimeError,
        doc_of("PatternLimitError"));
    py::register_exception_translator(&translate);
}

}  // namespace dfoundations_python
