#pragma once

#include "layer/LayerRecord.h"

#include <QBuffer>
#include <QColor>
#include <QFile>
#include <QImage>
#include <QString>

#include <string>
#include <utility>
#include <vector>

// Card files for the card window's tests, written straight through a layer
// table.

inline QByteArray pngBytes(QSize size, QColor color)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

struct Layer
{
    int sorszam;
    int tipus;
    std::string nev;
    int left = 10;
    int top = 10;
    std::vector<std::pair<const char*, FieldValue>> more = {};
};

// A card file holding the given layers, element names "e<sorszam>".
inline QString writeCard(const QString& path, const std::vector<Layer>& layers)
{
    LayerTable table = makeLayerTable();
    table.OpenTable();
    for (const auto& layer : layers) {
        table.AddNewRecord();
        table.WriteField("sorszam", layer.sorszam);
        table.WriteField("tipus", layer.tipus);
        table.WriteField("nev", layer.nev);
        table.WriteField("left", layer.left);
        table.WriteField("top", layer.top);
        table.WriteField("betutipus", std::string("Arial"));
        table.WriteField("compnev", "e" + std::to_string(layer.sorszam));
        for (const auto& [field, value] : layer.more)
            table.WriteField(field, value);
        table.PostRecord();
    }
    table.SaveFile(path.toStdString());
    return path;
}

inline Blob pictureBlob(QSize size)
{
    const QByteArray png = pngBytes(size, Qt::red);
    return Blob{png.toStdString()};
}


// A file's bytes, empty when it cannot be read.
inline QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
