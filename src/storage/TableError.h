#pragma once

#include <stdexcept>

// The user reads what() as it stands, so it carries the full message.
class TableError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};
