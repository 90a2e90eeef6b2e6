// What a run of a program left: its exit status and what it printed.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <string>

namespace test_support {

struct Finished {
    int status;
    std::string out;
    std::string err;
};

// The exit status of a std::system() result; -1 when the program did not exit by itself.
inline int exit_status(int system_result) { return WIFEXITED(system_result) ? WEXITSTATUS(system_result) : -1; }

}  // namespace test_support
