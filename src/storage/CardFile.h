#pragma once

#include <string>

class LayerTable;

// Writes the whole table to a card file, replacing any file of that name.
// The old file is replaced only once the new one is complete on disk.
void WriteCardFile(LayerTable& table, const std::string& path);

// Reads a card file into the table: its fields, then its records.
void ReadCardFile(LayerTable& table, const std::string& path);

// Refuses, before anything is read, a file that is not a card file: a card
// file begins with its version or definition marker, and an empty file is
// an empty card. Anything else (a photo or a data list picked by mistake)
// would load as a few odd layers and be overwritten by the next save.
// Throws TableError with the message for the user; a file that cannot be
// opened is left to the reader, which says why.
void RequireCardFile(const std::string& path);
