// The whole dfoundations library in one include: models, input files, analyses, output files and the
// open calculation core.
// Include the single headers under ostrand/external/dfoundations/ instead to pay only for what you use.
//
//   #include "ostrand/external/dfoundations.hpp"
//   namespace dfo = ostrand::external::dfoundations;
#pragma once

#include "ostrand/external/dfoundations/analysis.hpp"
#include "ostrand/external/dfoundations/calculation.hpp"
#include "ostrand/external/dfoundations/components.hpp"
#include "ostrand/external/dfoundations/input_file.hpp"
#include "ostrand/external/dfoundations/input_file_reader.hpp"
#include "ostrand/external/dfoundations/model_document.hpp"
#include "ostrand/external/dfoundations/models.hpp"
#include "ostrand/external/dfoundations/number_format.hpp"
#include "ostrand/external/dfoundations/output.hpp"
#include "ostrand/external/dfoundations/output_file.hpp"
#include "ostrand/external/dfoundations/summary.hpp"
#include "ostrand/external/dfoundations/version.hpp"
#include "ostrand/external/dfoundations/vocabulary.hpp"
#include "ostrand/geo.hpp"
