#include "metafile/GlyphCache.h"

#include <QFont>

#include <algorithm>

GlyphCache::Face& GlyphCache::face(const GdiFont& font)
{
    const QString key = font.face + QLatin1Char('|') + QString::number(font.weight) +
                        (font.italic ? QStringLiteral("|i") : QStringLiteral("|r"));
    auto it = mFaces.find(key);
    if (it != mFaces.end())
        return **it;
    if (mFaces.size() >= MaxFaces) {
        const GdiFont fallback;
        if (!(font.face.isEmpty() && font.weight == fallback.weight && !font.italic))
            return face(fallback);
    }

    auto face = std::make_shared<Face>();
    QFont qfont(font.face.isEmpty() ? QStringLiteral("Sans Serif") : font.face);
    qfont.setPixelSize(static_cast<int>(ReferenceSize));
    qfont.setWeight(static_cast<QFont::Weight>(std::clamp(font.weight == 0 ? 400 : font.weight, 1, 1000)));
    qfont.setItalic(font.italic);
    qfont.setStyleStrategy(QFont::ForceOutline);
    face->raw = QRawFont::fromFont(qfont);
    if (face->raw.isValid()) {
        const double cell = face->raw.ascent() + face->raw.descent();
        if (cell > 0)
            face->cellToEm = ReferenceSize / cell;
        const QByteArray maxp = face->raw.fontTable("maxp");
        if (maxp.size() >= 6)
            face->glyphCount = (quint32(quint8(maxp[4])) << 8) | quint8(maxp[5]);
    }
    return **mFaces.insert(key, face);
}

const QPainterPath& GlyphCache::outline(Face& face, quint32 glyph)
{
    auto it = face.outlines.find(glyph);
    if (it == face.outlines.end())
        it = face.outlines.insert(glyph, face.raw.pathForGlyph(glyph));
    return *it;
}
