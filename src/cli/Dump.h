#pragma once

#include "cli/JsonValue.h"

#include <string>

// The card in a file as lapora-cli dump prints it: {"table", "open",
// "fields", "records"}, and "error" with the designer's message when the
// load failed. Never throws.
Json dumpCard(const std::string& path);
// The object as text; bytes that are not UTF-8 become U+FFFD.
std::string dumpText(const Json& card);

int runDump(const std::string& path);
