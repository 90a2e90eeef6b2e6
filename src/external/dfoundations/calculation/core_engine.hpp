// The open calculation core as the platform's in-process engine, so that the embedded worker computes
// an analysis without the console program.
#pragma once

namespace ostrand::external::dfoundations::calculation {

// Installs the core as the in-process engine, once per process (a later call does nothing).
void install_core_engine();

}  // namespace ostrand::external::dfoundations::calculation
