#pragma once

#include "metafile/GdiObjects.h"

#include <QHash>
#include <QPainterPath>
#include <QRawFont>

#include <memory>

// Text is drawn as glyph outlines, not through the painter's font: a
// recorded picture then keeps its text size and place on every device it is
// replayed on, whatever that device's resolution. Outlines are taken once at
// a reference size and scaled.
class GlyphCache
{
public:
    static constexpr double ReferenceSize = 100.0;  // pixels per em of the outlines
    // Font matching is slow; a file that names more faces than this gets
    // the default face for the rest.
    static constexpr qsizetype MaxFaces = 64;

    struct Face
    {
        QRawFont raw;
        QHash<quint32, QPainterPath> outlines;
        double cellToEm = 1.0;  // character height over cell height
        quint32 glyphCount = 0;  // glyph indexes from the file must stay below
    };

    // The face for the font; its raw font is invalid when nothing matched.
    Face& face(const GdiFont& font);
    const QPainterPath& outline(Face& face, quint32 glyph);

private:
    QHash<QString, std::shared_ptr<Face>> mFaces;
};
