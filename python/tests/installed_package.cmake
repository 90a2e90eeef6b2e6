# Installs the build at BINARY_DIR into a scratch prefix and imports the package from there, as a user
# of `cmake --install build --prefix PREFIX` would.
# Run as: cmake -DBINARY_DIR=<build> -DPYTHON=<interpreter> -DSITE=<site-packages under the prefix> -P installed_package.cmake
set(prefix ${BINARY_DIR}/python_installed)
file(REMOVE_RECURSE ${prefix})
include(${CMAKE_CURRENT_LIST_DIR}/../../tests/support/run_steps.cmake)
run_step(${CMAKE_COMMAND} --install ${BINARY_DIR} --prefix ${prefix})
foreach(file __init__.py __init__.pyi py.typed)
  if(NOT EXISTS ${prefix}/${SITE}/dfoundations/${file})
    message(FATAL_ERROR "${file} was not installed into ${prefix}/${SITE}/dfoundations")
  endif()
endforeach()
set(ENV{PYTHONPATH} ${prefix}/${SITE})
run_step(${PYTHON} -c "import dfoundations as dfo; assert dfo.__file__.startswith('${prefix}'); print(dfo.PileType.STEEL, dfo.RoundPile(0.4).diameter)")
message(STATUS "${STEP_OUTPUT}")
