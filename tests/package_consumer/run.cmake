# Installs the build at BINARY_DIR into a scratch prefix, then configures, builds and runs the
# consumer project against it.
set(scratch ${BINARY_DIR}/package_consumer)
file(REMOVE_RECURSE ${scratch})
foreach(step
    "${CMAKE_COMMAND};--install;${BINARY_DIR};--prefix;${scratch}/prefix"
    "${CMAKE_COMMAND};-S;${SOURCE_DIR};-B;${scratch}/build;-DCMAKE_PREFIX_PATH=${scratch}/prefix"
    "${CMAKE_COMMAND};--build;${scratch}/build"
    "${scratch}/build/consumer")
  execute_process(COMMAND ${step} RESULT_VARIABLE failed OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(failed)
    message(FATAL_ERROR "${step} failed:\n${out}")
  endif()
endforeach()
message(STATUS "${out}")
