// Cards for timing lapora-cli render as a whole process, and the bare
// program it is measured beside: a QPdfWriter that draws the same picture
// ten times onto an A4 page.
//
//   render_bench make DIR        writes DIR/photo-1600.bcrd, DIR/photo-4000.bcrd
//                                and their pictures DIR/photo-*.jpg
//   render_bench bare PICTURE OUT.pdf
#include "layer/LayerFields.h"
#include "layer/LayerRecord.h"

#include <QBuffer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QPdfWriter>
#include <QRandomGenerator>

#include <cstdio>
#include <string>

namespace {

// A photo-like picture, saved as JPEG at the quality that brings it near the
// wanted size.
QByteArray photo(QSize size, qsizetype wanted)
{
    QImage image(size, QImage::Format_RGB32);
    QRandomGenerator random(11);
    for (int y = 0; y < size.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const int grain = int(random.bounded(40));
            line[x] = qRgb((x * 255 / size.width() + grain) % 256, (y * 255 / size.height() + grain) % 256,
                           ((x + 2 * y) / 9 + grain) % 256);
        }
    }
    QByteArray bytes;
    for (int quality = 97; quality > 10; quality -= 3) {
        bytes.clear();
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "jpeg");
        writer.setQuality(quality);
        writer.write(image);
        if (bytes.size() <= wanted)
            break;
    }
    return bytes;
}

void addLayer(LayerTable& table, int number, int kind, const std::vector<std::pair<std::string_view, FieldValue>>& fields)
{
    table.AddNewRecord();
    table.WriteField(Field::sorszam, number);
    table.WriteField(Field::tipus, kind);
    table.WriteField(Field::compnev, "c" + std::to_string(number));
    for (const auto& [name, value] : fields)
        table.WriteField(name, value);
    table.PostRecord();
}

// One picture layer, two texts and a shape, as a business card has.
void makeCard(const QString& dir, const char* name, QSize size, qsizetype wanted)
{
    const QByteArray picture = photo(size, wanted);
    QFile jpeg(dir + "/" + name + ".jpg");
    jpeg.open(QIODevice::WriteOnly);
    jpeg.write(picture);
    LayerTable table = makeLayerTable();
    table.OpenTable();
    addLayer(table, 1, 1,
             {{Field::kep, Blob{picture.toStdString()}}, {Field::keptip, std::string(".jpg")}, {Field::left, 0},
              {Field::top, 0}, {Field::width, 120}, {Field::height, 90}, {Field::strech, true}});
    addLayer(table, 2, 0,
             {{Field::nev, std::string("Kov\xE1" "cs \xC1rp\xE1" "d")}, {Field::left, 130}, {Field::top, 20},
              {Field::betutipus, std::string("Arial")}, {Field::betumeret, 16}, {Field::felkover, true}});
    addLayer(table, 3, 0,
             {{Field::nev, std::string("+36 30 123 4567")}, {Field::left, 130}, {Field::top, 60},
              {Field::betutipus, std::string("Arial")}, {Field::betumeret, 9}});
    addLayer(table, 4, 2,
             {{Field::left, 0}, {Field::top, 170}, {Field::width, 340}, {Field::height, 20},
              {Field::brushcolor, 0x804020}, {Field::brushstyle, 4}, {Field::pencolor, 0}, {Field::penwidth, 1}});
    table.SaveFile((dir + "/" + name + ".bcrd").toStdString());
    std::printf("%s: picture %lld bytes\n", name, static_cast<long long>(picture.size()));
}

int bare(const QString& picturePath, const QString& out)
{
    QImage picture(picturePath);
    QPdfWriter pdf(out);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    QPainter painter(&pdf);
    const double perMillimetre = pdf.logicalDpiX() / 25.4;
    for (int copy = 0; copy < 10; ++copy) {
        const QRectF box((15 + (copy / 5) * 90) * perMillimetre, (10 + (copy % 5) * 50.3) * perMillimetre,
                         31.75 * perMillimetre, 23.8 * perMillimetre);
        painter.drawImage(box, picture);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "make" && argc == 3) {
        makeCard(argv[2], "photo-1600", {1600, 1200}, 500 * 1000);
        makeCard(argv[2], "photo-4000", {4000, 3000}, 5 * 1000 * 1000);
        return 0;
    }
    if (command == "bare" && argc == 4)
        return bare(argv[2], argv[3]);
    std::fprintf(stderr, "usage: render_bench make DIR | render_bench bare PICTURE OUT.pdf\n");
    return 2;
}
