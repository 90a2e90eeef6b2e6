# Compiles every ```cpp block of README.md against the installed package, as a reader would paste
# it: a block without a main() is wrapped in one, its #include lines kept on top.
# Run as: cmake -DBINARY_DIR=<build> -DREADME=<README.md> -DDATA_DIR=<examples/data> -P run.cmake
set(scratch ${BINARY_DIR}/readme_snippets)
file(REMOVE_RECURSE ${scratch})
file(MAKE_DIRECTORY ${scratch}/project)

file(READ ${README} readme)
# CMake lists split at semicolons: keep the code's own out of the way until the files are written.
string(REPLACE ";" "@SEMICOLON@" readme "${readme}")
string(REGEX MATCHALL "```cpp\n([^`]*)```" blocks "${readme}")
list(LENGTH blocks count)
if(count EQUAL 0)
  message(FATAL_ERROR "README.md has no ```cpp block")
endif()

set(lists "cmake_minimum_required(VERSION 3.22)\nproject(readme_snippets CXX)\nfind_package(dfoundations REQUIRED)\n")
set(index 0)
foreach(block ${blocks})
  math(EXPR index "${index} + 1")
  string(REGEX REPLACE "^```cpp\n" "" code "${block}")
  string(REGEX REPLACE "```$" "" code "${code}")
  if(NOT code MATCHES "int main\\(")
    set(includes "")
    set(body "")
    string(REPLACE "\n" ";" lines "${code}")
    foreach(line IN LISTS lines)
      if(line MATCHES "^#include")
        string(APPEND includes "${line}\n")
      else()
        string(APPEND body "    ${line}\n")
      endif()
    endforeach()
    set(code "${includes}\nint main()\n{\n${body}    return 0;\n}\n")
  endif()
  string(REPLACE "@SEMICOLON@" ";" code "${code}")
  file(WRITE ${scratch}/project/snippet_${index}.cpp "${code}")
  string(APPEND lists "add_executable(snippet_${index} snippet_${index}.cpp)\n"
                      "target_link_libraries(snippet_${index} PRIVATE dfoundations::dfoundations)\n"
                      "target_compile_definitions(snippet_${index} PRIVATE EXAMPLES_DATA=\"${DATA_DIR}\")\n")
endforeach()
file(WRITE ${scratch}/project/CMakeLists.txt "${lists}")

include(${CMAKE_CURRENT_LIST_DIR}/../support/run_steps.cmake)
run_step(${CMAKE_COMMAND} --install ${BINARY_DIR} --prefix ${scratch}/prefix)
run_step(${CMAKE_COMMAND} -S ${scratch}/project -B ${scratch}/build -DCMAKE_PREFIX_PATH=${scratch}/prefix)
run_step(${CMAKE_COMMAND} --build ${scratch}/build)
message(STATUS "${count} README snippets compile against the installed package")
