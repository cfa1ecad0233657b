#pragma once

#include <string>

class LayerTable;

// Writes the whole table to a card file, replacing any file of that name.
// The old file is replaced only once the new one is complete on disk.
void WriteCardFile(LayerTable& table, const std::string& path);

// Reads a card file into the table: its fields, then its records.
void ReadCardFile(LayerTable& table, const std::string& path);
