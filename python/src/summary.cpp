// Output files gathered into one table per calculation kind; the Python layer (dfoundations.summary)
// names the files and turns the tables into DataFrames.
#include <memory>

#include "bindings.hpp"

namespace dfoundations_python {

void bind_summary(py::module_& module)
{
    module.def(
        "_summary",
        [](const std::vector<std::pair<std::string, std::shared_ptr<dfo::OutputFile>>>& named) {
            std::vector<dfo::NamedOutputFile> files;
            for (const auto& [name, file] : named) {
                if (!file) throw py::type_error("summary() takes output files, not None");
                files.push_back({name, file.get()});
            }
            std::vector<dfo::SummaryTable> tables;
            {
                py::gil_scoped_release release;
                tables = dfo::summary(files);
            }
            py::dict frames;
            for (const dfo::SummaryTable& table : tables) frames[py::str(table.calculation)] = to_data_frame(table.data);
            return frames;
        },
        py::arg("files"), doc_of("summary"));
    module.def(
        "calculation_name", [](const std::shared_ptr<dfo::OutputFile>& file) {
            if (!file) throw py::type_error("calculation_name() takes an output file, not None");
            return dfo::calculation_name(*file);
        },
        py::arg("file"), doc_of("calculation_name"));
}

}  // namespace dfoundations_python
