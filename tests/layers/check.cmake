# Fails when a floor of the code includes a floor above it. From the bottom:
#   src/text/                    nothing of the project
#   src/foi/                     text/ and the host's errors header
#   src/host/                    text/, foi/ and the host SDK headers, never the library
#   src/external/dfoundations/   text/, foi/ (to read input files back), the SDK headers and its own files,
#                                never host/
#   tools/cli/                   public headers and its own files only
#   python/                      public headers and its own files only
# Run as: cmake -DSOURCE_DIR=<repository> -P check.cmake
set(floors
  "src/text|^text/"
  "src/foi|^(text|foi)/|^ostrand/errors\\.hpp$"
  "src/host|^(text|foi|host)/|^ostrand/(core|api_v1|geo|errors|platform)\\.hpp$|^ostrand/external/external_program\\.hpp$"
  "src/external/dfoundations|^(text|foi|external/dfoundations)/|^ostrand/"
  "tools/cli|^ostrand/|^[^/]+$"
  "python|^ostrand/|^[^/]+$")
set(faults "")
foreach(floor ${floors})
  string(REPLACE "|" ";" parts "${floor}")
  list(POP_FRONT parts folder)
  list(JOIN parts "|" allowed)
  file(GLOB_RECURSE sources "${SOURCE_DIR}/${folder}/*.cpp" "${SOURCE_DIR}/${folder}/*.hpp")
  foreach(source ${sources})
    file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<](ostrand|text|foi|host|external)/|^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line ${includes})
      string(REGEX REPLACE "^[^\"<]*[\"<]([^\">]+)[\">].*$" "\\1" header "${line}")
      if(line MATCHES "<")
        file(RELATIVE_PATH where "${SOURCE_DIR}" "${source}")
        string(APPEND faults "  ${where} includes <${header}>: the project's own headers take quotes\n")
        continue()
      endif()
      if(NOT header MATCHES "${allowed}")
        file(RELATIVE_PATH where "${SOURCE_DIR}" "${source}")
        string(APPEND faults "  ${where} includes \"${header}\"\n")
      endif()
    endforeach()
  endforeach()
endforeach()
if(faults)
  message(FATAL_ERROR "Includes that climb a floor:\n${faults}")
endif()
message(STATUS "Every floor includes only the floors below it.")
