#include "document/Child.h"

#include "document/PictureFile.h"
#include "editor/CardElement.h"
#include "editor/CardPicture.h"
#include "editor/CardSurface.h"
#include "layer/LayerFields.h"
#include "layer/LayerRecord.h"
#include "layer/PictureDecoder.h"
#include "layer/Win1250Text.h"
#include "storage/TableError.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QFileInfo>
#include <QImage>
#include <QMimeData>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>

namespace {

// Layers on the clipboard: a small card file of their records, so that
// another card window, or another run of the program, takes them as they
// were.
const QString LayersMime = QStringLiteral("application/x-lapora-layers");

constexpr QPoint NewLayerCorner{10, 10};
constexpr int DuplicateOffset = 10;

const char* namePrefix(std::int32_t kind)
{
    switch (kind) {
    case 1: return "img";
    case 2: return "shp";
    default: return "lbl";
    }
}

// The fields a copy takes from its layer: all that the card stores but
// the stacking number, which the document gives, and the element name,
// which must be the copy's own.
CardDocument::Values copiedValues(const LayerTable& table, int row)
{
    CardDocument::Values values;
    const auto& fields = table.Fields();
    for (int i = 0; i < static_cast<int>(fields.size()); ++i) {
        const std::string& name = fields[i].FieldName;
        if (!fields[i].isStored() || name == Field::sorszam || name == Field::compnev)
            continue;
        for (std::string_view known : Field::All)
            if (known == name)
                values.emplace_back(known, table.StoredValue(row, i));
    }
    return values;
}

void setValue(CardDocument::Values& values, std::string_view field, FieldValue value)
{
    for (auto& [name, stored] : values) {
        if (name == field) {
            stored = std::move(value);
            return;
        }
    }
    values.emplace_back(field, std::move(value));
}

std::int32_t intOf(const CardDocument::Values& values, std::string_view field)
{
    for (const auto& [name, value] : values)
        if (name == field)
            if (const auto* number = std::get_if<std::int32_t>(&value))
                return *number;
    return 0;
}

// A picture larger than the card comes in fitted into it, its shape kept;
// one that fits keeps its own size.
QSize fittedSize(QSize own)
{
    const QSize room = CardPicture::Card.size() - QSize(NewLayerCorner.x(), NewLayerCorner.y());
    if (own.width() <= CardPicture::Card.width() && own.height() <= CardPicture::Card.height())
        return own;
    const double scale = std::min(double(room.width()) / own.width(), double(room.height()) / own.height());
    return QSize(std::max(1, int(std::lround(own.width() * scale))), std::max(1, int(std::lround(own.height() * scale))));
}

} // namespace

// A copy of each selected layer on top, in their order, a little right of
// and below it, sharing its picture's bytes; the copies are one step, and
// the selection.
void Tfrm_Child::aDuplikalasExecute()
{
    const std::vector<LayerTable::RecordId> layers = selectedLayers();
    if (layers.empty())
        return;
    std::vector<CardDocument::MakeLayer> copies;
    std::vector<QString> names;
    for (LayerTable::RecordId layer : layers) {
        CardDocument::Values values = copiedValues(Tbl(), Tbl().RowOf(layer));
        setValue(values, Field::left, intOf(values, Field::left) + DuplicateOffset);
        setValue(values, Field::top, intOf(values, Field::top) + DuplicateOffset);
        // Drawn now, so that two copies never share a name.
        QString name = newElementName(namePrefix(intOf(values, Field::tipus)));
        while (std::find(names.begin(), names.end(), name) != names.end())
            name = newElementName(namePrefix(intOf(values, Field::tipus)));
        names.push_back(name);
        setValue(values, Field::compnev, toWin1250(name));
        copies.push_back([values](int) { return values; });
    }
    if (copies.size() == 1)
        mDocument.appendLayer(copies.front(), action("aDuplikalas")->text());
    else
        mDocument.appendLayers(copies, action("aDuplikalas")->text());
}

void Tfrm_Child::aMasolasExecute()
{
    const std::vector<LayerTable::RecordId> layers = selectedLayers();
    if (layers.empty())
        return;
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("vagolap.bcrd"));
    CardDocument::writeSnapshot(mDocument.snapshot(layers), path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw TableError("Cannot open file \"" + path.toStdString() + "\". " + file.errorString().toStdString());
    auto* data = new QMimeData;
    data->setData(LayersMime, file.readAll());
    // Other programs get what they can take: the texts' words, a line each.
    QStringList words;
    for (LayerTable::RecordId layer : layers) {
        const LayerRef record(Tbl(), Tbl().RowOf(layer));
        if (ReadInt(record, Field::tipus) == 0)
            words << fromWin1250(ReadStr(record, Field::nev));
    }
    if (!words.isEmpty())
        data->setText(words.join('\n'));
    QApplication::clipboard()->setMimeData(data);
}

void Tfrm_Child::aKivagasExecute()
{
    const std::vector<LayerTable::RecordId> layers = selectedLayers();
    if (layers.empty())
        return;
    aMasolasExecute();
    mDocument.removeLayers(layers, action("aKivagas")->text());
}

// Layers of the program come in as they were copied; a picture from
// another program becomes a picture layer.
void Tfrm_Child::aBeillesztesExecute()
{
    const QMimeData* data = QApplication::clipboard()->mimeData();
    if (!data)
        return;
    if (data->hasFormat(LayersMime))
        pasteLayers(data->data(LayersMime));
    else if (data->hasImage())
        pastePicture(qvariant_cast<QImage>(data->imageData()), NewLayerCorner);
}

// Each layer on top with its own new number and name, all of them one
// step; where this card has a layer in the very same place (pasting into
// the card it was copied from), a little right of and below it.
void Tfrm_Child::pasteLayers(const QByteArray& card)
{
    mDocument.requireAppend();
    std::vector<CardDocument::MakeLayer> layers;
    std::vector<QString> names;
    for (CardDocument::Values values : CardDocument::layersIn(card)) {
        QPoint at(intOf(values, Field::left), intOf(values, Field::top));
        for (QObject* child : Surface1->children())
            if (auto* element = qobject_cast<CardElement*>(child); element && element->item().box.topLeft() == at)
                at += QPoint(DuplicateOffset, DuplicateOffset);
        setValue(values, Field::left, at.x());
        setValue(values, Field::top, at.y());
        // Drawn now, so that two pasted layers never share a name.
        QString name = newElementName(namePrefix(intOf(values, Field::tipus)));
        while (std::find(names.begin(), names.end(), name) != names.end())
            name = newElementName(namePrefix(intOf(values, Field::tipus)));
        names.push_back(name);
        setValue(values, Field::compnev, toWin1250(name));
        layers.push_back([values](int) { return values; });
    }
    mDocument.appendLayers(layers, action("aBeillesztes")->text());
}

// Kept as PNG, at its own size within the card.
void Tfrm_Child::pastePicture(const QImage& picture, QPoint at)
{
    if (picture.isNull())
        return;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!picture.save(&buffer, "PNG"))
        throw PictureError("The picture on the clipboard cannot be kept as PNG.");
    addPictureLayer(ChosenPicture{bytes.toStdString(), ".png", picture.size()}, at, action("aBeillesztes")->text());
}

// A picture layer on top, as "Új kép" makes it: at its own size from the
// corner given, or fitted into the card from its corner when larger. The
// box is the picture's as chosen, also when it is stored reduced.
CardDocument::MakeLayer Tfrm_Child::pictureLayer(const ChosenPicture& chosen, QPoint at, const QString& name)
{
    const QSize size = fittedSize(chosen.size);
    if (size != chosen.size)
        at = NewLayerCorner;
    const std::optional<ChosenPicture> reduced = reducedForBox(chosen, size, true);
    const ChosenPicture& kept = reduced ? *reduced : chosen;
    const Blob picture(kept.bytes);
    return [=, extension = kept.extension, stored = toWin1250(name)](int number) -> CardDocument::Values {
        return {{Field::tipus, 1},
                {Field::nev, "k\xE9p" + std::to_string(number)},
                {Field::width, size.width()},
                {Field::height, size.height()},
                {Field::kep, picture},
                {Field::keptip, extension},
                {Field::strech, true},
                {Field::compnev, stored},
                {Field::left, at.x()},
                {Field::top, at.y()}};
    };
}

void Tfrm_Child::addPictureLayer(const ChosenPicture& chosen, QPoint at, const QString& caption)
{
    mDocument.requireAppend();
    mDocument.appendLayer(pictureLayer(chosen, at, newElementName("img")), caption);
}

// Every file is read before any layer is added: one that is no picture
// stops them all with its message. The pictures come as one step.
void Tfrm_Child::dropPictures(const QStringList& paths, QPoint cardPoint)
{
    std::vector<ChosenPicture> chosen;
    for (const QString& path : paths)
        chosen.push_back(readChosenPicture(path));
    if (chosen.empty())
        return;
    mDocument.requireAppend();
    std::vector<CardDocument::MakeLayer> layers;
    std::vector<QString> names;
    QPoint at = cardPoint;
    for (const ChosenPicture& picture : chosen) {
        QString name = newElementName("img");
        while (std::find(names.begin(), names.end(), name) != names.end())
            name = newElementName("img");
        names.push_back(name);
        layers.push_back(pictureLayer(picture, at, name));
        at += QPoint(DuplicateOffset, DuplicateOffset);
    }
    mDocument.appendLayers(layers, action("aKep")->text());
}
