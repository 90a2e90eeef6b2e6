# Installs the package with pip into a scratch prefix, as a user of `pip install .` would, builds a wheel
# that carries the stubs, and imports the installed package from the prefix.
# Run as: cmake -DSOURCE_DIR=<checkout> -DBINARY_DIR=<build> -DPYTHON=<interpreter> -DSITE=<site-packages under the prefix> -P pip_install.cmake
# The existing build folder is handed to the build backend, so pip brings it up to date instead of
# building everything again.
set(scratch ${BINARY_DIR}/pip_scratch)
file(REMOVE_RECURSE ${scratch})
include(${CMAKE_CURRENT_LIST_DIR}/../../tests/support/run_steps.cmake)
set(ENV{DFOUNDATIONS_CMAKE_BUILD_DIR} ${BINARY_DIR})
set(pip ${PYTHON} -m pip --disable-pip-version-check --no-cache-dir)
run_step(${pip} install --no-build-isolation --no-index --no-deps --prefix ${scratch}/prefix ${SOURCE_DIR})
run_step(${pip} wheel --no-build-isolation --no-index --no-deps -w ${scratch}/wheel ${SOURCE_DIR})
file(GLOB wheel ${scratch}/wheel/dfoundations-*.whl)
run_step(${PYTHON} -c "import sys, zipfile; names = zipfile.ZipFile(sys.argv[1]).namelist(); missing = [n for n in ('dfoundations/__init__.pyi', 'dfoundations/py.typed', 'dfoundations/__init__.py') if n not in names]; assert not missing and any(n.startswith('dfoundations/_dfoundations') for n in names), (missing, names)" ${wheel})
# pip puts the package where the interpreter's install scheme says (Debian's adds local/ under the prefix).
file(GLOB_RECURSE installed ${scratch}/prefix/*.py)
list(FILTER installed INCLUDE REGEX "/dfoundations/__init__\\.py$")
if(NOT installed)
  message(FATAL_ERROR "pip installed no dfoundations package under ${scratch}/prefix")
endif()
list(GET installed 0 init)
get_filename_component(package ${init} DIRECTORY)
get_filename_component(site ${package} DIRECTORY)
set(ENV{PYTHONPATH} ${site})
execute_process(COMMAND ${PYTHON} -c "import dfoundations as dfo; assert dfo.__file__.startswith('${site}'), dfo.__file__; print(dfo.__version__)"
  WORKING_DIRECTORY ${scratch} RESULT_VARIABLE failed OUTPUT_VARIABLE version ERROR_VARIABLE problem
  OUTPUT_STRIP_TRAILING_WHITESPACE)
if(failed OR NOT version MATCHES "^[0-9]+\\.[0-9]+\\.[0-9]+$")
  message(FATAL_ERROR "the installed package reports the version '${version}': ${problem}")
endif()
message(STATUS "installed dfoundations ${version}")
