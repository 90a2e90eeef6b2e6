// Input files (.foi) read back into models: the place for BearingPilesModel.from_input_file and the
// reader of a whole input file, once the library has them.
#include "bindings.hpp"

namespace dfoundations_python {

void bind_input_file_reader(py::module_& /*module*/) {}

}  // namespace dfoundations_python
