#include "report.hpp"

#include <exception>
#include <iostream>
#include <optional>
#include <stdexcept>

#include "files.hpp"
#include "ostrand/errors.hpp"
#include "ostrand/external/dfoundations/output.hpp"

namespace dfoundations_cli {

nlohmann::ordered_json current_error()
{
    const auto error = [](const char* type, const std::exception& e) {
        return nlohmann::ordered_json{{"type", type}, {"message", e.what()}};
    };
    try {
        throw;
    } catch (const ostrand::errors::ParsingError& e) {
        return error("ParsingError", e);
    } catch (const ostrand::errors::ModelError& e) {
        return error("ModelError", e);
    } catch (const ostrand::errors::InternalError& e) {
        return error("InternalError", e);
    } catch (const ostrand::errors::ExecutionError& e) {
        return error("ExecutionError", e);
    } catch (const ostrand::external::dfoundations::PatternLimitError& e) {
        return error("PatternLimitError", e);
    } catch (const std::invalid_argument& e) {
        return error("ValueError", e);
    } catch (const std::out_of_range& e) {
        return error("OutOfRange", e);
    } catch (const std::exception& e) {
        return error("Error", e);
    }
}

std::string error_document()
{
    const nlohmann::ordered_json document = {{"error", current_error()}};
    return document.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

namespace {

// The message of a failure to write or read a file of the platform behind `error`: the error
// itself, or the cause nested in it.
std::optional<std::string> storage_failure(const std::exception& error)
{
    if (dynamic_cast<const ostrand::errors::StorageError*>(&error) != nullptr) return error.what();
    try {
        std::rethrow_if_nested(error);
    } catch (const std::exception& cause) {
        return storage_failure(cause);
    } catch (...) {
    }
    return std::nullopt;
}

}  // namespace

int run_reported(const char* command, const std::function<int()>& work)
{
    try {
        return work();
    } catch (const FileError& error) {
        std::cerr << "dfoundations " << command << ": " << error.what() << '\n';
        return FILE_FAILED;
    } catch (const std::exception& error) {
        if (const auto storage = storage_failure(error)) {
            std::cerr << "dfoundations " << command << ": " << *storage << '\n';
            return FILE_FAILED;
        }
        std::cout << error_document() << '\n';
        std::cerr << "dfoundations " << command << ": " << error.what() << '\n';
        return REFUSED;
    }
}

}  // namespace dfoundations_cli
