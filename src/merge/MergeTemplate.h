#pragma once

#include "layer/LayerItem.h"
#include "merge/Placeholders.h"

#include <QSet>

#include <vector>

// A card made for a list of people: its layers as printed, where a text
// layer's text, and any field of a QR code, may hold placeholders. Filled
// with one person's values, it gives that person's card; the card it was
// made from does not change.
class MergeTemplate
{
public:
    explicit MergeTemplate(std::vector<LayerItem> layers);

    const std::vector<LayerItem>& layers() const { return mLayers; }
    // The placeholders of every layer, each once, in order.
    QStringList placeholders() const;
    // Those of them no column answers: they are printed as typed.
    QStringList unknownPlaceholders(const Columns& columns) const;

    // The layers with the record's values: a text in full, however long; a
    // QR code made again from its filled fields (none where they are all
    // empty; a QrError where they are too much for a code). The
    // placeholders no column answers stay as typed and are added to
    // unknown.
    std::vector<LayerItem> filled(const Columns& columns, const QStringList& values,
                                  QSet<QString>* unknown = nullptr) const;

private:
    std::vector<LayerItem> mLayers;
};
