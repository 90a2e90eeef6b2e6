// The compiled part of the dfoundations package; dfoundations/__init__.py re-exports it.
#include "ostrand/external/dfoundations/version.hpp"

#include "bindings.hpp"

PYBIND11_MODULE(_dfoundations, module)
{
    using namespace dfoundations_python;
    module.doc() = "D-Foundations models, input files, analyses and output files.";
    module.attr("__version__") = ostrand::external::dfoundations::version;
    bind_errors(module);
    bind_vocabulary(module);
    bind_geo(module);
    bind_components(module);
    bind_models(module);
    bind_model_document(module);
    bind_input_file_reader(module);
    bind_analysis(module);
    bind_output(module);
    bind_output_file(module);
    bind_summary(module);
    bind_calculation(module);
}
