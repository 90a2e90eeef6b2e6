// The program's conventions: one table of exit statuses, and errors reported the same way by every
// subcommand.
#pragma once

#include <functional>
#include <string>

#include <nlohmann/json.hpp>

namespace dfoundations_cli {

// The exit statuses of every subcommand.
enum ExitStatus : int {
    DONE = 0,         // done
    REFUSED = 1,      // the file was read but refused: the error as JSON on standard output
    FILE_FAILED = 2,  // a file could not be read or written
    USAGE = 64,       // wrong usage
};

inline constexpr const char* EXIT_STATUS_TABLE =
    "Exit status: 0 done, 1 the file was read but refused (the error as JSON on standard output),\n"
    "2 a file could not be read or written, 64 wrong usage.";

// The error being handled as {"type": ..., "message": ...}: ParsingError, ModelError, ValueError,
// OutOfRange, PatternLimitError, ... as the library raised it.
nlohmann::ordered_json current_error();

// {"error": current_error()} on one line, as every subcommand prints a refusal.
std::string error_document();

// Runs one subcommand's work and turns what it throws into the table above: a FileError is reported
// on standard error (status 2); any other error is printed as JSON on standard output and its message
// on standard error (status 1).
int run_reported(const char* command, const std::function<int()>& work);

}  // namespace dfoundations_cli
