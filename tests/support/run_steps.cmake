# run_step(COMMAND WORDS...): runs one command and stops the script if it fails, with its output;
# STEP_OUTPUT holds what it printed.
function(run_step)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE failed OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(failed)
    message(FATAL_ERROR "${ARGN} failed:\n${out}")
  endif()
  set(STEP_OUTPUT "${out}" PARENT_SCOPE)
endfunction()
