# Installs the build at BINARY_DIR into a scratch prefix, then configures, builds and runs the
# consumer project against it.
set(scratch ${BINARY_DIR}/package_consumer)
file(REMOVE_RECURSE ${scratch})
include(${CMAKE_CURRENT_LIST_DIR}/../support/run_steps.cmake)
run_step(${CMAKE_COMMAND} --install ${BINARY_DIR} --prefix ${scratch}/prefix)
run_step(${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${scratch}/build -DCMAKE_PREFIX_PATH=${scratch}/prefix)
run_step(${CMAKE_COMMAND} --build ${scratch}/build)
run_step(${scratch}/build/consumer)
message(STATUS "${STEP_OUTPUT}")
