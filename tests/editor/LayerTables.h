#pragma once

#include "layer/LayerRecord.h"

#include <QTest>
#include <QWidget>

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

// The first layer's text as stored (Windows-1250) and as shown.
inline const std::string FirstStored = "Kov\xE1" "cs \xC1rp\xE1" "d";
inline const QString FirstText = QString::fromUtf8("Kovács Árpád");

// A text, a picture and a shape, stacked in that order; the cursor on the
// first.
inline LayerTable threeLayers()
{
    LayerTable Tbl = makeLayerTable();
    Tbl.OnCalcFields = TblCalcFields;
    Tbl.OpenTable();
    addLayer(Tbl, 1, 0, FirstStored);
    addLayer(Tbl, 2, 1, "log\xF3");
    addLayer(Tbl, 3, 2, "keret");
    Tbl.MoveFirst();
    return Tbl;
}

// Shows the window active, with the focus on the given control.
inline bool showActive(QWidget& window, QWidget* focus)
{
    window.show();
    window.activateWindow();
    if (focus)
        focus->setFocus();
    return QTest::qWaitForWindowActive(&window);
}
