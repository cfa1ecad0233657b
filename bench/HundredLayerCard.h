#pragma once

// The benchmark cards of the card window: photo-like JPEGs of a given size,
// layers put straight into a table of their own and opened as a card file,
// and the card of 100 layers with 20 photos of 1600 × 1200.
#include "document/Child.h"

#include "layer/LayerFields.h"
#include "layer/LayerRecord.h"

#include <QApplication>
#include <QBuffer>
#include <QImageWriter>
#include <QMdiArea>
#include <QRandomGenerator>
#include <QTemporaryDir>

// A photo-like picture: smooth colours with some grain, so that JPEG sizes
// come out as a camera's would.
inline QByteArray jpegBytes(QSize size, std::size_t targetBytes)
{
    QImage image(size, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < size.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const int grain = static_cast<int>(random.bounded(48));
            line[x] = qRgb((x * 255 / size.width() + grain) % 256, (y * 255 / size.height() + grain) % 256,
                           ((x + y) / 7 + grain) % 256);
        }
    }
    QByteArray bytes;
    for (int quality = 98; quality > 10; quality -= 4) {
        bytes.clear();
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "jpeg");
        writer.setQuality(quality);
        writer.write(image);
        if (static_cast<std::size_t>(bytes.size()) <= targetBytes)
            break;
    }
    return bytes;
}

inline void addLayer(LayerTable& table, int number, int kind, std::vector<std::pair<std::string_view, FieldValue>> fields)
{
    table.AddNewRecord();
    table.WriteField(Field::sorszam, number);
    table.WriteField(Field::tipus, kind);
    table.WriteField(Field::nev, "layer" + std::to_string(number));
    table.WriteField(Field::left, (number * 13) % 300);
    table.WriteField(Field::top, (number * 7) % 170);
    table.WriteField(Field::compnev, "c" + std::to_string(number));
    table.WriteField(Field::betutipus, std::string("Arial"));
    for (auto& [name, value] : fields)
        table.WriteField(name, std::move(value));
    table.PostRecord();
}

// A table for a benchmark card, filled by addLayer.
inline LayerTable benchTable()
{
    LayerTable table = makeLayerTable();
    table.OpenTable();
    return table;
}

// The card window opens the table's card as the user opens a file.
inline void openTable(Tfrm_Child* child, LayerTable& table)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.bcrd"));
    table.SaveFile(QFile::encodeName(path).toStdString());
    child->LoadCard(path);
}

inline Tfrm_Child* newWindow(QMdiArea& area)
{
    auto* child = new Tfrm_Child({QFont("Arial", 8), 9}, &area);
    area.addSubWindow(child);
    child->show();
    return child;
}

// 100 layers: every fifth a 1600 × 1200 photo (20 in all), the rest texts
// and shapes, rebuilt once so that the photos are decoded.
inline Tfrm_Child* hundredLayerCard(QMdiArea& area)
{
    Tfrm_Child* child = newWindow(area);
    LayerTable card = benchTable();
    std::vector<QByteArray> photos;
    for (int i = 0; i < 20; ++i)
        photos.push_back(jpegBytes({1600, 1200}, 400 * 1000 + i));
    for (int number = 1; number <= 100; ++number) {
        if (number % 5 == 0) {
            const QByteArray& photo = photos[number / 5 - 1];
            addLayer(card, number, 1,
                     {{Field::kep, Blob{photo.toStdString()}}, {Field::keptip, std::string(".jpg")}, {Field::width, 160},
                      {Field::height, 120}, {Field::strech, true}});
        } else if (number % 2 == 0) {
            addLayer(card, number, 0, {});
        } else {
            addLayer(card, number, 2, {{Field::brushstyle, number % 7}, {Field::penwidth, 1 + number % 3}});
        }
    }
    openTable(child, card);
    QApplication::processEvents();
    return child;
}

