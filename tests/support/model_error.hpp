// The message of the ModelError that an action throws, for tests that compare messages exactly.
#pragma once

#include <string>

#include "ostrand/errors.hpp"

// A marker when the action throws no ModelError, so a missing rule shows in the comparison.
template <typename Action>
std::string model_error(Action action)
{
    try {
        action();
    } catch (const ostrand::errors::ModelError& error) {
        return error.what();
    }
    return "<no ModelError>";
}
