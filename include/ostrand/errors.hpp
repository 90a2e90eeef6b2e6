// The error types of the host platform. Every message is the text the user sees, exactly.
#pragma once

#include <stdexcept>
#include <string>

namespace ostrand::errors {

// The base class of the host platform's errors.
class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Invalid model input.
class ModelError : public Error {
public:
    using Error::Error;
};

// An output or data file that cannot be read as it should.
class ParsingError : public Error {
public:
    using Error::Error;
};

// A platform service that failed (for instance the template service).
class InternalError : public Error {
public:
    using Error::Error;
};

// A file of the platform that could not be written or read (a full disk, a read-only or missing
// folder): a failure of the machine, not of the model or the service.
class StorageError : public InternalError {
public:
    using InternalError::InternalError;
};

// The generic failure of a job on a worker.
class ExecutionError : public Error {
public:
    using Error::Error;
};

// An operation or input kind that is not supported. Carries no message unless given one.
class NotImplementedError : public std::logic_error {
public:
    // An error without a message.
    NotImplementedError() : std::logic_error("") {}
    using std::logic_error::logic_error;
};

}  // namespace ostrand::errors
