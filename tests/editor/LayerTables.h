#pragma once

#include "document/LayerRecord.h"

#include <string>

// Open layer tables for the surface tests, filled as the creating commands
// fill them.

inline void addLayer(LayerTable& Tbl, int number, int kind, const std::string& text)
{
    Tbl.AddNewRecord();
    Tbl.WriteField("sorszam", number);
    Tbl.WriteField("tipus", kind);
    Tbl.WriteField("nev", text);
    Tbl.WriteField("betutipus", std::string("DejaVu Sans"));
    Tbl.PostRecord();
}

// A text, a picture and a shape, stacked in that order; the cursor on the
// first. Texts are Windows-1250 bytes.
inline LayerTable threeLayers()
{
    LayerTable Tbl = makeLayerTable();
    Tbl.OnCalcFields = TblCalcFields;
    Tbl.OpenTable();
    addLayer(Tbl, 1, 0, "Kov\xE1" "cs \xC1rp\xE1" "d");
    addLayer(Tbl, 2, 1, "log\xF3");
    addLayer(Tbl, 3, 2, "keret");
    Tbl.MoveFirst();
    return Tbl;
}
