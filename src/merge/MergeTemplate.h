#pragma once

#include "layer/LayerItem.h"
#include "merge/Placeholders.h"
#include "merge/TextFit.h"

#include <QSet>

#include <optional>
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

    // Whether a filled text too wide for its room is made smaller
    // (TextFit.h); it is, unless told.
    void setFit(TextFit fit) { mFit = fit; }
    TextFit fit() const { return mFit; }

    // What fitting did to one person's card: the first text made smaller
    // and the first that fits at no size, each with its size as designed
    // and as drawn.
    struct FitNote
    {
        struct Text
        {
            QString text;
            int designedPoints = 0;
            int points = 0;
        };
        std::optional<Text> shrunk;
        std::optional<Text> tooLong;
    };

    // The layers with the record's values: a text in full, however long,
    // grown from its place as its alignment says and fitted to its room; a
    // QR code made again from its filled fields (none where they are all
    // empty; a QrError where they are too much for a code). The
    // placeholders no column answers stay as typed and are added to
    // unknown; what fitting did goes to fit.
    std::vector<LayerItem> filled(const Columns& columns, const QStringList& values, QSet<QString>* unknown = nullptr,
                                  FitNote* fit = nullptr) const;
    // What fitting does to the record's texts, without making its card:
    // its codes are not made.
    FitNote fitOf(const Columns& columns, const QStringList& values) const;

private:
    std::vector<LayerItem> mLayers;
    TextFit mFit = TextFit::Shrink;
};
