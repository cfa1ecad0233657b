#pragma once

#include "document/CardDocument.h"
#include "layer/LayerItem.h"

#include <QString>
#include <QStringList>

#include <vector>

// A card as a print job takes it, with the layer each printable comes from,
// so that what is said of a printable (the print shop's preflight) leads
// back to its layer.
struct PrintedCard
{
    std::vector<LayerItem> layers;             // the printables, in the card's order
    std::vector<CardDocument::LayerId> ids;    // the record of each
    QStringList names;                         // and its name, as messages give it
};

// The card's printables as its print report makes them from the records in
// memory, layer by layer; a layer that prints nothing has none.
PrintedCard printedCard(const CardDocument& card);

// A layer as messages name it: its text or description, or its stacking
// number where it has none.
QString layerName(const LayerTable& table, CardDocument::LayerId id);
