#pragma once

#include <exception>
#include <string>

// The message an operation fails with, word for word; empty when it did not
// fail.
template <class Operation>
std::string failureOf(Operation&& operation)
{
    try {
        operation();
    } catch (const std::exception& error) {
        return error.what();
    }
    return {};
}
