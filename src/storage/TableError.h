#pragma once

#include <stdexcept>

// The user reads what() as it stands, so it carries the full message. Names
// and values from the table are converted from Windows-1250, so what() is
// always UTF-8.
class TableError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};
